// The Windows shell's gamepad step, with XInput's and winmm's answers faked:
// which slots it asks each frame, and what each pad then holds.
#include <gtest/gtest.h>

#include <string>

#include "app/app.h"
#include "app/win32/win32_pads.h"

namespace {
// Each slot's fake pad: XInput's buttons and stick in the first four slots,
// winmm's buttons, X axis and hat in the others.
struct FakePad {
    bool connected;
    DWORD buttons;
    int32_t x;
    DWORD hat;
} fakePads[kPadSlots];
// Per slot: the times asked, and the keys held as hex flags (1 left, 2 right, 4 space, 8 Esc).
std::string asked, held(kPadSlots, '0');

DWORD WINAPI FakeXInputState(DWORD user, XINPUT_STATE* state)
{
    ++asked[user];
    state->Gamepad =
        XINPUT_GAMEPAD{static_cast<WORD>(fakePads[user].buttons), 0, 0, static_cast<SHORT>(fakePads[user].x), 0, 0, 0};
    return fakePads[user].connected ? ERROR_SUCCESS : ERROR_DEVICE_NOT_CONNECTED;
}

MMRESULT WINAPI FakeJoystick(UINT joystick, JOYINFOEX* position)
{
    const FakePad& pad = fakePads[XUSER_MAX_COUNT + joystick];
    ++asked[XUSER_MAX_COUNT + joystick];
    *position = JOYINFOEX{sizeof *position, 0, static_cast<DWORD>(pad.x), 0, 0, 0, 0, 0, pad.buttons, 0, pad.hat, 0, 0};
    return pad.connected ? JOYERR_NOERROR : JOYERR_UNPLUGGED;
}
} // namespace

void AppDeviceKeys(int32_t source, DeviceKeys keys) { held[source - kFirstPadSource] = "0123456789abcdef"[keys]; }

TEST(PadPolling, EmptySlotsAreAskedEveryTwoSecondsAndAPadPulledOutLetsGo)
{
    const struct {
        int32_t slot; // whose fake pad changes before these frames, or -1
        FakePad pad;
        uint32_t from, until; // a frame every 16 ms, in milliseconds
        const char *asked, *held;
    } steps[] = {
        {-1, {}, 0, 0, "11111111", "00000000"},
        {-1, {}, 16, 1984, "00000000", "00000000"},
        {1, {true, XINPUT_GAMEPAD_A, -32768, 0}, 2000, 2000, "11110000", "05000000"}, // older pads not asked
        {-1, {}, 2016, 2064, "04000000", "05000000"},
        {1, {}, 2080, 2080, "01000000", "00000000"},
        {4, {true, JOY_BUTTON9, 65535, JOY_POVCENTERED}, 2096, 4000, "11111111", "0000a000"},
        {4, {true, JOY_BUTTON2, 32767, 27000}, 4016, 4016, "00001000", "00005000"},  // the hat, a face button
        {0, {true, XINPUT_GAMEPAD_START, 0, 0}, 6000, 6000, "11110000", "40000000"}, // the older pad let go
    };
    PadPoller poller = {};
    for (const auto& step : steps) {
        if (step.slot >= 0)
            fakePads[step.slot] = step.pad;
        asked = std::string(kPadSlots, '0');
        for (uint32_t now = step.from; now <= step.until; now += 16)
            PollPads(poller, PadReaders{FakeXInputState, FakeJoystick}, now);
        EXPECT_EQ(asked, step.asked) << "until " << step.until;
        EXPECT_EQ(held, step.held) << "until " << step.until;
    }
}
