// SDL's input as the Windows-shaped values the callbacks take: key codes,
// mouse buttons with their capture, wheel notches, typed text.
#include <gtest/gtest.h>

#include <SDL_keycode.h>

#include <cmath>
#include <limits>

#include "app/sdl/mouse_state.h"
#include "app/sdl/typed_text.h"
#include "app/sdl/virtual_keys.h"

namespace {

TEST(SdlInput, KeysGetTheirWindowsCodesAndOthersNone)
{
    struct Case {
        int32_t sdl, windows;
    } cases[] = {{SDLK_ESCAPE, 27}, {SDLK_SPACE, 32}, {SDLK_LEFT, 37},  {SDLK_RIGHT, 39},   {SDLK_UP, 38},
                 {SDLK_DOWN, 40},   {SDLK_RETURN, 13}, {SDLK_KP_ENTER, 13}, {SDLK_a, 'A'}, {SDLK_z, 'Z'},
                 {SDLK_0, '0'},     {SDLK_9, '9'},    {SDLK_F1, 0x70},  {SDLK_F24, 0x87},   {SDLK_KP_9, 0x69},
                 {SDLK_LSHIFT, 0x10}, {SDLK_RSHIFT, 0x10}, {SDLK_RCTRL, 0x11}, {SDLK_LALT, 0x12},
                 {SDLK_RALT, 0x12}, {SDLK_QUOTE, 0xDE}, {SDLK_UNKNOWN, 0}, {SDLK_AUDIOPLAY, 0}, {-1, 0},
                 {0x1B + 256, 0},   {std::numeric_limits<int32_t>::max(), 0}};
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyFromSdlKeycode(c.sdl), c.windows) << c.sdl;
}

TEST(SdlInput, TheMouseIsCapturedWhileAnyButtonIsHeldAndFocusLossForgetsThem)
{
    EXPECT_EQ(GameButtonFromSdl(1), 0);
    EXPECT_EQ(GameButtonFromSdl(3), 2);
    EXPECT_EQ(GameButtonFromSdl(4), -1);
    MouseState mouse = {};
    EXPECT_EQ(SetMouseButton(mouse, 0, true), CaptureChange::Take);
    EXPECT_EQ(SetMouseButton(mouse, 2, true), CaptureChange::None);
    EXPECT_EQ(SetMouseButton(mouse, 0, false), CaptureChange::None);
    EXPECT_EQ(SetMouseButton(mouse, 2, false), CaptureChange::Release);
    EXPECT_EQ(SetMouseButton(mouse, 1, false), CaptureChange::None); // never pressed
    EXPECT_EQ(SetMouseButton(mouse, 3, true), CaptureChange::None);
    SetMouseButton(mouse, 1, true);
    EXPECT_TRUE(ForgetMouseButtons(mouse));
    EXPECT_FALSE(mouse.captured);
    EXPECT_FALSE(ForgetMouseButtons(mouse));
    EXPECT_EQ(SetMouseButton(mouse, 0, true), CaptureChange::Take);
}

TEST(SdlInput, WheelStepsBecomeNotchesOf120WithTheRemainderKept)
{
    struct Step {
        float steps;
        int32_t units;
    } steps[] = {{1.0f, 120}, {-0.25f, -30}, {0.0f, 0}, {std::nanf(""), 0}, {INFINITY, 120000}, {-1e30f, -120000}};
    for (const Step& s : steps)
        EXPECT_EQ(WheelUnitsFromSteps(s.steps), s.units) << s.steps;
    struct Turn {
        int32_t units, notches, remainder;
    } turns[] = {{240, 2, 0}, {60, 0, 60}, {60, 1, 0}, {-130, -1, -10}, {-110, -1, 0}};
    MouseState mouse = {};
    for (const Turn& t : turns) {
        EXPECT_EQ(TakeWheelNotches(mouse, t.units), t.notches) << t.units;
        EXPECT_EQ(mouse.wheelRemainder, t.remainder) << t.units;
    }
}

TEST(SdlInput, TypedTextIsReadAsCodePointsWithBadBytesReplaced)
{
    const char* text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x95\xB7";
    for (uint32_t expected : {0x61u, 0xE9u, 0x20ACu, 0x1F577u, 0u, 0u})
        EXPECT_EQ(NextTypedCharacter(text), expected);
    for (const char* bad : {"\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"}) {
        const char* at = bad;
        EXPECT_EQ(NextTypedCharacter(at), 0xFFFDu) << int(uint8_t(bad[0]));
    }
    const char* cut = "\xE2\x82"; // cut short: never read past the end
    for (uint32_t expected : {0xFFFDu, 0xFFFDu, 0u})
        EXPECT_EQ(NextTypedCharacter(cut), expected);
    const char* mixed = "\xC3x";
    EXPECT_EQ(NextTypedCharacter(mixed), 0xFFFDu);
    EXPECT_EQ(NextTypedCharacter(mixed), uint32_t{'x'});
}

} // namespace
