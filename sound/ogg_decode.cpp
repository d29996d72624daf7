#include "sound/ogg_decode.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sound/decoder_memory.h"
#include "sound/mixer.h"
#include "sound/ogg_stream_check.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb/stb_vorbis.h>

namespace {

// Interleaved stereo frames at the file's own rate, grown by doubling.
struct StereoBuffer {
    int16_t* samples;
    int64_t frames;
    int64_t capacity;
};

bool Reserve(StereoBuffer& buffer, int64_t frames)
{
    if (frames <= buffer.capacity)
        return true;
    int64_t capacity = buffer.capacity ? buffer.capacity : 65536;
    while (capacity < frames)
        capacity *= 2;
    void* grown = realloc(buffer.samples, sizeof(int16_t) * kMixerChannels * static_cast<size_t>(capacity));
    if (!grown)
        return false;
    buffer.samples = static_cast<int16_t*>(grown);
    buffer.capacity = capacity;
    return true;
}

// How much each channel of a file goes to the left and the right side, in
// the Vorbis channel order for 1 to 8 channels: centres go to both sides at
// -3 dB, the low-frequency channel is left out.
constexpr float kCentre = 0.70710678f;
constexpr float kFold[kMostSoundChannels + 1][kMostSoundChannels][2] = {
    {},
    {{1, 1}},
    {{1, 0}, {0, 1}},
    {{1, 0}, {kCentre, kCentre}, {0, 1}},
    {{1, 0}, {0, 1}, {1, 0}, {0, 1}},
    {{1, 0}, {kCentre, kCentre}, {0, 1}, {1, 0}, {0, 1}},
    {{1, 0}, {kCentre, kCentre}, {0, 1}, {1, 0}, {0, 1}, {0, 0}},
    {{1, 0}, {kCentre, kCentre}, {0, 1}, {1, 0}, {0, 1}, {kCentre, kCentre}, {0, 0}},
    {{1, 0}, {kCentre, kCentre}, {0, 1}, {1, 0}, {0, 1}, {1, 0}, {0, 1}, {0, 0}},
};

int16_t ToSample(float value)
{
    if (!(value > -1.0f)) // NaN too
        return value < 0.0f ? -32767 : 0;
    if (value > 1.0f)
        value = 1.0f;
    return static_cast<int16_t>(lrintf(value * 32767.0f));
}

// Decodes every frame, folded to two channels; false on a decoding error, a
// lack of memory or a sound longer than the limit.
bool DecodeFrames(stb_vorbis* vorbis, int32_t channels, int64_t longest, StereoBuffer& buffer)
{
    float share = 0;
    for (int32_t c = 0; c < channels; ++c)
        share += kFold[channels][c][0];
    for (;;) {
        float** decoded = nullptr;
        int got = stb_vorbis_get_frame_float(vorbis, nullptr, &decoded);
        if (got <= 0)
            break;
        if (buffer.frames + got > longest || !Reserve(buffer, buffer.frames + got))
            return false;
        int16_t* out = buffer.samples + buffer.frames * kMixerChannels;
        for (int i = 0; i < got; ++i) {
            float left = 0, right = 0;
            for (int32_t c = 0; c < channels; ++c) {
                left += kFold[channels][c][0] * decoded[c][i];
                right += kFold[channels][c][1] * decoded[c][i];
            }
            out[2 * i] = ToSample(left / share);
            out[2 * i + 1] = ToSample(right / share);
        }
        buffer.frames += got;
    }
    int error = stb_vorbis_get_error(vorbis);
    return error == VORBIS__no_error || error == VORBIS_need_more_data;
}

// Linear interpolation from one rate to another, keeping the duration.
MixerSource* Resample(const StereoBuffer& in, int32_t fromRate, int32_t toRate)
{
    int64_t frames = (in.frames * toRate + fromRate / 2) / fromRate;
    if (frames < 1)
        frames = 1;
    if (frames > static_cast<int64_t>(kLongestSoundSeconds) * toRate + 1)
        return nullptr;
    MixerSource* source = MakeMixerSource(static_cast<int32_t>(frames));
    if (!source)
        return nullptr;
    for (int64_t j = 0; j < frames; ++j) {
        int64_t position = j * fromRate;
        int64_t i = position / toRate;
        int64_t fraction = position % toRate;
        if (i >= in.frames)
            i = in.frames - 1;
        int64_t next = i + 1 < in.frames ? i + 1 : i;
        for (int32_t c = 0; c < kMixerChannels; ++c) {
            int64_t a = in.samples[i * kMixerChannels + c];
            int64_t b = in.samples[next * kMixerChannels + c];
            source->samples[j * kMixerChannels + c] = static_cast<int16_t>(a + (b - a) * fraction / toRate);
        }
    }
    return source;
}

MixerSource* ToMixerSource(const StereoBuffer& in, int32_t fromRate, int32_t toRate)
{
    if (fromRate != toRate)
        return Resample(in, fromRate, toRate);
    MixerSource* source = MakeMixerSource(static_cast<int32_t>(in.frames));
    if (source)
        memcpy(source->samples, in.samples, sizeof(int16_t) * kMixerChannels * static_cast<size_t>(in.frames));
    return source;
}

MixerSource* DecodeWholeStream(stb_vorbis* vorbis, int32_t sampleRate)
{
    stb_vorbis_info info = stb_vorbis_get_info(vorbis);
    if (info.channels < 1 || info.channels > kMostSoundChannels || info.sample_rate < kLowestSoundRate ||
        info.sample_rate > kHighestSoundRate)
        return nullptr;
    int32_t fileRate = static_cast<int32_t>(info.sample_rate);
    StereoBuffer buffer{};
    MixerSource* source = nullptr;
    int64_t longest = static_cast<int64_t>(kLongestSoundSeconds) * fileRate;
    if (DecodeFrames(vorbis, info.channels, longest, buffer) && buffer.frames > 0)
        source = ToMixerSource(buffer, fileRate, sampleRate);
    free(buffer.samples);
    return source;
}

} // namespace

