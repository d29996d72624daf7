// Gamepads on Windows, read once a frame before the ticks. XInput pads come
// through XINPUT9_1_0.DLL, which every Windows since Vista has; it is loaded
// at run time, so the program still starts without it. Older pads come
// through winmm's joystick functions, but only while no XInput pad answers,
// since an XInput pad shows up there too. Asking for a pad that is not there
// is slow, so empty slots are asked again only every two seconds.
#pragma once

#include <windows.h>

#include <mmsystem.h>
#include <xinput.h>

#include <cstdint>

#include "app/device_keys.h"

// Where the pads' states come from: the system, or a test.
struct PadReaders {
    DWORD(WINAPI* getXInputState)(DWORD user, XINPUT_STATE* state); // null without the DLL
    MMRESULT(WINAPI* getJoystickPosition)(UINT joystick, JOYINFOEX* position);
};

// The four XInput users take the first slots, winmm's first joysticks the rest.
struct PadPoller {
    bool connected[kPadSlots]; // the slot answered when last asked
    bool searched;
    uint32_t lastSearch; // when the empty slots were last asked
};

PadReaders SystemPadReaders();
// Hands what each pad holds to the game (nothing while the window lacks the
// focus); now is the frame clock's millisecond counter.
void PollPads(PadPoller& poller, const PadReaders& readers, uint32_t now);
