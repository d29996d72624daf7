// Writes a small font for tests: the descriptor, page files and each page's
// face and outline images, whose glyph cells are solid blocks (the outline's
// one pixel larger all round), placed left to right on one row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestGlyph {
    int32_t code;
    int32_t width;
    bool blank = false; // its cell is left empty
};

struct TestFontPage {
    int32_t number;
    std::vector<TestGlyph> glyphs;
    bool writeFace = true, writeOutline = true;
};

// Where each glyph's cell went: code, x, y as written in the page file.
struct TestCell {
    int32_t code, x, y, width;
    bool blank;
};

// Writes "<folder>/<descriptorName>" with the descriptor text, and for each
// page "<base> <n><extension>" with its glyph lines and images, which end in
// 11 empty columns after the last cell. Returns the cells of the last page
// written.
std::vector<TestCell> WriteTestFont(const std::string& folder, const std::string& descriptorName,
                                    const std::string& descriptorText, int32_t height,
                                    const std::vector<TestFontPage>& pages);
void WriteTextFile(const std::string& path, const std::string& bytes);
