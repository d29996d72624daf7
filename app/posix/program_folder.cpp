#include <climits>
#include <cstring>
#include <unistd.h>

#include "app/posix/posix_files.h"

bool PosixEnterProgramFolder()
{
    char program[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0)
        return false;
    program[length] = '\0';
    char* slash = strrchr(program, '/');
    if (slash)
        *slash = '\0';
    return chdir(program) == 0;
}
