// A browser key's code ("ArrowLeft", "Space", "KeyA", ...) as the Windows
// virtual-key code the game speaks; 0 for keys the game has no name for.
#pragma once

#include <cstdint>

uint8_t VirtualKeyFromKeyCode(const char* code);
