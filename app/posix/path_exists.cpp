#include <sys/stat.h>

#include "app/posix/posix_files.h"
#include "text/string.h"

// The game writes paths with '\' between folders; here '/' separates them.
bool PosixPathExists(const char* path, bool wantFolder)
{
    String native(path);
    for (int32_t i = 0; i < native.Length(); ++i)
        if (native[i] == '\\')
            native.SetByte(i, '/');
    // A link that leads nowhere is still an entry of its folder, as a
    // directory search would find it; opening it is what then fails.
    struct stat info;
    if (stat(native.Text(), &info) != 0 && lstat(native.Text(), &info) != 0)
        return false;
    return wantFolder ? S_ISDIR(info.st_mode) : !S_ISDIR(info.st_mode);
}
