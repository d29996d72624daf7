#include "app/posix/standard_streams.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>

void GuardStandardStreams()
{
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (fcntl(stream, F_GETFD) != -1)
            continue;
        // open() takes the lowest free number: this one, as the lower ones are open.
        int placeholder = open("/dev/null", O_RDONLY);
        if (placeholder >= 0 && placeholder != stream)
            close(placeholder);
    }
    signal(SIGPIPE, SIG_IGN);
}

int QuietStandardError()
{
    int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet < 0)
        return -1;
    fflush(stderr);
    int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved >= 0 && dup2(quiet, STDERR_FILENO) < 0) {
        close(saved);
        saved = -1;
    }
    close(quiet);
    return saved;
}

void RestoreStandardError(int saved)
{
    if (saved < 0)
        return;
    fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
}
