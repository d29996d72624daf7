#include <sys/stat.h>

#include "app/posix/posix_files.h"
#include "text/string.h"

// A link that leads nowhere is still an entry of its folder, as a directory
// search would find it; opening it is what then fails.
static bool IsLinkEntry(const char* path, struct stat& info)
{
#if defined(_WIN32)
    (void)path;
    (void)info;
    return false;
#else
    return lstat(path, &info) == 0;
#endif
}

// The game writes paths with '\' between folders; here '/' separates them.
bool PosixPathExists(const char* path, bool wantFolder)
{
    String native(path);
    native.ToSlashes();
    struct stat info;
    if (stat(native.Text(), &info) != 0 && !IsLinkEntry(native.Text(), info))
        return false;
    return wantFolder ? S_ISDIR(info.st_mode) : !S_ISDIR(info.st_mode);
}
