// The files the asset build step made, read back as the game will read them:
// every file is there, the font keeps its format and fits the game's texts,
// the sounds decode to their exact lengths and the love loop joins cleanly.
#include <gtest/gtest.h>
#include <png.h>

#define STB_VORBIS_HEADER_ONLY
#include <stb/stb_vorbis.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/assetgen/asset_build.h"
#include "tools/assetgen/font_source.h"
#include "tools/assetgen/game_texts.h"
#include "tools/assetgen/sound_recipe.h"
#include "tools/assetgen/text_layout.h"

namespace {

const std::string kOutput = VELMORA_ASSET_OUTPUT_DIR;
const std::string kSources = VELMORA_ASSET_SOURCE_DIR;

struct Picture {
    bool ok = false;
    int width = 0, height = 0, colourType = -1, channels = 0;
    std::vector<uint8_t> pixels; // 8-bit samples, rows top first
};

bool DecodeInto(FILE* file, Picture& picture, png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_read_png(png, info, PNG_TRANSFORM_EXPAND | PNG_TRANSFORM_STRIP_16, nullptr);
    picture.width = int(png_get_image_width(png, info));
    picture.height = int(png_get_image_height(png, info));
    picture.colourType = png_get_color_type(png, info);
    picture.channels = png_get_channels(png, info);
    png_bytepp rows = png_get_rows(png, info);
    for (int y = 0; y < picture.height; ++y)
        picture.pixels.insert(picture.pixels.end(), rows[y], rows[y] + picture.width * picture.channels);
    return true;
}

Picture ReadPicture(const std::string& path)
{
    Picture picture;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return picture;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    picture.ok = DecodeInto(file, picture, png, info);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return picture;
}

std::string ReadWholeFile(const std::string& path)
{
    std::string text;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return text;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
    return text;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// The font as the game loads it: metrics from the descriptor, cells from the
// page file, ink from the face image.
struct LoadedFont {
    FontSource font;
    GlyphCell cells[256];
    Picture face, outline;
};

bool LoadGeneratedFont(LoadedFont& loaded)
{
    const std::vector<std::string> metrics = Lines(ReadWholeFile(kOutput + "/Data/Fonts/Small.txt"));
    if (metrics.size() != 4) return false;
    loaded.font.height = std::atoi(metrics[0].c_str());
    loaded.font.spacing = std::atoi(metrics[1].c_str());
    loaded.font.lineGap = std::atoi(metrics[2].c_str());
    loaded.face = ReadPicture(kOutput + "/Data/Fonts/Small 0.png");
    loaded.outline = ReadPicture(kOutput + "/Data/Fonts/Small 0 outline.png");
    if (!loaded.face.ok || !loaded.outline.ok) return false;
    const std::vector<std::string> cells = Lines(ReadWholeFile(kOutput + "/Data/Fonts/Small 0.txt"));
    for (size_t code = 0; code < cells.size() && code < 256; ++code) {
        int x = 0, y = 0, width = 0;
        if (std::sscanf(cells[code].c_str(), "%d\t%d\t%d", &x, &y, &width) != 3) continue;
        GlyphBitmap& glyph = loaded.font.glyphs[code];
        glyph.defined = true;
        glyph.width = width;
        loaded.cells[code] = GlyphCell{x, y, width};
        for (int gy = 0; gy < loaded.font.height; ++gy)
            for (int gx = 0; gx < width; ++gx) {
                const int px = x + gx, py = y + gy;
                const bool inside = px >= 0 && py >= 0 && px < loaded.face.width && py < loaded.face.height;
                glyph.ink.push_back(inside && loaded.face.pixels[size_t(py * loaded.face.width + px)] > 0);
            }
    }
    return true;
}

struct DecodedSound {
    int samples = -1, channels = 0, rate = 0;
    std::vector<short> data;
};

DecodedSound DecodeSound(const std::string& name)
{
    DecodedSound sound;
    short* data = nullptr;
    sound.samples = stb_vorbis_decode_filename((kOutput + "/Data/" + name + ".ogg").c_str(), &sound.channels, &sound.rate, &data);
    if (data && sound.samples > 0) sound.data.assign(data, data + sound.samples * sound.channels);
    std::free(data);
    return sound;
}

SoundRecipe ReadRecipe(const std::string& name)
{
    SoundRecipe recipe;
    SourceText source;
    EXPECT_TRUE(ReadSourceText(kSources + "/sounds/" + name + ".txt", source));
    EXPECT_TRUE(ParseSoundRecipe(source, recipe));
    return recipe;
}

bool FileExists(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

} // namespace

TEST(GeneratedAssets, EveryFileTheGameOpensIsThere)
{
    for (int i = 0; i < kGameImageCount; ++i)
        EXPECT_TRUE(FileExists(kOutput + "/Data/" + AssetName(kGameImageFiles[i]) + ".png")) << AssetName(kGameImageFiles[i]);
    for (int i = 0; i < kGameSoundCount; ++i)
        EXPECT_TRUE(FileExists(kOutput + "/Data/" + AssetName(kGameSoundFiles[i]) + ".ogg")) << AssetName(kGameSoundFiles[i]);
    for (const char* font : {"Small.txt", "Small 0.txt", "Small 0.png", "Small 0 outline.png"})
        EXPECT_TRUE(FileExists(kOutput + "/Data/Fonts/" + font)) << font;
    EXPECT_TRUE(FileExists(VELMORA_ICON_FILE));
    const std::string strings = ReadWholeFile(kOutput + "/StringData.txt");
    EXPECT_NE(strings.find("\nFONT_FILE_NAME \"Fonts/Small.txt\"\n"), std::string::npos);
    EXPECT_EQ(strings[0], '#');
}

TEST(GeneratedAssets, PicturesHaveTheirSizesAndKeepBlackForTransparency)
{
    const Picture title = ReadPicture(kOutput + "/Data/title.png");
    ASSERT_TRUE(title.ok);
    EXPECT_EQ(title.width, kScreenWidth);
    EXPECT_EQ(title.height, kScreenHeight);
    EXPECT_EQ(title.colourType, PNG_COLOR_TYPE_RGB);
    const Picture stand = ReadPicture(kOutput + "/Data/spider stand.png");
    // The opaque columns of a row of a picture, rows counted from the top.
    auto standing = [](const Picture& picture, int y) {
        std::vector<int> columns;
        for (int x = 0; x < picture.width; ++x)
            if (!std::equal(&picture.pixels[size_t(3 * (y * picture.width + x))], &picture.pixels[size_t(3 * (y * picture.width + x) + 3)], "\0\0\0"))
                columns.push_back(x);
        return columns;
    };
    auto lowestRow = [&](const Picture& picture) {
        int y = picture.height - 1;
        while (y > 0 && standing(picture, y).empty()) --y;
        return y;
    };
    const int ground = lowestRow(stand);
    for (int i = 1; i < kGameImageCount; ++i) {
        const std::string name = AssetName(kGameImageFiles[i]);
        const Picture picture = ReadPicture(kOutput + "/Data/" + name + ".png");
        ASSERT_TRUE(picture.ok) << name;
        int clear = 0;
        for (size_t p = 0; p < picture.pixels.size(); p += 3)
            clear += picture.pixels[p] == 0 && picture.pixels[p + 1] == 0 && picture.pixels[p + 2] == 0;
        EXPECT_GT(clear, 0) << name << " has no transparent surround";
        EXPECT_LT(clear, picture.width * picture.height) << name << " is empty";
        if (name.compare(0, 6, "spider") == 0) {
            EXPECT_EQ(picture.width, 32) << name;
            EXPECT_EQ(picture.height, 32) << name;
            EXPECT_EQ(lowestRow(picture), ground) << name << " does not stand on the ground line";
            if (name != "spider stand") {
                EXPECT_NE(picture.pixels, stand.pixels) << name << " is the standing pose";
            }
        }
    }
    // Eight different walking poses. Each shows for two ticks, in which the
    // spider walks two pixels: a foot on the ground in one pose is two
    // pixels further back in the next, or lifted.
    std::vector<Picture> walk;
    for (int f = 1; f <= 8; ++f) walk.push_back(ReadPicture(kOutput + "/Data/spider walk " + std::to_string(f) + ".png"));
    for (size_t a = 0; a < walk.size(); ++a) {
        for (size_t b = a + 1; b < walk.size(); ++b) EXPECT_NE(walk[a].pixels, walk[b].pixels) << "walk " << a + 1 << " and " << b + 1;
        const std::vector<int> next = standing(walk[(a + 1) % 8], ground);
        for (int foot : standing(walk[a], ground))
            for (int later : next)
                if (later <= foot && later >= foot - 3) EXPECT_EQ(later, foot - 2) << "a foot slides after walk " << a + 1;
    }
    const Picture big = ReadPicture(kOutput + "/Data/big heart.png");
    EXPECT_EQ(big.width, 15);
    EXPECT_EQ(big.height, 13);
    for (const char* small : {"heart 1", "heart 2", "heart 3"}) {
        const Picture heart = ReadPicture(kOutput + "/Data/" + small + ".png");
        EXPECT_EQ(heart.width, 7);
        EXPECT_EQ(heart.height, 6);
    }
}

TEST(GeneratedAssets, FontKeepsItsFormat)
{
    const std::string descriptor = ReadWholeFile(kOutput + "/Data/Fonts/Small.txt");
    EXPECT_EQ(std::count(descriptor.begin(), descriptor.end(), '\n'), 4);
    EXPECT_EQ(descriptor.back(), '\n');
    LoadedFont loaded;
    ASSERT_TRUE(LoadGeneratedFont(loaded));
    const FontSource& font = loaded.font;
    EXPECT_EQ(loaded.face.colourType, PNG_COLOR_TYPE_GRAY);
    EXPECT_EQ(loaded.outline.colourType, PNG_COLOR_TYPE_GRAY);
    EXPECT_EQ(loaded.face.width, loaded.outline.width);
    EXPECT_EQ(loaded.face.height, loaded.outline.height);
    const int w = loaded.face.width, h = loaded.face.height;
    std::vector<int> owner(size_t(w * h), -1);
    for (int code = 0; code < 256; ++code) {
        const bool required = code == 9 || (code >= 32 && code <= 126);
        if (!font.glyphs[code].defined) {
            EXPECT_FALSE(required) << "code " << code << " is not defined";
            continue;
        }
        const GlyphCell& cell = loaded.cells[code];
        EXPECT_GE(cell.width, 1) << code;
        // The cell grown by one pixel lies inside the images and overlaps no other grown cell.
        ASSERT_TRUE(cell.x >= 1 && cell.y >= 1 && cell.x + cell.width + 1 <= w && cell.y + font.height + 1 <= h) << code;
        for (int y = cell.y - 1; y <= cell.y + font.height; ++y)
            for (int x = cell.x - 1; x <= cell.x + cell.width; ++x) {
                EXPECT_EQ(owner[size_t(y * w + x)], -1) << "cells of " << code << " and " << owner[size_t(y * w + x)] << " touch";
                owner[size_t(y * w + x)] = code;
                // The outline is the face dilated by one pixel.
                bool near = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx >= cell.x && ny >= cell.y && nx < cell.x + cell.width && ny < cell.y + font.height)
                            near = near || loaded.face.pixels[size_t(ny * w + nx)] > 0;
                    }
                EXPECT_EQ(loaded.outline.pixels[size_t(y * w + x)] > 0, near) << "code " << code << " at " << x << "," << y;
            }
        const bool blank = code == 9 || code == 32;
        const auto& ink = font.glyphs[code].ink;
        EXPECT_EQ(std::count(ink.begin(), ink.end(), 1) == 0, blank) << "code " << code;
    }
    // Ink only inside cells.
    for (int i = 0; i < w * h; ++i)
        if (owner[size_t(i)] == -1) {
            EXPECT_EQ(loaded.outline.pixels[size_t(i)], 0) << "stray ink at " << i % w << "," << i / w;
        }
    EXPECT_GE(font.glyphs[32].width, 2);
    EXPECT_GE(font.glyphs[9].width, font.glyphs[32].width);
    // Characters the font lacks are drawn with its lowest defined code, which must show.
    int lowest = 0;
    while (lowest < 255 && !font.glyphs[lowest].defined) ++lowest;
    EXPECT_GT(std::count(font.glyphs[lowest].ink.begin(), font.glyphs[lowest].ink.end(), 1), 0) << "code " << lowest;
}

