// The game's sound functions on our mixer engine, over an output the test
// pulls frames from: ids by file name, and the game's own sounds as heard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "sound/mixer.h"
#include "sound/mixer_engine.h"
#include "sound/ogg_decode.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"

namespace {

// The output the test pulls frames from. Closing mixes once more, so a mixer
// freed before the close shows under the sanitizers, and forgets the mixer.
Mixer* pulledMixer = nullptr;

SoundEngine* MakePulledEngine()
{
    auto open = [](Mixer* mixer, int32_t) { return (pulledMixer = mixer) != nullptr; };
    auto close = [] {
        int16_t buffer[2 * 64];
        ASSERT_NE(pulledMixer, nullptr) << "the output closes once";
        MixSound(pulledMixer, buffer, 64);
        pulledMixer = nullptr;
    };
    return MakeMixerSoundEngine(SoundOutput{open, close});
}

void Pull(std::vector<int16_t>& heard, int32_t frames)
{
    heard.resize(heard.size() + 2 * size_t(frames));
    MixSound(pulledMixer, heard.data() + heard.size() - 2 * size_t(frames), frames);
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetSoundEngineFactory(MakePulledEngine);
        InitSound();
    }
    void TearDown() override
    {
        ShutdownSound();
        EXPECT_EQ(pulledMixer, nullptr) << "the output is closed";
    }
};

// Each id's binary digits, spelt as "/" and "./" steps, give the one file a name of its own.
TEST_F(SoundTest, SoundsGetIdsInLoadOrderOnceByNameWhateverTheCase)
{
    const std::string seeds = std::string(VELMORA_OGG_SEEDS) + "/";
    for (const std::string& missing : {seeds + "missing.ogg", seeds, std::string()})
        EXPECT_EQ(LoadSound(String(missing.c_str())), 0u) << missing;
    EXPECT_EQ(LoadSound(String((seeds + "mono-8000.ogg").c_str())), 1u);
    EXPECT_EQ(LoadSound(String((seeds + "MONO-8000.OGG").c_str())), 1u);
    for (uint32_t id = 2; id <= 1024; ++id) {
        std::string route;
        for (int bit = 0; bit < 10; ++bit)
            route += (id >> bit & 1) ? "./" : "/";
        ASSERT_EQ(LoadSound(String((seeds + route + "mono-8000.ogg").c_str())), id < 1024 ? id : 0u) << id;
    }
}

#ifdef VELMORA_ASSET_OUTPUT_DIR
// RMS while sounding: over the 10 ms blocks at most 20 dB below the loudest.
double SoundingLevel(const std::vector<int16_t>& stereo)
{
    std::vector<double> blocks(stereo.size() / 882);
    for (size_t i = 0; i < blocks.size() * 882; i += 2)
        blocks[i / 882] += double(stereo[i]) * stereo[i] / 441;
    std::sort(blocks.rbegin(), blocks.rend());
    const auto quiet = std::find_if(blocks.begin(), blocks.end(), [&](double b) { return b < blocks[0] / 100; });
    return std::sqrt(std::accumulate(blocks.begin(), quiet, 0.0) / double(quiet - blocks.begin()));
}

int WidestStep(const std::vector<int16_t>& stereo, int16_t before)
{
    int widest = 0;
    for (size_t i = 0; i < stereo.size(); i += 2)
        widest = std::max(widest, std::abs(stereo[i] - (i ? stereo[i - 2] : before)));
    return widest;
}

// The game's own sounds, evenly loud, played once, then looped: exact once
// faded in, and stopped a third into the second round without a step wider
// than the sound's own waves make; then every voice is free again.
TEST_F(SoundTest, GameSoundsAreEvenlyLoudLoopExactlyAndNeverClick)
{
    const size_t fade = 2 * kSoundSampleRate / 1000 * kVoiceFadeMilliseconds;
    std::vector<double> levels;
    for (const char* name : {"beep", "run away", "death", "love"}) {
        const std::string path = std::string(VELMORA_ASSET_OUTPUT_DIR) + "/Data/" + name + ".ogg";
        MixerSource* decoded = DecodeOggFile(String(path.c_str()), kSoundSampleRate);
        ASSERT_NE(decoded, nullptr) << name;
        const std::vector<int16_t> own(decoded->samples, decoded->samples + 2 * decoded->frames);
        FreeMixerSource(decoded);
        levels.push_back(SoundingLevel(own));

        const uint32_t id = LoadSound(String(path.c_str()));
        std::vector<int16_t> heard;
        EXPECT_EQ(PlaySoundEffect(id, 1.0f, false), nullptr);
        Pull(heard, int32_t(own.size() / 2));
        heard.clear();
        SoundVoice* voice = PlaySoundEffect(id, 1.0f, true);
        while (heard.size() < own.size() * 4 / 3)
            Pull(heard, 1000);
        EXPECT_EQ(heard[0], 0) << name << " starts from silence";
        for (size_t i = fade; i < heard.size(); ++i)
            ASSERT_EQ(heard[i], own[i % own.size()]) << name << " " << i;
        StopSound(voice);
        Pull(heard, 1024);
        EXPECT_TRUE(std::all_of(heard.end() - 2 * 1024 + fade, heard.end(), [](int16_t s) { return s == 0; })) << name;
        EXPECT_LE(WidestStep(heard, 0), WidestStep(own, own.back())) << name;
    }
    EXPECT_EQ(CountFreeVoices(pulledMixer), kMixerVoices);
    const auto range = std::minmax_element(levels.begin(), levels.end());
    EXPECT_LE(20 * std::log10(*range.second / *range.first), 3.0) << "the loudest sound against the quietest, in dB";
}
#endif

} // namespace
