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
#include <process.h>
#include <string>
#include <sys/stat.h>
#include <system_error>

// Windows folders have no mode bits.
inline int mkdir(const char* path, int) { return _mkdir(path); }

// Fills the trailing XXXXXX of the template and makes that folder.
inline char* mkdtemp(char* pattern)
{
    static unsigned counter = 0;
    size_t length = strlen(pattern);
    if (length < 6)
        return nullptr;
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned value = static_cast<unsigned>(_getpid()) * 7919u + ++counter * 104729u;
        for (size_t i = length - 6; i < length; ++i) {
            pattern[i] = "abcdefghijklmnopqrstuvwxyz0123456789"[value % 36];
            value /= 36;
        }
        if (_mkdir(pattern) == 0)
            return pattern;
    }
    return nullptr;
}

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
