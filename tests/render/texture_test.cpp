// PNG files of every colour type and depth decoded into the 1 or 4 channels
// the font and the sprites ask for, bad files refused, and textures made
// with pure black as the colour key.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
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
    // A one-row image; palette images index red, green, blue and (9,8,7).
    std::string Write(int32_t type, int32_t depth, const Samples& samples, const Bytes& transparency = {},
                      bool interlaced = false)
    {
        static const Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7};
        int32_t width = int32_t(samples.size()) / PngChannelCount(type);
        PngImage image = {width, 1, type, depth, interlaced, samples.data(), nullptr, 0, transparency.data(), 0};
        image.transparencyCount = int32_t(transparency.size());
        if (type == 3) {
            image.palette = palette.data();
            image.paletteSize = 4;
        }
        std::string path = TempPath("image" + std::to_string(++written) + ".png");
        EXPECT_TRUE(WritePng(path.c_str(), image));
        return path;
    }
    std::string WriteBytes(const Bytes& bytes)
    {
        std::string path = TempPath("bytes" + std::to_string(++written) + ".png");
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
    // The decoded samples, or "refused".
    static std::string Decode(const std::string& path, int32_t channels)
    {
        uint8_t* pixels = nullptr;
        int32_t width = -1, height = -1;
        if (!LoadPngPixels(pixels, width, height, String(path.c_str()), channels))
            return pixels ? "refused, but a buffer came back" : "refused";
        std::string text;
        for (int32_t i = 0; i < width * height * channels; ++i)
            text += (i ? " " : "") + std::to_string(pixels[i]);
        free(pixels);
        return text;
    }
    int written = 0;
};

TEST_F(PngTest, EveryColourTypeAndDepthBecomesTheChannelsAskedFor)
{
    struct Case {
        int32_t type, depth;
        Samples samples;
        Bytes transparency;
        const char *one, *four; // a font page's single channel, a sprite's four
        bool interlaced = false;
    } cases[] = {
        {0, 8, {10}, {}, "10", "10 10 10 255"},
        {4, 8, {10, 20}, {}, "10", "10 10 10 20"},
        {2, 8, {10, 20, 30}, {}, "10", "10 20 30 255"},
        {6, 8, {10, 20, 30, 40}, {}, "10", "10 20 30 40"},
        {4, 16, {0xABCD, 0x8001}, {}, "171", "171 171 171 128"}, // 16-bit samples keep their high byte
        // Palettes give opaque RGB whatever their transparency; colour keys add no alpha.
        {3, 8, {1, 3, 0}, {0, 128, 255, 0}, "0 9 255", "0 255 0 255 9 8 7 255 255 0 0 255"},
        {0, 8, {5, 6}, {0, 5}, "5 6", "5 5 5 255 6 6 6 255"},
        {2, 8, {1, 2, 3}, {0, 1, 0, 2, 0, 3}, "1", "1 2 3 255"},
        {0, 1, {1, 0, 0, 1, 1, 0, 1, 0, 1}, {}, "255 0 0 255 255 0 255 0 255", nullptr, true},
    };
    for (const Case& c : cases) {
        std::string path = Write(c.type, c.depth, c.samples, c.transparency, c.interlaced);
        EXPECT_EQ(Decode(path, 1), c.one) << "type " << c.type << " depth " << c.depth;
        if (c.four) {
            EXPECT_EQ(Decode(path, 4), c.four) << "type " << c.type << " depth " << c.depth;
        }
    }
}

// A black grey PNG of the given size and depth, made here because a picture
// this large is too slow to describe sample by sample.
Bytes BlackGreyPng(uint32_t width, uint32_t height, uint8_t depth)
{
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    auto put32 = [](Bytes& to, uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            to.push_back(uint8_t(value >> shift));
    };
    auto chunk = [&](const char* type, Bytes data) {
        put32(png, uint32_t(data.size()));
        data.insert(data.begin(), type, type + 4);
        png.insert(png.end(), data.begin(), data.end());
        put32(png, uint32_t(crc32(0, data.data(), uInt(data.size()))));
    };
    Bytes header;
    put32(header, width);
    put32(header, height);
    header.insert(header.end(), {depth, 0, 0, 0, 0});
    chunk("IHDR", header);
    Bytes rows(((size_t(width) * depth + 7) / 8 + 1) * height), packed(compressBound(uLong(rows.size())));
    uLongf size = uLongf(packed.size());
    compress2(packed.data(), &size, rows.data(), uLong(rows.size()), Z_BEST_SPEED);
    packed.resize(size);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return png;
}

TEST_F(PngTest, DamagedMissingAndOversizedFilesAreRefused)
{
    // A small file may claim a picture too large to decode; a wide strip is fine.
    for (const std::string& path : {std::string(""), tempFolder, WriteBytes({'h', 'e', 'l', 'l', 'o'}),
                                    WriteBytes(BlackGreyPng(16384, 16384, 1))})
        EXPECT_EQ(Decode(path, 4), "refused") << path;
    EXPECT_EQ(Decode(WriteBytes(BlackGreyPng(20000, 1, 8)), 1).substr(0, 6), "0 0 0 ");
}

TEST_F(PngTest, OnlyPureBlackIsKeyedAndFadesPullOtherColours)
{
    struct Case {
        Samples rgba;
        int32_t fade[4]; // divisor, red, green, blue
        Bytes texels;
        bool transparent, translucent;
    } cases[] = {
        {{0, 0, 0, 255, 255, 255, 255, 255}, {0, 0, 0, 0}, {0, 0, 0, 0, 255, 255, 255, 255}, true, false},
        {{1, 0, 0, 255, 0, 0, 1, 255, 0, 1, 0, 255},
         {0, 0, 0, 0},
         {1, 0, 0, 255, 0, 0, 1, 255, 0, 1, 0, 255},
         false,
         false},
        {{0, 0, 0, 128}, {0, 0, 0, 0}, {0, 0, 0, 0}, true, false},
        {{1, 0, 0, 128}, {0, 0, 0, 0}, {1, 0, 0, 128}, true, true},
        {{9, 9, 9, 0}, {0, 0, 0, 0}, {9, 9, 9, 0}, true, false},
        // (100 - 255) / 2 truncates to -77; black stays keyed and unfaded, alpha is never faded.
        {{100, 50, 0, 255, 0, 0, 0, 255}, {2, 255, 255, 255}, {178, 153, 128, 255, 0, 0, 0, 0}, true, false},
        {{100, 50, 0, 255, 255, 255, 255, 10}, {3, 0, 30, 0}, {33, 36, 0, 255, 85, 105, 85, 10}, true, true},
    };
    for (const Case& c : cases) {
        Texture texture;
        ASSERT_TRUE(texture.Load(String(Write(6, 8, c.rgba).c_str()), c.fade[0], c.fade[1], c.fade[2], c.fade[3]));
        Bytes texels(c.texels.size());
        glBindTexture(GL_TEXTURE_2D, texture.glName);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glBindTexture(GL_TEXTURE_2D, glState.boundTexture);
        EXPECT_EQ(texels, c.texels) << int(c.rgba[0]) << " " << c.fade[0];
        EXPECT_EQ(texture.hasTransparency, c.transparent) << int(c.rgba[0]);
        EXPECT_EQ(texture.hasTranslucency, c.translucent) << int(c.rgba[0]);
    }
}

} // namespace
