// The game's sound functions on our mixer engine, over an output with no
// device that the test pulls frames from: ids by file name, one-shots heard
// whole, loops until stopped, silence without an engine, and the game's own
// sounds evenly loud and never clicking.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sound/mixer.h"
#include "sound/mixer_engine.h"
#include "sound/ogg_decode.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_platform.h"
#include "tools/assetgen/ogg_write.h"

namespace {

// Closing mixes once more, so a mixer freed before the close shows under the
// sanitizers.
struct PulledOutput {
    bool refuse;
    Mixer* mixer;
    int32_t opened, closed;
} pulled;

bool OpenPulled(Mixer* mixer, int32_t)
{
    pulled.opened += 1;
    pulled.mixer = pulled.refuse ? nullptr : mixer;
    return !pulled.refuse;
}

void ClosePulled()
{
    int16_t buffer[2 * 64];
    MixSound(pulled.mixer, buffer, 64);
    pulled.closed += 1;
}

// Another file with the bytes of "Data/love.ogg".
bool CopyLove(const char* name)
{
    FILE* from = fopen("Data/love.ogg", "rb");
    FILE* to = fopen(name, "wb");
    char bytes[4096];
    size_t read = 0;
    bool copied = from && to;
    while (copied && (read = fread(bytes, 1, sizeof bytes, from)) > 0)
        copied = fwrite(bytes, 1, read, to) == read;
    if (from)
        fclose(from);
    if (to)
        copied = fclose(to) == 0 && copied;
    return copied;
}

SoundEngine* MakePulledEngine() { return MakeMixerSoundEngine(SoundOutput{OpenPulled, ClosePulled}); }

std::vector<int16_t> Pull(int32_t frames)
{
    std::vector<int16_t> out(2 * size_t(frames));
    MixSound(pulled.mixer, out.data(), frames);
    return out;
}

// "Data/love.ogg" is a sine of 3000 frames at 22,050 Hz; "Data/beep.ogg" is
// empty, and so no sound.
class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Enter());
        mkdir("Data", 0755);
        mkdir("Data/folder.ogg", 0755);
        std::vector<float> wave(3000);
        for (size_t i = 0; i < wave.size(); ++i)
            wave[i] = 0.5f * float(std::sin(double(i) * 0.06));
        ASSERT_TRUE(WriteOggVorbis("Data/love.ogg", wave, 22050, 0.5f));
        ASSERT_TRUE(TouchFile("Data/beep.ogg"));
        ResetTestPlatform();
        pulled = PulledOutput{false, nullptr, 0, 0};
        SetSoundEngineFactory(MakePulledEngine);
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

TEST_F(SoundTest, SoundsGetIdsInLoadOrderOnceByNameWhateverTheCase)
{
    for (const char* missing : {"Data/beep.ogg", "Data/missing.ogg", "Data/folder.ogg", ""})
        EXPECT_EQ(LoadSound(String(missing)), 0u) << missing;
    EXPECT_EQ(LoadSound(String("Data/love.ogg")), 1u);
    EXPECT_EQ(LoadSound(String("data/LOVE.ogg")), 1u);
    ASSERT_TRUE(CopyLove("Data/beep.ogg"));
    EXPECT_EQ(LoadSound(String("Data/beep.ogg")), 2u); // tried again
    mkdir("Many", 0755);
    for (int i = 0; i < 1022; ++i) {
        std::string name = "Many/s" + std::to_string(i) + char('a' + i % 26) + ".ogg";
        ASSERT_TRUE(CopyLove(name.c_str()));
        ASSERT_EQ(LoadSound(String(name.c_str())), i < 1021 ? uint32_t(i + 3) : 0u) << name;
    }
    EXPECT_TRUE(testPlatform.logLines.empty());
}

