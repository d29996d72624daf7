// The main window's message handling, on a real window under Wine.
#include <algorithm>

#include "app/display_mode.h"
#include "app/shell_state.h"
#include "app/win32/display_mode.h"
#include "tests/windows/recorded_app.h"
#include "tests/windows/shell_window.h"

namespace {
using Calls = std::vector<std::string>;

LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }
WPARAM WheelDelta(int delta) { return MAKEWPARAM(0, static_cast<WORD>(static_cast<int16_t>(delta))); }

RECT FrameAround(int clientWidth, int clientHeight, int left, int top)
{
    RECT rect = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    return RECT{left + rect.left, top + rect.top, left + rect.right, top + rect.bottom};
}

SIZE ClientOf(const RECT& windowRect)
{
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    return SIZE{(windowRect.right - windowRect.left) - (frame.right - frame.left),
                (windowRect.bottom - windowRect.top) - (frame.bottom - frame.top)};
}
} // namespace

TEST_F(ShellWindow, CreationMakesTheContextCurrentThenStartsTheGameOnce)
{
    EXPECT_TRUE(shell.windowReady);
    EXPECT_EQ(appCalls, Calls({"init current"}));
    EXPECT_EQ(win32.mainWindow, window);
    EXPECT_NE(win32.deviceContext, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), win32.glContext);
    // A true-colour display needs no palette, and the window system asks for none.
    EXPECT_EQ(win32.palette, nullptr);
    EXPECT_EQ(Send(WM_QUERYNEWPALETTE), 0);
    // Mesa has the swap-interval extension; a new window starts without vsync.
    EXPECT_NE(shell.setSwapInterval, nullptr);
    EXPECT_FALSE(shell.vsyncOn);
    // A second creation message changes nothing.
    Send(WM_CREATE);
    EXPECT_EQ(appCalls, Calls({"init current"}));
}

TEST_F(ShellWindow, DestructionShutsDownAndReleasesWhileTheContextLivesThenQuitsWith0)
{
    ClearAppCalls();
    DestroyWindow(window);
    EXPECT_EQ(appCalls, Calls({"shutdown", "release current"}));
    EXPECT_FALSE(shell.windowReady);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(win32.glContext, nullptr);
    EXPECT_EQ(win32.deviceContext, nullptr);
    int exitCode = -1;
    EXPECT_TRUE(TakeQuit(exitCode));
    EXPECT_EQ(exitCode, 0);
}

TEST_F(ShellWindow, BeforeTheWindowIsReadyNothingReachesTheGame)
{
    shell.windowReady = false;
    ClearAppCalls();
    Send(WM_CLOSE);
    EXPECT_TRUE(IsWindow(window)) << "a close request before ready is ignored";
    Send(WM_SIZE, SIZE_RESTORED, Point(320, 240));
    Send(WM_KEYDOWN, 27);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(1, 1));
    Send(WM_MOUSEWHEEL, WheelDelta(240));
    Send(WM_SETFOCUS);
    Send(WM_KILLFOCUS);
    Send(WM_PAINT);
    RECT rect = FrameAround(500, 370, 10, 10), proposed = rect;
    EXPECT_EQ(Send(WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&rect)), 0);
    EXPECT_TRUE(EqualRect(&rect, &proposed));
    EXPECT_EQ(appCalls, Calls());
    EXPECT_FALSE(shell.inactive);
    EXPECT_EQ(GetCapture(), nullptr);
    shell.windowReady = true;
}

TEST_F(ShellWindow, CloseRequestDestroysTheReadyWindow)
{
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    int exitCode = -1;
    EXPECT_TRUE(TakeQuit(exitCode));
    EXPECT_EQ(exitCode, 0);
}

