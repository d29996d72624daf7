// SDL's key codes as the Windows virtual-key codes the game speaks: letters,
// digits, arrows, the editing block, the keypad, function keys and the common
// punctuation keys. Keys without a counterpart give 0 and are ignored.
#pragma once

#include <cstdint>

uint8_t VirtualKeyFromSdlKeycode(int32_t keycode);