TEST_F(SoundTest, WithoutAnEngineOrADeviceEverythingIsSilent)
{
    ASSERT_TRUE(CopyLove("Data/death.ogg"));
    EXPECT_EQ(LoadSound(String("Data/death.ogg")), 1u);
    InitSound(); // forgets the names, keeps the engine
    EXPECT_EQ(LoadSound(String("Data/love.ogg")), 1u);
    ShutdownSound();
    ShutdownSound();
    EXPECT_EQ(LoadSound(String("Data/love.ogg")), 0u);
    EXPECT_EQ(PlaySoundEffect(1, 1.0f, false), nullptr);
    pulled.refuse = true;
    InitSound();
    EXPECT_EQ(LoadSound(String("Data/love.ogg")), 0u);
    SetSoundEngineFactory(nullptr);
    InitSound();
    EXPECT_EQ(LoadSound(String("Data/love.ogg")), 0u);
    EXPECT_EQ(pulled.opened, 2);
    EXPECT_EQ(pulled.closed, 1);
    EXPECT_TRUE(testPlatform.logLines.empty());
}

TEST_F(SoundTest, OneShotsAreHeardWholeAndLoopsUntilStopped)
{
    uint32_t love = LoadSound(String("Data/love.ogg"));
    ASSERT_EQ(love, 1u);
    MixerSource* decoded = DecodeOggFile(String("Data/love.ogg"), kSoundSampleRate);
    ASSERT_NE(decoded, nullptr);
    ASSERT_EQ(decoded->frames, 6000); // 22050 a second made 44100
    std::vector<int16_t> expected(decoded->samples, decoded->samples + 2 * decoded->frames);
    FreeMixerSource(decoded);
    // Exact once a voice's fade in is over; stopped, silent once faded out.
    const size_t fade = 2 * kSoundSampleRate / 1000 * kVoiceFadeMilliseconds;
    EXPECT_EQ(PlaySoundEffect(love, 0.5f, false), nullptr);
    std::vector<int16_t> heard = Pull(7000);
    for (size_t i = fade; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], i < expected.size() ? int16_t(lrintf(expected[i] * 0.5f)) : 0) << i;
    EXPECT_EQ(CountFreeVoices(pulled.mixer), kMixerVoices);
    for (uint32_t id : {0u, 2u, 1024u, 0xFFFFFFFFu})
        EXPECT_EQ(PlaySoundEffect(id, 1.0f, true), nullptr);
    StopSound(nullptr);
    SoundVoice* voice = PlaySoundEffect(love, 1.0f, true);
    ASSERT_NE(voice, nullptr);
    heard = Pull(15000);
    for (size_t i = fade; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], expected[i % expected.size()]) << i;
    StopSound(voice);
    heard = Pull(300);
    EXPECT_EQ(std::vector<int16_t>(heard.begin() + fade, heard.end()), std::vector<int16_t>(600 - fade, 0));
    EXPECT_EQ(CountFreeVoices(pulled.mixer), kMixerVoices);
    PlaySoundEffect(love, 1.0f, true); // still playing at exit: closed before freed
    ShutdownSound();
    EXPECT_EQ(pulled.closed, 1);
}

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
TEST_F(SoundTest, GameSoundsAreEvenlyLoudAndNeverClick)
{
    double quietest = 1e9, loudest = 0;
    for (const char* name : {"beep", "run away", "death", "love"}) {
        const std::string path = std::string(VELMORA_ASSET_OUTPUT_DIR) + "/Data/" + name + ".ogg";
        MixerSource* decoded = DecodeOggFile(String(path.c_str()), kSoundSampleRate);
        ASSERT_NE(decoded, nullptr) << name;
        const std::vector<int16_t> own(decoded->samples, decoded->samples + 2 * decoded->frames);
        FreeMixerSource(decoded);
        const double level = SoundingLevel(own);
        quietest = std::min(quietest, level);
        loudest = std::max(loudest, level);
        EXPECT_LE(std::abs(own[0]), WidestStep(own, own.back())) << name << " starts with a jump";

        SoundVoice* voice = PlaySoundEffect(LoadSound(String(path.c_str())), 1.0f, true);
        std::vector<int16_t> heard;
        for (size_t pulledSamples = 0; pulledSamples < own.size() / 3; pulledSamples += 2 * 1024)
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

} // namespace
