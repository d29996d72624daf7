// The mixer: voices that loop, end, pause, stop and drop, volumes, the pool
// of 64 and saturated sums.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sound/mixer.h"

namespace {

class MixerTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        FreeMixer(mixer);
        for (MixerSource* source : sources)
            FreeMixerSource(source);
    }
    // Frame i is (1 + i, -(1 + i)), or (value, value) when a value is given.
    MixerSource* Source(int32_t frames, int16_t value = 0)
    {
        MixerSource* source = MakeMixerSource(frames);
        for (int32_t i = 0; i < frames; ++i) {
            source->samples[2 * i] = int16_t(value ? value : 1 + i);
            source->samples[2 * i + 1] = int16_t(value ? value : -(1 + i));
        }
        sources.push_back(source);
        return source;
    }
    // The left samples of the next frames; `right` keeps the last right one.
    std::vector<int> Mix(int32_t frames)
    {
        std::vector<int16_t> out(2 * size_t(frames), 12345);
        MixSound(mixer, out.data(), frames);
        right = out.back();
        std::vector<int> left;
        for (int32_t f = 0; f < frames; ++f)
            left.push_back(out[2 * f]);
        return left;
    }
    int First(int32_t frames = 1) { return Mix(frames)[0]; }
    Mixer* mixer = MakeMixer(44100);
    std::vector<MixerSource*> sources;
    int right = 0;
};

// As the game starts every sound: paused, given its volume, then let go.
TEST_F(MixerTest, AVoiceStartedPausedPlaysFromItsFirstFrameAtTheVolumeSetMeanwhile)
{
    struct Case {
        float volume;
        int heard;
    } cases[] = {{0.5f, 400}, {1.0f, 800}, {3.0f, 800}, {0.0f, 0}, {-1.0f, 0}, {NAN, 0}};
    for (const Case& c : cases) {
        MixerVoice voice = StartVoice(mixer, Source(100, 800), false, true);
        SetVoiceVolume(mixer, voice, c.volume);
        EXPECT_EQ(First(20), 0) << c.volume;
        SetVoicePaused(mixer, voice, false);
        EXPECT_EQ(First(), c.heard) << c.volume;
        StopVoice(mixer, voice);
        DropVoice(mixer, voice);
    }
}

// A one-shot plays whole across calls of any size and ends mid-call.
TEST_F(MixerTest, DroppedVoicesComeBackOnceDoneAndOldHandlesMissTheirSlotsNextVoice)
{
    DropVoice(mixer, StartVoice(mixer, Source(300), false, false)); // plays on to its end
    DropVoice(mixer, StartVoice(mixer, Source(50), true, false));   // looped or paused: let go at the next mix
    DropVoice(mixer, StartVoice(mixer, Source(50), false, true));
    int f = 0;
    for (int32_t frames : {5, 1, 94, 100})
        for (int heard : Mix(frames))
            ASSERT_EQ(heard, ++f) << "frame " << f;
    EXPECT_EQ(right, -200);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices - 1);
    std::vector<int> heard = Mix(200);
    EXPECT_EQ(heard[99], 300);
    EXPECT_EQ(heard[100], 0);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices);
    MixerSource* one = Source(10, 1);
    std::vector<MixerVoice> voices(kMixerVoices);
    for (MixerVoice& voice : voices)
        voice = StartVoice(mixer, one, true, false);
    EXPECT_EQ(StartVoice(mixer, one, false, false).value, 0u);
    DropVoice(mixer, voices[5]);
    EXPECT_EQ(StartVoice(mixer, one, false, false).value, 0u); // not let go before the next mix
    First();
    ASSERT_NE(StartVoice(mixer, one, true, false).value, 0u);
    StopVoice(mixer, voices[5]);
    EXPECT_EQ(First(), kMixerVoices);
}

TEST_F(MixerTest, SumsSaturateInsteadOfWrapping)
{
    StartVoice(mixer, Source(10, 20000), true, false);
    StartVoice(mixer, Source(10, 12768), true, false);
    EXPECT_EQ(First(), 32767);
    for (int i = 0; i < 3; ++i)
        StartVoice(mixer, Source(10, -32768), true, false);
    EXPECT_EQ(First(), -32768);
}

} // namespace
