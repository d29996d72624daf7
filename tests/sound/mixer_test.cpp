#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "sound/mixer.h"

namespace {

// A source whose frame i is (base + i, -(base + i)), so every frame and side
// can be told apart in the output.
MixerSource* CountingSource(int32_t frames, int16_t base = 1)
{
    MixerSource* source = MakeMixerSource(frames);
    for (int32_t i = 0; i < frames; ++i) {
        source->samples[2 * i] = static_cast<int16_t>(base + i);
        source->samples[2 * i + 1] = static_cast<int16_t>(-(base + i));
    }
    return source;
}

MixerSource* ConstantSource(int32_t frames, int16_t value)
{
    MixerSource* source = MakeMixerSource(frames);
    for (int32_t i = 0; i < 2 * frames; ++i)
        source->samples[i] = value;
    return source;
}

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override { mixer = MakeMixer(44100); }
    void TearDown() override
    {
        FreeMixer(mixer);
        for (MixerSource* source : sources)
            FreeMixerSource(source);
    }
    MixerSource* Keep(MixerSource* source)
    {
        sources.push_back(source);
        return source;
    }
    // The next frames of output; filled with a marker first so that frames
    // MixSound forgot to write show up.
    std::vector<int16_t> Mix(int32_t frames)
    {
        std::vector<int16_t> out(2 * static_cast<size_t>(frames), 12345);
        MixSound(mixer, out.data(), frames);
        return out;
    }
    static bool Silent(const std::vector<int16_t>& out)
    {
        for (int16_t s : out)
            if (s != 0)
                return false;
        return true;
    }

    Mixer* mixer = nullptr;
    std::vector<MixerSource*> sources;
};

TEST_F(MixerTest, LoopedSourceRepeatsExactlyAcrossCallsOfAnySize)
{
    const int32_t n = 37;
    MixerSource* source = Keep(CountingSource(n));
    MixerVoice voice = StartVoice(mixer, source, true, false);
    ASSERT_NE(voice.value, 0u);
    std::vector<int16_t> heard;
    // Odd sizes, one frame, exactly the loop, and calls longer than the
    // mixer's inner chunk, so seams fall everywhere.
    for (int32_t frames : {5, 100, 1, 37, 600, 1300, 513}) {
        std::vector<int16_t> part = Mix(frames);
        heard.insert(heard.end(), part.begin(), part.end());
    }
    for (size_t f = 0; f < heard.size() / 2; ++f) {
        ASSERT_EQ(heard[2 * f], static_cast<int16_t>(1 + f % n)) << "frame " << f;
        ASSERT_EQ(heard[2 * f + 1], static_cast<int16_t>(-(1 + static_cast<int>(f % n)))) << "frame " << f;
    }
}

TEST_F(MixerTest, OneShotPlaysOnceAndEndsMidCall)
{
    MixerSource* source = Keep(CountingSource(10));
    StartVoice(mixer, source, false, false);
    std::vector<int16_t> out = Mix(16);
    for (int32_t f = 0; f < 10; ++f)
        EXPECT_EQ(out[2 * f], 1 + f);
    for (int32_t f = 10; f < 16; ++f)
        EXPECT_EQ(out[2 * f], 0) << "frame " << f;
    EXPECT_TRUE(Silent(Mix(100)));
}

TEST_F(MixerTest, VolumeScalesAndIsClampedToSilenceAndFull)
{
    MixerSource* source = Keep(ConstantSource(1000, 1000));
    MixerVoice voice = StartVoice(mixer, source, true, false);
    EXPECT_EQ(Mix(1)[0], 1000); // full volume at the start
    SetVoiceVolume(mixer, voice, 0.5f);
    EXPECT_EQ(Mix(1)[0], 500);
    SetVoiceVolume(mixer, voice, 0.25f);
    EXPECT_EQ(Mix(1)[1], 250);
    SetVoiceVolume(mixer, voice, 3.0f);
    EXPECT_EQ(Mix(1)[0], 1000);
    for (float quiet : {0.0f, -1.0f, std::nanf("")}) {
        SetVoiceVolume(mixer, voice, quiet);
        EXPECT_TRUE(Silent(Mix(4))) << quiet;
    }
}

