// PNG files of every colour type and depth decoded for the font and the
// sprites, pictures too large refused, pure black keyed, textures shared;
// then the virtual screen fitted to windows of every size and drawn on.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "render/gl_api.h"
#include "render/renderer.h"
#include "render/texture.h"
#include "render/texture_cache.h"
#include "tests/render/gl_fixture.h"
#include "tools/pngwrite/png_write.h"

namespace {

typedef std::vector<uint8_t> Bytes;
typedef std::vector<uint16_t> Samples;

// Writes a one-row interlaced image, whose pixels from the third on lie out
// of order in the file; palette images index red, green, blue and (9,8,7).
std::string Write(const std::string& path, int32_t type, int32_t depth, const Samples& samples,
                  const Bytes& transparency = {})
{
    static const uint8_t palette[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7}; // read for type 3 alone
    int32_t width = int32_t(samples.size()) / PngChannelCount(type), keys = int32_t(transparency.size());
    PngImage image = {width, 1, type, depth, true, samples.data(), palette, 4, transparency.data(), keys};
    EXPECT_TRUE(WritePng(path.c_str(), image));
    return path;
}

// The one-channel samples a font page gets; none when the file is refused.
Bytes Decode(const std::string& path)
{
    uint8_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    if (!LoadPngPixels(pixels, width, height, String(path.c_str()), 1))
        return {};
    Bytes samples(pixels, pixels + width * height);
    free(pixels);
    return samples;
}

// The RGBA texels of the texture a sprite gets, faded as asked, and the two
// flags that tell how it is drawn: "t" for transparency, "T" for translucency.
Bytes Texels(const std::string& path, const int32_t fade[4], std::string& flags)
{
    Texture texture;
    if (!texture.Load(String(path.c_str()), fade[0], fade[1], fade[2], fade[3]))
        return {};
    flags = std::string(texture.hasTransparency ? "t" : "") + (texture.hasTranslucency ? "T" : "");
    Bytes texels(size_t(texture.width * texture.height * 4));
    glBindTexture(GL_TEXTURE_2D, texture.glName);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

using PngTest = GlTest;

TEST_F(PngTest, EveryColourTypeAndDepthGivesFontsAndSpritesTheirPixelsWithOnlyPureBlackKeyed)
{
    struct Case {
        int32_t type, depth;
        Samples samples;
        Bytes transparency;
        int32_t fade[4]; // divisor, red, green, blue
        Bytes one, texels;
        std::string flags;
    } cases[] = {
        {4, 16, {0xABCD, 0x8001}, {}, {}, {171}, {171, 171, 171, 128}, "tT"}, // 16-bit samples keep their high byte
        // Palettes give opaque RGB whatever their transparency; colour keys add no alpha.
        {3, 8, {1, 3, 0}, {0, 128, 255, 0}, {}, {0, 9, 255}, {0, 255, 0, 255, 9, 8, 7, 255, 255, 0, 0, 255}, ""},
        {0, 8, {5, 6}, {0, 5}, {}, {5, 6}, {5, 5, 5, 255, 6, 6, 6, 255}, ""},
        {2, 8, {1, 2, 3}, {0, 1, 0, 2, 0, 3}, {}, {1}, {1, 2, 3, 255}, ""},
        {0, 1, {0, 1, 0}, {}, {}, {0, 255, 0}, {0, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0}, "t"},
        // Near-black is not keyed.
        {2, 8, {1, 0, 0, 0, 0, 1, 0, 1, 0}, {}, {}, {1, 0, 0}, {1, 0, 0, 255, 0, 0, 1, 255, 0, 1, 0, 255}, ""},
        // (100 - 255) / 2 truncates to -77; black stays keyed and unfaded, alpha is never faded.
        {2, 8, {100, 50, 0, 0, 0, 0}, {}, {2, 255, 255, 255}, {100, 0}, {178, 153, 128, 255, 0, 0, 0, 0}, "t"},
        {6, 8, {255, 255, 255, 10}, {}, {3, 0, 30, 0}, {255}, {85, 105, 85, 10}, "tT"},
        // Half-transparent black is keyed, and nothing invisible is translucent.
        {6, 8, {0, 0, 0, 128, 9, 9, 9, 0}, {}, {}, {0, 9}, {0, 0, 0, 0, 9, 9, 9, 0}, "t"},
    };
    for (const Case& c : cases) {
        std::string path =
            Write(TempPath(std::to_string(&c - cases) + ".png"), c.type, c.depth, c.samples, c.transparency);
        EXPECT_EQ(Decode(path), c.one) << "type " << c.type << " depth " << c.depth << " " << c.samples[0];
        std::string flags;
        EXPECT_EQ(Texels(path, c.fade, flags), c.texels) << "type " << c.type << " depth " << c.depth;
        EXPECT_EQ(flags, c.flags) << "type " << c.type << " depth " << c.depth << " " << c.samples[0];
    }
}

std::string Be32(uint32_t value) { return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)}; }

