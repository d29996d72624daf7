// PNG files of every colour type, depth and interlacing decoded into 8-bit
// pixels, bad files refused, and textures made with the colour key and fade.
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

struct Decoded {
    bool loaded = false;
    int32_t width = -1, height = -1;
    std::vector<uint8_t> pixels;
};

Decoded Decode(const std::string& path, int32_t channels)
{
    Decoded result;
    uint8_t* pixels = nullptr;
    int32_t width = -1, height = -1;
    result.loaded = LoadPngPixels(pixels, width, height, String(path.c_str()), channels);
    if (result.loaded) {
        int32_t clamped = channels < 1 ? 1 : channels > 4 ? 4 : channels;
        result.pixels.assign(pixels, pixels + size_t(width) * size_t(height) * size_t(clamped));
        result.width = width;
        result.height = height;
        free(pixels);
    } else {
        EXPECT_EQ(pixels, nullptr);
    }
    return result;
}

class PngDecodeTest : public GlTest {
protected:
    std::string Write(const std::string& name, int32_t width, int32_t height, int32_t colourType, int32_t bitDepth,
                      const std::vector<uint16_t>& samples, bool interlaced = false,
                      const std::vector<uint8_t>& palette = {}, const std::vector<uint8_t>& transparency = {})
    {
        PngImage image = {width,
                          height,
                          colourType,
                          bitDepth,
                          interlaced,
                          samples.data(),
                          palette.empty() ? nullptr : palette.data(),
                          int32_t(palette.size() / 3),
                          transparency.empty() ? nullptr : transparency.data(),
                          int32_t(transparency.size())};
        std::string path = TempPath(name);
        EXPECT_TRUE(WritePng(path.c_str(), image));
        return path;
    }
    std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::string path = TempPath(name);
        FILE* file = fopen(path.c_str(), "wb");
        if (!bytes.empty())
            fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
        return path;
    }
};

typedef std::vector<uint8_t> Bytes;

TEST_F(PngDecodeTest, ConversionTableForEveryColourTypeAndChannelCount)
{
    // One pixel each; grey 10, grey-alpha (10, 20), RGB (10, 20, 30), RGBA (10, 20, 30, 40).
    std::string grey = Write("g.png", 1, 1, 0, 8, {10});
    std::string greyAlpha = Write("ga.png", 1, 1, 4, 8, {10, 20});
    std::string rgb = Write("rgb.png", 1, 1, 2, 8, {10, 20, 30});
    std::string rgba = Write("rgba.png", 1, 1, 6, 8, {10, 20, 30, 40});
    EXPECT_EQ(Decode(grey, 1).pixels, (Bytes{10}));
    EXPECT_EQ(Decode(grey, 2).pixels, (Bytes{10, 255}));
    EXPECT_EQ(Decode(grey, 3).pixels, (Bytes{10, 10, 10}));
    EXPECT_EQ(Decode(grey, 4).pixels, (Bytes{10, 10, 10, 255}));
    EXPECT_EQ(Decode(greyAlpha, 1).pixels, (Bytes{10}));
    EXPECT_EQ(Decode(greyAlpha, 2).pixels, (Bytes{10, 20}));
    EXPECT_EQ(Decode(greyAlpha, 3).pixels, (Bytes{10, 10, 10}));
    EXPECT_EQ(Decode(greyAlpha, 4).pixels, (Bytes{10, 10, 10, 20}));
    EXPECT_EQ(Decode(rgb, 1).pixels, (Bytes{10}));
    EXPECT_EQ(Decode(rgb, 2).pixels, (Bytes{10, 255}));
    EXPECT_EQ(Decode(rgb, 3).pixels, (Bytes{10, 20, 30}));
    EXPECT_EQ(Decode(rgb, 4).pixels, (Bytes{10, 20, 30, 255}));
    EXPECT_EQ(Decode(rgba, 1).pixels, (Bytes{10}));
    EXPECT_EQ(Decode(rgba, 2).pixels, (Bytes{10, 40}));
    EXPECT_EQ(Decode(rgba, 3).pixels, (Bytes{10, 20, 30}));
    EXPECT_EQ(Decode(rgba, 4).pixels, (Bytes{10, 20, 30, 40}));
}

