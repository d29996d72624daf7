// The bitmap font: a four-line descriptor (height, spacing, line gap,
// reserved) and up to 256 pages of tab-separated glyph cells, each page with
// a face image and an outline image.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/string.h"

struct Glyph {
    uint8_t defined;
    int32_t x, y; // top-left pixel of the cell in the page images
    int32_t width;
};

struct FontPage {
    Glyph glyphs[256];
    int32_t faceWidth, faceHeight;
    uint32_t faceTexture;
    int32_t outlineWidth, outlineHeight;
    uint32_t outlineTexture;
    FontPage* previous;
    FontPage* next;
};

struct Font {
    int32_t height = 0;
    int32_t spacing = 0;
    int32_t lineGap = 0;
    int32_t reserved = 0;
    FontPage* firstPage = nullptr;
    FontPage* lastPage = nullptr;
    int32_t pageCount = 0;
    FontPage* pages[256] = {};
    const Glyph* defaultGlyph = nullptr;
    const FontPage* defaultPage = nullptr;

    Font() = default;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    // Deletes the page textures and releases the pages, as ClearFont does.
    ~Font();
};

// Loads dataFolder\fontFolder\fileName and its pages; on false the font is
// empty and the reason has been logged.
bool LoadFont(Font& font, const String& dataFolder, const String& fontFolder, const String& fileName);
// Its pictures take what they need from pictureBytesLeft, shared by the pages.
bool LoadFontPage(FontPage& page, const String& dataFolder, const String& fontFolder, const String& pageFileName,
                  size_t& pictureBytesLeft);
void ClearFont(Font& font);
void ClearFontPage(FontPage& page);
// The glyph for a code of a page, or the font's default glyph when the page
// or the code is not defined.
void FindGlyph(const Font& font, int32_t pageNumber, int32_t code, const Glyph*& glyph, const FontPage*& page);
