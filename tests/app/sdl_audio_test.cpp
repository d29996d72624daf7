// The game's sound functions on SDL's audio device, with SDL's file-writing
// driver standing in for a sound card: the beep reaches it whole, after
// silence; without a driver the game is silent and says nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "app/sdl/sdl_audio.h"
#include "sound/mixer.h"
#include "sound/mixer_engine.h"
#include "sound/ogg_decode.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_platform.h"
#include "tools/assetgen/ogg_write.h"

namespace {

// Waits, up to five seconds, until the driver's file holds `count` samples.
std::vector<int16_t> WaitForSamples(size_t count)
{
    std::vector<int16_t> samples;
    for (int tries = 0; tries < 100 && samples.size() < count; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        samples.assign(1 << 22, 0);
        FILE* file = fopen("out.raw", "rb");
        samples.resize(file ? fread(samples.data(), sizeof(int16_t), samples.size(), file) : 0);
        if (file)
            fclose(file);
    }
    return samples;
}

TEST(SdlSound, TheBeepReachesTheDeviceWholeAfterSilenceAndNoDriverMeansSilence)
{
    ScratchFolder folder;
    ASSERT_TRUE(folder.Enter());
    mkdir("Data", 0755);
    std::vector<float> beep(8820);
    for (size_t i = 0; i < beep.size(); ++i)
        beep[i] = 0.5f * float(std::sin(i * 0.094));
    ASSERT_TRUE(WriteOggVorbis("Data/beep.ogg", beep, 44100, 0.5f));
    ResetTestPlatform();
    SetSoundEngineFactory(MakeSdlSoundEngine);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "out.raw", 1);
    InitSound();
    ASSERT_EQ(LoadSound(String("Data/beep.ogg")), 1u);
    EXPECT_EQ(MakeSdlSoundEngine(), nullptr); // one engine holds the device
    size_t before = WaitForSamples(2 * 4096).size();
    ASSERT_GE(before, 2u * 4096) << "the device is running";
    PlaySoundEffect(1, 1.0f, false);
    std::vector<int16_t> samples = WaitForSamples(before + 2 * 8820 + 2 * 4096);
    ShutdownSound();
    MixerSource* decoded = DecodeOggFile(String("Data/beep.ogg"), kSoundSampleRate);
    ASSERT_NE(decoded, nullptr);
    std::vector<int16_t> expected(decoded->samples, decoded->samples + 2 * decoded->frames);
    FreeMixerSource(decoded);
    // Exact once its fade in is over, on a frame after the silence before.
    const size_t fade = 2 * kSoundSampleRate / 1000 * kVoiceFadeMilliseconds;
    auto found = std::search(samples.begin() + fade, samples.end(), expected.begin() + fade, expected.end());
    ASSERT_NE(found, samples.end()) << "the beep is in the file";
    found -= fade;
    EXPECT_GE(size_t(found - samples.begin()) + 2, before);
    EXPECT_TRUE(std::all_of(samples.begin(), found, [](int16_t s) { return s == 0; }));

    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    InitSound();
    EXPECT_EQ(LoadSound(String("Data/beep.ogg")), 0u);
    EXPECT_TRUE(testPlatform.logLines.empty());
    ShutdownSound();
    ClearSoundNames();
    SetSoundEngineFactory(nullptr);
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    folder.Leave();
}

} // namespace
