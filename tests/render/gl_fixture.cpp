#include "tests/render/gl_fixture.h"

#include <stdlib.h>

#include <filesystem>

#include "render/renderer.h"
#include "render/texture_cache.h"
#include "tools/pngwrite/png_write.h"

void GlTest::SetUp()
{
    tempFolder = (std::filesystem::temp_directory_path() / "velmora-gl-XXXXXX").string();
    ASSERT_NE(mkdtemp(tempFolder.data()), nullptr);
    OpenWindow(160, 120);
}

void GlTest::TearDown()
{
    ClearTextureCache();
    ClearFont(renderer.font);
    DestroyOffscreenGl(window);
    std::error_code ignored;
    std::filesystem::remove_all(tempFolder, ignored);
}

void GlTest::OpenWindow(int32_t width, int32_t height)
{
    // Textures belong to the old context; the cache must not outlive it.
    ClearTextureCache();
    ClearFont(renderer.font);
    DestroyOffscreenGl(window);
    window = CreateOffscreenGl(width, height);
    ASSERT_NE(window, nullptr);
    InitRenderer(160, 120, String(""), String(""), String(""));
    ResizeRenderer(width, height);
    ClearScreen();
}

void GlTest::Capture()
{
    captured.assign(size_t(OffscreenWidth(window)) * size_t(OffscreenHeight(window)) * 4, 0);
    ReadOffscreenPixels(window, captured.data());
}

Rgba GlTest::At(int32_t x, int32_t y) const
{
    int32_t width = OffscreenWidth(window), height = OffscreenHeight(window);
    if (x < 0 || y < 0 || x >= width || y >= height || captured.empty())
        return Rgba{1, 2, 3, 4};
    const uint8_t* p = &captured[(size_t(height - 1 - y) * size_t(width) + size_t(x)) * 4];
    return Rgba{p[0], p[1], p[2], 255}; // the window shows no alpha
}

std::string GlTest::Picture(int32_t left, int32_t bottom, int32_t width, int32_t height) const
{
    std::string picture;
    for (int32_t y = bottom + height - 1; y >= bottom; --y) {
        for (int32_t x = left; x < left + width; ++x)
            picture += At(x, y) == kWhite ? '#' : At(x, y) == kRed ? 'o' : At(x, y) == kBlack ? '.' : '?';
        picture += '\n';
    }
    return picture;
}

std::string GlTest::WriteImage(const std::string& name, const TestImage& image) const
{
    std::vector<uint16_t> samples;
    for (const Rgba& p : image.pixels)
        samples.insert(samples.end(), {p.red, p.green, p.blue, p.alpha});
    PngImage png = {image.width, image.height, 6, 8, false, samples.data(), nullptr, 0, nullptr, 0};
    std::string path = TempPath(name);
    EXPECT_TRUE(WritePng(path.c_str(), png)) << path;
    return path;
}
