#include "tests/text/test_font.h"

#include <cstdio>

#include "tools/pngwrite/png_write.h"

void WriteTextFile(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return;
    if (!bytes.empty())
        fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

static void WriteCells(const std::string& path, int32_t width, int32_t height, const std::vector<TestCell>& cells,
                       int32_t cellHeight, int32_t grow)
{
    std::vector<uint16_t> samples(size_t(width) * size_t(height), 0);
    for (const TestCell& cell : cells)
        for (int32_t y = cell.y - grow; !cell.blank && y < cell.y + cellHeight + grow; ++y)
            for (int32_t x = cell.x - grow; x < cell.x + cell.width + grow; ++x)
                samples[size_t(y) * size_t(width) + size_t(x)] = 255;
    PngImage image = {width, height, 0, 8, false, samples.data(), nullptr, 0, nullptr, 0};
    WritePng(path.c_str(), image);
}

std::vector<TestCell> WriteTestFont(const std::string& folder, const std::string& descriptorName,
                                    const std::string& descriptorText, int32_t height,
                                    const std::vector<TestFontPage>& pages)
{
    WriteTextFile(folder + "/" + descriptorName, descriptorText);
    size_t dot = descriptorName.rfind('.');
    std::string base = dot == std::string::npos ? descriptorName : descriptorName.substr(0, dot);
    std::string extension = dot == std::string::npos ? "" : descriptorName.substr(dot);
    std::vector<TestCell> cells;
    for (const TestFontPage& page : pages) {
        cells.clear();
        std::string pageName = base + " " + std::to_string(page.number);
        int32_t x = 2, lastCode = -1;
        for (const TestGlyph& glyph : page.glyphs) {
            cells.push_back(TestCell{glyph.code, x, 1, glyph.width, glyph.blank});
            x += glyph.width + 3;
            lastCode = glyph.code > lastCode ? glyph.code : lastCode;
        }
        std::string lines;
        for (int32_t code = 0; code <= lastCode; ++code) {
            for (const TestCell& cell : cells)
                if (cell.code == code)
                    lines += std::to_string(cell.x) + "\t" + std::to_string(cell.y) + "\t" + std::to_string(cell.width);
            lines += "\n";
        }
        WriteTextFile(folder + "/" + pageName + extension, lines);
        int32_t imageWidth = x + 12, imageHeight = height + 3;
        if (page.writeFace)
            WriteCells(folder + "/" + pageName + ".png", imageWidth, imageHeight, cells, height, 0);
        if (page.writeOutline)
            WriteCells(folder + "/" + pageName + " outline.png", imageWidth, imageHeight, cells, height, 1);
    }
    return cells;
}
