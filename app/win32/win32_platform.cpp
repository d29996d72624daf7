// The platform seam on Windows: log lines on a console opened on first use,
// the error box, key state, file search and the close request.
#include "app/platform.h"
#include "app/win32/win32_shell.h"

namespace {
// The console's output handle, opened by the first log line and kept.
HANDLE consoleHandle = nullptr;

void WriteToConsole(const char* text, DWORD length)
{
    DWORD written = 0;
    // Output redirected to a file or pipe is no console; it still gets the line.
    if (!WriteConsoleA(consoleHandle, text, length, &written, nullptr))
        WriteFile(consoleHandle, text, length, &written, nullptr);
}

} // namespace

void PlatformWriteLogLine(const char* text, int32_t length)
{
    if (!consoleHandle) {
        AllocConsole();
        HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
        consoleHandle = output == INVALID_HANDLE_VALUE ? nullptr : output;
    }
    if (!consoleHandle)
        return;
    WriteToConsole(text, static_cast<DWORD>(length));
    WriteToConsole("\n", 1);
}

void PlatformShowErrorBox(const char* text, const char* caption)
{
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONERROR);
}

bool PlatformIsKeyDown(uint8_t key) { return (GetKeyState(key) & 0x8000) != 0; }

bool PlatformPathExists(const char* path, bool wantFolder)
{
    // A search pattern would match other names; only the name itself counts.
    for (const char* c = path; *c; ++c)
        if (*c == '*' || *c == '?')
            return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return wantFolder == isFolder;
}

void PlatformRequestClose() { PostMessageA(win32.mainWindow, WM_CLOSE, 0, 0); }
