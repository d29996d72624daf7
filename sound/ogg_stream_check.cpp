#include "sound/ogg_stream_check.h"

#include <cstring>

namespace {

enum : int32_t { kOggPageHeader = 27, kOggLastPageFlag = 4, kCommentPacketType = 3 };

struct OggPage {
    int64_t start;
    int32_t segments;
    int64_t end;
};

// The page at `at`, when one lies there whole.
bool ReadPage(const uint8_t* data, int64_t size, int64_t at, OggPage& page)
{
    if (size - at < kOggPageHeader || memcmp(data + at, "OggS", 4) != 0)
        return false;
    int32_t segments = data[at + 26];
    if (size - at < kOggPageHeader + segments)
        return false;
    int64_t body = 0;
    for (int32_t s = 0; s < segments; ++s)
        body += data[at + kOggPageHeader + s];
    page = OggPage{at, segments, at + kOggPageHeader + segments + body};
    return page.end <= size;
}

// Reads one packet's bytes in order across pages, from the start of a page.
struct PacketReader {
    const uint8_t* data;
    int64_t size;
    OggPage page;
    int32_t segment;  // next segment of the page
    int64_t position; // next byte of the page body
    int32_t leftInSegment;
    bool ended; // the packet's last segment has been taken

    bool NextSegment()
    {
        while (segment == page.segments) {
            if (!ReadPage(data, size, page.end, page))
                return false;
            segment = 0;
            position = page.start + kOggPageHeader + page.segments;
        }
        leftInSegment = data[page.start + kOggPageHeader + segment];
        ended = leftInSegment < 255;
        segment += 1;
        return true;
    }

    // False at the end of the packet or of the data.
    bool ReadByte(uint8_t& byte)
    {
        while (leftInSegment == 0)
            if (ended || !NextSegment())
                return false;
        byte = data[position++];
        leftInSegment -= 1;
        return true;
    }

    bool ReadWord(uint32_t& word)
    {
        word = 0;
        for (int32_t i = 0; i < 4; ++i) {
            uint8_t byte;
            if (!ReadByte(byte))
                return false;
            word |= static_cast<uint32_t>(byte) << (8 * i);
        }
        return true;
    }

    bool Skip(uint32_t count)
    {
        uint8_t byte;
        for (uint32_t i = 0; i < count; ++i)
            if (!ReadByte(byte))
                return false;
        return true;
    }
};

} // namespace

int64_t WholeOggStreamLength(const uint8_t* data, int64_t size)
{
    int64_t at = 0;
    bool lastPage = false;
    OggPage page;
    while (size - at >= kOggPageHeader && memcmp(data + at, "OggS", 4) == 0) {
        if (!ReadPage(data, size, at, page))
            return 0;
        lastPage = (data[at + 5] & kOggLastPageFlag) != 0;
        at = page.end;
    }
    return lastPage ? at : 0;
}

bool CommentHeaderFits(const uint8_t* data, int64_t size)
{
    OggPage first;
    if (!ReadPage(data, size, 0, first))
        return false;
    PacketReader packet{data, size, OggPage{first.end, 0, first.end}, 0, 0, 0, false};
    uint8_t type;
    if (!packet.ReadByte(type) || type != kCommentPacketType || !packet.Skip(6))
        return false;
    uint32_t vendorLength, comments;
    if (!packet.ReadWord(vendorLength) || !packet.Skip(vendorLength) || !packet.ReadWord(comments))
        return false;
    for (uint32_t c = 0; c < comments; ++c) {
        uint32_t length;
        if (!packet.ReadWord(length) || !packet.Skip(length))
            return false;
    }
    return true;
}
