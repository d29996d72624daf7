// The application callbacks: the only way the window shells reach the game.
// Every shell calls AppInit once its OpenGL context is current, AppFrame from
// its main loop, the window callbacks as events arrive, AppShutdown while the
// context is still current, and AppRelease right after it, before the
// context goes.
#pragma once

#include <cstdint>

#include "app/device_keys.h"

// The gate of all ticking and drawing: set only by a successful AppInit.
extern bool running;
// The part of a tick elapsed but not yet run, in thirds of a millisecond.
extern int32_t tickCarry;

void AppInit();
void AppShutdown();
// Gives back every loaded image, the font, the renderer's copy texture, the
// string variables and the sound names, in the order that keeps each owner
// valid while it is freed.
void AppRelease();
void AppResize(uint16_t width, uint16_t height);
bool AppPaint();
void AppKeyDown(uint8_t key);
void AppKeyUp(uint32_t key);
void AppChar(uint32_t character);
void AppMouseMove(int16_t x, int16_t y);
void AppMouseButton(int32_t button, bool pressed, int16_t x, int16_t y);
void AppMouseWheel(bool up);
void AppFocusLost();
// What a touch control or gamepad holds now; each key it has newly pressed
// goes to AppKeyDown, as a keyboard's press would.
void AppDeviceKeys(int32_t source, DeviceKeys held);

// Runs the ticks due for the elapsed milliseconds (at most four) and draws;
// true when the scene was drawn into the back buffer.
bool AppFrame(int32_t elapsedMilliseconds);
// Steers the tick grid by a third of a millisecond towards a fixed distance
// from the end of the buffer swap; used only with vertical synchronisation.
void AppAdjustPacing(int32_t elapsedMilliseconds);
