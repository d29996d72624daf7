// The files the asset build step made, read back with the game's own
// loaders: every file the game opens is there, pictures have their sizes and
// transparent surrounds, sounds their exact lengths without clipping, and
// the love loop joins without a click.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/texture.h"
#include "sound/mixer.h"
#include "sound/ogg_decode.h"
#include "tools/assetgen/asset_build.h"
#include "tools/assetgen/sound_recipe.h"
#include "tools/assetgen/source_text.h"

namespace {

const std::string kData = std::string(VELMORA_ASSET_OUTPUT_DIR) + "/Data/";

TEST(GeneratedAssets, PicturesAreThereWithTheirSizesAndTransparentSurrounds)
{
    for (int i = 0; i < kGameImageCount; ++i) {
        const std::string name = kGameImageNames[i];
        uint8_t* pixels = nullptr;
        int32_t width = 0, height = 0;
        ASSERT_TRUE(LoadPngPixels(pixels, width, height, String((kData + name + ".png").c_str()), 3)) << name;
        int32_t black = 0;
        for (int32_t p = 0; p < width * height; ++p)
            black += pixels[3 * p] == 0 && pixels[3 * p + 1] == 0 && pixels[3 * p + 2] == 0;
        free(pixels);
        int32_t wantWidth = name == "title" ? 160 : name.compare(0, 6, "spider") == 0 ? 32 : name == "big heart" ? 15 : 7;
        EXPECT_EQ(width, wantWidth) << name;
        EXPECT_EQ(height, name == "title" ? 120 : wantWidth == 32 ? 32 : wantWidth == 15 ? 13 : 6) << name;
        EXPECT_LT(black, width * height) << name << " is empty";
        if (name != "title")
            EXPECT_GT(black, 0) << name << " has no transparent surround";
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
        const std::string name = kGameSoundNames[i];
        SoundRecipe recipe;
        SourceText source;
        ASSERT_TRUE(ReadSourceText(std::string(VELMORA_ASSET_SOURCE_DIR) + "/sounds/" + name + ".txt", source));
        ASSERT_TRUE(ParseSoundRecipe(source, recipe));
        MixerSource* sound = DecodeOggFile(String((kData + name + ".ogg").c_str()), recipe.rate);
        ASSERT_NE(sound, nullptr) << name;
        EXPECT_EQ(sound->frames, RecipeSampleCount(recipe)) << name;
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
