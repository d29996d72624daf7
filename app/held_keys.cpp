#include "app/held_keys.h"

namespace {
bool heldKeys[256];
} // namespace

void SetKeyHeld(uint8_t virtualKey, bool held)
{
    if (virtualKey != 0)
        heldKeys[virtualKey] = held;
}

void ReleaseAllKeys()
{
    for (bool& held : heldKeys)
        held = false;
}

bool KeyHeld(uint8_t virtualKey) { return heldKeys[virtualKey]; }