TEST_F(PngDecodeTest, ChannelCountIsClampedToOneToFour)
{
    std::string rgba = Write("rgba.png", 1, 1, 6, 8, {10, 20, 30, 40});
    EXPECT_EQ(Decode(rgba, 0).pixels, (Bytes{10}));
    EXPECT_EQ(Decode(rgba, -7).pixels, (Bytes{10}));
    EXPECT_EQ(Decode(rgba, 7).pixels, (Bytes{10, 20, 30, 40}));
}

TEST_F(PngDecodeTest, LowGreyDepthsExpandToEightBits)
{
    EXPECT_EQ(Decode(Write("g1.png", 2, 1, 0, 1, {0, 1}), 4).pixels, (Bytes{0, 0, 0, 255, 255, 255, 255, 255}));
    EXPECT_EQ(Decode(Write("g2.png", 4, 1, 0, 2, {0, 1, 2, 3}), 1).pixels, (Bytes{0, 85, 170, 255}));
    EXPECT_EQ(Decode(Write("g4.png", 3, 1, 0, 4, {0, 7, 15}), 1).pixels, (Bytes{0, 119, 255}));
}

TEST_F(PngDecodeTest, SixteenBitSamplesKeepTheirHighByte)
{
    EXPECT_EQ(Decode(Write("g16.png", 1, 1, 0, 16, {0x1234}), 2).pixels, (Bytes{0x12, 255}));
    EXPECT_EQ(Decode(Write("ga16.png", 1, 1, 4, 16, {0xABCD, 0x8001}), 4).pixels, (Bytes{0xAB, 0xAB, 0xAB, 0x80}));
    EXPECT_EQ(Decode(Write("rgb16.png", 1, 1, 2, 16, {0x0102, 0x0304, 0xFFFF}), 3).pixels, (Bytes{1, 3, 255}));
    EXPECT_EQ(Decode(Write("rgba16.png", 1, 1, 6, 16, {0x1000, 0x2000, 0x3000, 0x4000}), 4).pixels,
              (Bytes{0x10, 0x20, 0x30, 0x40}));
}

TEST_F(PngDecodeTest, PaletteImagesBecomeOpaqueRgbWhateverTheirTransparency)
{
    std::vector<uint8_t> palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7};
    std::vector<uint8_t> alphas = {0, 128, 255, 0};
    Bytes expected = {0, 255, 0, 255, 9, 8, 7, 255, 255, 0, 0, 255};
    for (int32_t depth : {2, 4, 8}) {
        std::string name = "p" + std::to_string(depth) + ".png";
        EXPECT_EQ(Decode(Write(name, 3, 1, 3, depth, {1, 3, 0}, false, palette, alphas), 4).pixels, expected)
            << depth;
    }
    std::vector<uint8_t> two = {10, 20, 30, 40, 50, 60};
    EXPECT_EQ(Decode(Write("p1.png", 2, 1, 3, 1, {1, 0}, false, two, {0, 0}), 3).pixels,
              (Bytes{40, 50, 60, 10, 20, 30}));
}

TEST_F(PngDecodeTest, GreyAndRgbColourKeysAddNoAlpha)
{
    EXPECT_EQ(Decode(Write("gk.png", 2, 1, 0, 8, {5, 6}, false, {}, {0, 5}), 2).pixels, (Bytes{5, 255, 6, 255}));
    EXPECT_EQ(Decode(Write("rk.png", 1, 1, 2, 8, {1, 2, 3}, false, {}, {0, 1, 0, 2, 0, 3}), 4).pixels,
              (Bytes{1, 2, 3, 255}));
}

