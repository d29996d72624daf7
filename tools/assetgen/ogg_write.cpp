// Feeds samples to vorbisenc and writes the pages it makes.
#include "tools/assetgen/ogg_write.h"

#include <vorbis/vorbisenc.h>

#include <cstdio>
#include <cstring>

namespace {

struct OggEncoder {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
};

bool WritePage(FILE* file, const ogg_page& page)
{
    return std::fwrite(page.header, 1, size_t(page.header_len), file) == size_t(page.header_len) &&
           std::fwrite(page.body, 1, size_t(page.body_len), file) == size_t(page.body_len);
}

// Moves every finished packet into the stream and every full page to the file.
bool DrainEncoder(OggEncoder& encoder, FILE* file, ogg_int64_t& lastGranule)
{
    bool written = true;
    while (vorbis_analysis_blockout(&encoder.dsp, &encoder.block) == 1) {
        vorbis_analysis(&encoder.block, nullptr);
        vorbis_bitrate_addblock(&encoder.block);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&encoder.dsp, &packet)) {
            ogg_stream_packetin(&encoder.stream, &packet);
            ogg_page page;
            while (ogg_stream_pageout(&encoder.stream, &page)) {
                written = written && WritePage(file, page);
                lastGranule = ogg_page_granulepos(&page);
            }
        }
    }
    return written;
}

bool EncodeAll(OggEncoder& encoder, FILE* file, const std::vector<float>& samples, ogg_int64_t& lastGranule)
{
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&encoder.dsp, &encoder.comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&encoder.stream, &header);
    ogg_stream_packetin(&encoder.stream, &commentHeader);
    ogg_stream_packetin(&encoder.stream, &codeHeader);
    ogg_page page;
    bool written = true;
    while (ogg_stream_flush(&encoder.stream, &page))
        written = written && WritePage(file, page);
    const size_t chunk = 4096;
    for (size_t done = 0; done < samples.size(); done += chunk) {
        const size_t count = samples.size() - done < chunk ? samples.size() - done : chunk;
        float** buffer = vorbis_analysis_buffer(&encoder.dsp, int(count));
        std::memcpy(buffer[0], samples.data() + done, count * sizeof(float));
        vorbis_analysis_wrote(&encoder.dsp, int(count));
        written = DrainEncoder(encoder, file, lastGranule) && written;
    }
    vorbis_analysis_wrote(&encoder.dsp, 0);
    written = DrainEncoder(encoder, file, lastGranule) && written;
    while (ogg_stream_flush(&encoder.stream, &page)) {
        written = written && WritePage(file, page);
        lastGranule = ogg_page_granulepos(&page);
    }
    return written;
}

} // namespace

bool WriteOggVorbis(const char* path, const std::vector<float>& samples, int rate, float quality)
{
    if (samples.empty()) {
        std::fprintf(stderr, "%s: no samples to encode\n", path);
        return false;
    }
    FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::fprintf(stderr, "%s: cannot open for writing\n", path);
        return false;
    }
    OggEncoder encoder;
    vorbis_info_init(&encoder.info);
    bool ok = vorbis_encode_init_vbr(&encoder.info, 1, rate, quality) == 0;
    ogg_int64_t lastGranule = -1;
    if (ok) {
        vorbis_comment_init(&encoder.comment);
        vorbis_analysis_init(&encoder.dsp, &encoder.info);
        vorbis_block_init(&encoder.dsp, &encoder.block);
        ogg_stream_init(&encoder.stream, 1);
        ok = EncodeAll(encoder, file, samples, lastGranule);
        ogg_stream_clear(&encoder.stream);
        vorbis_block_clear(&encoder.block);
        vorbis_dsp_clear(&encoder.dsp);
        vorbis_comment_clear(&encoder.comment);
    }
    vorbis_info_clear(&encoder.info);
    ok = std::fclose(file) == 0 && ok;
    if (ok && lastGranule != ogg_int64_t(samples.size())) {
        std::fprintf(stderr, "%s: stream ends at sample %lld, not %zu\n", path, static_cast<long long>(lastGranule),
                     samples.size());
        ok = false;
    }
    if (!ok) {
        std::remove(path);
        std::fprintf(stderr, "%s: encoding failed\n", path);
    }
    return ok;
}
