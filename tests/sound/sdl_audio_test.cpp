#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/sdl/sdl_audio.h"
#include "sound/mixer.h"
#include "sound/mixer_engine.h"
#include "sound/ogg_decode.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"
#include "tests/sound/ogg_encoder.h"
#include "tests/support/test_platform.h"

namespace {

// The game's sound functions on SDL's audio device, with SDL's file-writing
// and silent drivers standing in for a sound card.
class SdlSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/velmora-sdl-audio-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        ASSERT_EQ(getcwd(previous, sizeof previous), previous);
        ASSERT_EQ(chdir(folder.c_str()), 0);
        mkdir("Data", 0755);
        ASSERT_TRUE(WriteBytes("Data/beep.ogg", EncodeOgg(MakeSine(1, 44100, 8820, 660, 0.5f), 1, 44100)));
        ResetTestPlatform();
        SetSoundEngineFactory(MakeSdlSoundEngine);
    }
    void TearDown() override
    {
        ShutdownSound();
        ClearSoundNames();
        SetSoundEngineFactory(nullptr);
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        ASSERT_EQ(chdir(previous), 0);
        ASSERT_EQ(system(("rm -rf '" + folder + "'").c_str()), 0);
    }
    static void Wait(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

    std::string folder;
    char previous[4096];
};

std::vector<int16_t> ReadSamples(const char* path)
{
    std::vector<int16_t> samples;
    FILE* file = fopen(path, "rb");
    if (!file)
        return samples;
    int16_t buffer[4096];
    size_t got;
    while ((got = fread(buffer, sizeof(int16_t), 4096, file)) > 0)
        samples.insert(samples.end(), buffer, buffer + got);
    fclose(file);
    return samples;
}

// Waits, up to five seconds, until the file the disk driver writes holds
// at least the given number of samples.
std::vector<int16_t> WaitForSamples(const char* path, size_t count)
{
    std::vector<int16_t> samples;
    for (int tries = 0; tries < 100 && samples.size() < count; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        samples = ReadSamples(path);
    }
    return samples;
}

TEST_F(SdlSound, BeepReachesTheDiskDriverAfterSilence)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "out.raw", 1);
    InitSound();
    uint32_t beep = LoadSound(String("Data/beep.ogg"));
    ASSERT_EQ(beep, 1u);
    size_t before = WaitForSamples("out.raw", 2 * 4096).size();
    ASSERT_GE(before, 2u * 4096) << "the device is running";
    EXPECT_EQ(PlaySoundEffect(beep, 1.0f, false), nullptr);
    std::vector<int16_t> samples = WaitForSamples("out.raw", before + 2 * 8820 + 2 * 4096);
    ShutdownSound();
    // The device hears the decoded beep exactly once its fade in is over,
    // starting on a frame after the silence it had played before.
    MixerSource* decoded = DecodeOggFile(String("Data/beep.ogg"), kSoundSampleRate);
    ASSERT_NE(decoded, nullptr);
    std::vector<int16_t> beepSamples(decoded->samples, decoded->samples + 2 * decoded->frames);
    FreeMixerSource(decoded);
    const size_t fade = 2 * kSoundSampleRate / 1000 * kVoiceFadeMilliseconds;
    size_t found = samples.size();
    for (size_t start = 0; start + beepSamples.size() <= samples.size() && found == samples.size(); start += 2)
        if (std::equal(beepSamples.begin() + fade, beepSamples.end(), samples.begin() + start + fade))
            found = start;
    ASSERT_LT(found, samples.size()) << "the beep is in the file";
    EXPECT_GE(found + 2, before);
    for (size_t i = 0; i + 2 < found; ++i)
        ASSERT_EQ(samples[i], 0) << "silence before the beep, sample " << i;
    EXPECT_TRUE(testPlatform.logLines.empty());
}

TEST_F(SdlSound, DummyDriverPlaysAndStopsALoop)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    InitSound();
    uint32_t beep = LoadSound(String("Data/beep.ogg"));
    ASSERT_EQ(beep, 1u);
    SoundVoice* loop = PlaySoundEffect(beep, 1.0f, true);
    ASSERT_NE(loop, nullptr);
    Wait(100);
    StopSound(loop);
    PlaySoundEffect(beep, 0.3f, false);
    Wait(50);
}

TEST_F(SdlSound, NoDriverMeansSilenceWithoutAWord)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    InitSound();
    EXPECT_EQ(LoadSound(String("Data/beep.ogg")), 0u);
    EXPECT_EQ(PlaySoundEffect(1, 1.0f, false), nullptr);
    EXPECT_TRUE(testPlatform.logLines.empty());
}

TEST_F(SdlSound, OnlyOneEngineHoldsTheDeviceAtATime)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SoundEngine* first = MakeSdlSoundEngine();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(MakeSdlSoundEngine(), nullptr);
    first->ops->dropEngine(first);
    SoundEngine* again = MakeSdlSoundEngine();
    ASSERT_NE(again, nullptr);
    again->ops->dropEngine(again);
}

} // namespace
