// The main window's message handling on a real window of the game's class "Game" under Wine, for what the
// end-to-end scenarios do not reach; the application callbacks behind it only record resizes and paints.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/display_mode.h"
#include "app/shell_state.h"
#include "app/win32/display_mode.h"
#include "app/win32/win32_shell.h"

std::vector<std::string> appCalls;
bool running = false;
int32_t tickCarry = 0;

void AppInit() { running = true; }
void AppShutdown() { running = false; }
void AppRelease() {}
void AppResize(uint16_t width, uint16_t height)
{
    appCalls.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
}
bool AppPaint()
{
    appCalls.push_back("paint");
    return false;
}
void AppKeyDown(uint8_t) {}
void AppKeyUp(uint32_t) {}
void AppChar(uint32_t) {}
void AppMouseMove(int16_t, int16_t) {}
void AppMouseButton(int32_t, bool, int16_t, int16_t) {}
void AppMouseWheel(bool) {}
void AppFocusLost() {}
bool AppFrame(int32_t) { return false; }
void AppAdjustPacing(int32_t) {}

namespace {
using Calls = std::vector<std::string>;

RECT FrameAround(int clientWidth, int clientHeight, int left = 100, int top = 50)
{
    RECT rect = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    return RECT{left + rect.left, top + rect.top, left + rect.right, top + rect.bottom};
}

SIZE ClientOf(const RECT& windowRect)
{
    RECT frame = FrameAround(0, 0);
    return SIZE{(windowRect.right - windowRect.left) - (frame.right - frame.left),
                (windowRect.bottom - windowRect.top) - (frame.bottom - frame.top)};
}
} // namespace

class ShellWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell = ShellState{"Game", false, false, false, true, true, false, false, nullptr};
        static const bool registered = [] {
            WNDCLASSA windowClass = {};
            windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
            windowClass.lpfnWndProc = WindowProc;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = "Game";
            return RegisterClassA(&windowClass) != 0;
        }();
        ASSERT_TRUE(registered);
        RECT frame = FrameAround(640, 480);
        window = CreateWindowExA(0, "Game", "Game", kFramedWindowStyle, frame.left, frame.top, frame.right - frame.left,
                                 frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        appCalls.clear();
    }
    void TearDown() override
    {
        if (window && IsWindow(window))
            DestroyWindow(window);
        for (MSG message; PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);)
            if (message.message != WM_QUIT)
                DispatchMessageA(&message);
        win32 = Win32Shell{};
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(window, message, wParam, lParam);
    }
    HWND window = nullptr;
};

TEST_F(ShellWindow, BeforeTheWindowIsReadyNothingReachesTheGame)
{
    shell.windowReady = false;
    Send(WM_CLOSE);
    EXPECT_TRUE(IsWindow(window)) << "a close request before ready is ignored";
    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(320, 240));
    Send(WM_KILLFOCUS);
    Send(WM_PAINT);
    EXPECT_EQ(appCalls, Calls());
    EXPECT_FALSE(shell.inactive);
    shell.windowReady = true;
}

TEST_F(ShellWindow, SizeMessagesResizeThenPaintAndFollowMinimizing)
{
    Send(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_TRUE(shell.minimized);
    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(960, 720));
    EXPECT_FALSE(shell.minimized);
    EXPECT_EQ(appCalls, Calls({"resize 0x0", "paint", "resize 960x720", "paint"}));
}

TEST_F(ShellWindow, FocusRulesTheCursorAndVsyncInFullScreen)
{
    ShowWindow(window, SW_SHOWNORMAL);
    Send(WM_KILLFOCUS);
    EXPECT_TRUE(shell.inactive);
    SetWindowedMode(false);
    EXPECT_FALSE(shell.cursorHidden) << "entering full screen without the focus keeps the cursor";
    Send(WM_SETFOCUS);
    EXPECT_FALSE(shell.inactive);
    EXPECT_TRUE(shell.cursorHidden);
    EXPECT_TRUE(shell.vsyncOn);
    Send(WM_KILLFOCUS);
    EXPECT_FALSE(shell.cursorHidden);
    EXPECT_FALSE(shell.vsyncOn);
    SetWindowedMode(true);
}

TEST_F(ShellWindow, SizingSnapsOnlyTheDraggedEdgesToWholeMultiples)
{
    // Dragged edges move to whole multiples of the virtual screen; the far
    // corner stays put. Unknown edges change nothing.
    const struct {
        WPARAM edge;
        SIZE proposed, snapped;
        LRESULT handled;
    } drags[] = {
        {WMSZ_BOTTOMRIGHT, {500, 370}, {500, 360}, TRUE},
        {WMSZ_BOTTOMRIGHT, {250, 190}, {320, 240}, TRUE},
        {WMSZ_RIGHT, {390, 360}, {320, 360}, TRUE},
        {WMSZ_TOPLEFT, {500, 370}, {500, 360}, TRUE},
        {0, {500, 370}, {500, 370}, FALSE},
    };
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.edge);
        RECT rect = FrameAround(drag.proposed.cx, drag.proposed.cy), before = rect;
        EXPECT_EQ(Send(WM_SIZING, drag.edge, reinterpret_cast<LPARAM>(&rect)), drag.handled);
        EXPECT_EQ(ClientOf(rect).cx, drag.snapped.cx);
        EXPECT_EQ(ClientOf(rect).cy, drag.snapped.cy);
        bool topLeftStays = drag.edge != WMSZ_TOPLEFT;
        EXPECT_EQ(topLeftStays ? rect.left : rect.right, topLeftStays ? before.left : before.right);
        EXPECT_EQ(topLeftStays ? rect.top : rect.bottom, topLeftStays ? before.top : before.bottom);
    }
}

TEST_F(ShellWindow, TheWindowShrinksNoSmallerThanTheVirtualScreen)
{
    MINMAXINFO limits = {};
    Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    RECT least = FrameAround(160, 120);
    EXPECT_EQ(limits.ptMinTrackSize.x, least.right - least.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, least.bottom - least.top);
}
