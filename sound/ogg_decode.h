// Ogg Vorbis sounds, decoded whole into memory as the mixer's 16-bit stereo
// at its sample rate: mono plays on both sides, more channels are folded to
// two, and another sample rate is converted by linear interpolation.
//
// A file is refused (null, nothing kept) when it cannot be read, is not Ogg
// Vorbis, is cut short (its last page missing or incomplete), has a comment
// header whose lengths run past its end, holds no samples or more than
// kLongestSoundSeconds of them, has more than kMostSoundChannels channels or
// a sample rate outside kLowestSoundRate to kHighestSoundRate, is larger than
// kLargestSoundFile bytes, or needs more decoder memory than
// kMostDecoderMemory. The decoder's memory is tracked per thread
// (sound/decoder_memory.h), so each decoding thread is on its own.
#pragma once

#include <cstdint>

#include "text/string.h"

struct MixerSource;

enum : int32_t {
    kLongestSoundSeconds = 300,
    kMostSoundChannels = 8,
    kLowestSoundRate = 1000,
    kHighestSoundRate = 192000,
    kLargestSoundFile = 16 << 20,
};

// The file is opened with OpenFileForReading, so '\' separates folders.
MixerSource* DecodeOggFile(const String& path, int32_t sampleRate);
MixerSource* DecodeOggMemory(const uint8_t* data, int64_t size, int32_t sampleRate);
