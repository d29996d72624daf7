// PNG files of every colour type and depth decoded into 8-bit pixels, bad
// files refused, and textures made with pure black as the colour key.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/gl_api.h"
#include "render/gl_state.h"
#include "render/texture.h"
#include "tests/render/gl_fixture.h"
#include "tools/pngwrite/png_write.h"

namespace {

typedef std::vector<uint8_t> Bytes;
typedef std::vector<uint16_t> Samples;

class PngTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        OpenWindow(16, 16);
    }
    std::string Write(int32_t width, int32_t height, int32_t colourType, int32_t depth, const Samples& samples,
                      bool interlaced = false, const Bytes& palette = {}, const Bytes& transparency = {})
    {
        PngImage image = {width,
                          height,
                          colourType,
                          depth,
                          interlaced,
                          samples.data(),
                          palette.empty() ? nullptr : palette.data(),
                          int32_t(palette.size() / 3),
                          transparency.empty() ? nullptr : transparency.data(),
                          int32_t(transparency.size())};
        std::string path = TempPath("image" + std::to_string(++written) + ".png");
        EXPECT_TRUE(WritePng(path.c_str(), image));
        return path;
    }
    std::string WriteBytes(const Bytes& bytes)
    {
        std::string path = TempPath("bytes" + std::to_string(++written) + ".png");
        FILE* file = fopen(path.c_str(), "wb");
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
        return path;
    }
    // The decoded pixels, or "refused".
    static std::string Decode(const std::string& path, int32_t channels)
    {
        uint8_t* pixels = nullptr;
        int32_t width = -1, height = -1;
        if (!LoadPngPixels(pixels, width, height, String(path.c_str()), channels))
            return pixels ? "refused, but a buffer came back" : "refused";
        int32_t clamped = channels < 1 ? 1 : channels > 4 ? 4 : channels;
        std::string text;
        for (int32_t i = 0; i < width * height * clamped; ++i)
            text += (i ? " " : "") + std::to_string(pixels[i]);
        free(pixels);
        return text;
    }
    // A texture's texels as GL holds them, rows top first.
    static Bytes Texels(const Texture& texture)
    {
        Bytes texels(size_t(texture.width) * size_t(texture.height) * 4);
        glBindTexture(GL_TEXTURE_2D, texture.glName);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glBindTexture(GL_TEXTURE_2D, glState.boundTexture);
        return texels;
    }
    int written = 0;
};

TEST_F(PngTest, EveryColourTypeAndDepthBecomesTheChannelsAskedFor)
{
    Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7};
    struct Case {
        int32_t type, depth;
        Samples samples;
        Bytes transparency;
        int32_t channels;
        const char* pixels;
    } cases[] = {
        {0, 8, {10}, {}, 1, "10"},
        {0, 8, {10}, {}, 2, "10 255"},
        {0, 8, {10}, {}, 4, "10 10 10 255"},
        {4, 8, {10, 20}, {}, 2, "10 20"},
        {4, 8, {10, 20}, {}, 3, "10 10 10"},
        {4, 8, {10, 20}, {}, 4, "10 10 10 20"},
        {2, 8, {10, 20, 30}, {}, 1, "10"},
        {2, 8, {10, 20, 30}, {}, 4, "10 20 30 255"},
        {6, 8, {10, 20, 30, 40}, {}, 2, "10 40"},
        {6, 8, {10, 20, 30, 40}, {}, 3, "10 20 30"},
        {6, 8, {10, 20, 30, 40}, {}, 0, "10"}, // channels clamped to 1..4
        {6, 8, {10, 20, 30, 40}, {}, 7, "10 20 30 40"},
        {0, 1, {0, 1}, {}, 1, "0 255"},
        {0, 2, {0, 1, 2, 3}, {}, 1, "0 85 170 255"},
        {0, 4, {0, 7, 15}, {}, 1, "0 119 255"},
        {0, 16, {0x1234}, {}, 2, "18 255"}, // 16-bit samples keep their high byte
        {4, 16, {0xABCD, 0x8001}, {}, 4, "171 171 171 128"},
        {6, 16, {0x1000, 0x2000, 0x3000, 0x4000}, {}, 4, "16 32 48 64"},
        // Palettes give opaque RGB whatever their transparency; colour keys add no alpha.
        {3, 2, {1, 3, 0}, {0, 128, 255, 0}, 4, "0 255 0 255 9 8 7 255 255 0 0 255"},
        {3, 8, {1, 3, 0}, {0, 128, 255, 0}, 4, "0 255 0 255 9 8 7 255 255 0 0 255"},
        {0, 8, {5, 6}, {0, 5}, 2, "5 255 6 255"},
        {2, 8, {1, 2, 3}, {0, 1, 0, 2, 0, 3}, 4, "1 2 3 255"},
    };
    for (const Case& c : cases) {
        int32_t width = int32_t(c.samples.size()) / (c.type == 2 ? 3 : c.type == 4 ? 2 : c.type == 6 ? 4 : 1);
        std::string path =
            Write(width, 1, c.type, c.depth, c.samples, false, c.type == 3 ? palette : Bytes{}, c.transparency);
        EXPECT_EQ(Decode(path, c.channels), c.pixels) << "type " << c.type << " depth " << c.depth;
    }
}

