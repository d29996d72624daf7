// Writes a PNG file from plain samples, for the asset tool and for tests that
// need images of every colour type, bit depth and interlacing.
//
// Samples hold one value per channel, rows top first, each value below
// 2^bitDepth; for palette images (colour type 3) they are palette indices.
// `transparency` is the tRNS payload: one alpha byte per palette entry for
// type 3, the 2-byte grey key for type 0 or the 6-byte RGB key for type 2.
// WritePng checks the whole description before writing, prints the reason to
// stderr and returns false when it is unusable or the file cannot be written.
// The file is replaced only once the new picture is whole: a failed write
// leaves whatever stood at the path as it was.
#pragma once

#include <cstdint>

struct PngImage {
    int32_t width, height;
    int32_t colourType;      // 0 grey, 2 RGB, 3 palette, 4 grey-alpha, 6 RGBA
    int32_t bitDepth;        // 1, 2, 4, 8 or 16 as PNG allows for the colour type
    bool interlaced;         // Adam7
    const uint16_t* samples; // one value per sample, rows top first; palette indices for type 3
    const uint8_t* palette;  // RGB triples, for type 3
    int32_t paletteSize;
    const uint8_t* transparency; // tRNS bytes (palette alpha), or null
    int32_t transparencyCount;
};

// Channels per pixel of a colour type, or 0 for a type PNG does not have.
int32_t PngChannelCount(int32_t colourType);

bool WritePng(const char* path, const PngImage& image);