TEST_F(PngDecodeTest, InterlacedFilesDecodeLikePlainOnes)
{
    const int32_t width = 13, height = 11;
    std::vector<uint16_t> samples;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            for (int32_t c = 0; c < 3; ++c)
                samples.push_back(uint16_t((x * 17 + y * 5 + c * 60) & 0xFF));
    Decoded plain = Decode(Write("plain.png", width, height, 2, 8, samples), 3);
    Decoded interlaced = Decode(Write("adam7.png", width, height, 2, 8, samples, true), 3);
    ASSERT_TRUE(plain.loaded && interlaced.loaded);
    EXPECT_EQ(interlaced.pixels, plain.pixels);
    EXPECT_EQ(interlaced.width, width);
    EXPECT_EQ(interlaced.height, height);
    // Rows top first, pixels left to right.
    EXPECT_EQ(plain.pixels[3 * (2 * width + 4)], (4 * 17 + 2 * 5) & 0xFF);
    std::vector<uint16_t> bits = {1, 0, 0, 1, 1, 0, 1, 0, 1};
    EXPECT_EQ(Decode(Write("adam7-1.png", 3, 3, 0, 1, bits, true), 1).pixels,
              (Bytes{255, 0, 0, 255, 255, 0, 255, 0, 255}));
}

TEST_F(PngDecodeTest, UnreadableFilesFailAndLeaveNothing)
{
    EXPECT_FALSE(Decode("", 4).loaded);
    EXPECT_FALSE(Decode(TempPath("absent.png"), 4).loaded);
    EXPECT_FALSE(Decode(tempFolder, 4).loaded);
    EXPECT_FALSE(Decode(WriteBytes("empty.png", {}), 4).loaded);
    EXPECT_FALSE(Decode(WriteBytes("text.png", {'h', 'e', 'l', 'l', 'o'}), 4).loaded);
    std::string good = Write("good.png", 8, 8, 2, 8, std::vector<uint16_t>(8 * 8 * 3, 77));
    FILE* file = fopen(good.c_str(), "rb");
    Bytes bytes(4096);
    bytes.resize(fread(bytes.data(), 1, bytes.size(), file));
    fclose(file);
    Bytes truncated(bytes.begin(), bytes.begin() + long(bytes.size() / 2));
    EXPECT_FALSE(Decode(WriteBytes("truncated.png", truncated), 4).loaded);
    Bytes corrupt = bytes;
    corrupt[20] ^= 0x40; // inside IHDR: its checksum no longer matches
    EXPECT_FALSE(Decode(WriteBytes("corrupt.png", corrupt), 4).loaded);
}

