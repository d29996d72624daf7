#include "app/window_sizing.h"

#include "render/virtual_screen.h"

namespace {
// The multiple nearest to length, rounding halves up, at least 1.
int32_t NearestMultiple(int32_t length, int32_t side)
{
    int32_t k = length / side + (length % side >= side / 2 ? 1 : 0);
    return k < 1 ? 1 : k;
}

int32_t EvenAtLeast(int32_t length, int32_t least)
{
    if (length % 2 != 0)
        length -= 1;
    return length < least ? least : length;
}
} // namespace

int32_t InitialScale(int32_t screenWidth, int32_t screenHeight)
{
    int32_t byWidth = (screenWidth * 7 / 8) / kScreenWidth;
    int32_t byHeight = (screenHeight * 7 / 8) / kScreenHeight;
    int32_t k = byWidth < byHeight ? byWidth : byHeight;
    return k < 1 ? 1 : k;
}

ClientSize InitialClientSize(int32_t screenWidth, int32_t screenHeight)
{
    int32_t k = InitialScale(screenWidth, screenHeight);
    return ClientSize{kScreenWidth * k, kScreenHeight * k};
}

ClientSize SnapClientSize(int32_t cw, int32_t ch)
{
    // 64-bit products: a proposed size can be anything the window system sends.
    if (int64_t{kScreenHeight} * cw >= int64_t{kScreenWidth} * ch) {
        int32_t k = NearestMultiple(ch, kScreenHeight);
        return ClientSize{EvenAtLeast(cw, kScreenWidth * k), kScreenHeight * k};
    }
    int32_t k = NearestMultiple(cw, kScreenWidth);
    return ClientSize{kScreenWidth * k, EvenAtLeast(ch, kScreenHeight * k)};
}

bool MoveDraggedEdges(int32_t edge, WindowRect& rect, int32_t width, int32_t height)
{
    bool left = false, right = false, top = false, bottom = false;
    switch (static_cast<SizingEdge>(edge)) {
    case SizingEdge::Left:
        left = true;
        break;
    case SizingEdge::Right:
        right = true;
        break;
    case SizingEdge::Top:
        top = true;
        break;
    case SizingEdge::TopLeft:
        top = left = true;
        break;
    case SizingEdge::TopRight:
        top = right = true;
        break;
    case SizingEdge::Bottom:
        bottom = true;
        break;
    case SizingEdge::BottomLeft:
        bottom = left = true;
        break;
    case SizingEdge::BottomRight:
        bottom = right = true;
        break;
    default:
        return false;
    }
    if (left)
        rect.left = rect.right - width;
    if (right)
        rect.right = rect.left + width;
    if (top)
        rect.top = rect.bottom - height;
    if (bottom)
        rect.bottom = rect.top + height;
    return true;
}
