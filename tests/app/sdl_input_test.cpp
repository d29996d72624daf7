// SDL's input as the values the callbacks take: the keys the game and its
// shell use, mouse buttons with their capture, and typed text read safely.
#include <gtest/gtest.h>

#include <SDL_keycode.h>

#include <limits>

#include "app/sdl/mouse_state.h"
#include "app/sdl/typed_text.h"
#include "app/sdl/virtual_keys.h"

namespace {

TEST(SdlInput, KeysGetTheirWindowsCodesAndOthersNone)
{
    struct Case {
        int32_t sdl, windows;
    } cases[] = {{SDLK_ESCAPE, 27}, {SDLK_SPACE, 32}, {SDLK_LEFT, 37}, {SDLK_RIGHT, 39}, {SDLK_RETURN, 13},
                 {SDLK_KP_ENTER, 13}, {SDLK_LALT, 0x12}, {SDLK_RALT, 0x12}, {SDLK_UNKNOWN, 0}, {-1, 0},
                 {0x1B + 256, 0}, {std::numeric_limits<int32_t>::max(), 0}};
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

// The game ignores typed text, but reading it must never run past its end.
TEST(SdlInput, TypedTextCutShortIsNeverReadPastItsEnd)
{
    const char* cut = "a\xE2\x82";
    for (uint32_t expected : {0x61u, 0xFFFDu, 0xFFFDu, 0u, 0u})
        EXPECT_EQ(NextTypedCharacter(cut), expected);
}

} // namespace
