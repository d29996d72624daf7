// The files the asset build step made, read back with the game's own
// loaders: spider poses stand on one ground line and walk without sliding
// their feet; sounds are at the mixer's rate, never clip, and loop cleanly;
// the icon's pictures are its art grown by whole factors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "game/asset_names.h"
#include "render/texture.h"
#include "sound/mixer.h"
#include "sound/mixer_engine.h"
#include "sound/ogg_decode.h"

namespace {

std::string Built(const std::string& gameFile) { return std::string(VELMORA_ASSET_OUTPUT_DIR) + "/" + gameFile; }

// Spider poses as 32 rows of 32 pixels, top first: '#' drawn, '.' see-through.
TEST(GeneratedAssets, SpiderPosesStandOnOneGroundLineAndWalkWithoutSlidingTheirFeet)
{
    std::map<std::string, std::string> poses;
    for (const char* file : kGameImageFiles) {
        uint8_t* pixels = nullptr;
        int32_t width = 0, height = 0;
        ASSERT_TRUE(LoadPngPixels(pixels, width, height, String(Built(file).c_str()), 3)) << file;
        if (std::string(file).find("spider") != std::string::npos && width == 32 && height == 32)
            for (int32_t p = 0; p < 32 * 32; ++p)
                poses[std::string(file).substr(5)] += pixels[3 * p] | pixels[3 * p + 1] | pixels[3 * p + 2] ? '#' : '.';
        free(pixels);
    }
    const size_t ground = poses["spider stand.png"].find_last_of('#') / 32;
    for (auto& pose : poses)
        EXPECT_EQ(pose.second.find_last_of('#') / 32, ground) << pose.first << " does not stand on the ground line";
    // A walking pose shows for two ticks, in which the spider walks two pixels:
    // a foot on the ground is two pixels further back in the next pose, or lifted.
    for (int a = 1; a <= 8; ++a) {
        const std::string now = poses["spider walk " + std::to_string(a) + ".png"].substr(ground * 32, 32);
        const std::string next = poses["spider walk " + std::to_string(a % 8 + 1) + ".png"].substr(ground * 32, 32);
        for (size_t foot = now.find('#'); foot != std::string::npos; foot = now.find('#', foot + 1))
            for (size_t later = next.find('#'); later != std::string::npos; later = next.find('#', later + 1))
                EXPECT_TRUE(later > foot || later + 3 < foot || later + 2 == foot) << "a foot slides after walk " << a;
    }
}

TEST(GeneratedAssets, SoundsAreAtTheMixersRateNeverClipAndTheLoveLoopJoins)
{
    for (const char* file : kGameSoundFiles) {
        uint8_t head[44] = {}; // the stream's sample rate is at byte 40 of its first page
        std::ifstream(Built(file), std::ios::binary).read(reinterpret_cast<char*>(head), sizeof head);
        EXPECT_EQ(head[40] | head[41] << 8 | head[42] << 16, kSoundSampleRate) << file << " is not at the mixer's rate";
        MixerSource* sound = DecodeOggFile(String(Built(file).c_str()), kSoundSampleRate);
        ASSERT_NE(sound, nullptr) << file;
        std::vector<int> s(sound->samples, sound->samples + 2 * sound->frames);
        FreeMixerSource(sound);
        auto range = std::minmax_element(s.begin(), s.end());
        EXPECT_LT(std::max(-*range.first, *range.second), 32000) << file << " clips";
        if (std::string(file) != "Data/love.ogg")
            continue;
        int widest = 0; // across the seam no step is wider than the sound's own
        for (size_t k = 2; k < s.size(); k += 2)
            widest = std::max(widest, std::abs(s[k] - s[k - 2]));
        EXPECT_LE(std::abs(s[0] - s[s.size() - 2]), widest) << "the loop's end does not flow into its start";
    }
}

// Each picture is its source art grown by a whole factor: every pixel of the
// 32-pixel one stands as a block in the larger ones, corners see-through.
TEST(GeneratedAssets, IconPicturesAreTheArtGrownByWholeFactors)
{
    std::vector<uint8_t> art;
    for (int size : {32, 64, 128, 192, 256, 512, 16, 48}) {
        uint8_t* pixels = nullptr;
        int32_t width = 0, height = 0;
        const std::string file = std::string(VELMORA_ICON_PICTURES_DIR) + "/icon-" + std::to_string(size) + ".png";
        ASSERT_TRUE(LoadPngPixels(pixels, width, height, String(file.c_str()), 4)) << file;
        std::vector<uint8_t> picture(pixels, pixels + 4 * width * height);
        free(pixels);
        ASSERT_EQ(std::make_pair(width, height), std::make_pair(size, size)) << file;
        EXPECT_EQ(picture[3], 0) << file << ": the corner is not see-through";
        if (art.empty())
            art = picture;
        for (int32_t y = 0; size % 32 == 0 && y < size; ++y)
            for (int32_t x = 0; x < size; ++x)
                ASSERT_EQ(0, memcmp(&picture[4 * (y * size + x)], &art[4 * (y * 32 / size * 32 + x * 32 / size)], 4))
                    << file << " at " << x << "," << y;
    }
}

} // namespace
