// The files the asset build step made, read back with the game's own
// loaders: every file the game opens is there, pictures have their sizes and
// transparent surrounds, sounds their exact lengths without clipping, and
// the love loop joins without a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "game/asset_names.h"
#include "render/texture.h"
#include "render/virtual_screen.h"
#include "sound/mixer.h"
#include "sound/mixer_engine.h"
#include "sound/ogg_decode.h"
#include "tools/assetgen/asset_build.h"
#include "tools/assetgen/sound_recipe.h"
#include "tools/assetgen/source_text.h"

namespace {

const std::string kData = std::string(VELMORA_ASSET_OUTPUT_DIR) + "/Data/";

// The opaque columns of a row of a 3-channel picture.
std::vector<int32_t> Opaque(const std::vector<uint8_t>& rgb, int32_t width, int32_t y)
{
    std::vector<int32_t> columns;
    for (int32_t x = 0; x < width; ++x)
        if (rgb[size_t(3 * (y * width + x))] | rgb[size_t(3 * (y * width + x) + 1)] |
            rgb[size_t(3 * (y * width + x) + 2)])
            columns.push_back(x);
    return columns;
}

TEST(GeneratedAssets, PicturesAreThereWithTheirSizesAndTransparentSurrounds)
{
    std::map<std::string, std::vector<uint8_t>> spiders;
    for (int i = 0; i < kGameImageCount; ++i) {
        const std::string name = AssetName(kGameImageFiles[i]);
        uint8_t* pixels = nullptr;
        int32_t width = 0, height = 0;
        ASSERT_TRUE(LoadPngPixels(pixels, width, height, String((kData + name + ".png").c_str()), 3)) << name;
        int32_t black = 0;
        for (int32_t p = 0; p < width * height; ++p)
            black += pixels[3 * p] == 0 && pixels[3 * p + 1] == 0 && pixels[3 * p + 2] == 0;
        if (name.compare(0, 6, "spider") == 0)
            spiders[name].assign(pixels, pixels + 3 * width * height);
        free(pixels);
        int32_t wantWidth = name == "title"                     ? kScreenWidth
                            : name.compare(0, 6, "spider") == 0 ? 32
                            : name == "big heart"               ? 15
                                                                : 7;
        EXPECT_EQ(width, wantWidth) << name;
        EXPECT_EQ(height, name == "title" ? kScreenHeight : wantWidth == 32 ? 32 : wantWidth == 15 ? 13 : 6) << name;
        EXPECT_LT(black, width * height) << name << " is empty";
        EXPECT_TRUE(name == "title" || black > 0) << name << " has no transparent surround";
    }
    // Every pose stands on one ground line. A walking pose shows for two
    // ticks, in which the spider walks two pixels: a foot on the ground is
    // two pixels further back in the next pose, or lifted.
    int32_t ground = 31;
    while (ground > 0 && Opaque(spiders["spider stand"], 32, ground).empty())
        --ground;
    for (auto& pose : spiders) {
        EXPECT_FALSE(Opaque(pose.second, 32, ground).empty()) << pose.first << " floats";
        for (int32_t y = ground + 1; y < 32; ++y)
            EXPECT_TRUE(Opaque(pose.second, 32, y).empty()) << pose.first << " reaches below the ground line";
    }
    for (int a = 1; a <= 8; ++a) {
        const std::vector<uint8_t>& walk = spiders["spider walk " + std::to_string(a)];
        for (int b = a + 1; b <= 8; ++b)
            EXPECT_NE(walk, spiders["spider walk " + std::to_string(b)]) << "walk " << a << " and " << b;
        for (int32_t foot : Opaque(walk, 32, ground))
            for (int32_t later : Opaque(spiders["spider walk " + std::to_string(a % 8 + 1)], 32, ground))
                EXPECT_TRUE(later > foot || later < foot - 3 || later == foot - 2) << "a foot slides after walk " << a;
    }
    FILE* strings = fopen((std::string(VELMORA_ASSET_OUTPUT_DIR) + "/StringData.txt").c_str(), "rb");
    ASSERT_NE(strings, nullptr);
    char text[4096] = {};
    EXPECT_GT(fread(text, 1, sizeof text - 1, strings), 0u);
    fclose(strings);
    EXPECT_NE(std::string(text).find("\nFONT_FILE_NAME \"Fonts/Small.txt\"\n"), std::string::npos);
}

TEST(GeneratedAssets, SoundsHaveTheirExactLengthsWithoutClippingAndTheLoveLoopJoins)
{
    for (int i = 0; i < kGameSoundCount; ++i) {
        const std::string name = AssetName(kGameSoundFiles[i]);
        SoundRecipe recipe;
        SourceText source;
        ASSERT_TRUE(ReadSourceText(std::string(VELMORA_ASSET_SOURCE_DIR) + "/sounds/" + name + ".txt", source));
        ASSERT_TRUE(ParseSoundRecipe(source, recipe));
        EXPECT_EQ(recipe.rate, kSoundSampleRate) << name << " is not at the mixer's rate";
        MixerSource* sound = DecodeOggFile(String((kData + name + ".ogg").c_str()), recipe.rate);
        ASSERT_NE(sound, nullptr) << name;
        EXPECT_EQ(sound->frames, RecipeSampleCount(recipe)) << name;
        EXPECT_TRUE(name == "beep"   ? sound->frames < 22050
                    : name == "love" ? sound->frames >= 88200
                                     : name != "death" || sound->frames < 88200)
            << name << " has the wrong length";
        std::vector<int> s(sound->samples, sound->samples + 2 * sound->frames);
        FreeMixerSource(sound);
        int peak = 0;
        for (int sample : s)
            peak = std::max(peak, std::abs(sample));
        EXPECT_LT(peak, 32000) << name << " clips";
        EXPECT_GT(peak, 8000) << name << " is nearly silent";
        if (name != "love")
            continue;
        // How far each left sample lies from the line through the two before
        // it; across the seam a click would be many times the usual step.
        std::vector<int> surprise;
        size_t n = s.size();
        for (size_t i2 = 4; i2 < n; i2 += 2)
            surprise.push_back(std::abs(s[i2] - (2 * s[i2 - 2] - s[i2 - 4])));
        std::sort(surprise.begin(), surprise.end());
        int usual = surprise[surprise.size() * 999 / 1000];
        int seam = std::max(std::abs(s[0] - (2 * s[n - 2] - s[n - 4])), std::abs(s[2] - (2 * s[0] - s[n - 2])));
        EXPECT_LE(seam, 2 * usual) << "the loop's end does not flow into its start";
    }
}

} // namespace
