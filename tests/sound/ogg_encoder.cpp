#include "tests/sound/ogg_encoder.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <vorbis/vorbisenc.h>

std::vector<float> MakeSine(int channels, int rate, int frames, float frequency, float peak)
{
    std::vector<float> samples(static_cast<size_t>(channels) * frames);
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            samples[static_cast<size_t>(f) * channels + c] =
                peak * static_cast<float>(std::sin(2.0 * M_PI * frequency * f / rate));
    return samples;
}

namespace {

void AppendPage(std::vector<uint8_t>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

} // namespace

std::vector<uint8_t> EncodeOgg(const std::vector<float>& samples, int channels, int rate, float quality,
                               const std::string& title)
{
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    if (!title.empty())
        vorbis_comment_add_tag(&comment, "TITLE", title.c_str());
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1234);

    ogg_packet header, commentPacket, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentPacket, &codebooks);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentPacket);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page))
        AppendPage(out, page);

    int frames = static_cast<int>(samples.size() / channels);
    const int kBlock = 1024;
    for (int start = 0;; start += kBlock) {
        int count = frames - start < kBlock ? frames - start : kBlock; // 0 marks the end
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, count);
            for (int f = 0; f < count; ++f)
                for (int c = 0; c < channels; ++c)
                    buffer[c][f] = samples[static_cast<size_t>(start + f) * channels + c];
        }
        vorbis_analysis_wrote(&dsp, count);
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page))
                    AppendPage(out, page);
            }
        }
        if (count <= 0)
            break;
    }
    while (ogg_stream_flush(&stream, &page))
        AppendPage(out, page);

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

void PatchFirstPage(std::vector<uint8_t>& ogg, size_t at, uint8_t value)
{
    size_t length = 27 + ogg[26];
    for (int s = 0; s < ogg[26]; ++s)
        length += ogg[27 + s];
    ogg[at] = value;
    for (int i = 22; i < 26; ++i)
        ogg[i] = 0;
    uint32_t crc = 0;
    for (size_t i = 0; i < length; ++i) {
        crc ^= static_cast<uint32_t>(ogg[i]) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 0x80000000u ? crc << 1 ^ 0x04C11DB7u : crc << 1;
    }
    for (int i = 0; i < 4; ++i)
        ogg[22 + i] = static_cast<uint8_t>(crc >> (8 * i));
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}