TEST_F(PngTest, InterlacedFilesDecodeLikePlainOnesRowsTopFirst)
{
    Samples samples;
    for (int32_t i = 0; i < 13 * 11 * 3; ++i)
        samples.push_back(uint16_t((i * 17 + i / 39 * 5) & 0xFF));
    std::string plain = Decode(Write(13, 11, 2, 8, samples), 3);
    EXPECT_EQ(Decode(Write(13, 11, 2, 8, samples, true), 3), plain);
    EXPECT_EQ(plain.substr(0, 9), "0 17 34 5");
    EXPECT_EQ(Decode(Write(3, 3, 0, 1, {1, 0, 0, 1, 1, 0, 1, 0, 1}, true), 1), "255 0 0 255 255 0 255 0 255");
}

// A PNG that is only a header of the given size and a scrap of image data,
// or with `whole` set, a whole black image of that size (grey only).
Bytes HeaderOnlyPng(uint32_t width, uint32_t height, uint8_t colourType, uint8_t bitDepth = 8, bool whole = false)
{
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    auto put32 = [](Bytes& to, uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            to.push_back(uint8_t(value >> shift));
    };
    auto chunk = [&](const char* type, const Bytes& data) {
        put32(png, uint32_t(data.size()));
        Bytes body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        png.insert(png.end(), body.begin(), body.end());
        put32(png, uint32_t(crc32(0, body.data(), uInt(body.size()))));
    };
    Bytes header;
    put32(header, width);
    put32(header, height);
    header.insert(header.end(), {bitDepth, colourType, 0, 0, 0});
    chunk("IHDR", header);
    Bytes rows(whole ? (size_t(width) * bitDepth + 15) / 8 * height : 0);
    Bytes data(compressBound(uLong(rows.size())));
    uLongf packed = uLongf(data.size());
    compress2(data.data(), &packed, rows.data(), uLong(rows.size()), Z_BEST_SPEED);
    data.resize(packed);
    chunk("IDAT", whole ? data : Bytes{0x78, 0x9C, 0x63, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01});
    chunk("IEND", {});
    return png;
}

