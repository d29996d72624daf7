#include "tests/support/test_platform.h"

#include "app/platform.h"
#include "app/posix/posix_files.h"

TestPlatform testPlatform;

void ResetTestPlatform()
{
    for (bool& key : testPlatform.keys)
        key = false;
    testPlatform.logLines.clear();
    testPlatform.errorBoxes.clear();
    testPlatform.closeRequests = 0;
}

void SetKey(uint8_t key, bool down) { testPlatform.keys[key] = down; }

void PlatformWriteLogLine(const char* text, int32_t length) { testPlatform.logLines.emplace_back(text, length); }

void PlatformShowErrorBox(const char* text, const char* caption)
{
    testPlatform.errorBoxes.push_back(std::string(caption) + ": " + text);
}

bool PlatformIsKeyDown(uint8_t key) { return testPlatform.keys[key]; }

bool PlatformPathExists(const char* path, bool wantFolder) { return PosixPathExists(path, wantFolder); }

FILE* PlatformOpenFile(const char* path) { return PosixOpenFile(path); }

void PlatformRequestClose() { testPlatform.closeRequests += 1; }
