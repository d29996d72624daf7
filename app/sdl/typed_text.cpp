#include "app/sdl/typed_text.h"

namespace {
const uint32_t kReplacementCharacter = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
} // namespace

uint32_t NextTypedCharacter(const char*& text)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    unsigned char lead = bytes[0];
    if (lead == 0)
        return 0;
    int32_t length;
    uint32_t code;
    uint32_t least;
    if (lead < 0x80) {
        text += 1;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        text += 1;
        return kReplacementCharacter;
    }
    for (int32_t i = 1; i < length; ++i) {
        if (!IsContinuation(bytes[i])) {
            text += 1;
            return kReplacementCharacter;
        }
        code = (code << 6) | (bytes[i] & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and values past U+10FFFF are not text.
    if (code < least || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        text += 1;
        return kReplacementCharacter;
    }
    text += length;
    return code;
}
