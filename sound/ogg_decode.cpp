#include "sound/ogg_decode.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sound/mixer.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb/stb_vorbis.h>

namespace {

enum : int32_t { kOggPageHeader = 27, kOggLastPageFlag = 4, kLongestVorbisFrame = 8192 };
enum : int32_t { kFirstDecoderMemory = 256 << 10, kMostDecoderMemory = 32 << 20 };

// Walks the Ogg pages from the start: the stream is whole when every page
// lies fully inside the data and the last one is marked as the stream's end.
// Gives the bytes up to the end of that page (bytes that follow and do not
// begin another page are left out), or 0 when the stream is not whole.
int64_t WholeOggStreamLength(const uint8_t* data, int64_t size)
{
    int64_t at = 0;
    bool sawPage = false;
    bool lastPage = false;
    while (size - at >= kOggPageHeader && memcmp(data + at, "OggS", 4) == 0) {
        int32_t segments = data[at + 26];
        if (size - at < kOggPageHeader + segments)
            return 0;
        int64_t body = 0;
        for (int32_t s = 0; s < segments; ++s)
            body += data[at + kOggPageHeader + s];
        int64_t pageEnd = at + kOggPageHeader + segments + body;
        if (pageEnd > size)
            return 0;
        lastPage = (data[at + 5] & kOggLastPageFlag) != 0;
        sawPage = true;
        at = pageEnd;
    }
    return sawPage && lastPage ? at : 0;
}

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

// Decodes every frame; false on a decoding error, a lack of memory or a
// sound longer than the limit.
bool DecodeFrames(stb_vorbis* vorbis, int64_t longest, StereoBuffer& buffer)
{
    for (;;) {
        if (!Reserve(buffer, buffer.frames + kLongestVorbisFrame))
            return false;
        int16_t* out = buffer.samples + buffer.frames * kMixerChannels;
        int got = stb_vorbis_get_frame_short_interleaved(vorbis, kMixerChannels, out,
                                                         kLongestVorbisFrame * kMixerChannels);
        if (got <= 0)
            break;
        buffer.frames += got;
        if (buffer.frames > longest)
            return false;
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
    if (DecodeFrames(vorbis, static_cast<int64_t>(kLongestSoundSeconds) * fileRate, buffer) && buffer.frames > 0)
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
    if (size == 0)
        return nullptr;
    // The decoder works inside a block of ours, so a bad file's setup that
    // the decoder gives up on halfway leaks nothing and no file can make it
    // take more than kMostDecoderMemory. The block grows while it runs short.
    for (int32_t bytes = kFirstDecoderMemory; bytes <= kMostDecoderMemory; bytes *= 2) {
        char* memory = static_cast<char*>(malloc(static_cast<size_t>(bytes)));
        if (!memory)
            return nullptr;
        stb_vorbis_alloc block{memory, bytes};
        int error = 0;
        stb_vorbis* vorbis = stb_vorbis_open_memory(data, static_cast<int>(size), &error, &block);
        if (vorbis) {
            MixerSource* source = DecodeWholeStream(vorbis, sampleRate);
            stb_vorbis_close(vorbis);
            free(memory);
            return source;
        }
        free(memory);
        if (error != VORBIS_outofmem)
            return nullptr;
    }
    return nullptr;
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
