// Ogg Vorbis files made by the asset tool's encoder, and two of the fuzzer's
// seeds, decoded into 16-bit stereo at the mixer's rate; damaged files refused
// without leaving decoder memory behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "sound/decoder_memory.h"
#include "sound/mixer.h"
#include "sound/ogg_decode.h"
#include "sound/ogg_stream_check.h"
#include "tools/assetgen/ogg_write.h"

namespace {

typedef std::vector<uint8_t> Bytes;

struct Decoded {
    MixerSource* source;
    explicit Decoded(MixerSource* s) : source(s) {}
    ~Decoded() { FreeMixerSource(source); }
};

std::vector<float> Sine(int rate, int frames, float frequency, float peak)
{
    std::vector<float> samples(static_cast<size_t>(frames), 0.0f);
    for (int f = 0; f < frames; ++f)
        samples[size_t(f)] = peak * float(std::sin(2.0 * M_PI * frequency * f / rate));
    return samples;
}

// Root-mean-square difference from the sine on one side, relative to its peak.
double SineError(const MixerSource& source, int side, int rate, double frequency, double peak)
{
    double sum = 0;
    for (int32_t f = 0; f < source.frames; ++f) {
        double d = source.samples[2 * f + side] - peak * 32767 * std::sin(2.0 * M_PI * frequency * f / rate);
        sum += d * d;
    }
    return std::sqrt(sum / source.frames) / (peak * 32767);
}

Bytes Encode(const std::vector<float>& samples, int rate)
{
    std::string path = ::testing::TempDir() + "velmora-test.ogg";
    Bytes bytes(1 << 22);
    FILE* file = WriteOggVorbis(path.c_str(), samples, rate, 0.5f) ? fopen(path.c_str(), "rb") : nullptr;
    if (!file)
        return Bytes();
    bytes.resize(fread(bytes.data(), 1, bytes.size(), file));
    fclose(file);
    remove(path.c_str());
    return bytes;
}

MixerSource* Decode(const Bytes& ogg, int32_t rate = 44100)
{
    return DecodeOggMemory(ogg.data(), int64_t(ogg.size()), rate);
}

TEST(OggDecode, SoundsKeepTheirLengthAndPitchAtEveryRate)
{
    struct Case {
        int fileRate, outRate;
    } cases[] = {{44100, 44100}, {22050, 44100}, {48000, 44100}, {8000, 44100}, {44100, 22050}};
    for (Case c : cases) {
        Decoded d(Decode(Encode(Sine(c.fileRate, c.fileRate, 220, 0.5f), c.fileRate), c.outRate));
        ASSERT_NE(d.source, nullptr) << c.fileRate;
        EXPECT_NEAR(d.source->frames, c.outRate, c.fileRate == c.outRate ? 0 : 1) << c.fileRate;
        EXPECT_LT(SineError(*d.source, 0, c.outRate, 220, 0.5), 0.05) << c.fileRate;
        EXPECT_LT(SineError(*d.source, 1, c.outRate, 220, 0.5), 0.05) << c.fileRate;
    }
    Bytes ogg = Encode(Sine(44100, 1000, 440, 0.5f), 44100);
    for (int32_t rate : {0, -44100, int32_t(kHighestSoundRate) + 1})
        EXPECT_EQ(Decode(ogg, rate), nullptr) << rate;
}

// Files of more channels than the game's own sounds are folded to stereo.
// The damaged seeds beside them are replayed by the fuzzer.
TEST(OggDecode, StereoAndThreeChannelFilesPlay)
{
    for (const char* seed : {"stereo-22050.ogg", "three-48000.ogg"}) {
        Decoded d(DecodeOggFile(String((std::string(VELMORA_OGG_SEEDS) + "/" + seed).c_str()), 44100));
        EXPECT_NE(d.source, nullptr) << seed;
    }
}

TEST(OggDecode, EmptyTooLongCutShortAndDamagedFilesAreRefusedSafely)
{
    EXPECT_EQ(Decode(Encode({}, 44100)), nullptr);
    EXPECT_EQ(Decode(Bytes{'O', 'g', 'g', 'S', 0, 4, 'n', 'o', 't'}), nullptr);
    EXPECT_EQ(Decode(Encode(std::vector<float>(8000 * (kLongestSoundSeconds + 1)), 8000)), nullptr);
    Bytes ogg = Encode(Sine(44100, 20000, 440, 0.5f), 44100);
    EXPECT_EQ(DecodeOggMemory(ogg.data(), int64_t(ogg.size() - 1), 44100), nullptr);
    Bytes tailed = ogg; // bytes after the last page are not the sound's
    tailed.insert(tailed.end(), {'O', 'g', 'g', 'S', 0});
    EXPECT_EQ(WholeOggStreamLength(tailed.data(), int64_t(tailed.size())), int64_t(ogg.size()));
    Decoded whole(Decode(tailed));
    ASSERT_NE(whole.source, nullptr);
    EXPECT_EQ(whole.source->frames, 20000);
    EXPECT_EQ(DecodeOggMemory(nullptr, 100, 44100), nullptr);
    for (size_t at = 0; at < ogg.size(); at += 13) {
        Bytes damaged = ogg;
        damaged[at] ^= 0x5A;
        Decoded d(Decode(damaged));
        EXPECT_EQ(DecoderMemoryInUse(), 0) << at;
        if (d.source) {
            EXPECT_LE(d.source->frames, 44100 * kLongestSoundSeconds) << at;
        }
    }
}

TEST(OggDecode, DecoderMemoryIsBoundedAndFilesLargerThanAnySoundAreNotRead)
{
    EXPECT_EQ(DecoderAllocate(size_t(kMostDecoderMemory) + 1), nullptr);
    void* a = DecoderAllocate(100);
    ASSERT_NE(a, nullptr);
    void* b = DecoderResize(a, 200000);
    EXPECT_EQ(DecoderResize(b, size_t(kMostDecoderMemory)), nullptr); // the old block still counts
    EXPECT_EQ(DecoderMemoryInUse(), 200000);
    ReleaseAllDecoderMemory();
    EXPECT_EQ(DecoderMemoryInUse(), 0);
    std::string path = ::testing::TempDir() + "velmora-huge.ogg";
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_EQ(fseek(file, kLargestSoundFile, SEEK_SET), 0); // sparse, one byte past the limit
    fputc('x', file);
    fclose(file);
    EXPECT_EQ(DecodeOggFile(String(path.c_str()), 44100), nullptr);
    remove(path.c_str());
}

} // namespace
