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

TEST(VirtualKeys, TheGamesKeysHaveTheirWindowsCodes)
{
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_ESCAPE), 27);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_SPACE), 32);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_LEFT), 37);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_RIGHT), 39);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_UP), 38);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_DOWN), 40);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_RETURN), 13);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_KP_ENTER), 13);
}

TEST(VirtualKeys, LettersAreUpperCaseAndDigitsTheirCharacters)
{
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_a), 'A');
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_f), 'F');
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_z), 'Z');
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_0), '0');
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_9), '9');
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_F1), 0x70);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_F12), 0x7B);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_F13), 0x7C);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_F24), 0x87);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_KP_0), 0x60);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_KP_9), 0x69);
}

TEST(VirtualKeys, BothSidesOfAModifierAreOneKey)
{
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_LSHIFT), 0x10);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_RSHIFT), 0x10);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_LCTRL), 0x11);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_RCTRL), 0x11);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_LALT), 0x12);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_RALT), 0x12);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_BACKQUOTE), 0xC0);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_QUOTE), 0xDE);
}

TEST(VirtualKeys, KeysWithoutACounterpartAreNone)
{
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_UNKNOWN), 0);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_AUDIOPLAY), 0);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(-1), 0);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(std::numeric_limits<int32_t>::max()), 0);
    EXPECT_EQ(VirtualKeyFromSdlKeycode(0x1B + 256), 0); // no wrap into the 8-bit range
}

TEST(MouseButtons, SdlNumbersBecomeLeftMiddleRight)
{
    EXPECT_EQ(GameButtonFromSdl(1), 0);
    EXPECT_EQ(GameButtonFromSdl(2), 1);
    EXPECT_EQ(GameButtonFromSdl(3), 2);
    EXPECT_EQ(GameButtonFromSdl(0), -1);
    EXPECT_EQ(GameButtonFromSdl(4), -1); // side buttons are not the game's
}

TEST(MouseButtons, TheCaptureIsHeldWhileAnyButtonIs)
{
    MouseState mouse = {};
    EXPECT_EQ(SetMouseButton(mouse, 0, true), CaptureChange::Take);
    EXPECT_EQ(SetMouseButton(mouse, 2, true), CaptureChange::None);
    EXPECT_EQ(SetMouseButton(mouse, 0, false), CaptureChange::None);
    EXPECT_TRUE(mouse.captured);
    EXPECT_EQ(SetMouseButton(mouse, 2, false), CaptureChange::Release);
    EXPECT_FALSE(mouse.captured);
    // A release that was never pressed (dragged in from outside) changes nothing.
    EXPECT_EQ(SetMouseButton(mouse, 1, false), CaptureChange::None);
    EXPECT_EQ(SetMouseButton(mouse, 3, true), CaptureChange::None);
    EXPECT_EQ(SetMouseButton(mouse, -1, true), CaptureChange::None);
    EXPECT_FALSE(mouse.captured);
}

TEST(MouseButtons, FocusLossForgetsEveryButtonAndTheCapture)
{
    MouseState mouse = {};
    SetMouseButton(mouse, 0, true);
    SetMouseButton(mouse, 1, true);
    EXPECT_TRUE(ForgetMouseButtons(mouse));
    EXPECT_FALSE(mouse.buttons[0] || mouse.buttons[1] || mouse.buttons[2] || mouse.captured);
    EXPECT_FALSE(ForgetMouseButtons(mouse));
    // The next press takes the capture again.
    EXPECT_EQ(SetMouseButton(mouse, 0, true), CaptureChange::Take);
}

TEST(MouseWheel, WholeNotchesOf120WithTheRemainderKept)
{
    MouseState mouse = {};
    EXPECT_EQ(TakeWheelNotches(mouse, 240), 2);
    EXPECT_EQ(TakeWheelNotches(mouse, 60), 0);
    EXPECT_EQ(TakeWheelNotches(mouse, 60), 1);
    EXPECT_EQ(mouse.wheelRemainder, 0);
    EXPECT_EQ(TakeWheelNotches(mouse, -130), -1);
    EXPECT_EQ(mouse.wheelRemainder, -10);
    EXPECT_EQ(TakeWheelNotches(mouse, -110), -1);
    EXPECT_EQ(mouse.wheelRemainder, 0);
}

TEST(MouseWheel, PreciseStepsBecomeUnits)
{
    EXPECT_EQ(WheelUnitsFromSteps(1.0f), 120);
    EXPECT_EQ(WheelUnitsFromSteps(-1.0f), -120);
    EXPECT_EQ(WheelUnitsFromSteps(0.5f), 60);
    EXPECT_EQ(WheelUnitsFromSteps(-0.25f), -30);
    EXPECT_EQ(WheelUnitsFromSteps(0.0f), 0);
    // Half notches of a smooth wheel add up to one notch.
    MouseState mouse = {};
    EXPECT_EQ(TakeWheelNotches(mouse, WheelUnitsFromSteps(0.5f)), 0);
    EXPECT_EQ(TakeWheelNotches(mouse, WheelUnitsFromSteps(0.5f)), 1);
}

TEST(MouseWheel, BrokenStepsStayBounded)
{
    EXPECT_EQ(WheelUnitsFromSteps(std::nanf("")), 0);
    EXPECT_EQ(WheelUnitsFromSteps(std::numeric_limits<float>::infinity()), 120000);
    EXPECT_EQ(WheelUnitsFromSteps(-std::numeric_limits<float>::infinity()), -120000);
    EXPECT_EQ(WheelUnitsFromSteps(1e30f), 120000);
}

uint32_t First(const char* text) { return NextTypedCharacter(text); }

TEST(TypedText, CodePointsOneByOne)
{
    const char* text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x95\xB7";
    EXPECT_EQ(NextTypedCharacter(text), uint32_t{'a'});
    EXPECT_EQ(NextTypedCharacter(text), 0xE9u);    // e acute
    EXPECT_EQ(NextTypedCharacter(text), 0x20ACu);  // euro sign
    EXPECT_EQ(NextTypedCharacter(text), 0x1F577u); // spider
    EXPECT_EQ(NextTypedCharacter(text), 0u);
    EXPECT_EQ(NextTypedCharacter(text), 0u); // stays at the end
}

TEST(TypedText, MalformedBytesAreReplacedOneAtATime)
{
    EXPECT_EQ(First("\x80"), 0xFFFDu);             // a lone continuation byte
    EXPECT_EQ(First("\xC0\xAF"), 0xFFFDu);         // overlong '/'
    EXPECT_EQ(First("\xE0\x80\xAF"), 0xFFFDu);     // overlong again
    EXPECT_EQ(First("\xED\xA0\x80"), 0xFFFDu);     // a UTF-16 surrogate
    EXPECT_EQ(First("\xF4\x90\x80\x80"), 0xFFFDu); // past U+10FFFF
    EXPECT_EQ(First("\xFF"), 0xFFFDu);
    // A sequence cut short by the end of the text never reads past it.
    const char* cut = "\xE2\x82";
    EXPECT_EQ(NextTypedCharacter(cut), 0xFFFDu);
    EXPECT_EQ(NextTypedCharacter(cut), 0xFFFDu);
    EXPECT_EQ(NextTypedCharacter(cut), 0u);
    // What follows a bad byte is still read.
    const char* mixed = "\xC3x";
    EXPECT_EQ(NextTypedCharacter(mixed), 0xFFFDu);
    EXPECT_EQ(NextTypedCharacter(mixed), uint32_t{'x'});
}

} // namespace
