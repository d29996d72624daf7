// Ogg Vorbis files made by the asset tool's encoder, and the fuzzer's seeds,
// decoded into 16-bit stereo at the mixer's rate; damaged files refused in
// bounded decoder memory, none of it left behind.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
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

// A file of the running case's own, as the cases run side by side.
std::string OggPath()
{
    return ::testing::TempDir() + "velmora-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// The file's bytes, left at OggPath().
Bytes EncodeSine(int rate, int frames)
{
    const std::string path = OggPath();
    std::vector<float> samples(static_cast<size_t>(frames));
    for (int f = 0; f < frames; ++f)
        samples[size_t(f)] = float(Sine(f, rate));
    EXPECT_TRUE(WriteOggVorbis(path.c_str(), samples, rate, 0.5f));
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

Decoded Decode(const Bytes& ogg, int32_t rate = 44100)
{
    return Decoded(DecodeOggMemory(ogg.data(), int64_t(ogg.size()), rate), FreeMixerSource);
}

Decoded DecodeFile(const std::string& path)
{
    return Decoded(DecodeOggFile(String(path.c_str()), 44100), FreeMixerSource);
}

TEST(OggDecode, SoundsKeepTheirLengthAndPitchAtEveryRate)
{
    const std::pair<int, int> rates[] = {{44100, 44100}, {22050, 44100}, {48000, 44100}, {8000, 44100}, {44100, 22050}};
    for (const auto& [fileRate, outRate] : rates) {
        Decoded d = Decode(EncodeSine(fileRate, fileRate), outRate);
        ASSERT_NE(d, nullptr) << fileRate;
        EXPECT_NEAR(d->frames, outRate, fileRate == outRate ? 0 : 1) << fileRate;
        for (int32_t i = 0; i < 2 * d->frames; ++i) // the sine's pitch and level, on both sides
            ASSERT_NEAR(d->samples[i] / 32767.0, Sine(i / 2, outRate), 0.08) << fileRate << " at " << i;
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
        EXPECT_EQ(DecodeFile(std::string(VELMORA_OGG_SEEDS) + "/" + seed.name) != nullptr, seed.plays) << seed.name;
    }
    EXPECT_EQ(Decode(EncodeSine(8000, 8000 * (kLongestSoundSeconds + 1))), nullptr);
    Bytes ogg = EncodeSine(44100, 20000);
    EXPECT_EQ(Decode(Bytes(ogg.begin(), ogg.end() - 1)), nullptr);
    // Bytes after the stream are ignored, but no file over 16 MiB is read.
    const std::string path = OggPath();
    std::ofstream(path, std::ios::binary | std::ios::app) << std::string((16 << 20) - ogg.size(), 'Z');
    for (bool plays : {true, false}) {
        EXPECT_EQ(DecodeFile(path) != nullptr, plays) << "16 MiB, then a byte more";
        std::ofstream(path, std::ios::binary | std::ios::app) << 'Z';
    }
    for (size_t at = 0; at < ogg.size(); at += 13) {
        Bytes damaged = ogg;
        damaged[at] ^= 0x5A;
        Decode(damaged);
        EXPECT_EQ(DecoderMemoryInUse(), 0) << at;
    }
    ASSERT_NE(DecoderAllocate(200000), nullptr);
    EXPECT_EQ(DecoderAllocate(size_t(kMostDecoderMemory) - 100000), nullptr); // the decoder's memory is bounded
    ReleaseAllDecoderMemory();
}

} // namespace