TEST(GeneratedAssets, GameTextsFitWhereTheyAreDrawn)
{
    LoadedFont loaded;
    ASSERT_TRUE(LoadGeneratedFont(loaded));
    const FontSource& font = loaded.font;
    for (const GameText* label : {&kFearLabel, &kExcitementLabel}) {
        const TextLayout layout = LayOutText(font, label->text, label->maximumWidth);
        EXPECT_EQ(layout.lineCount, 1) << label->text;
        EXPECT_LE(label->x + layout.widestLine + 1, kScreenWidth) << label->text;
        // Labels stand 16 pixels apart, beside bars 8 high: a label must not reach the next one.
        EXPECT_LE(TextBlockHeight(font, layout), 16) << label->text;
    }
    for (const GameText* text : {&kTitleText, &kChasedAwayMessage, &kKilledMessage}) {
        const TextLayout layout = LayOutText(font, text->text, text->maximumWidth);
        EXPECT_LE(TextBlockHeight(font, layout) + 1, text->top) << text->text << " runs off the bottom";
        EXPECT_LE(layout.widestLine, text->maximumWidth);
        for (const PlacedGlyph& glyph : layout.glyphs) EXPECT_TRUE(font.glyphs[glyph.code].defined) << glyph.code;
    }
    EXPECT_EQ(LayOutText(font, kTitleText.text, kTitleText.maximumWidth).lineCount, 12);
}

