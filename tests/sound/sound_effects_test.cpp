#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "sound/recording_engine.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_platform.h"

namespace {

int32_t CountCalls(SoundCall call)
{
    int32_t n = 0;
    for (int32_t i = 0; i < soundRecorder.callCount; ++i)
        n += soundRecorder.calls[i].call == call;
    return n;
}

// Each test runs in a folder of its own with a few empty sound files: the
// recording engine never reads them, but the loader checks they exist.
class SoundEffects : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Enter());
        mkdir("Data", 0755);
        mkdir("Data/folder.ogg", 0755);
        for (const char* name : {"Data/beep.ogg", "Data/run away.ogg", "Data/death.ogg", "Data/love.ogg"})
            ASSERT_TRUE(TouchFile(name));
        ResetTestPlatform();
        ShutdownSound();
        ResetSoundRecorder();
        SetSoundEngineFactory(MakeRecordingSoundEngine);
        InitSound();
    }
    void TearDown() override
    {
        ShutdownSound();
        ClearSoundNames();
        SetSoundEngineFactory(nullptr);
        folder.Leave();
    }

    ScratchFolder folder;
};

TEST_F(SoundEffects, NameHashFoldsLettersAndSkipsTheRest)
{
    EXPECT_EQ(HashSoundName(String("Data/beep.ogg")), 1865u);
    EXPECT_EQ(HashSoundName(String("Data/love.ogg")), 225u);
    EXPECT_EQ(HashSoundName(String("DATA/BEEP.OGG")), 1865u);
    EXPECT_EQ(HashSoundName(String("d-a_t a1/b\\e.e9p.o g\xe9g")), 1865u);
    EXPECT_EQ(HashSoundName(String("")), 0u);
    for (const char* name : {"zzzzzzzzzzzzzzzzzzzz", "Data/run away.ogg", "Data/death.ogg"})
        EXPECT_LT(HashSoundName(String(name)), 4096u) << name;
}

TEST_F(SoundEffects, GameSoundsGetIdsInLoadOrderAndLoadOnce)
{
    EXPECT_EQ(LoadSound(String("Data/beep.ogg")), 1u);
    EXPECT_EQ(LoadSound(String("Data/run away.ogg")), 2u);
    EXPECT_EQ(LoadSound(String("Data/death.ogg")), 3u);
    EXPECT_EQ(LoadSound(String("Data/love.ogg")), 4u);
    EXPECT_EQ(LoadSound(String("data/BEEP.ogg")), 1u);
    EXPECT_EQ(CountCalls(SoundCall::Load), 4);
    EXPECT_STREQ(soundRecorder.sourceNames[0], "Data/beep.ogg");
}

TEST_F(SoundEffects, MissingFilesAndFoldersNeverReachTheEngine)
{
    EXPECT_EQ(LoadSound(String("Data/missing.ogg")), 0u);
    EXPECT_EQ(LoadSound(String("Data/folder.ogg")), 0u);
    EXPECT_EQ(LoadSound(String("")), 0u);
    EXPECT_EQ(CountCalls(SoundCall::Load), 0);
    EXPECT_TRUE(testPlatform.logLines.empty());
}

TEST_F(SoundEffects, FailedLoadLeavesNoRecordAndIsTriedAgain)
{
    soundRecorder.refuseLoads = true;
    EXPECT_EQ(LoadSound(String("Data/beep.ogg")), 0u);
    soundRecorder.refuseLoads = false;
    EXPECT_EQ(LoadSound(String("Data/beep.ogg")), 1u);
    EXPECT_EQ(CountCalls(SoundCall::Load), 1);
}

TEST_F(SoundEffects, IdsRunOutAfter1023Sounds)
{
    mkdir("Many", 0755);
    for (int i = 0; i < 1024; ++i) {
        // Letters only vary the hash; the digits alone would not.
        std::string name = "Many/s" + std::to_string(i) + std::string(1, char('a' + i % 26)) + ".ogg";
        ASSERT_TRUE(TouchFile(name.c_str()));
        uint32_t id = LoadSound(String(name.c_str()));
        if (i < 1023)
            ASSERT_EQ(id, static_cast<uint32_t>(i + 1)) << name;
        else
            EXPECT_EQ(id, 0u);
    }
    EXPECT_EQ(LoadSound(String("Many/s5f.ogg")), 6u);
}