// A PNG that is only a header of the given size and a scrap of image data,
// or with `whole` set, a whole black image of that size (grey only).
Bytes HeaderOnlyPng(uint32_t width, uint32_t height, uint8_t colourType, uint8_t bitDepth = 8, bool whole = false)
{
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    auto chunk = [&png](const char* type, const Bytes& data) {
        uint32_t length = uint32_t(data.size());
        for (int shift = 24; shift >= 0; shift -= 8)
            png.push_back(uint8_t(length >> shift));
        Bytes body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        png.insert(png.end(), body.begin(), body.end());
        uint32_t crc = uint32_t(crc32(0, body.data(), uInt(body.size())));
        for (int shift = 24; shift >= 0; shift -= 8)
            png.push_back(uint8_t(crc >> shift));
    };
    Bytes header;
    for (uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(uint8_t(value >> shift));
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

TEST_F(PngDecodeTest, ImagesTooLargeForABufferAreRefused)
{
    // 100000 x 100000 x 4 bytes would overflow 32 bits many times over.
    EXPECT_FALSE(Decode(WriteBytes("huge.png", HeaderOnlyPng(100000, 100000, 6)), 4).loaded);
    // 32 KiB of file that would decode into a GiB of pixels.
    EXPECT_FALSE(Decode(WriteBytes("vast.png", HeaderOnlyPng(16384, 16384, 0, 1, true)), 4).loaded);
    EXPECT_TRUE(Decode(WriteBytes("wide.png", HeaderOnlyPng(20000, 1, 0, 8, true)), 4).loaded);
    EXPECT_FALSE(Decode(WriteBytes("tall.png", HeaderOnlyPng(1, 0x7FFFFFFF, 0)), 1).loaded);
    EXPECT_FALSE(Decode(WriteBytes("zero.png", HeaderOnlyPng(0, 5, 0)), 1).loaded);
}

class TextureLoadTest : public PngDecodeTest {
protected:
    void SetUp() override
    {
        PngDecodeTest::SetUp();
        OpenWindow(160, 120);
    }
    // The texture's texels as GL holds them, rows top first.
    Bytes Texels(const Texture& texture)
    {
        Bytes texels(size_t(texture.width) * size_t(texture.height) * 4);
        glBindTexture(GL_TEXTURE_2D, texture.glName);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glBindTexture(GL_TEXTURE_2D, glState.boundTexture);
        return texels;
    }
    std::string WriteRgba(const std::string& name, int32_t width, int32_t height, const std::vector<uint16_t>& s)
    {
        return Write(name, width, height, 6, 8, s);
    }
};

TEST_F(TextureLoadTest, BlackIsTheColourKey)
{
    Texture texture;
    ASSERT_TRUE(texture.Load(String(Write("bits.png", 2, 1, 0, 1, {0, 1}).c_str()), 0, 0, 0, 0));
    EXPECT_EQ(texture.width, 2);
    EXPECT_EQ(texture.height, 1);
    EXPECT_TRUE(texture.hasTransparency);
    EXPECT_FALSE(texture.hasTranslucency);
    EXPECT_EQ(Texels(texture), (Bytes{0, 0, 0, 0, 255, 255, 255, 255}));
}

TEST_F(TextureLoadTest, TransparencyFlags)
{
    Texture opaque, keyedHalf, softRed, clear;
    ASSERT_TRUE(opaque.Load(String(Write("o.png", 2, 1, 2, 8, {1, 1, 1, 200, 0, 0}).c_str()), 0, 0, 0, 0));
    EXPECT_FALSE(opaque.hasTransparency);
    EXPECT_FALSE(opaque.hasTranslucency);
    ASSERT_TRUE(keyedHalf.Load(String(WriteRgba("k.png", 1, 1, {0, 0, 0, 128}).c_str()), 0, 0, 0, 0));
    EXPECT_TRUE(keyedHalf.hasTransparency);
    EXPECT_FALSE(keyedHalf.hasTranslucency);
    EXPECT_EQ(Texels(keyedHalf), (Bytes{0, 0, 0, 0}));
    ASSERT_TRUE(softRed.Load(String(WriteRgba("s.png", 1, 1, {1, 0, 0, 128}).c_str()), 0, 0, 0, 0));
    EXPECT_TRUE(softRed.hasTransparency);
    EXPECT_TRUE(softRed.hasTranslucency);
    ASSERT_TRUE(clear.Load(String(WriteRgba("c.png", 1, 1, {9, 9, 9, 0}).c_str()), 0, 0, 0, 0));
    EXPECT_TRUE(clear.hasTransparency);
    EXPECT_FALSE(clear.hasTranslucency);
}

TEST_F(TextureLoadTest, FadePullsColoursTowardsTheFadeColour)
{
    Texture faded;
    std::string path = WriteRgba("f.png", 3, 1, {100, 50, 0, 255, 0, 0, 0, 255, 255, 255, 255, 10});
    ASSERT_TRUE(faded.Load(String(path.c_str()), 2, 255, 255, 255));
    // (100 - 255) / 2 truncates to -77; black stays keyed and unfaded.
    EXPECT_EQ(Texels(faded), (Bytes{178, 153, 128, 255, 0, 0, 0, 0, 255, 255, 255, 10}));
    Texture darker;
    ASSERT_TRUE(darker.Load(String(path.c_str()), 3, 0, 30, 0));
    EXPECT_EQ(Texels(darker), (Bytes{33, 36, 0, 255, 0, 0, 0, 0, 85, 105, 85, 10}));
    Texture odd;
    ASSERT_TRUE(odd.Load(String(path.c_str()), -1, 300, 0, 0));
    EXPECT_EQ(Texels(odd)[0], uint8_t(300 + (100 - 300) / -1));
}

TEST_F(TextureLoadTest, OddSizesUploadUnpadded)
{
    std::vector<uint16_t> samples;
    for (int32_t i = 0; i < 37 * 5; ++i)
        samples.insert(samples.end(), {uint16_t(i % 251 + 1), uint16_t(i / 37 + 1), 3});
    Texture texture;
    ASSERT_TRUE(texture.Load(String(Write("odd.png", 37, 5, 2, 8, samples).c_str()), 0, 0, 0, 0));
    glBindTexture(GL_TEXTURE_2D, texture.glName);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 37);
    EXPECT_EQ(height, 5);
    Bytes texels = Texels(texture);
    EXPECT_EQ(texels[(36 + 4 * 37) * 4], uint8_t((36 + 4 * 37) % 251 + 1));
    EXPECT_EQ(texels[(36 + 4 * 37) * 4 + 1], 5);
}

TEST_F(TextureLoadTest, ReloadReplacesAndFailureEmpties)
{
    Texture texture;
    ASSERT_TRUE(texture.Load(String(Write("a.png", 2, 2, 0, 8, {9, 9, 9, 9}).c_str()), 0, 0, 0, 0));
    uint32_t first = texture.glName;
    ASSERT_TRUE(texture.Load(String(Write("b.png", 3, 1, 0, 8, {0, 9, 9}).c_str()), 0, 0, 0, 0));
    EXPECT_FALSE(glIsTexture(first) && first != texture.glName);
    EXPECT_EQ(texture.width, 3);
    EXPECT_TRUE(texture.hasTransparency);
    uint32_t second = texture.glName;
    EXPECT_FALSE(texture.Load(String(TempPath("absent.png").c_str()), 0, 0, 0, 0));
    EXPECT_EQ(texture.glName, 0u);
    EXPECT_EQ(texture.width, 0);
    EXPECT_FALSE(texture.hasTransparency);
    EXPECT_FALSE(glIsTexture(second));
}

TEST_F(TextureLoadTest, CreateGlTextureFormatsAndSampling)
{
    const uint8_t pixels[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case {
        TexelFormat format;
        GLint internalFormat;
    } cases[] = {{TexelFormat::Alpha, GL_ALPHA8},
                 {TexelFormat::Luminance, GL_LUMINANCE8},
                 {TexelFormat::LuminanceAlpha, GL_LUMINANCE8_ALPHA8},
                 {TexelFormat::Rgb, GL_RGB8},
                 {TexelFormat::Rgba, GL_RGBA8},
                 {TexelFormat(9), GL_RGBA8}};
    for (const Case& c : cases) {
        uint32_t name = CreateGlTexture(pixels, c.format, 1, 1, true, false, true, false);
        ASSERT_NE(name, 0u);
        EXPECT_EQ(glState.boundTexture, name);
        GLint value = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
        EXPECT_EQ(GLuint(value), name);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
        EXPECT_EQ(value, c.internalFormat);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
        EXPECT_EQ(value, GL_CLAMP);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
        EXPECT_EQ(value, GL_REPEAT);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, GL_LINEAR);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
        EXPECT_EQ(value, GL_NEAREST);
        DeleteGlTexture(name);
        EXPECT_FALSE(glIsTexture(name));
        // The record may name a deleted texture; the next bind still happens.
        EXPECT_EQ(glState.boundTexture, name);
    }
}

} // namespace