TEST_F(MixerTest, PauseKeepsThePlaceAndResumesThere)
{
    MixerSource* source = Keep(CountingSource(100));
    MixerVoice voice = StartVoice(mixer, source, false, false);
    Mix(10);
    SetVoicePaused(mixer, voice, true);
    EXPECT_TRUE(Silent(Mix(50)));
    SetVoicePaused(mixer, voice, false);
    EXPECT_EQ(Mix(1)[0], 11);
}

TEST_F(MixerTest, StartedPausedVoiceBeginsAtItsVolume)
{
    MixerSource* source = Keep(ConstantSource(100, 800));
    MixerVoice voice = StartVoice(mixer, source, false, true);
    EXPECT_TRUE(Silent(Mix(20)));
    SetVoiceVolume(mixer, voice, 0.5f);
    SetVoicePaused(mixer, voice, false);
    std::vector<int16_t> out = Mix(2);
    EXPECT_EQ(out[0], 400); // never a frame at full volume
    EXPECT_EQ(out[3], 400);
}

TEST_F(MixerTest, ChangesBetweenTwoMixesTakeEffectInOrder)
{
    MixerSource* source = Keep(ConstantSource(100, 1000));
    MixerVoice voice = StartVoice(mixer, source, true, false);
    SetVoiceVolume(mixer, voice, 0.25f);
    SetVoiceVolume(mixer, voice, 0.75f);
    EXPECT_EQ(Mix(1)[0], 750);
    SetVoicePaused(mixer, voice, true);
    SetVoicePaused(mixer, voice, false);
    EXPECT_EQ(Mix(1)[0], 750);
    SetVoicePaused(mixer, voice, false);
    StopVoice(mixer, voice);
    EXPECT_TRUE(Silent(Mix(1)));
    SetVoicePaused(mixer, voice, false); // a stopped voice stays stopped
    EXPECT_TRUE(Silent(Mix(10)));
}

TEST_F(MixerTest, StoppedVoiceIsSilentAndHeldUntilDropped)
{
    MixerSource* source = Keep(CountingSource(100));
    MixerVoice voice = StartVoice(mixer, source, true, false);
    Mix(3);
    StopVoice(mixer, voice);
    EXPECT_TRUE(Silent(Mix(200)));
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices - 1);
    DropVoice(mixer, voice);
    Mix(1);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices);
}

TEST_F(MixerTest, DroppedOneShotPlaysToItsEndThenFreesItsVoice)
{
    MixerSource* source = Keep(CountingSource(300));
    MixerVoice voice = StartVoice(mixer, source, false, false);
    DropVoice(mixer, voice);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices - 1);
    std::vector<int16_t> first = Mix(200);
    EXPECT_EQ(first[2 * 199], 200);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices - 1); // still playing
    std::vector<int16_t> rest = Mix(200);
    EXPECT_EQ(rest[0], 201);
    EXPECT_EQ(rest[2 * 99], 300);
    EXPECT_EQ(rest[2 * 100], 0);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices);
    SetVoiceVolume(mixer, voice, 0.0f); // a dropped handle does nothing
    DropVoice(mixer, voice);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices);
}

TEST_F(MixerTest, DroppedLoopedOrPausedVoiceIsFreedAtOnce)
{
    MixerSource* source = Keep(CountingSource(50));
    MixerVoice looped = StartVoice(mixer, source, true, false);
    MixerVoice paused = StartVoice(mixer, source, false, true);
    Mix(10);
    DropVoice(mixer, looped);
    DropVoice(mixer, paused);
    EXPECT_TRUE(Silent(Mix(100)));
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices);
}

TEST_F(MixerTest, PoolOf64VoicesRunsOutAndRefills)
{
    MixerSource* source = Keep(ConstantSource(10, 1));
    std::vector<MixerVoice> voices;
    for (int32_t i = 0; i < kMixerVoices; ++i) {
        voices.push_back(StartVoice(mixer, source, true, false));
        ASSERT_NE(voices.back().value, 0u) << i;
    }
    EXPECT_EQ(StartVoice(mixer, source, false, false).value, 0u);
    EXPECT_EQ(CountFreeVoices(mixer), 0);
    EXPECT_EQ(Mix(1)[0], kMixerVoices);

    MixerVoice old = voices[5];
    DropVoice(mixer, old);
    EXPECT_EQ(StartVoice(mixer, source, false, false).value, 0u); // not yet let go
    Mix(1);
    MixerVoice reused = StartVoice(mixer, source, true, false);
    ASSERT_NE(reused.value, 0u);
    EXPECT_NE(reused.value, old.value);
    // The old handle names the same slot but not this voice.
    SetVoicePaused(mixer, old, true);
    StopVoice(mixer, old);
    EXPECT_EQ(Mix(1)[0], kMixerVoices);
}

