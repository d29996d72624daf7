// Window sizes that suit the 160 by 120 virtual screen: the first window is
// the largest whole multiple that fits seven eighths of the screen, and a
// drag snaps the client area so its limiting side is a whole multiple and the
// other side even and at least as long. Shells add their own frame sizes.
#pragma once

#include <cstdint>

struct ClientSize {
    int32_t width, height;
};

// The largest k with 160k by 120k inside 7/8 of the screen, at least 1.
int32_t InitialScale(int32_t screenWidth, int32_t screenHeight);
ClientSize InitialClientSize(int32_t screenWidth, int32_t screenHeight);
// The snapped client size for a proposed one.
ClientSize SnapClientSize(int32_t proposedWidth, int32_t proposedHeight);

// Which window edge a drag moves; the values are those of Windows' WMSZ_*.
enum class SizingEdge : int32_t {
    Left = 1,
    Right = 2,
    Top = 3,
    TopLeft = 4,
    TopRight = 5,
    Bottom = 6,
    BottomLeft = 7,
    BottomRight = 8
};

struct WindowRect {
    int32_t left, top, right, bottom;
};

// Moves only the dragged edges of rect so the window becomes
// windowWidth by windowHeight; false for an unknown edge code.
bool MoveDraggedEdges(int32_t edge, WindowRect& rect, int32_t windowWidth, int32_t windowHeight);
