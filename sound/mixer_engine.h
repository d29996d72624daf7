// The game's sound engine over our own mixer: sources are decoded whole from
// Ogg files when loaded, voices play on the mixer, and an output backend
// feeds the mixer's frames to a sound device.
//
// Writing a backend: fill a SoundOutput with two functions.
//   open(mixer, sampleRate): open a device for 16-bit signed, interleaved
//     stereo (left, right) at sampleRate frames a second and start playing;
//     from then on, on the device's own thread, call
//       MixSound(mixer, buffer, frames)   (sound/mixer.h)
//     for every buffer of `frames` frames (2 * frames int16_t samples) the
//     device wants. MixSound never blocks or allocates, so it may run on a
//     real-time thread. Return false, having kept nothing open, when there
//     is no device; the engine is then not made and the game stays silent.
//   close(): stop the device and return only once MixSound is no longer
//     running and will not be called again.
// One engine opens its backend once; the backend may keep its device in
// static state of its own.
#pragma once

#include <cstdint>

struct Mixer;
struct SoundEngine;

struct SoundOutput {
    bool (*open)(Mixer* mixer, int32_t sampleRate);
    void (*close)();
};

enum : int32_t { kSoundSampleRate = 44100 };
// Voices fade in and out over this long (sound/mixer.h), so none clicks.
enum : int32_t { kVoiceFadeMilliseconds = 3 };

// Null, silently, when the mixer cannot be made or the output cannot open.
// The engine's dropEngine closes the output first, then frees every source
// and the mixer.
SoundEngine* MakeMixerSoundEngine(const SoundOutput& output, int32_t sampleRate = kSoundSampleRate);
