#include "tests/fuzz/fuzz_files.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>

namespace {
std::string folder;

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
} // namespace

const std::string& FuzzFolder()
{
    if (folder.empty()) {
        char pattern[] = "/tmp/velmora-fuzz-XXXXXX";
        if (!mkdtemp(pattern))
            __builtin_trap();
        folder = pattern;
        atexit(RemoveFolder);
    }
    return folder;
}

void WriteFuzzFile(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        __builtin_trap();
    if (size)
        fwrite(data, 1, size, file);
    fclose(file);
}
