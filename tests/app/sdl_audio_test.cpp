// The game's sound functions on SDL's audio device, with SDL's file-writing
// driver standing in for a sound card: the game's beep reaches it whole,
// after silence, and one engine holds the device.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/sdl/sdl_audio.h"
#include "sound/mixer.h"
#include "sound/mixer_engine.h"
#include "sound/ogg_decode.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"

namespace {

// Waits, up to five seconds, until the driver's file holds `count` samples.
std::vector<int16_t> WaitForSamples(const std::string& path, size_t count)
{
    std::vector<int16_t> samples;
    for (int tries = 0; tries < 100 && samples.size() < count; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream file(path, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        samples.resize(bytes.size() / 2);
        memcpy(samples.data(), bytes.data(), 2 * samples.size());
    }
    return samples;
}

TEST(SdlSound, TheBeepReachesTheDeviceWholeAfterSilence)
{
    const std::string device = ::testing::TempDir() + "velmora-device.raw";
    const char beep[] = VELMORA_GAME_FILES "/Data/beep.ogg";
    SetSoundEngineFactory(MakeSdlSoundEngine);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", device.c_str(), 1);
    InitSound();
    ASSERT_EQ(LoadSound(String(beep)), 1u);
    EXPECT_EQ(MakeSdlSoundEngine(), nullptr); // one engine holds the device
    const size_t before = WaitForSamples(device, 2 * 4096).size();
    ASSERT_GE(before, 2u * 4096) << "the device is running";
    PlaySoundEffect(1, 1.0f, false);
    MixerSource* decoded = DecodeOggFile(String(beep), kSoundSampleRate);
    ASSERT_NE(decoded, nullptr);
    const std::vector<int16_t> expected(decoded->samples, decoded->samples + 2 * decoded->frames);
    FreeMixerSource(decoded);
    const std::vector<int16_t> samples = WaitForSamples(device, before + expected.size() + 2 * 4096);
    ShutdownSound();
    // Exact once its fade in is over, and nothing but silence before it.
    const size_t fade = 2 * kSoundSampleRate / 1000 * kVoiceFadeMilliseconds;
    auto found = std::search(samples.begin() + fade, samples.end(), expected.begin() + fade, expected.end());
    ASSERT_NE(found, samples.end()) << "the beep is in the file";
    EXPECT_TRUE(std::all_of(samples.begin(), found - fade, [](int16_t s) { return s == 0; }));
}

} // namespace
