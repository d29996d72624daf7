// The main window's message handling, on a real window under Wine: what a
// player sees that the end-to-end scenarios do not reach (nothing before the
// window is ready, minimizing, the cursor on focus changes, drags snapping,
// the smallest and first sizes).
// The window is the game's own, the class "Game" over WindowProc, so
// WM_CREATE sets up OpenGL on Mesa as in the game; the application callbacks
// behind it only record resizes and paints.
#include <gtest/gtest.h>

#include <algorithm>
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

class ShellWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell = ShellState{"Game", false, false, false, true, true, false, false, nullptr};
        static bool registered = false;
        if (!registered) {
            WNDCLASSEXA windowClass = {};
            windowClass.cbSize = sizeof windowClass;
            windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
            windowClass.lpfnWndProc = WindowProc;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = "Game";
            registered = RegisterClassExA(&windowClass) != 0;
        }
        ASSERT_TRUE(registered);
        RECT frame = {0, 0, 640, 480};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        window = CreateWindowExA(0, "Game", "Game", kFramedWindowStyle, 40, 30, frame.right - frame.left,
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
        if (shell.cursorHidden)
            ShowCursor(TRUE);
        win32 = Win32Shell{};
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(window, message, wParam, lParam);
    }
    HWND window = nullptr;
};

namespace {
using Calls = std::vector<std::string>;

LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

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

TEST_F(ShellWindow, BeforeTheWindowIsReadyNothingReachesTheGame)
{
    shell.windowReady = false;
    Send(WM_CLOSE);
    EXPECT_TRUE(IsWindow(window)) << "a close request before ready is ignored";
    Send(WM_SIZE, SIZE_RESTORED, Point(320, 240));
    Send(WM_KILLFOCUS);
    Send(WM_PAINT);
    RECT rect = FrameAround(500, 370, 10, 10), proposed = rect;
    EXPECT_EQ(Send(WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&rect)), 0);
    EXPECT_TRUE(EqualRect(&rect, &proposed));
    EXPECT_EQ(appCalls, Calls());
    EXPECT_FALSE(shell.inactive);
    shell.windowReady = true;
}

TEST_F(ShellWindow, SizeMessagesResizeThenPaintAndFollowMinimizing)
{
    Send(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_TRUE(shell.minimized);
    Send(WM_SIZE, SIZE_RESTORED, Point(960, 720));
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
    SetWindowedMode(false); // already in full screen: nothing changes
    EXPECT_FALSE(shell.cursorHidden);
    Send(WM_SYSKEYDOWN, VK_RETURN, (1 << 29) | (1 << 30)); // a held Alt+Enter repeats
    EXPECT_FALSE(shell.windowed);
    SetWindowedMode(true);
}

TEST_F(ShellWindow, SizingSnapsOnlyTheDraggedEdgesToWholeMultiples)
{
    struct Drag {
        WPARAM edge;
        SIZE proposed, from, snapped;
    };
    const Drag drags[] = {
        {WMSZ_BOTTOMRIGHT, {500, 370}, {480, 360}, {500, 360}},
        {WMSZ_BOTTOMRIGHT, {250, 190}, {480, 360}, {320, 240}},
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
