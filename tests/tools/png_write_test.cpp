// Writes images of every colour type and depth and reads them back with libpng.
#include "tools/pngwrite/png_write.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct ReadBack {
    bool ok = false;
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    std::vector<uint16_t> samples;
    std::vector<uint8_t> palette;
    std::vector<uint8_t> alpha;
    png_color_16 key = {};
    bool hasKey = false;
    std::vector<uint8_t> pixels;
    std::vector<png_bytep> rows;
};

bool ReadInto(FILE* file, ReadBack& out, png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_read_info(png, info);
    png_get_IHDR(png, info, &out.width, &out.height, &out.bitDepth, &out.colourType, &out.interlace, nullptr, nullptr);
    png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    out.pixels.resize(rowBytes * out.height);
    out.rows.resize(out.height);
    for (png_uint_32 y = 0; y < out.height; ++y) out.rows[y] = out.pixels.data() + rowBytes * y;
    png_read_image(png, out.rows.data());
    png_read_end(png, nullptr);
    png_bytepp rows = out.rows.data();
    const int channels = png_get_channels(png, info);
    for (png_uint_32 y = 0; y < out.height; ++y)
        for (png_uint_32 i = 0; i < out.width * png_uint_32(channels); ++i)
            out.samples.push_back(out.bitDepth == 16 ? uint16_t((rows[y][2 * i] << 8) | rows[y][2 * i + 1]) : rows[y][i]);
    png_colorp entries = nullptr;
    int entryCount = 0;
    if (png_get_PLTE(png, info, &entries, &entryCount))
        for (int i = 0; i < entryCount; ++i) out.palette.insert(out.palette.end(), {entries[i].red, entries[i].green, entries[i].blue});
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    png_color_16p key = nullptr;
    if (png_get_tRNS(png, info, &alpha, &alphaCount, &key)) {
        if (out.colourType == 3) out.alpha.assign(alpha, alpha + alphaCount);
        else if (key) { out.key = *key; out.hasKey = true; }
    }
    return true;
}

ReadBack ReadPngFile(const std::string& path)
{
    ReadBack out;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return out;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    out.ok = ReadInto(file, out, png, info);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return out;
}

std::string TempPath(const char* name) { return std::string(::testing::TempDir()) + name; }

std::vector<uint16_t> Ramp(int32_t count, int32_t limit)
{
    std::vector<uint16_t> samples(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) samples[size_t(i)] = uint16_t((i * 7919 + 13) % limit);
    return samples;
}

PngImage Plain(int32_t w, int32_t h, int32_t type, int32_t depth, const std::vector<uint16_t>& samples)
{
    return PngImage{w, h, type, depth, false, samples.data(), nullptr, 0, nullptr, 0};
}

} // namespace

TEST(PngWrite, EveryColourTypeAndDepthRoundTrips)
{
    const int32_t depths[5][6] = {{1, 2, 4, 8, 16, 0}, {8, 16, 0}, {1, 2, 4, 8, 0}, {8, 16, 0}, {8, 16, 0}};
    const int32_t types[5] = {0, 2, 3, 4, 6};
    std::vector<uint8_t> palette;
    for (int i = 0; i < 256; ++i) palette.insert(palette.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3)});
    for (int t = 0; t < 5; ++t)
        for (int d = 0; depths[t][d] != 0; ++d)
            for (bool interlaced : {false, true}) {
                const int32_t type = types[t], depth = depths[t][d];
                SCOPED_TRACE("type " + std::to_string(type) + " depth " + std::to_string(depth) +
                             (interlaced ? " interlaced" : ""));
                const int32_t w = 13, h = 11; // odd sizes exercise partial bytes and Adam7 passes
                const int32_t entries = type == 3 ? (1 << depth) : 0;
                const auto samples = Ramp(w * h * PngChannelCount(type), type == 3 ? entries : (1 << depth));
                PngImage image = Plain(w, h, type, depth, samples);
                image.interlaced = interlaced;
                if (type == 3) { image.palette = palette.data(); image.paletteSize = entries; }
                const std::string path = TempPath("roundtrip.png");
                ASSERT_TRUE(WritePng(path.c_str(), image));
                const ReadBack back = ReadPngFile(path);
                ASSERT_TRUE(back.ok);
                EXPECT_EQ(back.width, 13u);
                EXPECT_EQ(back.height, 11u);
                EXPECT_EQ(back.colourType, type);
                EXPECT_EQ(back.bitDepth, depth);
                EXPECT_EQ(back.interlace, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE);
                EXPECT_EQ(back.samples, samples);
                if (type == 3) { EXPECT_EQ(back.palette, std::vector<uint8_t>(palette.begin(), palette.begin() + 3 * entries)); }
            }
}

