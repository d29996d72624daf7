// Window sizes that suit the 160 by 120 virtual screen: the first window,
// the snapping of a dragged border, and which edges a drag moves.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "app/window_sizing.h"

namespace {

// The first window is the largest multiple inside seven eighths of the
// screen; a dragged size snaps its limiting side to the nearest multiple,
// halfway up.
TEST(WindowSizing, FirstAndDraggedSizesAreMultiplesOfTheVirtualScreen)
{
    struct Case {
        bool dragged;
        int32_t width, height, wantWidth, wantHeight;
    } cases[] = {{false, 1920, 1080, 1120, 840},  {false, 1080, 1920, 800, 600}, {false, 100, 100, 160, 120},
                 {false, -1920, -1080, 160, 120}, {true, 500, 370, 500, 360},    {true, 330, 250, 320, 250},
                 {true, 250, 190, 320, 240},      {true, 481, 361, 480, 360},    {true, 400, 360, 480, 360},
                 {true, 1000, 180, 1000, 240},    {true, 1000, 179, 1000, 120},  {true, 240, 1000, 320, 1000},
                 {true, 239, 1000, 160, 1000},    {true, 0, 0, 160, 120},        {true, 65535, 65535, 65600, 65534}};
    for (const Case& c : cases) {
        ClientSize size = c.dragged ? SnapClientSize(c.width, c.height) : InitialClientSize(c.width, c.height);
        EXPECT_EQ(std::make_pair(size.width, size.height), std::make_pair(c.wantWidth, c.wantHeight))
            << c.width << "x" << c.height;
    }
}

TEST(WindowSizing, OnlyTheDraggedEdgesMove)
{
    struct Case {
        int32_t edge;
        bool known;
        WindowRect after;
    } cases[] = {{1, true, {-400, 50, 600, 420}}, {2, true, {100, 50, 1100, 420}}, {3, true, {100, 20, 600, 420}},
                 {4, true, {-400, 20, 600, 420}}, {5, true, {100, 20, 1100, 420}}, {6, true, {100, 50, 600, 450}},
                 {7, true, {-400, 50, 600, 450}}, {8, true, {100, 50, 1100, 450}}, {0, false, {100, 50, 600, 420}}};
    for (const Case& c : cases) {
        WindowRect rect = {100, 50, 600, 420};
        EXPECT_EQ(MoveDraggedEdges(c.edge, rect, 1000, 400), c.known) << c.edge;
        EXPECT_EQ(memcmp(&rect, &c.after, sizeof rect), 0) << c.edge;
    }
}

} // namespace
