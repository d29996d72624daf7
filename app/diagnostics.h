// Small services used throughout the game: the log, the fatal error box, key
// polling, file tests and the close request.
#pragma once

#include <cstdint>

#include "text/string.h"

// Windows virtual-key codes of the keys the game reads.
enum : uint8_t {
    kKeyEscape = 0x1B,
    kKeySpace = 0x20,
    kKeyLeft = 0x25,
    kKeyRight = 0x27,
    kKeyEnter = 0x0D,
};

// One printf-style line, cut to 1023 bytes, with no prefix of any kind.
void LogError(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// A modal error box captioned with the application name.
void ShowErrorBox(const char* text);
// Held on the keyboard or by a touch control or gamepad (app/device_keys.h);
// false for every key while the window lacks the focus.
bool IsKeyDown(uint8_t key);
bool PathExists(const String& path, bool wantFolder);
void RequestQuit();
