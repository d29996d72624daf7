// Window sizes that suit the 160 by 120 virtual screen: the first window,
// the snapping of a dragged border, and which edges a drag moves.
#include <gtest/gtest.h>

#include "app/window_sizing.h"

namespace {

struct SizeCase {
    int32_t width, height, wantWidth, wantHeight;
};

TEST(WindowSizing, TheFirstWindowIsTheLargestMultipleInsideSevenEighthsOfTheScreen)
{
    const SizeCase cases[] = {{1920, 1080, 1120, 840}, {1024, 768, 800, 600}, {800, 600, 640, 480},
                              {640, 480, 480, 360},    {320, 240, 160, 120},  {1080, 1920, 800, 600},
                              {3840, 1080, 1120, 840}, {100, 100, 160, 120},  {-1920, -1080, 160, 120}};
    for (const SizeCase& c : cases) {
        ClientSize size = InitialClientSize(c.width, c.height);
        EXPECT_EQ(size.width, c.wantWidth) << c.width << "x" << c.height;
        EXPECT_EQ(size.height, c.wantHeight) << c.width << "x" << c.height;
    }
}

TEST(WindowSizing, DraggedSizesSnapTheLimitingSideToTheNearestMultipleHalfwayUp)
{
    const SizeCase cases[] = {
        {500, 370, 500, 360},         {330, 250, 320, 250},   {250, 190, 320, 240},   {481, 361, 480, 360},
        {160, 120, 160, 120},         {700, 360, 700, 360},   {400, 360, 480, 360},   {390, 360, 320, 360},
        {701, 360, 700, 360},         {1000, 180, 1000, 240}, {1000, 179, 1000, 120}, {240, 1000, 320, 1000},
        {239, 1000, 160, 1000},       {0, 0, 160, 120},       {-500, -370, 160, 120}, {0, 5000, 160, 5000},
        {65535, 65535, 65600, 65534},
    };
    for (const SizeCase& c : cases) {
        ClientSize size = SnapClientSize(c.width, c.height);
        EXPECT_EQ(size.width, c.wantWidth) << c.width << "x" << c.height;
        EXPECT_EQ(size.height, c.wantHeight) << c.width << "x" << c.height;
    }
}

TEST(WindowSizing, OnlyTheDraggedEdgesMove)
{
    struct Case {
        int32_t edge;
        bool known;
        WindowRect after;
    } cases[] = {
        {1, true, {-400, 50, 600, 420}}, {2, true, {100, 50, 1100, 420}},  {3, true, {100, 20, 600, 420}},
        {4, true, {-400, 20, 600, 420}}, {5, true, {100, 20, 1100, 420}},  {6, true, {100, 50, 600, 450}},
        {7, true, {-400, 50, 600, 450}}, {8, true, {100, 50, 1100, 450}},  {0, false, {100, 50, 600, 420}},
        {9, false, {100, 50, 600, 420}}, {-1, false, {100, 50, 600, 420}},
    };
    for (const Case& c : cases) {
        WindowRect rect = {100, 50, 600, 420};
        EXPECT_EQ(MoveDraggedEdges(c.edge, rect, 1000, 400), c.known) << c.edge;
        EXPECT_EQ(rect.left, c.after.left) << c.edge;
        EXPECT_EQ(rect.top, c.after.top) << c.edge;
        EXPECT_EQ(rect.right, c.after.right) << c.edge;
        EXPECT_EQ(rect.bottom, c.after.bottom) << c.edge;
    }
}

} // namespace