MixerSource* DecodeOggMemory(const uint8_t* data, int64_t size, int32_t sampleRate)
{
    if (!data || size <= 0 || size > kLargestSoundFile)
        return nullptr;
    if (sampleRate < kLowestSoundRate || sampleRate > kHighestSoundRate)
        return nullptr;
    size = WholeOggStreamLength(data, size);
    if (size == 0 || !CommentHeaderFits(data, size))
        return nullptr;
    int error = 0;
    stb_vorbis* vorbis = stb_vorbis_open_memory(data, static_cast<int>(size), &error, nullptr);
    MixerSource* source = nullptr;
    if (vorbis) {
        source = DecodeWholeStream(vorbis, sampleRate);
        stb_vorbis_close(vorbis);
    }
    // A set-up the decoder gave up on halfway leaves blocks it never frees.
    ReleaseAllDecoderMemory();
    return source;
}

MixerSource* DecodeOggFile(const String& path, int32_t sampleRate)
{
    FILE* file = OpenFileForReading(path);
    if (!file)
        return nullptr;
    // Read in growing steps rather than trusting a size told in advance.
    uint8_t* data = nullptr;
    int64_t size = 0;
    int64_t capacity = 0;
    bool ok = true;
    for (;;) {
        if (size == capacity) {
            capacity = capacity ? capacity * 2 : 65536;
            if (capacity > kLargestSoundFile + 1)
                capacity = kLargestSoundFile + 1;
            if (size == capacity) {
                ok = false; // larger than any sound we accept
                break;
            }
            void* grown = realloc(data, static_cast<size_t>(capacity));
            if (!grown) {
                ok = false;
                break;
            }
            data = static_cast<uint8_t*>(grown);
        }
        size_t got = fread(data + size, 1, static_cast<size_t>(capacity - size), file);
        size += static_cast<int64_t>(got);
        if (got == 0)
            break;
    }
    if (ferror(file))
        ok = false;
    fclose(file);
    MixerSource* source = ok ? DecodeOggMemory(data, size, sampleRate) : nullptr;
    free(data);
    return source;
}
