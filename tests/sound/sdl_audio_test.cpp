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
#include "sound/mixer_engine.h"
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

TEST_F(SdlSound, BeepReachesTheDiskDriverAfterSilence)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "out.raw", 1);
    InitSound();
    uint32_t beep = LoadSound(String("Data/beep.ogg"));
    ASSERT_EQ(beep, 1u);
    Wait(150);
    EXPECT_EQ(PlaySoundEffect(beep, 1.0f, false), nullptr);
    Wait(500);
    ShutdownSound(); // closes the file
    std::vector<int16_t> samples = ReadSamples("out.raw");
    ASSERT_GT(samples.size(), 2u * 44100 / 4);
    size_t firstSound = samples.size();
    int16_t loudest = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] != 0 && firstSound == samples.size())
            firstSound = i;
        loudest = std::max<int16_t>(loudest, samples[i]);
    }
    EXPECT_GT(firstSound, 2u * 1024) << "silence before the beep";
    EXPECT_GT(loudest, 12000) << "a sine at half scale";
    EXPECT_LT(loudest, 20000);
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
