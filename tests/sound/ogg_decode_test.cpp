// Ogg Vorbis files made by the asset tool's encoder, and the fuzzer's seeds,
// decoded into 16-bit stereo at the mixer's rate; damaged files refused in
// bounded decoder memory, none of it left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "sound/decoder_memory.h"
#include "sound/mixer.h"
#include "sound/ogg_decode.h"
#include "tools/assetgen/ogg_write.h"

namespace {

typedef std::vector<uint8_t> Bytes;
typedef std::unique_ptr<MixerSource, void (*)(MixerSource*)> Decoded;

// A 220 Hz sine at half the full scale, and a file of it.
double Sine(int frame, int rate) { return 0.5 * std::sin(2.0 * M_PI * 220 * frame / rate); }

Bytes EncodeSine(int rate, int frames)
{
    std::vector<float> samples(static_cast<size_t>(frames));
    for (int f = 0; f < frames; ++f)
        samples[size_t(f)] = float(Sine(f, rate));
    const std::string path = ::testing::TempDir() + "velmora-test.ogg";
    EXPECT_TRUE(WriteOggVorbis(path.c_str(), samples, rate, 0.5f));
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

Decoded Decode(const Bytes& ogg, int32_t rate = 44100)
{
    return Decoded(DecodeOggMemory(ogg.data(), int64_t(ogg.size()), rate), FreeMixerSource);
}

// Root-mean-square difference from the sine on the worse side, relative to its peak.
double SineError(const MixerSource& source, int rate)
{
    double sum[2] = {0, 0};
    for (int32_t i = 0; i < 2 * source.frames; ++i)
        sum[i % 2] += std::pow(source.samples[i] / 32767.0 - Sine(i / 2, rate), 2);
    return std::sqrt(std::max(sum[0], sum[1]) / source.frames) / 0.5;
}

TEST(OggDecode, SoundsKeepTheirLengthAndPitchAtEveryRate)
{
    struct Case {
        int fileRate, outRate;
    } cases[] = {{44100, 44100}, {22050, 44100}, {48000, 44100}, {8000, 44100}, {44100, 22050}};
    for (Case c : cases) {
        Decoded d = Decode(EncodeSine(c.fileRate, c.fileRate), c.outRate);
        ASSERT_NE(d, nullptr) << c.fileRate;
        EXPECT_NEAR(d->frames, c.outRate, c.fileRate == c.outRate ? 0 : 1) << c.fileRate;
        EXPECT_LT(SineError(*d, c.outRate), 0.05) << c.fileRate;
    }
}

// Stereo and three-channel files play, folded to stereo; the fuzzer's seeds
// of an empty stream, an overlong comment, a wild rate and no channels do not.
TEST(OggDecode, ManyChannelsPlayAndEmptyTooLongCutShortAndDamagedFilesAreRefusedWithinBoundedMemory)
{
    struct Seed {
        const char* name;
        bool plays;
    } seeds[] = {{"stereo-22050.ogg", true},           {"three-48000.ogg", true},
                 {"empty-stream.ogg", false},          {"comment-length-overflow.ogg", false},
                 {"beep-huge-sample-rate.ogg", false}, {"beep-no-channels.ogg", false}};
    for (const Seed& seed : seeds) {
        const std::string path = std::string(VELMORA_OGG_SEEDS) + "/" + seed.name;
        EXPECT_EQ(Decoded(DecodeOggFile(String(path.c_str()), 44100), FreeMixerSource) != nullptr, seed.plays)
            << seed.name;
    }
    EXPECT_EQ(Decode(EncodeSine(8000, 8000 * (kLongestSoundSeconds + 1))), nullptr);
    Bytes ogg = EncodeSine(44100, 20000);
    EXPECT_EQ(Decode(Bytes(ogg.begin(), ogg.end() - 1)), nullptr);
    // Bytes after the stream are ignored, but no file over 16 MiB is read.
    for (int64_t size : {16 << 20, (16 << 20) + 1}) {
        Bytes padded = ogg;
        padded.resize(size_t(size), 0x5A);
        const std::string path = ::testing::TempDir() + "velmora-padded.ogg";
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(padded.data()), size);
        Decoded d(DecodeOggFile(String(path.c_str()), 44100), FreeMixerSource);
        EXPECT_EQ(d != nullptr, size == 16 << 20) << size;
    }
    for (size_t at = 0; at < ogg.size(); at += 13) {
        Bytes damaged = ogg;
        damaged[at] ^= 0x5A;
        Decoded d = Decode(damaged);
        EXPECT_EQ(DecoderMemoryInUse(), 0) << at;
        EXPECT_LE(d ? d->frames : 0, 44100 * kLongestSoundSeconds) << at;
    }
    ASSERT_NE(DecoderAllocate(200000), nullptr);
    EXPECT_EQ(DecoderAllocate(size_t(kMostDecoderMemory) - 100000), nullptr); // the decoder's memory is bounded
    ReleaseAllDecoderMemory();
}

} // namespace
