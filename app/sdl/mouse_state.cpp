#include "app/sdl/mouse_state.h"

namespace {
const int32_t kUnitsPerNotch = 120;
// Wheel steps past this many notches in one event are a broken device.
const float kMostStepsPerEvent = 1000.0f;
} // namespace

int32_t GameButtonFromSdl(int32_t sdlButton)
{
    switch (sdlButton) {
    case 1: return 0;
    case 2: return 1;
    case 3: return 2;
    default: return -1;
    }
}

CaptureChange SetMouseButton(MouseState& mouse, int32_t button, bool pressed)
{
    if (button < 0 || button > 2)
        return CaptureChange::None;
    mouse.buttons[button] = pressed;
    bool anyHeld = mouse.buttons[0] || mouse.buttons[1] || mouse.buttons[2];
    if (anyHeld && !mouse.captured) {
        mouse.captured = true;
        return CaptureChange::Take;
    }
    if (!anyHeld && mouse.captured) {
        mouse.captured = false;
        return CaptureChange::Release;
    }
    return CaptureChange::None;
}

bool ForgetMouseButtons(MouseState& mouse)
{
    bool wasCaptured = mouse.captured;
    mouse.buttons[0] = mouse.buttons[1] = mouse.buttons[2] = false;
    mouse.captured = false;
    return wasCaptured;
}

int32_t TakeWheelNotches(MouseState& mouse, int32_t units)
{
    mouse.wheelRemainder += units;
    int32_t notches = mouse.wheelRemainder / kUnitsPerNotch;
    mouse.wheelRemainder -= notches * kUnitsPerNotch;
    return notches;
}

int32_t WheelUnitsFromSteps(float steps)
{
    if (!(steps == steps))
        return 0;
    if (steps > kMostStepsPerEvent)
        steps = kMostStepsPerEvent;
    if (steps < -kMostStepsPerEvent)
        steps = -kMostStepsPerEvent;
    float units = steps * kUnitsPerNotch;
    return static_cast<int32_t>(units < 0 ? units - 0.5f : units + 0.5f);
}