TEST(PngWrite, TransparencyIsStoredAsGiven)
{
    const std::vector<uint16_t> indices = {0, 1, 2, 1};
    const uint8_t palette[9] = {0, 0, 0, 200, 10, 10, 10, 200, 10};
    const uint8_t alpha[2] = {0, 128};
    PngImage paletted = {2, 2, 3, 8, false, indices.data(), palette, 3, alpha, 2};
    const std::string path = TempPath("trns.png");
    ASSERT_TRUE(WritePng(path.c_str(), paletted));
    ReadBack back = ReadPngFile(path);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.alpha, std::vector<uint8_t>({0, 128}));

    const std::vector<uint16_t> rgb(12, 7);
    const uint8_t key[6] = {0, 7, 0, 8, 0, 254};
    PngImage keyed = {2, 2, 2, 8, false, rgb.data(), nullptr, 0, key, 6};
    ASSERT_TRUE(WritePng(path.c_str(), keyed));
    back = ReadPngFile(path);
    ASSERT_TRUE(back.hasKey);
    EXPECT_EQ(back.key.red, 7);
    EXPECT_EQ(back.key.green, 8);
    EXPECT_EQ(back.key.blue, 254);
}

TEST(PngWrite, RefusesDescriptionsPngCannotHold)
{
    const std::vector<uint16_t> samples(64, 1);
    const std::vector<uint16_t> tooBright(16, 256);
    const uint8_t palette[6] = {1, 2, 3, 4, 5, 6};
    const uint8_t alpha[3] = {1, 2, 3};
    const uint8_t wideKey[2] = {1, 0};
    const std::string path = TempPath("refused.png");
    PngImage bad[] = {
        Plain(0, 4, 0, 8, samples),            // empty
        Plain(4, 4, 5, 8, samples),            // no such colour type
        Plain(4, 4, 2, 4, samples),            // RGB has no 4-bit form
        Plain(4, 4, 3, 16, samples),           // palettes stop at 8 bits
        Plain(4, 4, 0, 8, tooBright),          // sample past the depth
        {4, 4, 3, 8, false, samples.data(), nullptr, 0, nullptr, 0},  // palette missing
        {4, 4, 3, 1, false, samples.data(), palette, 1, nullptr, 0},  // index 1 past a 1-entry palette
        {4, 4, 3, 8, false, samples.data(), palette, 2, alpha, 3},    // more alpha than entries
        {4, 4, 6, 8, false, samples.data(), nullptr, 0, alpha, 3},    // RGBA has no tRNS
        {4, 4, 0, 8, false, nullptr, nullptr, 0, nullptr, 0},         // no samples
        {4, 4, 0, 8, false, samples.data(), nullptr, 0, wideKey, 2},  // grey key 256 at 8 bits
    };
    for (const PngImage& image : bad) {
        std::remove(path.c_str());
        EXPECT_FALSE(WritePng(path.c_str(), image));
        EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
    }
}

TEST(PngWrite, ReportsAnUnwritablePath)
{
    const std::vector<uint16_t> samples(4, 1);
    EXPECT_FALSE(WritePng("/nonexistent-folder/x.png", Plain(2, 2, 0, 8, samples)));
    EXPECT_FALSE(WritePng(nullptr, Plain(2, 2, 0, 8, samples)));
}
