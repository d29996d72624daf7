// The keys a shell has seen go down and not yet come up, by Windows
// virtual-key code, for window systems that report key events rather than a
// key state to poll.
#pragma once

#include <cstdint>

void SetKeyHeld(uint8_t virtualKey, bool held);
// Focus loss: nothing reads as held until keys are pressed again.
void ReleaseAllKeys();
bool KeyHeld(uint8_t virtualKey);
