#include "app/device_keys.h"

#include "app/diagnostics.h"

const DeviceKeyCode kDeviceKeyCodes[kDeviceKeyCount] = {
    {kHoldLeft, kKeyLeft}, {kHoldRight, kKeyRight}, {kHoldSpace, kKeySpace}, {kHoldEscape, kKeyEscape}};

namespace {
DeviceKeys heldBySource[kKeySourceCount];

DeviceKeys DeviceKeyOf(uint8_t virtualKey)
{
    for (const DeviceKeyCode& code : kDeviceKeyCodes)
        if (code.virtualKey == virtualKey)
            return code.key;
    return 0;
}
} // namespace

DeviceKeys PadHeldKeys(const PadReading& pad)
{
    DeviceKeys held = 0;
    if (pad.dpadLeft || pad.stickX <= -kStickDeadZone)
        held |= kHoldLeft;
    if (pad.dpadRight || pad.stickX >= kStickDeadZone)
        held |= kHoldRight;
    if (pad.bottomFace || pad.start)
        held |= kHoldSpace;
    if (pad.back)
        held |= kHoldEscape;
    return held;
}

DeviceKeys HoldSourceKeys(int32_t source, DeviceKeys held)
{
    if (source < 0 || source >= kKeySourceCount)
        return 0;
    DeviceKeys pressed = held & ~heldBySource[source];
    heldBySource[source] = held;
    return pressed;
}

bool SourcesHoldKey(uint8_t virtualKey)
{
    DeviceKeys key = DeviceKeyOf(virtualKey);
    for (DeviceKeys held : heldBySource)
        if (held & key)
            return true;
    return false;
}
