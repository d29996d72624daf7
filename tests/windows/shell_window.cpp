#include "tests/windows/shell_window.h"

#include "app/shell_state.h"
#include "app/win32/display_mode.h"
#include "tests/windows/recorded_app.h"

namespace {
bool RegisterOnce()
{
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
    return registered;
}
} // namespace

void ShellWindow::SetUp()
{
    shell = ShellState{"Game", false, false, false, true, true, false, false, nullptr};
    ClearAppCalls();
    appPaintDraws = false;
    ASSERT_TRUE(RegisterOnce());
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    window = CreateWindowExA(0, "Game", "Game", kFramedWindowStyle, 40, 30, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
}

void ShellWindow::TearDown()
{
    if (window && IsWindow(window))
        DestroyWindow(window);
    int ignored;
    TakeQuit(ignored);
    if (shell.cursorHidden)
        ShowCursor(TRUE);
    win32 = Win32Shell{};
}

LRESULT ShellWindow::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageA(window, message, wParam, lParam);
}

bool ShellWindow::TakeQuit(int& exitCode)
{
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            exitCode = static_cast<int>(message.wParam);
        } else {
            DispatchMessageA(&message);
        }
    }
    return quit;
}
