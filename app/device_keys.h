// Touch controls and gamepads hold the game's keys as a keyboard does. Each
// device is a source that holds a set of keys: a shell reads its devices,
// turns what they report into that set (for pads with PadHeldKeys below) and
// hands it to AppDeviceKeys once a frame or on each change. IsKeyDown sees a
// key held while the keyboard or any source holds it; a source lets go only
// of what it held itself.
#pragma once

#include <cstdint>

// The keys other devices hold, as flags.
using DeviceKeys = uint8_t;
enum : DeviceKeys { kHoldLeft = 1, kHoldRight = 2, kHoldSpace = 4, kHoldEscape = 8 };

// Each of those keys with the Windows virtual-key code it holds.
struct DeviceKeyCode {
    DeviceKeys key;
    uint8_t virtualKey;
};
enum : int32_t { kDeviceKeyCount = 4 };
extern const DeviceKeyCode kDeviceKeyCodes[kDeviceKeyCount];

// The sources: the page's touch controls, then a slot for each gamepad.
enum : int32_t { kTouchSource = 0, kFirstPadSource = 1, kPadSlots = 8, kKeySourceCount = kFirstPadSource + kPadSlots };

// What a gamepad reports, in the common layout: the bottom face button is
// the one that confirms (A on most pads, cross on others).
struct PadReading {
    bool dpadLeft, dpadRight;
    float stickX; // the left stick across, -1 full left to 1 full right
    bool bottomFace, start, back;
};

// How far the stick must lean before it steers: a stick at rest drifts.
const float kStickDeadZone = 0.5f;

// The d-pad or the stick steers, the bottom face button and start wave (and
// start a game), back quits. A pad never switches full screen.
DeviceKeys PadHeldKeys(const PadReading& pad);

// Sets what a source holds now (nothing, when a pad is taken away or the
// touches are cancelled) and returns the keys it has newly pressed. A source
// out of range holds nothing.
DeviceKeys HoldSourceKeys(int32_t source, DeviceKeys held);
// Whether any source holds the key, by its Windows virtual-key code.
bool SourcesHoldKey(uint8_t virtualKey);
