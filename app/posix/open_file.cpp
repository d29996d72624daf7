#include <cstdio>
#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/posix/posix_files.h"
#include "text/string.h"

FILE* PosixOpenFile(const char* path)
{
#if defined(_WIN32)
    return fopen(path, "rb");
#else
    String native(path);
    native.ToSlashes();
    // Only a regular file is data: a folder, a pipe or a device does not
    // open, as on Windows. Opening without waiting keeps a pipe from
    // blocking until some writer comes.
    int fd = open(native.Text(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* file = fdopen(fd, "rb");
    if (!file)
        close(fd);
    return file;
#endif
}
