// File tests on POSIX systems, for the platform seams that run there.
#pragma once

#include <cstdio>

// Whether a file (wantFolder false) or a folder stands at the path; the
// game's '\' separators are read as '/'.
bool PosixPathExists(const char* path, bool wantFolder);

// Opens a regular file for binary reading, '\' read as '/'; null for a
// folder, a pipe or a device. Built for Windows, where the tests use it, it
// opens what fopen opens.
FILE* PosixOpenFile(const char* path);

// Makes the folder of the running program the current one, where the game's
// Data folder and string data lie. False when it cannot be found or entered.
bool PosixEnterProgramFolder();