TEST(GeneratedAssets, SoundsDecodeToTheirExactLengthWithoutClipping)
{
    for (int i = 0; i < kGameSoundCount; ++i) {
        const std::string name = AssetName(kGameSoundFiles[i]);
        const SoundRecipe recipe = ReadRecipe(name);
        const DecodedSound sound = DecodeSound(name);
        ASSERT_GT(sound.samples, 0) << name;
        EXPECT_EQ(sound.channels, 1) << name;
        EXPECT_EQ(sound.rate, 44100) << name << " is not at the mixer's rate";
        EXPECT_EQ(sound.samples, RecipeSampleCount(recipe)) << name;
        int peak = 0;
        for (short s : sound.data) peak = std::max(peak, std::abs(int(s)));
        EXPECT_LT(peak, 32000) << name << " clips";
        EXPECT_GT(peak, 8000) << name << " is nearly silent";
    }
    EXPECT_LT(DecodeSound("beep").samples, 44100 / 2);
    EXPECT_LT(DecodeSound("death").samples, 44100 * 2);
    EXPECT_GE(DecodeSound("love").samples, 44100 * 2);
}

TEST(GeneratedAssets, LoveLoopJoinsWithoutAClick)
{
    const DecodedSound love = DecodeSound("love");
    ASSERT_GT(love.samples, 1000);
    const std::vector<short>& s = love.data;
    const size_t n = s.size();
    // How far each sample lies from the straight line through the two before it.
    std::vector<int> surprise;
    for (size_t i = 2; i < n; ++i) surprise.push_back(std::abs(s[i] - (2 * s[i - 1] - s[i - 2])));
    std::sort(surprise.begin(), surprise.end());
    const int usual = surprise[surprise.size() * 999 / 1000];
    const int atSeam = std::max(std::abs(s[0] - (2 * s[n - 1] - s[n - 2])), std::abs(s[1] - (2 * s[0] - s[n - 1])));
    // Lossy coding roughens the stream's two ends a little; a click would be
    // many times the usual step, not a fraction more.
    EXPECT_LE(atSeam, 2 * usual) << "the loop's end does not flow into its start";
    EXPECT_LE(std::abs(s[0] - s[n - 1]), 2000);
}

