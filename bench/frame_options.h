// What the window benchmarks share: their options, [--seconds S] WIDTHxHEIGHT,
// and the process's processor time, the GL's own threads included.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

struct FrameBenchOptions {
    double seconds = 3;
    int width = 0, height = 0;
};

// False, with the usage printed, when the options are not of that form.
inline bool ReadFrameBenchOptions(int argc, char** argv, const char* program, FrameBenchOptions& options)
{
    char end = 0;
    bool sized = false;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            options.seconds = atof(argv[++i]);
        else
            sized = sscanf(argv[i], "%dx%d%c", &options.width, &options.height, &end) == 2;
    }
    if (sized && options.width >= 1 && options.height >= 1 && options.seconds > 0 && options.seconds < 600)
        return true;
    fprintf(stderr, "usage: %s [--seconds S] WIDTHxHEIGHT\n", program);
    return false;
}

inline double ProcessSeconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}
