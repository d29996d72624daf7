// Typed text arrives from SDL as UTF-8; the character callback takes one code
// point at a time.
#pragma once

#include <cstdint>

// The code point starting at `text`, advancing past it; 0 at the end of the
// text. A malformed or cut-off sequence gives U+FFFD and skips one byte.
uint32_t NextTypedCharacter(const char*& text);
