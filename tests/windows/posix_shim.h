// The few POSIX calls the tests use for scratch folders, given on Windows,
// where the C runtime names them differently and the command interpreter
// has no "rm". Included in front of every test source of the Windows build.
#pragma once

#define _USE_MATH_DEFINES

#ifdef __cplusplus
#include <cstdlib>
#include <stdlib.h>
#include <cstring>
#include <direct.h>
#include <filesystem>
#include <io.h>
#include <string>
#include <sys/stat.h>
#include <system_error>

// Windows folders have no mode bits.
inline int mkdir(const char* path, int) { return _mkdir(path); }

// Fills the trailing XXXXXX of the template with a free name and makes that folder.
inline char* mkdtemp(char* pattern) { return _mktemp(pattern) && _mkdir(pattern) == 0 ? pattern : nullptr; }

// Carries out the tests' one shell command, rm -rf 'FOLDER', itself; any
// other command goes to the command interpreter.
inline int RunTestCommand(const char* command)
{
    const char prefix[] = "rm -rf '";
    size_t length = strlen(command);
    if (length > sizeof prefix && strncmp(command, prefix, sizeof prefix - 1) == 0 && command[length - 1] == '\'') {
        std::string folder(command + sizeof prefix - 1, length - sizeof prefix);
        std::error_code error;
        std::filesystem::remove_all(folder, error);
        return error ? 1 : 0;
    }
    return std::system(command);
}
#define system RunTestCommand
#endif