TEST_F(ShellWindow, SizeMessagesResizeThenPaintAndFollowMinimizing)
{
    ClearAppCalls();
    Send(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_TRUE(shell.minimized);
    Send(WM_SIZE, SIZE_RESTORED, Point(960, 720));
    EXPECT_FALSE(shell.minimized);
    EXPECT_EQ(appCalls, Calls({"resize 0x0", "paint", "resize 960x720", "paint"}));
}

TEST_F(ShellWindow, PaintRequestsRedrawAndValidateTheWindow)
{
    ShowWindow(window, SW_SHOWNORMAL);
    InvalidateRect(window, nullptr, FALSE);
    ClearAppCalls();
    appPaintDraws = true;
    Send(WM_PAINT);
    EXPECT_EQ(appCalls, Calls({"paint"}));
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(window, &pending, FALSE)) << "the whole window is marked painted";
}

TEST_F(ShellWindow, KeysAndCharactersReachTheGame)
{
    ClearAppCalls();
    Send(WM_KEYDOWN, 0x11B); // only the low 8 bits are the key
    Send(WM_KEYUP, 0x20);
    Send(WM_CHAR, 'a');
    EXPECT_EQ(appCalls, Calls({"key 27", "keyup 32", "char 97"}));
}

TEST_F(ShellWindow, AltEnterTogglesFullScreenAndBackToTheSamePlace)
{
    ShowWindow(window, SW_SHOWNORMAL);
    RECT framed;
    GetWindowRect(window, &framed);
    Send(WM_SYSKEYDOWN, VK_RETURN, 0); // Enter without Alt
    EXPECT_TRUE(shell.windowed);

    Send(WM_SYSKEYDOWN, VK_RETURN, 1 << 29);
    EXPECT_FALSE(shell.windowed);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & ~WS_VISIBLE, kFullScreenStyle & ~WS_VISIBLE);
    RECT full;
    GetWindowRect(window, &full);
    EXPECT_EQ(full.left, 0);
    EXPECT_EQ(full.top, 0);
    EXPECT_EQ(full.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(full.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_TRUE(shell.vsyncOn);
    Send(WM_SYSKEYDOWN, VK_RETURN, (1 << 29) | (1 << 30)); // held: the keyboard repeats
    EXPECT_FALSE(shell.windowed);

    Send(WM_SYSKEYDOWN, VK_RETURN, 1 << 29);
    EXPECT_TRUE(shell.windowed);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & ~(WS_VISIBLE | WS_MAXIMIZE),
              kFramedWindowStyle);
    RECT back;
    GetWindowRect(window, &back);
    EXPECT_TRUE(EqualRect(&back, &framed));
    EXPECT_FALSE(shell.vsyncOn);
    EXPECT_FALSE(shell.cursorHidden);
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
    SetWindowedMode(false); // already in full screen: nothing changes
    EXPECT_FALSE(shell.cursorHidden);
    SetWindowedMode(true);
}

TEST_F(ShellWindow, ButtonsHoldTheCaptureAndFocusLossForgetsThem)
{
    ShowWindow(window, SW_SHOWNORMAL);
    ClearAppCalls();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(-5, 7));
    EXPECT_EQ(GetCapture(), window);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, Point(3, 4));
    Send(WM_LBUTTONUP, 0, Point(3, 4));
    EXPECT_EQ(GetCapture(), window) << "the right button is still held";
    Send(WM_RBUTTONUP, 0, Point(900, -2));
    EXPECT_EQ(GetCapture(), nullptr);
    Send(WM_MBUTTONDOWN, MK_MBUTTON, Point(1, 2));
    Send(WM_MOUSEMOVE, 0, Point(-300, 20));
    Send(WM_KILLFOCUS);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(shell.inactive);
    Send(WM_MBUTTONUP, 0, Point(1, 2)); // no capture to release now
    EXPECT_EQ(appCalls, Calls({"button 0 down -5,7", "button 2 down 3,4", "button 0 up 3,4", "button 2 up 900,-2",
                               "button 1 down 1,2", "move -300,20", "focuslost", "button 1 up 1,2"}));
    Send(WM_SETFOCUS);
    EXPECT_FALSE(shell.inactive);
}

