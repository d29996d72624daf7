#include <cstdio>

#include "app/platform.h"

// Without a console of its own the program writes each log line, unchanged,
// to standard error, in one piece with its line end. A line that cannot be
// written (the stream closed, its reader gone) is dropped.
void PlatformWriteLogLine(const char* text, int32_t length)
{
    fprintf(stderr, "%.*s\n", static_cast<int>(length), text);
    fflush(stderr);
}
