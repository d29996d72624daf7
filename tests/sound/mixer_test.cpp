// The mixer: voices that loop, end, pause, stop and drop, volumes, the pool
// of 64, saturated sums, and the game and audio threads side by side.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "sound/mixer.h"

namespace {

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override { mixer = MakeMixer(44100); }
    void TearDown() override
    {
        FreeMixer(mixer);
        for (MixerSource* source : sources)
            FreeMixerSource(source);
    }
    // Frame i is (base + i, -(base + i)), or (value, value) when constant.
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
    // The next frames' left samples; a marker first shows frames left unwritten.
    std::vector<int> Mix(int32_t frames)
    {
        std::vector<int16_t> out(2 * size_t(frames), 12345);
        MixSound(mixer, out.data(), frames);
        std::vector<int> left;
        for (int32_t f = 0; f < frames; ++f)
            left.push_back(out[2 * f]);
        right = out[1];
        return left;
    }
    int First(int32_t frames = 1) { return Mix(frames)[0]; }
    Mixer* mixer = nullptr;
    std::vector<MixerSource*> sources;
    int right = 0;
};

TEST_F(MixerTest, LoopsRepeatExactlyAcrossCallsOfAnySizeAndOneShotsEndMidCall)
{
    StartVoice(mixer, Source(37), true, false);
    int f = 0;
    for (int32_t frames : {5, 100, 1, 37, 600, 1300, 513})
        for (int heard : Mix(frames))
            ASSERT_EQ(heard, 1 + f++ % 37) << "frame " << f;
    EXPECT_EQ(right, -(1 + (f - 513) % 37));
    Mixer* other = MakeMixer(44100);
    std::swap(mixer, other);
    StartVoice(mixer, Source(10), false, false);
    EXPECT_EQ(Mix(12), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 0}));
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices - 1); // held until dropped
    std::swap(mixer, other);
    FreeMixer(other);
}

TEST_F(MixerTest, VolumePauseAndStopTakeEffectInOrderAtTheNextMix)
{
    MixerVoice voice = StartVoice(mixer, Source(1000, 1000), true, false);
    struct Step {
        float volume; // NaN: leave the volume
        int paused;   // -1: leave it
        int heard;
    } steps[] = {{NAN, -1, 1000}, {0.5f, -1, 500}, {0.25f, -1, 250}, {3.0f, -1, 1000},
                 {0.0f, -1, 0},   {-1.0f, -1, 0},  {0.75f, 1, 0},    {NAN, 0, 750}};
    for (const Step& s : steps) {
        if (!std::isnan(s.volume))
            SetVoiceVolume(mixer, voice, s.volume);
        if (s.paused >= 0)
            SetVoicePaused(mixer, voice, s.paused == 1);
        EXPECT_EQ(First(), s.heard) << s.volume << " " << s.paused;
    }
    SetVoiceVolume(mixer, voice, std::nanf(""));
    EXPECT_EQ(First(), 0);
    StopVoice(mixer, voice);
    SetVoiceVolume(mixer, voice, 1.0f);
    SetVoicePaused(mixer, voice, false); // a stopped voice stays stopped
    EXPECT_EQ(First(50), 0);
    MixerVoice later = StartVoice(mixer, Source(100, 800), false, true);
    SetVoiceVolume(mixer, later, 0.5f); // a paused start never plays a frame at full volume
    EXPECT_EQ(First(20), 0);
    SetVoicePaused(mixer, later, false);
    EXPECT_EQ(First(), 400);
}

TEST_F(MixerTest, DroppedVoicesComeBackWhenDone)
{
    MixerVoice oneShot = StartVoice(mixer, Source(300), false, false);
    MixerVoice looped = StartVoice(mixer, Source(50), true, false);
    MixerVoice paused = StartVoice(mixer, Source(50), false, true);
    DropVoice(mixer, looped);
    DropVoice(mixer, paused);
    DropVoice(mixer, oneShot); // plays on to its end
    std::vector<int> heard = Mix(200);
    EXPECT_EQ(heard[199], 200);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices - 1);
    heard = Mix(200);
    EXPECT_EQ(heard[99], 300);
    EXPECT_EQ(heard[100], 0);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices);
    SetVoiceVolume(mixer, oneShot, 1.0f); // a dropped handle does nothing
    DropVoice(mixer, oneShot);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices);
}

