// Prints what a running program's console shows, as a player sees the game's log lines: one line per row
// up to the cursor, trailing blanks cut.
//   console-reader.exe [PROGRAM.exe]   exit 1 when no console could be read
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>

namespace {

DWORD FindProcess(const char* fileName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        if (_stricmp(entry.szExeFile, fileName) == 0)
            found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    const char* fileName = argc > 1 ? argv[1] : "velmora.exe";
    DWORD process = FindProcess(fileName);
    FreeConsole();
    if (!process || !AttachConsole(process)) {
        fprintf(stderr, "no process %s with a console\n", fileName);
        return 1;
    }
    HANDLE screen = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (screen == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(screen, &info)) {
        fprintf(stderr, "the console of %s cannot be read\n", fileName);
        return 1;
    }
    static char row[4096];
    DWORD width = info.dwSize.X < 4096 ? static_cast<DWORD>(info.dwSize.X) : 4096;
    for (SHORT y = 0; y < info.dwCursorPosition.Y || (y == info.dwCursorPosition.Y && info.dwCursorPosition.X > 0);
         ++y) {
        DWORD read = 0;
        ReadConsoleOutputCharacterA(screen, row, width, COORD{0, y}, &read);
        while (read > 0 && row[read - 1] == ' ')
            --read;
        printf("%.*s\n", static_cast<int>(read), row);
    }
    return 0;
}
