// Checks on an Ogg Vorbis file's pages, made before the decoder sees it: a
// file cut short is refused, and so is a comment header whose lengths point
// past its own end (the decoder would trust them for its allocations).
#pragma once

#include <cstdint>

// Walks the pages from the start: the stream is whole when every page lies
// fully inside the data and the last one is marked as the stream's end.
// Gives the bytes up to the end of that page (bytes that follow and do not
// begin another page are left out), or 0 when the stream is not whole.
int64_t WholeOggStreamLength(const uint8_t* data, int64_t size);

// The comment header is the packet that starts on the second page. True when
// its vendor text, comment count and every comment fit inside the packet;
// false too when there is no such packet.
bool CommentHeaderFits(const uint8_t* data, int64_t size);