TEST_F(MixerTest, LoudSumsSaturateInsteadOfWrapping)
{
    MixerSource* loud = Keep(ConstantSource(100, 30000));
    MixerSource* low = Keep(ConstantSource(100, -30000));
    StartVoice(mixer, loud, true, false);
    MixerVoice second = StartVoice(mixer, loud, true, false);
    std::vector<int16_t> out = Mix(3);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[5], 32767);
    StopVoice(mixer, second);
    for (int i = 0; i < 3; ++i)
        StartVoice(mixer, low, true, false);
    EXPECT_EQ(Mix(1)[0], -32768); // 30000 - 90000
}

TEST_F(MixerTest, SumsJustPastTheRangeSaturateToo)
{
    StartVoice(mixer, Keep(ConstantSource(10, 20000)), true, false);
    MixerVoice second = StartVoice(mixer, Keep(ConstantSource(10, 12768)), true, false);
    EXPECT_EQ(Mix(1)[0], 32767);
    SetVoiceVolume(mixer, second, 0.5f);
    EXPECT_EQ(Mix(1)[0], 26384);
    StartVoice(mixer, Keep(ConstantSource(10, -32768)), true, false);
    StartVoice(mixer, Keep(ConstantSource(10, -26385)), true, false);
    EXPECT_EQ(Mix(1)[0], -32768); // 26384 - 59153, just below the range
}

TEST_F(MixerTest, BadArgumentsAreRefusedQuietly)
{
    EXPECT_EQ(MakeMixerSource(0), nullptr);
    EXPECT_EQ(MakeMixerSource(-5), nullptr);
    EXPECT_EQ(MakeMixer(0), nullptr);
    MixerSource empty{nullptr, 0};
    EXPECT_EQ(StartVoice(mixer, &empty, true, false).value, 0u);
    EXPECT_EQ(StartVoice(mixer, nullptr, true, false).value, 0u);
    EXPECT_EQ(StartVoice(nullptr, Keep(ConstantSource(4, 1)), true, false).value, 0u);
    for (uint32_t bogus : {0u, 0xFFFFFFFFu, 0x1FFu, 200u})
        SetVoiceVolume(mixer, MixerVoice{bogus}, 0.5f);
    DropVoice(nullptr, MixerVoice{1});
    std::vector<int16_t> out(8, 99);
    MixSound(nullptr, out.data(), 4);
    EXPECT_TRUE(Silent(out));
    MixSound(mixer, nullptr, 4);
    MixSound(mixer, out.data(), -1);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices);
    FreeMixerSource(nullptr);
    FreeMixer(nullptr);
}

// The game thread plays, stops and drops voices while an audio thread mixes;
// at the end every voice comes back. Run under ThreadSanitizer too.
TEST_F(MixerTest, GameAndAudioThreadsShareTheMixerWithoutLocks)
{
    MixerSource* shortBeep = Keep(ConstantSource(64, 100));
    MixerSource* loop = Keep(CountingSource(300));
    std::atomic<bool> done{false};
    std::atomic<int64_t> mixed{0};
    std::thread audio([&] {
        int16_t buffer[2 * 256];
        while (!done.load()) {
            MixSound(mixer, buffer, 256);
            mixed.fetch_add(1);
        }
    });
    int32_t refused = 0;
    int32_t rounds = 0;
    // Keep going until both threads have done plenty side by side.
    for (int32_t round = 0; round < 20000 || mixed.load() < 2000; ++round, ++rounds) {
        MixerVoice beep = StartVoice(mixer, shortBeep, false, true);
        SetVoiceVolume(mixer, beep, 0.5f);
        SetVoicePaused(mixer, beep, false);
        DropVoice(mixer, beep);
        refused += beep.value == 0;
        if (round % 7 == 0) {
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