TEST_F(MixerTest, PoolOf64RunsOutRefillsAndOldHandlesMissTheNewVoice)
{
    MixerSource* one = Source(10, 1);
    std::vector<MixerVoice> voices;
    for (int32_t i = 0; i < kMixerVoices; ++i)
        voices.push_back(StartVoice(mixer, one, true, false));
    EXPECT_EQ(StartVoice(mixer, one, false, false).value, 0u);
    EXPECT_EQ(First(), kMixerVoices);
    DropVoice(mixer, voices[5]);
    EXPECT_EQ(StartVoice(mixer, one, false, false).value, 0u); // not let go before the next mix
    First();
    MixerVoice reused = StartVoice(mixer, one, true, false);
    ASSERT_NE(reused.value, 0u);
    StopVoice(mixer, voices[5]);
    EXPECT_EQ(First(), kMixerVoices);
}

TEST_F(MixerTest, SumsSaturateInsteadOfWrapping)
{
    StartVoice(mixer, Source(10, 20000), true, false);
    MixerVoice second = StartVoice(mixer, Source(10, 12768), true, false);
    EXPECT_EQ(First(), 32767);
    SetVoiceVolume(mixer, second, 0.5f);
    EXPECT_EQ(First(), 26384);
    StartVoice(mixer, Source(10, -32768), true, false);
    StartVoice(mixer, Source(10, -26385), true, false);
    EXPECT_EQ(First(), -32768);
}

TEST_F(MixerTest, BadArgumentsAreRefusedQuietly)
{
    EXPECT_EQ(MakeMixerSource(0), nullptr);
    EXPECT_EQ(MakeMixer(0), nullptr);
    MixerSource empty{nullptr, 0};
    EXPECT_EQ(StartVoice(mixer, &empty, true, false).value, 0u);
    EXPECT_EQ(StartVoice(mixer, nullptr, true, false).value, 0u);
    for (uint32_t bogus : {0u, 0xFFFFFFFFu, 0x1FFu, 200u})
        SetVoiceVolume(mixer, MixerVoice{bogus}, 0.5f);
    std::vector<int16_t> out(8, 99);
    MixSound(nullptr, out.data(), 4);
    EXPECT_EQ(out, std::vector<int16_t>(8, 0));
    MixSound(mixer, nullptr, 4);
    MixSound(mixer, out.data(), -1);
}

// The game thread plays, stops and drops voices while an audio thread mixes;
// at the end every voice comes back.
TEST_F(MixerTest, GameAndAudioThreadsShareTheMixerWithoutLocks)
{
    MixerSource* beep = Source(64, 100);
    MixerSource* loop = Source(300);
    std::atomic<bool> done{false};
    std::atomic<int64_t> mixed{0};
    std::thread audio([&] {
        int16_t buffer[2 * 256];
        for (; !done.load(); mixed.fetch_add(1))
            MixSound(mixer, buffer, 256);
    });
    int32_t refused = 0, rounds = 0;
    for (; rounds < 20000 || mixed.load() < 2000; ++rounds) {
        MixerVoice voice = StartVoice(mixer, beep, false, true);
        SetVoiceVolume(mixer, voice, 0.5f);
        SetVoicePaused(mixer, voice, false);
        DropVoice(mixer, voice);
        refused += voice.value == 0;
        if (rounds % 7 == 0) {
            MixerVoice looped = StartVoice(mixer, loop, true, false);
            StopVoice(mixer, looped);
            DropVoice(mixer, looped);
        }
    }
    done.store(true);
    audio.join();
    Mix(1000);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices);
    EXPECT_LT(refused, rounds);
}

} // namespace