// A chunk of its type and payload, with their length before and CRC after.
std::string Chunk(const std::string& data)
{
    uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
    return Be32(uint32_t(data.size() - 4)) + data + Be32(crc);
}

// A 1-bit black picture of 16384 x 16384 pixels: a 30 kB file whose
// decoded rows alone pass the memory one picture may take.
std::string WriteHugePng(const std::string& path)
{
    std::vector<Bytef> rows(size_t(16384 / 8 + 1) * 16384), packed(compressBound(uLong(rows.size())));
    uLongf size = uLongf(packed.size());
    compress2(packed.data(), &size, rows.data(), uLong(rows.size()), Z_BEST_SPEED);
    std::ofstream(path, std::ios::binary)
        << "\x89PNG\r\n\x1a\n"
        << Chunk("IHDR" + Be32(16384) + Be32(16384) + std::string("\x01\0\0\0\0", 5))
        << Chunk("IDAT" + std::string(packed.begin(), packed.begin() + long(size))) << Chunk("IEND");
    return path;
}

TEST_F(PngTest, PicturesTooLargeToDecodeAreRefusedButWideStripsAreNot)
{
    EXPECT_EQ(Decode(WriteHugePng(TempPath("huge.png"))), Bytes{});
    EXPECT_EQ(Decode(Write(TempPath("strip.png"), 0, 8, Samples(20000, 7))), Bytes(20000, 7));
}

TEST_F(GlTest, WindowsOfEverySizeShowTheScreenScaledWithMargins)
{
    struct Case {
        int32_t width, height;
        std::vector<int32_t> visible; // the part of the virtual plane shown: left, right, bottom, top
    } cases[] = {
        {700, 500, {-8, 168, -3, 123}}, // margins of 7.5 and 2.5 virtual pixels, rounded outwards
        {1920, 1080, {-27, 187, 0, 120}},
        {321, 241, {0, 161, 0, 121}}, // the odd pixel goes right and up
        {319, 239, {-79, 240, -59, 180}},
        // Smaller than the virtual screen: it shrinks to fit.
        {100, 100, {0, 160, -20, 140}},
        {200, 100, {-40, 200, 0, 120}},
        // Float error of a few millionths must not widen the area.
        {2, 10, {0, 160, -340, 460}},
    };
    for (const Case& c : cases) {
        OpenWindow(c.width, c.height);
        std::vector<int32_t> visible = {renderer.visibleLeft, renderer.visibleRight, renderer.visibleBottom,
                                        renderer.visibleTop};
        EXPECT_EQ(visible, c.visible) << c.width << "x" << c.height;
    }
}

