// The platform seam on Windows: log lines on a console opened on first use,
// the error box, key state, file search and opening, and the close request.
#include <fcntl.h>
#include <io.h>

#include <cstring>

#include "app/platform.h"
#include "app/win32/win32_shell.h"
#include "text/string.h"

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

bool IsDeviceName(const char* path)
{
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    // Windows ignores the extension and blanks before it.
    size_t length = strcspn(name, ".:");
    while (length > 0 && name[length - 1] == ' ')
        length -= 1;
    char base[5] = {};
    for (size_t i = 0; i < length && i < 4; ++i)
        base[i] = ToUpperAscii(name[i]);
    if (length == 3)
        return !strcmp(base, "CON") || !strcmp(base, "PRN") || !strcmp(base, "AUX") || !strcmp(base, "NUL");
    return length == 4 && (!strncmp(base, "COM", 3) || !strncmp(base, "LPT", 3)) && base[3] >= '1' && base[3] <= '9';
}

// A device opened as a file may wait for ever on its first read (a serial
// port) or answer with what is no data: a device's name is never opened, and
// what opens anyway as no disk file (CONIN$, a pipe) is closed again.
FILE* PlatformOpenFile(const char* path)
{
    if (IsDeviceName(path))
        return nullptr;
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return nullptr;
    }
    int fd = _open_osfhandle(intptr_t(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    FILE* file = _fdopen(fd, "rb");
    if (!file)
        _close(fd);
    return file;
}

void PlatformRequestClose() { PostMessageA(win32.mainWindow, WM_CLOSE, 0, 0); }
