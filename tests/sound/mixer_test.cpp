// The mixer: voices that play on or stop when dropped, volumes and
// saturated sums. Loops and fades are heard through the game's own sounds.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "sound/mixer.h"

namespace {

class MixerTest : public ::testing::Test {
protected:
    // Frame i is (v, -v), v being the value given or else 1 + i.
    MixerSource* Source(int32_t frames, int16_t value = 0)
    {
        MixerSource* source = MakeMixerSource(frames);
        for (int32_t i = 0; i < frames; ++i) {
            source->samples[2 * i] = int16_t(value ? value : 1 + i);
            source->samples[2 * i + 1] = int16_t(-source->samples[2 * i]);
        }
        sources.emplace_back(source, FreeMixerSource);
        return source;
    }
    // The next frames, left and right; a marker shows frames left unwritten.
    std::vector<int> Mix(int32_t frames)
    {
        std::vector<int16_t> out(2 * size_t(frames), 12345);
        MixSound(mixer.get(), out.data(), frames);
        return std::vector<int>(out.begin(), out.end());
    }
    std::vector<std::unique_ptr<MixerSource, void (*)(MixerSource*)>> sources; // freed after the mixer
    std::unique_ptr<Mixer, void (*)(Mixer*)> mixer{MakeMixer(44100), FreeMixer};
};

// Across calls of any size a dropped one-shot plays on to its end, then
// gives its voice back; a dropped looped or paused one is let go at once.
TEST_F(MixerTest, DroppedVoicesPlayOnOrStopAndComeBackOnceDone)
{
    DropVoice(mixer.get(), StartVoice(mixer.get(), Source(300), false, false));
    DropVoice(mixer.get(), StartVoice(mixer.get(), Source(50), true, false));
    DropVoice(mixer.get(), StartVoice(mixer.get(), Source(50), false, true));
    int f = 0;
    for (int32_t frames : {5, 1, 94, 100, 200}) {
        const std::vector<int> heard = Mix(frames);
        for (int32_t i = 0; i < 2 * frames; i += 2, ++f)
            ASSERT_EQ(heard[i], f < 300 ? f + 1 : 0) << "frame " << f;
    }
    EXPECT_EQ(CountFreeVoices(mixer.get()), kMixerVoices);
}

// Volumes scale a voice, clamped to 0 to 1 with NaN as silence, and sums
// saturate instead of wrapping.
TEST_F(MixerTest, VolumesScaleAndSumsSaturate)
{
    StartVoice(mixer.get(), Source(10, 20000), true, false);
    MixerVoice second = StartVoice(mixer.get(), Source(10, 12769), true, false);
    struct Case {
        float volume;
        int left, right;
    } cases[] = {{1.0f, 32767, -32768}, {0.5f, 26384, -26384},  {3.0f, 32767, -32768},
                 {0.0f, 20000, -20000}, {-1.0f, 20000, -20000}, {NAN, 20000, -20000}};
    for (const Case& c : cases) {
        SetVoiceVolume(mixer.get(), second, c.volume);
        const std::vector<int> heard = Mix(1);
        EXPECT_EQ(std::make_pair(heard[0], heard[1]), std::make_pair(c.left, c.right)) << c.volume;
    }
}

// A copy mixes ahead what the mixer will give, frees none of the game's
// voices, and is out of date once the game changes a voice.
TEST_F(MixerTest, ACopyMixesAheadWithoutMovingTheMixer)
{
    MixerVoice looped = StartVoice(mixer.get(), Source(700), true, false);
    DropVoice(mixer.get(), StartVoice(mixer.get(), Source(300), false, false));
    Mix(100);
    std::unique_ptr<Mixer, void (*)(Mixer*)> copy{MakeMixer(44100), FreeMixer};
    CopyMixer(copy.get(), mixer.get());
    std::vector<int16_t> ahead(2 * 1000);
    MixSound(copy.get(), ahead.data(), 1000);
    EXPECT_EQ(CountFreeVoices(mixer.get()), kMixerVoices - 2);
    EXPECT_FALSE(MixerChangedSince(mixer.get(), copy.get()));
    EXPECT_EQ(Mix(1000), std::vector<int>(ahead.begin(), ahead.end()));
    StopVoice(mixer.get(), looped);
    EXPECT_TRUE(MixerChangedSince(mixer.get(), copy.get()));
}

} // namespace