TEST(GeneratedAssets, IconHoldsFiveSquarePictures)
{
    const std::string icon = ReadWholeFile(VELMORA_ICON_FILE);
    ASSERT_GE(icon.size(), 6u + 5 * 16);
    auto u16 = [&](size_t at) { return unsigned(uint8_t(icon[at])) | unsigned(uint8_t(icon[at + 1])) << 8; };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    EXPECT_EQ(u16(0), 0u);
    EXPECT_EQ(u16(2), 1u);
    ASSERT_EQ(u16(4), 5u);
    const unsigned sizes[5] = {16, 24, 32, 48, 256};
    for (size_t i = 0; i < 5; ++i) {
        const size_t entry = 6 + 16 * i;
        const unsigned size = uint8_t(icon[entry]) == 0 ? 256 : uint8_t(icon[entry]);
        EXPECT_EQ(size, sizes[i]);
        EXPECT_EQ(uint8_t(icon[entry + 1]), uint8_t(icon[entry]));
        EXPECT_EQ(u16(entry + 6), 32u);
        const unsigned bytes = u32(entry + 8), offset = u32(entry + 12);
        ASSERT_LE(size_t(offset) + bytes, icon.size());
        if (size == 256) {
            EXPECT_EQ(icon.compare(offset, 8, "\x89PNG\r\n\x1a\n"), 0);
            continue;
        }
        EXPECT_EQ(u32(offset), 40u);
        EXPECT_EQ(u32(offset + 4), size);
        EXPECT_EQ(u32(offset + 8), 2 * size);
        EXPECT_EQ(u16(offset + 14), 32u);
        const unsigned maskRow = (size + 31) / 32 * 4;
        EXPECT_EQ(bytes, 40 + size * size * 4 + maskRow * size);
    }
}
