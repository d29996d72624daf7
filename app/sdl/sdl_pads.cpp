#include "app/sdl/sdl_pads.h"

#include "app/app.h"
#include "app/device_keys.h"
#include "app/shell_state.h"

namespace {
SDL_GameController* pads[kPadSlots];

int32_t SlotOf(SDL_JoystickID instance)
{
    for (int32_t slot = 0; slot < kPadSlots; ++slot)
        if (pads[slot] && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pads[slot])) == instance)
            return slot;
    return -1;
}

bool Pressed(SDL_GameController* pad, SDL_GameControllerButton button)
{
    return SDL_GameControllerGetButton(pad, button) != 0;
}

PadReading ReadPad(SDL_GameController* pad)
{
    return PadReading{Pressed(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT),
                      Pressed(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
                      SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX) / 32767.0f,
                      Pressed(pad, SDL_CONTROLLER_BUTTON_A),
                      Pressed(pad, SDL_CONTROLLER_BUTTON_START),
                      Pressed(pad, SDL_CONTROLLER_BUTTON_BACK)};
}
} // namespace

void StartPads()
{
    // Button A is then the bottom face button on every pad, whatever it is
    // labelled, and the bottom face button is the one that waves.
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void HandlePadAdded(int deviceIndex)
{
    // SDL may report a pad it has already reported, once at start-up.
    if (SlotOf(SDL_JoystickGetDeviceInstanceID(deviceIndex)) >= 0)
        return;
    for (SDL_GameController*& pad : pads)
        if (!pad) {
            pad = SDL_GameControllerOpen(deviceIndex);
            return;
        }
}

void HandlePadRemoved(SDL_JoystickID instance)
{
    int32_t slot = SlotOf(instance);
    if (slot < 0)
        return;
    SDL_GameControllerClose(pads[slot]);
    pads[slot] = nullptr;
    AppDeviceKeys(kFirstPadSource + slot, 0);
}

void HandOverPads()
{
    // A window without the focus hears no pad, as it hears no key.
    for (int32_t slot = 0; slot < kPadSlots; ++slot)
        if (pads[slot])
            AppDeviceKeys(kFirstPadSource + slot, shell.inactive ? 0 : PadHeldKeys(ReadPad(pads[slot])));
}