TEST_F(PngTest, DamagedMissingAndOversizedFilesAreRefused)
{
    // Damaged game pictures are tried whole elsewhere; here, the bounds.
    for (const std::string& path :
         {std::string(""), tempFolder, WriteBytes({'h', 'e', 'l', 'l', 'o'}),
          WriteBytes(HeaderOnlyPng(100000, 100000, 6)), WriteBytes(HeaderOnlyPng(16384, 16384, 0, 1, true)),
          WriteBytes(HeaderOnlyPng(1, 0x7FFFFFFF, 0)), WriteBytes(HeaderOnlyPng(0, 5, 0))})
        EXPECT_EQ(Decode(path, 4), "refused") << path;
    EXPECT_NE(Decode(WriteBytes(HeaderOnlyPng(20000, 1, 0, 8, true)), 1), "refused"); // wide but small
}

TEST_F(PngTest, OnlyPureBlackIsKeyedAndFadesPullOtherColours)
{
    struct Case {
        Samples rgba;
        int32_t divisor, red, green, blue;
        Bytes texels;
        bool transparent, translucent;
    } cases[] = {
        {{0, 0, 0, 255, 255, 255, 255, 255}, 0, 0, 0, 0, {0, 0, 0, 0, 255, 255, 255, 255}, true, false},
        {{1, 0, 0, 255, 0, 0, 1, 255, 0, 1, 0, 255},
         0,
         0,
         0,
         0,
         {1, 0, 0, 255, 0, 0, 1, 255, 0, 1, 0, 255},
         false,
         false},
        {{0, 0, 0, 128}, 0, 0, 0, 0, {0, 0, 0, 0}, true, false},
        {{1, 0, 0, 128}, 0, 0, 0, 0, {1, 0, 0, 128}, true, true},
        {{9, 9, 9, 0}, 0, 0, 0, 0, {9, 9, 9, 0}, true, false},
        // (100 - 255) / 2 truncates to -77; black stays keyed and unfaded.
        {{100, 50, 0, 255, 0, 0, 0, 255, 255, 255, 255, 10},
         2,
         255,
         255,
         255,
         {178, 153, 128, 255, 0, 0, 0, 0, 255, 255, 255, 10},
         true,
         true},
        {{100, 50, 0, 255, 0, 0, 0, 255, 255, 255, 255, 10},
         3,
         0,
         30,
         0,
         {33, 36, 0, 255, 0, 0, 0, 0, 85, 105, 85, 10},
         true,
         true},
    };
    for (const Case& c : cases) {
        Texture texture;
        ASSERT_TRUE(texture.Load(String(Write(int32_t(c.rgba.size() / 4), 1, 6, 8, c.rgba).c_str()), c.divisor, c.red,
                                 c.green, c.blue));
        EXPECT_EQ(Texels(texture), c.texels) << int(c.rgba[0]) << " " << c.divisor;
        EXPECT_EQ(texture.hasTransparency, c.transparent) << int(c.rgba[0]);
        EXPECT_EQ(texture.hasTranslucency, c.translucent) << int(c.rgba[0]);
    }
}

TEST_F(PngTest, OddSizesUploadUnpaddedAndAFailedReloadEmptiesTheTexture)
{
    Samples samples;
    for (int32_t i = 0; i < 37 * 5; ++i)
        samples.insert(samples.end(), {uint16_t(i % 251 + 1), uint16_t(i / 37 + 1), 3});
    Texture texture;
    ASSERT_TRUE(texture.Load(String(Write(37, 5, 2, 8, samples).c_str()), 0, 0, 0, 0));
    EXPECT_EQ(texture.width, 37);
    EXPECT_EQ(texture.height, 5);
    Bytes texels = Texels(texture);
    EXPECT_EQ(texels[(36 + 4 * 37) * 4], uint8_t((36 + 4 * 37) % 251 + 1));
    EXPECT_EQ(texels[(36 + 4 * 37) * 4 + 1], 5);
    uint32_t name = texture.glName;
    EXPECT_FALSE(texture.Load(String(TempPath("absent.png").c_str()), 0, 0, 0, 0));
    EXPECT_EQ(texture.glName, 0u);
    EXPECT_EQ(texture.width, 0);
    EXPECT_FALSE(glIsTexture(name));
}

} // namespace
