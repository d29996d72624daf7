// File tests on POSIX systems, for the platform seams that run there.
#pragma once

// Whether a file (wantFolder false) or a folder stands at the path; the
// game's '\' separators are read as '/'.
bool PosixPathExists(const char* path, bool wantFolder);
