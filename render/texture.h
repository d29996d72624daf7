// Textures: PNG files decoded through libpng into 8-bit pixels, and the
// game's images made from them with pure black as the transparent colour.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/string.h"

enum class TexelFormat : int32_t { Alpha = 0, Luminance = 1, LuminanceAlpha = 2, Rgb = 3, Rgba = 4 };

// All that decoding one picture may take: its file read through, its image
// data inflated, libpng's rows and the pixels handed out. No picture of the
// game comes near it, and it keeps a small file that claims huge sides from
// asking for gigabytes, or a huge one from being read for long.
const size_t kMostPictureBytes = size_t(256) << 20;

// Reads a PNG into a new buffer of width x height pixels of `channels` bytes
// (clamped to 1..4), top row first. The caller frees the buffer with free().
bool LoadPngPixels(uint8_t*& pixels, int32_t& width, int32_t& height, const String& fileName, int32_t channels);
// The same for pictures that share one budget, as a font's pages do: a
// picture whose decoding would take more than is left of it fails at once,
// unread, and what a decoding takes is taken from it.
bool LoadPngPixelsWithin(uint8_t*& pixels, int32_t& width, int32_t& height, const String& fileName, int32_t channels,
                         size_t& bytesLeft);

// A texture name for the pixels; 0 when the GL gave none. The buffer is not
// kept.
uint32_t CreateGlTexture(const uint8_t* pixels, TexelFormat format, int32_t width, int32_t height, bool clampS,
                         bool clampT, bool linearMin, bool linearMag);
void DeleteGlTexture(uint32_t glName);

struct Texture {
    int32_t width = 0;
    int32_t height = 0;
    bool hasTransparency = false; // some pixel has alpha below 255
    bool hasTranslucency = false; // some pixel that is not colour-keyed has alpha between 0 and 255
    uint32_t glName = 0;
    // The image's copy in the sprite sheet (render/sprite_sheet.h) and the s
    // and t of its edges there; sheetName is 0 when it has none.
    uint32_t sheetName = 0;
    float sheetLeft = 0, sheetRight = 0, sheetTop = 0, sheetBottom = 0;

    Texture() = default;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    ~Texture();

    // Loads the file with black made transparent and, when fadeDivisor is not
    // 0, every other colour pulled towards the fade colour.
    bool Load(const String& fileName, int32_t fadeDivisor, int32_t fadeRed, int32_t fadeGreen, int32_t fadeBlue);
};
