#include "app/win32/win32_pads.h"

#include "app/app.h"
#include "app/shell_state.h"

namespace {
const int32_t kXInputSlots = XUSER_MAX_COUNT;
const uint32_t kSearchPeriod = 2000;
const float kJoystickCentre = 32767.5f; // winmm reports an axis from 0 to 65535

PadReading XInputReading(const XINPUT_GAMEPAD& pad)
{
    WORD buttons = pad.wButtons;
    return PadReading{(buttons & XINPUT_GAMEPAD_DPAD_LEFT) != 0,
                      (buttons & XINPUT_GAMEPAD_DPAD_RIGHT) != 0,
                      pad.sThumbLX / 32767.0f,
                      (buttons & XINPUT_GAMEPAD_A) != 0,
                      (buttons & XINPUT_GAMEPAD_START) != 0,
                      (buttons & XINPUT_GAMEPAD_BACK) != 0};
}

// Older pads number their buttons as their makers chose: any of the four face
// buttons waves, and most put select on the ninth and start on the tenth. The
// hat reads clockwise from up in hundredths of a degree, above 36000 when
// centred.
PadReading JoystickReading(const JOYINFOEX& joystick)
{
    DWORD hat = joystick.dwPOV, buttons = joystick.dwButtons;
    bool hatLeft = hat > 18000 && hat < 36000;
    bool hatRight = hat > 0 && hat < 18000;
    return PadReading{hatLeft,
                      hatRight,
                      (joystick.dwXpos - kJoystickCentre) / kJoystickCentre,
                      (buttons & (JOY_BUTTON1 | JOY_BUTTON2 | JOY_BUTTON3 | JOY_BUTTON4)) != 0,
                      (buttons & JOY_BUTTON10) != 0,
                      (buttons & JOY_BUTTON9) != 0};
}
} // namespace

PadReaders SystemPadReaders()
{
    HMODULE xinput = LoadLibraryA("XINPUT9_1_0.DLL");
    FARPROC getState = xinput ? GetProcAddress(xinput, "XInputGetState") : nullptr;
    using GetState = decltype(PadReaders::getXInputState);
    return PadReaders{reinterpret_cast<GetState>(reinterpret_cast<void (*)()>(getState)), joyGetPosEx};
}

void PollPads(PadPoller& poller, const PadReaders& readers, uint32_t now)
{
    bool search = !poller.searched || now - poller.lastSearch >= kSearchPeriod;
    if (search) {
        poller.searched = true;
        poller.lastSearch = now;
    }
    bool xinputPad = false;
    for (int32_t slot = 0; slot < kPadSlots; ++slot) {
        bool& connected = poller.connected[slot];
        bool ask = connected || search;
        DeviceKeys held = 0;
        if (slot < kXInputSlots) {
            XINPUT_STATE state = {};
            if (ask && readers.getXInputState)
                connected = readers.getXInputState(slot, &state) == ERROR_SUCCESS;
            held = connected ? PadHeldKeys(XInputReading(state.Gamepad)) : 0;
            xinputPad = xinputPad || connected;
        } else {
            JOYINFOEX joystick = {};
            joystick.dwSize = sizeof joystick;
            joystick.dwFlags = JOY_RETURNALL;
            if (ask)
                connected = !xinputPad && readers.getJoystickPosition(slot - kXInputSlots, &joystick) == JOYERR_NOERROR;
            held = connected ? PadHeldKeys(JoystickReading(joystick)) : 0;
        }
        // A window without the focus hears no pad, as it hears no key.
        AppDeviceKeys(kFirstPadSource + slot, shell.inactive ? 0 : held);
    }
}