TEST_F(SoundEffects, OneShotsStartPausedAtTheirVolumeAndAreDropped)
{
    uint32_t beep = LoadSound(String("Data/beep.ogg"));
    ClearSoundCalls();
    EXPECT_EQ(PlaySoundEffect(beep, 0.5f, false), nullptr);
    ASSERT_EQ(soundRecorder.callCount, 4);
    EXPECT_EQ(soundRecorder.calls[0].call, SoundCall::Play);
    EXPECT_TRUE(soundRecorder.calls[0].paused);
    EXPECT_FALSE(soundRecorder.calls[0].looped);
    EXPECT_EQ(soundRecorder.calls[1].call, SoundCall::SetVolume);
    EXPECT_FLOAT_EQ(soundRecorder.calls[1].volume, 0.5f);
    EXPECT_EQ(soundRecorder.calls[2].call, SoundCall::SetPaused);
    EXPECT_FALSE(soundRecorder.calls[2].paused);
    EXPECT_EQ(soundRecorder.calls[3].call, SoundCall::DropVoice);
    EXPECT_EQ(soundRecorder.liveVoices, 0);
}

TEST_F(SoundEffects, LoopedSoundsHandBackAVoiceThatStopSoundGivesBack)
{
    uint32_t love = LoadSound(String("Data/love.ogg"));
    SoundVoice* voice = PlaySoundEffect(love, 1.0f, true);
    ASSERT_NE(voice, nullptr);
    EXPECT_EQ(soundRecorder.liveVoices, 1);
    ClearSoundCalls();
    StopSound(voice);
    ASSERT_EQ(soundRecorder.callCount, 2);
    EXPECT_EQ(soundRecorder.calls[0].call, SoundCall::Stop);
    EXPECT_EQ(soundRecorder.calls[1].call, SoundCall::DropVoice);
    EXPECT_EQ(soundRecorder.liveVoices, 0);
    StopSound(nullptr); // nothing to stop
    EXPECT_EQ(soundRecorder.callCount, 2);
}

TEST_F(SoundEffects, UnknownIdsAndRefusedPlaysDoNothing)
{
    LoadSound(String("Data/beep.ogg"));
    ClearSoundCalls();
    EXPECT_EQ(PlaySoundEffect(0, 1.0f, true), nullptr);
    EXPECT_EQ(PlaySoundEffect(2, 1.0f, true), nullptr);
    EXPECT_EQ(PlaySoundEffect(1024, 1.0f, true), nullptr);
    EXPECT_EQ(PlaySoundEffect(0xFFFFFFFFu, 1.0f, false), nullptr);
    EXPECT_EQ(soundRecorder.callCount, 0);
    soundRecorder.refusePlays = true;
    EXPECT_EQ(PlaySoundEffect(1, 1.0f, true), nullptr);
    EXPECT_EQ(CountCalls(SoundCall::SetVolume), 0);
}

TEST_F(SoundEffects, WithoutAnEngineEverythingIsSilent)
{
    ShutdownSound();
    EXPECT_EQ(CountCalls(SoundCall::DropEngine), 1);
    EXPECT_EQ(LoadSound(String("Data/beep.ogg")), 0u);
    EXPECT_EQ(PlaySoundEffect(1, 1.0f, false), nullptr);
    ShutdownSound(); // a second shut-down has nothing to drop
    EXPECT_EQ(CountCalls(SoundCall::DropEngine), 1);

    SetSoundEngineFactory(nullptr); // the default: no engine can be made
    InitSound();
    EXPECT_EQ(LoadSound(String("Data/beep.ogg")), 0u);
    EXPECT_TRUE(testPlatform.logLines.empty());
}

TEST_F(SoundEffects, InitSoundForgetsNamesButKeepsAnExistingEngine)
{
    EXPECT_EQ(LoadSound(String("Data/death.ogg")), 1u);
    InitSound();
    EXPECT_EQ(CountCalls(SoundCall::DropEngine), 0);
    EXPECT_EQ(LoadSound(String("Data/beep.ogg")), 1u);
    EXPECT_EQ(LoadSound(String("Data/death.ogg")), 2u);
}

} // namespace
