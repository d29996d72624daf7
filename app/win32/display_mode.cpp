#include "app/win32/display_mode.h"

#include "app/display_mode.h"
#include "app/window_sizing.h"
#include "render/virtual_screen.h"

namespace {

// The placement of the framed window, kept while in full screen.
WINDOWPLACEMENT savedPlacement = {};

// The whole window around a client area of the given size.
bool FramedWindowSize(int32_t clientWidth, int32_t clientHeight, SIZE& size)
{
    RECT rect = {0, 0, clientWidth, clientHeight};
    if (!AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE))
        return false;
    size.cx = rect.right - rect.left;
    size.cy = rect.bottom - rect.top;
    return true;
}

} // namespace

void ShowMouseCursor(bool shown) { ShowCursor(shown ? TRUE : FALSE); }

void RestoreFramedWindow()
{
    SetWindowLongA(win32.mainWindow, GWL_STYLE, static_cast<LONG>(kFramedWindowStyle));
    SetWindowPlacement(win32.mainWindow, &savedPlacement);
    SetWindowPos(win32.mainWindow, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    // Nothing of the full-screen picture may stay on the desktop.
    InvalidateRect(nullptr, nullptr, FALSE);
}

void CoverScreenWithWindow()
{
    savedPlacement.length = sizeof(WINDOWPLACEMENT);
    GetWindowPlacement(win32.mainWindow, &savedPlacement);
    SetWindowLongA(win32.mainWindow, GWL_STYLE, static_cast<LONG>(kFullScreenStyle));
    SetWindowPos(win32.mainWindow, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

SIZE InitialWindowSize()
{
    ClientSize client = InitialClientSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SIZE size;
    if (!FramedWindowSize(client.width, client.height, size))
        size = SIZE{static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT)};
    return size;
}

POINT MinimumTrackingSize()
{
    SIZE size;
    if (!FramedWindowSize(kScreenWidth, kScreenHeight, size))
        return POINT{kScreenWidth, kScreenHeight};
    return POINT{size.cx, size.cy};
}

bool SnapWindowRect(WPARAM edge, RECT& rect)
{
    RECT frame = {0, 0, 0, 0};
    if (!AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE))
        return false;
    int32_t proposedWidth = (rect.right - rect.left) + (frame.left - frame.right);
    int32_t proposedHeight = (rect.bottom - rect.top) + (frame.top - frame.bottom);
    ClientSize client = SnapClientSize(proposedWidth, proposedHeight);
    SIZE window;
    if (!FramedWindowSize(client.width, client.height, window))
        return false;
    WindowRect moved = {rect.left, rect.top, rect.right, rect.bottom};
    if (edge > 8 || !MoveDraggedEdges(static_cast<int32_t>(edge), moved, window.cx, window.cy))
        return false;
    rect = RECT{moved.left, moved.top, moved.right, moved.bottom};
    return true;
}
