// Arbitrary bytes as a PNG file, decoded to 1 to 4 channels: a decoded image
// must have a sane size and a buffer of exactly that many bytes.
#include <cstdlib>

#include "render/texture.h"
#include "tests/fuzz/fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteFuzzFile("png_fuzz.png", data, size);
    int32_t channels = int32_t(size % 4) + 1;
    uint8_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    if (!LoadPngPixels(pixels, width, height, String("png_fuzz.png"), channels))
        return 0;
    if (!pixels || width < 1 || height < 1)
        __builtin_trap();
    unsigned sum = 0; // every byte read, so the sanitizer sees a short buffer
    for (size_t i = 0; i < size_t(width) * size_t(height) * size_t(channels); ++i)
        sum += pixels[i];
    free(pixels);
    return sum == 0xFFFFFFFFu ? 1 : 0;
}
