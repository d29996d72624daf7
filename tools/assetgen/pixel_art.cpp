// Parses palettes and text pictures, and writes pictures as RGB PNGs.
#include "tools/assetgen/pixel_art.h"

#include "tools/pngwrite/png_write.h"

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseHexColour(const std::string& word, uint8_t colour[3])
{
    if (word.size() != 6)
        return false;
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(word[size_t(2 * i)]), low = HexDigit(word[size_t(2 * i + 1)]);
        if (high < 0 || low < 0)
            return false;
        colour[i] = uint8_t(high * 16 + low);
    }
    return true;
}

bool IsPixelCharacter(char c) { return c > ' ' && c < 127 && c != '#'; }

std::string WithoutTrailingBlanks(const std::string& line)
{
    size_t end = line.size();
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t'))
        --end;
    return line.substr(0, end);
}

} // namespace

bool ParsePalette(const SourceText& source, Palette& palette)
{
    palette = Palette{};
    palette.defined[int('.')] = true;
    bool dotListed = false;
    for (size_t i = 0; i < source.lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        if (IsCommentOrBlank(source.lines[i]))
            continue;
        const std::vector<std::string> words = SplitWords(source.lines[i]);
        if (words.size() < 2)
            return ReportSourceFault(source, lineNumber, "expected CHAR RRGGBB");
        if (words[0].size() != 1 || !IsPixelCharacter(words[0][0]))
            return ReportSourceFault(source, lineNumber, "a palette key is one printable character other than '#'");
        const char key = words[0][0];
        uint8_t colour[3];
        if (!ParseHexColour(words[1], colour))
            return ReportSourceFault(source, lineNumber, "colour must be six hex digits, RRGGBB");
        const bool black = colour[0] == 0 && colour[1] == 0 && colour[2] == 0;
        if (key == '.') {
            if (!black || dotListed)
                return ReportSourceFault(source, lineNumber, "'.' is the transparent 000000, listed once");
            dotListed = true;
            continue;
        }
        if (black)
            return ReportSourceFault(source, lineNumber,
                                     "pure black is the transparent key; use '.' or a colour such as 010101");
        if (palette.defined[int(key)])
            return ReportSourceFault(source, lineNumber, std::string("'") + key + "' is defined twice");
        palette.defined[int(key)] = true;
        for (int c = 0; c < 3; ++c)
            palette.colour[int(key)][c] = colour[c];
    }
    return true;
}

bool ParsePixelArt(const SourceText& source, const Palette& palette, PixelArt& art)
{
    art = PixelArt{};
    for (size_t i = 0; i < source.lines.size(); ++i) {
        const int lineNumber = int(i) + 1;
        if (IsCommentOrBlank(source.lines[i]))
            continue;
        const std::string row = WithoutTrailingBlanks(source.lines[i]);
        if (art.height == 0) {
            if (row.size() > 4096)
                return ReportSourceFault(source, lineNumber, "row wider than 4096 pixels");
            art.width = int(row.size());
        } else if (int(row.size()) != art.width) {
            return ReportSourceFault(source, lineNumber,
                                     "row is " + std::to_string(row.size()) + " pixels wide, the first was " +
                                         std::to_string(art.width));
        }
        for (size_t x = 0; x < row.size(); ++x) {
            const char c = row[x];
            if (!IsPixelCharacter(c) || !palette.defined[int(c)])
                return ReportSourceFault(source, lineNumber,
                                         std::string("character '") + c + "' at column " + std::to_string(x + 1) +
                                             " is not in the palette");
            art.rgb.insert(art.rgb.end(), palette.colour[int(c)], palette.colour[int(c)] + 3);
        }
        if (++art.height > 4096)
            return ReportSourceFault(source, lineNumber, "more than 4096 rows");
    }
    if (art.height == 0)
        return ReportSourceFault(source, 0, "no picture rows");
    return true;
}

bool IsTransparentPixel(const PixelArt& art, int x, int y)
{
    const uint8_t* p = &art.rgb[size_t(3 * (y * art.width + x))];
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

PixelArt ScalePixelArt(const PixelArt& art, int factor)
{
    PixelArt big;
    big.width = art.width * factor;
    big.height = art.height * factor;
    big.rgb.resize(size_t(3 * big.width * big.height));
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x)
            for (int c = 0; c < 3; ++c)
                big.rgb[size_t(3 * (y * big.width + x) + c)] =
                    art.rgb[size_t(3 * ((y / factor) * art.width + x / factor) + c)];
    return big;
}

bool WritePixelArtPng(const char* path, const PixelArt& art)
{
    const std::vector<uint16_t> samples(art.rgb.begin(), art.rgb.end());
    const PngImage image = {art.width, art.height, 2, 8, false, samples.data(), nullptr, 0, nullptr, 0};
    return WritePng(path, image);
}
