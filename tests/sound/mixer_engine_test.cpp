#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "sound/mixer.h"
#include "sound/mixer_engine.h"
#include "sound/ogg_decode.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"
#include "tests/sound/ogg_encoder.h"
#include "tests/support/test_platform.h"

namespace {

// An output with no device: the test pulls frames itself. Closing mixes
// one more buffer, so a mixer or source freed before the close shows up
// under AddressSanitizer.
struct FakeOutput {
    bool refuse;
    Mixer* mixer;
    int32_t sampleRate;
    std::vector<std::string> events;
};
FakeOutput fake;

bool OpenFake(Mixer* mixer, int32_t sampleRate)
{
    fake.events.push_back("open");
    if (fake.refuse)
        return false;
    fake.mixer = mixer;
    fake.sampleRate = sampleRate;
    return true;
}

void CloseFake()
{
    fake.events.push_back("close");
    int16_t buffer[2 * 64];
    MixSound(fake.mixer, buffer, 64);
    fake.mixer = nullptr;
}

SoundEngine* MakeFakeEngine() { return MakeMixerSoundEngine(SoundOutput{OpenFake, CloseFake}); }

std::vector<int16_t> Pull(int32_t frames)
{
    std::vector<int16_t> out(2 * static_cast<size_t>(frames));
    MixSound(fake.mixer, out.data(), frames);
    return out;
}

bool Silent(const std::vector<int16_t>& out)
{
    for (int16_t s : out)
        if (s != 0)
            return false;
    return true;
}

class GameSoundOnMixer : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/velmora-engine-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        ASSERT_EQ(getcwd(previous, sizeof previous), previous);
        ASSERT_EQ(chdir(folder.c_str()), 0);
        mkdir("Data", 0755);
        ASSERT_TRUE(WriteBytes("Data/beep.ogg", EncodeOgg(MakeSine(1, 44100, 4410, 880, 0.5f), 1, 44100)));
        ASSERT_TRUE(WriteBytes("Data/love.ogg", EncodeOgg(MakeSine(2, 22050, 3000, 300, 0.4f), 2, 22050)));
        ASSERT_TRUE(WriteBytes("Data/broken.ogg", {'O', 'g', 'g', 'S', 1, 2, 3}));
        ResetTestPlatform();
        fake = FakeOutput{};
        SetSoundEngineFactory(MakeFakeEngine);
    }
    void TearDown() override
    {
        ShutdownSound();
        ClearSoundNames();
        SetSoundEngineFactory(nullptr);
        ASSERT_EQ(chdir(previous), 0);
        ASSERT_EQ(system(("rm -rf '" + folder + "'").c_str()), 0);
    }
    // The frames the game should hear for a file: decoded on their own.
    static std::vector<int16_t> Expected(const char* name)
    {
        MixerSource* source = DecodeOggFile(String(name), kSoundSampleRate);
        std::vector<int16_t> frames;
        if (source)
            frames.assign(source->samples, source->samples + 2 * source->frames);
        FreeMixerSource(source);
        return frames;
    }

    std::string folder;
    char previous[4096];
};

TEST_F(GameSoundOnMixer, NoDeviceMeansNoEngineAndSilence)
{
    fake.refuse = true;
    EXPECT_EQ(MakeFakeEngine(), nullptr);
    EXPECT_EQ(MakeMixerSoundEngine(SoundOutput{nullptr, CloseFake}), nullptr);
    EXPECT_EQ(MakeMixerSoundEngine(SoundOutput{OpenFake, CloseFake}, 0), nullptr);
    InitSound();
    EXPECT_EQ(LoadSound(String("Data/beep.ogg")), 0u);
    EXPECT_TRUE(testPlatform.logLines.empty());
}

TEST_F(GameSoundOnMixer, EngineOpensAtItsRateAndClosesTheOutputBeforeFreeing)
{
    InitSound();
    EXPECT_EQ(fake.sampleRate, kSoundSampleRate);
    uint32_t love = LoadSound(String("Data/love.ogg"));
    ASSERT_NE(PlaySoundEffect(love, 1.0f, true), nullptr);
    Pull(100);
    ShutdownSound(); // the close mixes the looped voice once more
    EXPECT_EQ(fake.events, (std::vector<std::string>{"open", "close"}));
}

TEST_F(GameSoundOnMixer, GameSoundsLoadOnceAndBadFilesGiveNoId)
{
    InitSound();
    EXPECT_EQ(LoadSound(String("Data/beep.ogg")), 1u);
    EXPECT_EQ(LoadSound(String("Data/broken.ogg")), 0u);
    EXPECT_EQ(LoadSound(String("Data/love.ogg")), 2u);
    EXPECT_EQ(LoadSound(String("DATA/Beep.OGG")), 1u);
    EXPECT_EQ(PlaySoundEffect(3, 1.0f, false), nullptr);
    EXPECT_TRUE(Silent(Pull(256)));
}

TEST_F(GameSoundOnMixer, OneShotIsHeardWholeAtItsVolumeAndGivesItsVoiceBack)
{
    InitSound();
    uint32_t beep = LoadSound(String("Data/beep.ogg"));
    std::vector<int16_t> expected = Expected("Data/beep.ogg");
    ASSERT_EQ(expected.size(), 2u * 4410);

    EXPECT_EQ(PlaySoundEffect(beep, 1.0f, false), nullptr);
    EXPECT_EQ(CountFreeVoices(fake.mixer), kMixerVoices - 1);
    std::vector<int16_t> heard = Pull(5000);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), heard.begin()));
    EXPECT_TRUE(Silent(std::vector<int16_t>(heard.begin() + expected.size(), heard.end())));
    EXPECT_EQ(CountFreeVoices(fake.mixer), kMixerVoices);

    PlaySoundEffect(beep, 0.5f, false);
    heard = Pull(4410);
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(heard[i], static_cast<int16_t>(lrintf(expected[i] * 0.5f))) << i;
}

TEST_F(GameSoundOnMixer, LoopedSoundRepeatsUntilStopSound)
{
    InitSound();
    uint32_t love = LoadSound(String("Data/love.ogg"));
    std::vector<int16_t> expected = Expected("Data/love.ogg");
    ASSERT_EQ(expected.size(), 2u * 6000); // 22050 a second made 44100
    SoundVoice* voice = PlaySoundEffect(love, 1.0f, true);
    ASSERT_NE(voice, nullptr);
    std::vector<int16_t> heard;
    for (int32_t frames : {1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024})
        for (int16_t s : Pull(frames))
            heard.push_back(s);
    for (size_t i = 0; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], expected[i % expected.size()]) << "sample " << i;
    StopSound(voice);
    EXPECT_TRUE(Silent(Pull(1024)));
    EXPECT_EQ(CountFreeVoices(fake.mixer), kMixerVoices);
}

} // namespace