TEST_F(GlTest, ScaledScreenHasBlackMarginsTheOverlayCoversAndNoSizeKeeps)
{
    OpenWindow(700, 500);
    for (auto size : {std::pair<int32_t, int32_t>{0, 0}, {0, 300}, {300, 0}, {-5, -5}})
        ResizeRenderer(size.first, size.second);
    FillRect(0, 160, 0, 120, 1, 1, 1, 1);
    FillRect(1, 2, 1, 2, 1, 0, 0, 1);
    Capture();
    // At scale 4, 30 window pixels left and right and 10 below and above;
    // one virtual pixel is a 4 x 4 block.
    EXPECT_EQ(Picture(29, 250, 2, 1) + Picture(669, 250, 2, 1), ".#\n#.\n");
    EXPECT_EQ(Picture(350, 9, 1, 2) + Picture(350, 489, 1, 2), "#\n.\n.\n#\n");
    EXPECT_EQ(Picture(33, 13, 6, 6), "######\n#oooo#\n#oooo#\n#oooo#\n#oooo#\n######\n");
    FillVisibleArea(0, 0, 1, 0.5f); // the overlay blends over margins too
    Capture();
    EXPECT_EQ(At(0, 0), (Rgba{0, 0, 128, 255}));
    EXPECT_EQ(At(699, 499), (Rgba{0, 0, 128, 255}));
}

TEST_F(GlTest, RectanglesAndSpritesBlendOnlyWhereTheyAreTranslucentAndShareByNameAndFade)
{
    TestImage stripe(4, 2, kWhite), soft(2, 1, Rgba{255, 255, 255, 128});
    stripe.Set(0, 0, kGreen);
    stripe.Set(1, 0, kBlack);
    soft.Set(1, 0, Rgba{255, 255, 255, 0});
    WriteImage("soft.png", soft);
    WriteImage("walk 1.png", stripe);
    WriteImage("walk 2.png", TestImage(1, 1, kBlue)); // differs only in a digit
    auto load = [this](const char* name, int32_t fade = 0, int32_t red = 0) {
        return AcquireTexture(String(TempPath(name).c_str()), fade, red, 0, 0);
    };
    Texture* walk = load("walk 1.png");
    EXPECT_EQ(load("walk 1.png"), walk);
    std::vector<GLuint> spent(32767); // the next GL name is walk's plus 32768
    glGenTextures(GLsizei(spent.size()), spent.data());
    Texture* other = load("walk 2.png");
    glDeleteTextures(GLsizei(spent.size()), spent.data());
    ASSERT_EQ(walk->glName & 0x7FFF, other->glName & 0x7FFF);
    FillRect(0, 160, 0, 120, 1, 0, 0, 1);
    FillRect(30, 40, 30, 40, 0, 0, 1, 0.5f);
    FillRect(50, 52, 30, 32, 1, 1, 1, 1);
    DrawSprite(load("walk 1.png", 2, 255), 20, 20, false);
    DrawSprite(load("walk 1.png", 2), 30, 20, false);
    DrawSprite(load("soft.png"), 50, 50, false);
    DrawSprite(other, 10, 16, false);
    ReleaseTexture(other);
    ReleaseTexture(walk);    // the first of two holders
    ReleaseTexture(nullptr); // what a failed load gave back
    ASSERT_TRUE(glIsTexture(walk->glName));
    DrawSprite(walk, 10, 10, false);
    DrawSprite(walk, 10, 13, true);
    DrawSprite(nullptr, 0, 0, false);
    Capture();
    EXPECT_NEAR(At(35, 35).red, 127, 1);
    EXPECT_NEAR(At(35, 35).blue, 128, 1);
    // A rectangle covers left..right-1 and bottom..top-1.
    EXPECT_EQ(Picture(49, 29, 4, 4), "oooo\no##o\no##o\noooo\n");
    EXPECT_EQ(At(20, 20), (Rgba{255, 127, 127, 255}));
    EXPECT_EQ(At(30, 20), (Rgba{127, 127, 127, 255}));
    EXPECT_NEAR(At(50, 50).green, 128, 1);
    EXPECT_EQ(At(51, 50), kRed);
    EXPECT_EQ(At(10, 16), kBlue);
    // The image's top row is the sprite's top row, black lets the red
    // through, green is '?': the stripe, then mirrored above it.
    EXPECT_EQ(Picture(9, 10, 6, 5), "o##o?o\no####o\noooooo\no?o##o\no####o\n");
}

} // namespace
