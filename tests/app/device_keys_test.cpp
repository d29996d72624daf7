// Touch controls and gamepads hold the game's keys beside the keyboard: what
// a pad's controls mean, and how several sources hold and let go of a key.
#include <gtest/gtest.h>

#include <string>

#include "app/device_keys.h"
#include "app/diagnostics.h"
#include "tests/support/test_platform.h"

namespace {

const int32_t kPad = kFirstPadSource, kOtherPad = kFirstPadSource + 1;

// The keys the game sees held, as a word: "L", "R", "S" and "E" for Esc.
std::string HeldKeys()
{
    std::string held;
    for (auto [key, name] : {std::pair{kKeyLeft, 'L'}, {kKeyRight, 'R'}, {kKeySpace, 'S'}, {kKeyEscape, 'E'}})
        if (IsKeyDown(key))
            held += name;
    return held;
}

TEST(DeviceKeys, PadControlsHoldTheGameKeys)
{
    struct Case {
        PadReading pad;
        DeviceKeys held;
    } cases[] = {
        {{false, false, 0.0f, false, false, false}, 0},
        {{true, false, 0.0f, false, false, false}, kHoldLeft},
        {{false, true, 0.0f, false, false, false}, kHoldRight},
        {{false, false, -0.49f, false, false, false}, 0}, // inside the dead zone
        {{false, false, 0.49f, false, false, false}, 0},
        {{false, false, -0.5f, false, false, false}, kHoldLeft},
        {{false, false, 1.0f, false, false, false}, kHoldRight},
        {{true, false, 1.0f, false, false, false}, kHoldLeft | kHoldRight}, // both held: he stands still
        {{false, false, 0.0f, true, false, false}, kHoldSpace},
        {{false, false, 0.0f, false, true, false}, kHoldSpace}, // start begins a game, never quits
        {{false, false, 0.0f, false, false, true}, kHoldEscape},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PadHeldKeys(c.pad), c.held) << c.pad.stickX << " " << c.pad.dpadLeft << c.pad.dpadRight
                                              << c.pad.bottomFace << c.pad.start << c.pad.back;
}

TEST(DeviceKeys, EachSourceLetsGoOnlyOfWhatItHeld)
{
    ResetTestPlatform();
    struct Step {
        int32_t source; // -1: the keyboard's space
        DeviceKeys held;
        DeviceKeys pressed;
        std::string seen;
    } steps[] = {
        {kPad, kHoldRight | kHoldSpace, kHoldRight | kHoldSpace, "RS"},
        {kPad, kHoldRight | kHoldSpace, 0, "RS"}, // held on, pressed once
        {kTouchSource, kHoldSpace, kHoldSpace, "RS"},
        {kPad, kHoldRight, 0, "RS"}, // the touch still holds space
        {kTouchSource, 0, 0, "R"},
        {-1, kHoldSpace, 0, "RS"},
        {kOtherPad, kHoldSpace | kHoldEscape, kHoldSpace | kHoldEscape, "RSE"},
        {kOtherPad, 0, 0, "RS"}, // the pad taken away while its buttons are held
        {kPad, 0, 0, "S"},
        {-1, 0, 0, ""},
        {kKeySourceCount, kHoldLeft, 0, ""}, // no such source
    };
    for (const Step& step : steps) {
        DeviceKeys pressed = 0;
        if (step.source < 0)
            SetKey(kKeySpace, step.held != 0);
        else
            pressed = HoldSourceKeys(step.source, step.held);
        EXPECT_EQ(pressed, step.pressed) << step.source << " " << int(step.held);
        EXPECT_EQ(HeldKeys(), step.seen) << step.source << " " << int(step.held);
    }
}

} // namespace
