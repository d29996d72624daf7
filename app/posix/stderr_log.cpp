#include <cstdio>

#include "app/platform.h"

// Without a console of its own the program writes each log line, unchanged,
// to standard error.
void PlatformWriteLogLine(const char* text, int32_t length)
{
    fwrite(text, 1, static_cast<size_t>(length), stderr);
    fputc('\n', stderr);
    fflush(stderr);
}
