// Window sizes on Windows: the first window is the largest whole multiple of
// the virtual screen that fits the screen, a drag snaps the client area to
// whole multiples, and full screen is a borderless window covering the
// primary screen. Frames are always those of a WS_OVERLAPPEDWINDOW without a
// menu.
#pragma once

#include "app/win32/win32_shell.h"

enum : DWORD {
    kFramedWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
    kFullScreenStyle = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
};

// The whole window's size for the first client area; CW_USEDEFAULT for both
// when the frame cannot be computed.
SIZE InitialWindowSize();
// The window whose client area is exactly the virtual screen.
POINT MinimumTrackingSize();
// Snaps a rectangle being dragged by the given edge (WMSZ_* code); false,
// rectangle untouched, for an unknown edge or when no frame can be computed.
bool SnapWindowRect(WPARAM edge, RECT& rect);
// The switch between window and full screen is in app/display_mode.h.