TEST_F(ShellWindow, WheelNotchesAre120AndRemaindersKeepTheirSign)
{
    ClearAppCalls();
    Send(WM_MOUSEWHEEL, WheelDelta(240));
    EXPECT_EQ(appCalls, Calls({"wheel up", "wheel up"}));
    ClearAppCalls();
    Send(WM_MOUSEWHEEL, WheelDelta(60));
    EXPECT_EQ(appCalls, Calls());
    Send(WM_MOUSEWHEEL, WheelDelta(60));
    EXPECT_EQ(appCalls, Calls({"wheel up"}));
    ClearAppCalls();
    Send(WM_MOUSEWHEEL, WheelDelta(-130));
    EXPECT_EQ(appCalls, Calls({"wheel down"}));
    Send(WM_MOUSEWHEEL, WheelDelta(129)); // -10 + 129 is not yet a notch
    Send(WM_MOUSEWHEEL, WheelDelta(1));
    EXPECT_EQ(appCalls, Calls({"wheel down", "wheel up"}));
}

TEST_F(ShellWindow, SizingSnapsOnlyTheDraggedEdgesToWholeMultiples)
{
    struct Drag {
        WPARAM edge;
        SIZE proposed, from, snapped;
    };
    const Drag drags[] = {
        {WMSZ_BOTTOMRIGHT, {500, 370}, {480, 360}, {500, 360}},
        {WMSZ_BOTTOMRIGHT, {330, 250}, {480, 360}, {320, 250}},
        {WMSZ_BOTTOMRIGHT, {250, 190}, {480, 360}, {320, 240}},
        {WMSZ_BOTTOMRIGHT, {481, 361}, {480, 360}, {480, 360}},
        {WMSZ_BOTTOMRIGHT, {161, 121}, {480, 360}, {160, 120}},
        {WMSZ_RIGHT, {700, 360}, {480, 360}, {700, 360}},
        {WMSZ_RIGHT, {400, 360}, {480, 360}, {480, 360}},
        {WMSZ_RIGHT, {390, 360}, {480, 360}, {320, 360}},
    };
    for (const Drag& drag : drags) {
        RECT rect = FrameAround(drag.proposed.cx, drag.proposed.cy, 100, 50);
        RECT before = rect;
        EXPECT_EQ(Send(WM_SIZING, drag.edge, reinterpret_cast<LPARAM>(&rect)), TRUE);
        SIZE client = ClientOf(rect);
        EXPECT_EQ(client.cx, drag.snapped.cx) << drag.proposed.cx << "x" << drag.proposed.cy;
        EXPECT_EQ(client.cy, drag.snapped.cy) << drag.proposed.cx << "x" << drag.proposed.cy;
        EXPECT_EQ(rect.left, before.left);
        EXPECT_EQ(rect.top, before.top);
    }
    // Dragging the top-left corner keeps the bottom-right corner.
    RECT rect = FrameAround(500, 370, 100, 50), before = rect;
    Send(WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.right, before.right);
    EXPECT_EQ(rect.bottom, before.bottom);
    EXPECT_EQ(ClientOf(rect).cy, 360);
    for (WPARAM unknown : {WPARAM{0}, WPARAM{9}, ~WPARAM{0}}) {
        rect = before;
        EXPECT_EQ(Send(WM_SIZING, unknown, reinterpret_cast<LPARAM>(&rect)), FALSE);
        EXPECT_TRUE(EqualRect(&rect, &before));
    }
}

TEST_F(ShellWindow, WindowSizesFollowTheScreenAndTheVirtualScreen)
{
    MINMAXINFO limits = {};
    Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    RECT least = FrameAround(160, 120, 0, 0);
    EXPECT_EQ(limits.ptMinTrackSize.x, least.right - least.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, least.bottom - least.top);

    int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int k = std::max(1, std::min(screenWidth * 7 / 8 / 160, screenHeight * 7 / 8 / 120));
    RECT first = FrameAround(160 * k, 120 * k, 0, 0);
    SIZE size = InitialWindowSize();
    EXPECT_EQ(size.cx, first.right - first.left);
    EXPECT_EQ(size.cy, first.bottom - first.top);
}
