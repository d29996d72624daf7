// Scratch files of the fuzz targets, each named after its target, in the
// working folder: ctest runs them in the build folder.
#pragma once

#include <cstdint>
#include <cstdio>

inline void WriteFuzzFile(const char* path, const uint8_t* data, size_t size)
{
    FILE* file = fopen(path, "wb");
    if (!file || fwrite(data, 1, size, file) != size)
        __builtin_trap();
    fclose(file);
}
