// The window's mouse bookkeeping: which of the three buttons are held, whether
// the window holds the capture, and wheel movement not yet a whole notch of
// 120 units. The shell asks it what to do and does it with SDL.
#pragma once

#include <cstdint>

struct MouseState {
    bool buttons[3]; // left 0, middle 1, right 2
    bool captured;
    int32_t wheelRemainder;
};

enum class CaptureChange { None, Take, Release };

// The game's button number for SDL's (1 left, 2 middle, 3 right); -1 for
// any other button.
int32_t GameButtonFromSdl(int32_t sdlButton);
// Records a press or release; the capture is held while any button is.
CaptureChange SetMouseButton(MouseState& mouse, int32_t button, bool pressed);
// Focus loss forgets every button without telling of their releases; true
// when the capture must be given back.
bool ForgetMouseButtons(MouseState& mouse);
// Adds wheel movement in units of 1/120 notch and returns the whole notches
// now due, positive up; the remainder keeps its sign.
int32_t TakeWheelNotches(MouseState& mouse, int32_t units);
// SDL's precise wheel steps as units of 1/120 notch, to the nearest unit.
int32_t WheelUnitsFromSteps(float steps);
