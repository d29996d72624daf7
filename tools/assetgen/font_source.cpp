// Parses the font source and packs its glyphs into the face and outline images.
#include "tools/assetgen/font_source.h"

namespace {

const int kCellGap = 2;

bool ParseGlyphHeader(const std::vector<std::string>& words, int& code)
{
    if (words.size() == 2 && words[1].size() == 1 && words[1][0] > ' ' && words[1][0] < 127) {
        code = uint8_t(words[1][0]);
        return true;
    }
    if (words.size() == 2 && words[1] == "space") {
        code = 32;
        return true;
    }
    if (words.size() == 2 && words[1] == "tab") {
        code = 9;
        return true;
    }
    if (words.size() == 3 && words[1] == "code" && ParseWholeNumber(words[2], code))
        return code >= 0 && code <= 255;
    return false;
}

// The glyph header line is read literally so that "glyph #" names '#'.
std::vector<std::string> HeaderWords(const std::string& line)
{
    if (line.size() == 7 && line.compare(0, 6, "glyph ") == 0)
        return {"glyph", line.substr(6)};
    return SplitWords(line);
}

bool ParseMetric(const SourceText& source, int lineNumber, const std::vector<std::string>& words, FontSource& font,
                 bool seen[4])
{
    static const char* const names[4] = {"height", "spacing", "lineGap", "reserved"};
    int* const fields[4] = {&font.height, &font.spacing, &font.lineGap, &font.reserved};
    static const int lowest[4] = {1, 0, 0, -1000000}, highest[4] = {64, 16, 64, 1000000};
    for (int m = 0; m < 4; ++m) {
        if (words[0] != names[m])
            continue;
        int value = 0;
        if (words.size() != 2 || !ParseWholeNumber(words[1], value) || value < lowest[m] || value > highest[m])
            return ReportSourceFault(source, lineNumber,
                                     std::string(names[m]) + " needs one whole number from " +
                                         std::to_string(lowest[m]) + " to " + std::to_string(highest[m]));
        if (seen[m])
            return ReportSourceFault(source, lineNumber, std::string(names[m]) + " is given twice");
        seen[m] = true;
        *fields[m] = value;
        return true;
    }
    return ReportSourceFault(source, lineNumber, "expected height, spacing, lineGap, reserved or a glyph");
}

bool ParseGlyphRows(const SourceText& source, size_t firstRow, int code, FontSource& font)
{
    GlyphBitmap& glyph = font.glyphs[code];
    if (firstRow + size_t(font.height) > source.lines.size())
        return ReportSourceFault(source, int(firstRow), "glyph needs " + std::to_string(font.height) + " rows");
    for (int r = 0; r < font.height; ++r) {
        const std::string& row = source.lines[firstRow + size_t(r)];
        const int lineNumber = int(firstRow) + r + 1;
        if (r == 0) {
            if (row.empty() || row.size() > 64)
                return ReportSourceFault(source, lineNumber, "glyph rows are 1 to 64 pixels wide");
            glyph.width = int(row.size());
        } else if (int(row.size()) != glyph.width) {
            return ReportSourceFault(source, lineNumber, "glyph row width differs from its first row");
        }
        for (char c : row) {
            if (c != '.' && c != '#')
                return ReportSourceFault(source, lineNumber, "glyph rows hold only '.' and '#'");
            glyph.ink.push_back(c == '#' ? 1 : 0);
        }
    }
    glyph.defined = true;
    return true;
}

int NextPowerOfTwo(int value)
{
    int power = 1;
    while (power < value)
        power *= 2;
    return power;
}

} // namespace

bool ParseFontSource(const SourceText& source, FontSource& font)
{
    font = FontSource{};
    bool seen[4] = {};
    size_t i = 0;
    while (i < source.lines.size()) {
        const std::string& line = source.lines[i];
        const int lineNumber = int(i) + 1;
        const std::vector<std::string> words = HeaderWords(line);
        if (!words.empty() && words[0] == "glyph") {
            if (!seen[0])
                return ReportSourceFault(source, lineNumber, "height must come before the first glyph");
            int code = 0;
            if (!ParseGlyphHeader(words, code))
                return ReportSourceFault(source, lineNumber,
                                         "expected glyph CHAR, glyph space, glyph tab or glyph code N");
            if (font.glyphs[code].defined)
                return ReportSourceFault(source, lineNumber, "glyph code " + std::to_string(code) + " is given twice");
            if (!ParseGlyphRows(source, i + 1, code, font))
                return false;
            i += size_t(font.height) + 1;
            continue;
        }
        if (!IsCommentOrBlank(line) && !ParseMetric(source, lineNumber, words, font, seen))
            return false;
        ++i;
    }
    if (!seen[0])
        return ReportSourceFault(source, 0, "no height given");
    for (int code = 9; code <= 126; ++code) {
        if (code > 9 && code < 32)
            continue;
        if (!font.glyphs[code].defined)
            return ReportSourceFault(source, 0,
                                     "glyph code " + std::to_string(code) + " ('" + char(code) + "') is missing");
    }
    return true;
}

FontPage LayOutFontPage(const FontSource& font)
{
    FontPage page;
    page.imageWidth = 256;
    int x = kCellGap, y = kCellGap;
    for (int code = 0; code < 256; ++code) {
        const GlyphBitmap& glyph = font.glyphs[code];
        if (!glyph.defined)
            continue;
        if (x + glyph.width + kCellGap > page.imageWidth) {
            x = kCellGap;
            y += font.height + kCellGap;
        }
        page.cells[code] = GlyphCell{x, y, glyph.width};
        x += glyph.width + kCellGap;
    }
    page.imageHeight = NextPowerOfTwo(y + font.height + kCellGap);
    page.face.assign(size_t(page.imageWidth * page.imageHeight), 0);
    page.outline.assign(page.face.size(), 0);
    for (int code = 0; code < 256; ++code) {
        const GlyphBitmap& glyph = font.glyphs[code];
        if (!glyph.defined)
            continue;
        const GlyphCell& cell = page.cells[code];
        for (int gy = 0; gy < font.height; ++gy)
            for (int gx = 0; gx < glyph.width; ++gx) {
                if (!glyph.ink[size_t(gy * glyph.width + gx)])
                    continue;
                page.face[size_t((cell.y + gy) * page.imageWidth + cell.x + gx)] = 255;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        page.outline[size_t((cell.y + gy + dy) * page.imageWidth + cell.x + gx + dx)] = 255;
            }
    }
    return page;
}

std::string FontDescriptorText(const FontSource& font)
{
    return std::to_string(font.height) + "\n" + std::to_string(font.spacing) + "\n" + std::to_string(font.lineGap) +
           "\n" + std::to_string(font.reserved) + "\n";
}

std::string FontPageText(const FontSource& font, const FontPage& page)
{
    int lastCode = -1;
    for (int code = 0; code < 256; ++code)
        if (font.glyphs[code].defined)
            lastCode = code;
    std::string text;
    for (int code = 0; code <= lastCode; ++code) {
        if (font.glyphs[code].defined) {
            const GlyphCell& cell = page.cells[code];
            text += std::to_string(cell.x) + "\t" + std::to_string(cell.y) + "\t" + std::to_string(cell.width);
        }
        text += "\n";
    }
    return text;
}
