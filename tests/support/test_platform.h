// A scripted platform for tests: keys are set by the test, log lines and
// error boxes are collected, close requests are counted, and file tests look
// at the real file system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestPlatform {
    bool keys[256];
    std::vector<std::string> logLines;
    std::vector<std::string> errorBoxes; // "caption: text"
    int32_t closeRequests;
};

extern TestPlatform testPlatform;

// Releases every key and forgets what was logged.
void ResetTestPlatform();
void SetKey(uint8_t key, bool down);
