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

// Samples of a voice's fade in or out, both sides.
const size_t kFadeSamples = 2 * kSoundSampleRate / 1000 * kVoiceFadeMilliseconds;

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
    EXPECT_TRUE(std::equal(expected.begin() + kFadeSamples, expected.end(), heard.begin() + kFadeSamples));
    EXPECT_TRUE(Silent(std::vector<int16_t>(heard.begin() + expected.size(), heard.end())));
    EXPECT_EQ(CountFreeVoices(fake.mixer), kMixerVoices);

    PlaySoundEffect(beep, 0.5f, false);
    heard = Pull(4410);
    for (size_t i = kFadeSamples; i < expected.size(); ++i)
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
    for (size_t i = kFadeSamples; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], expected[i % expected.size()]) << "sample " << i;
    StopSound(voice);
    heard = Pull(1024);
    EXPECT_TRUE(Silent(std::vector<int16_t>(heard.begin() + kFadeSamples, heard.end())));
    EXPECT_EQ(CountFreeVoices(fake.mixer), kMixerVoices);
}

} // namespace

#ifdef VELMORA_ASSET_OUTPUT_DIR
// RMS while sounding: over the 10 ms blocks at most 20 dB below the loudest.
double SoundingLevel(const std::vector<int16_t>& stereo)
{
    std::vector<double> blocks;
    for (size_t start = 0; start + 2 * 441 <= stereo.size(); start += 2 * 441) {
        double sum = 0;
        for (size_t i = start; i < start + 2 * 441; i += 2)
            sum += double(stereo[i]) * stereo[i];
        blocks.push_back(sum / 441);
    }
    const double loudest = *std::max_element(blocks.begin(), blocks.end());
    double sum = 0;
    int count = 0;
    for (double block : blocks)
        if (block >= loudest / 100)
            sum += block, ++count;
    return std::sqrt(sum / count);
}

int WidestStep(const std::vector<int16_t>& stereo, int16_t before)
{
    int widest = 0;
    for (size_t i = 0; i < stereo.size(); i += 2)
        widest = std::max(widest, std::abs(stereo[i] - (i ? stereo[i - 2] : before)));
    return widest;
}

// The game's own sounds as it plays them: evenly loud, each starting from
// silence, and started and stopped a third of the way in without a step
// wider than the sound's own waves make.
TEST_F(GameSoundOnMixer, GameSoundsAreEvenlyLoudAndNeverClick)
{
    InitSound();
    double quietest = 1e9, loudest = 0;
    for (const char* name : {"beep", "run away", "death", "love"}) {
        const std::string path = std::string(VELMORA_ASSET_OUTPUT_DIR) + "/Data/" + name + ".ogg";
        const std::vector<int16_t> own = Expected(path.c_str());
        ASSERT_FALSE(own.empty()) << name;
        const double level = SoundingLevel(own);
        quietest = std::min(quietest, level);
        loudest = std::max(loudest, level);
        EXPECT_LE(std::abs(own[0]), WidestStep(own, own.back())) << name << " starts with a jump";

        SoundVoice* voice = PlaySoundEffect(LoadSound(String(path.c_str())), 1.0f, true);
        std::vector<int16_t> heard;
        for (size_t pulled = 0; pulled < own.size() / 3; pulled += 2 * 1024)
            for (int16_t s : Pull(1024))
                heard.push_back(s);
        StopSound(voice);
        for (int16_t s : Pull(1024))
            heard.push_back(s);
        EXPECT_LE(WidestStep(heard, 0), WidestStep(own, own.back())) << name;
    }
    EXPECT_LE(20 * std::log10(loudest / quietest), 3.0) << "the loudest sound against the quietest, in dB";
}
#endif
