// The game's sound functions on SDL's audio device, with SDL's file-writing
// driver standing in for a sound card: the beep reaches it whole after silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
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

// Waits until the driver's file holds `count` samples; the minute's ceiling
// only ends a wait for a device that has stopped.
std::vector<int16_t> WaitForSamples(const std::string& path, size_t count)
{
    std::vector<int16_t> samples;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (samples.size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream file(path, std::ios::binary | std::ios::ate);
        samples.resize(size_t(std::max<std::streamoff>(file.tellg(), 0)) / 2);
        file.seekg(0).read(reinterpret_cast<char*>(samples.data()), std::streamsize(2 * samples.size()));
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
    const size_t before = WaitForSamples(device, 2 * 4096).size();
    ASSERT_GE(before, 2u * 4096) << "the device is running";
    PlaySoundEffect(LoadSound(String(beep)), 1.0f, false);
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
