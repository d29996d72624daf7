// Window sizes that suit the 160 by 120 virtual screen: the first window,
// the snapping of a dragged border, and which edges a drag moves.
#include <gtest/gtest.h>

#include "app/window_sizing.h"

namespace {

void ExpectSize(ClientSize size, int32_t width, int32_t height)
{
    EXPECT_EQ(size.width, width);
    EXPECT_EQ(size.height, height);
}

TEST(InitialWindow, TheLargestMultipleInsideSevenEighthsOfTheScreen)
{
    ExpectSize(InitialClientSize(1920, 1080), 1120, 840);
    EXPECT_EQ(InitialScale(1920, 1080), 7);
    ExpectSize(InitialClientSize(1024, 768), 800, 600);
    ExpectSize(InitialClientSize(800, 600), 640, 480);
    ExpectSize(InitialClientSize(640, 480), 480, 360);
    ExpectSize(InitialClientSize(320, 240), 160, 120);
    ExpectSize(InitialClientSize(1280, 1024), 1120, 840);
    // A tall screen is limited by its width, a wide one by its height.
    ExpectSize(InitialClientSize(1080, 1920), 800, 600);
    ExpectSize(InitialClientSize(3840, 1080), 1120, 840);
}

TEST(InitialWindow, NeverBelowOneVirtualScreen)
{
    ExpectSize(InitialClientSize(100, 100), 160, 120);
    ExpectSize(InitialClientSize(0, 0), 160, 120);
    ExpectSize(InitialClientSize(-1920, -1080), 160, 120);
}

TEST(SnappedSize, TheLimitingSideBecomesAMultiple)
{
    ExpectSize(SnapClientSize(500, 370), 500, 360);
    ExpectSize(SnapClientSize(330, 250), 320, 250);
    ExpectSize(SnapClientSize(250, 190), 320, 240); // rounded up, the short side raised
    ExpectSize(SnapClientSize(481, 361), 480, 360);
    ExpectSize(SnapClientSize(161, 121), 160, 120);
    ExpectSize(SnapClientSize(160, 120), 160, 120);
}

TEST(SnappedSize, SideEdgeDragsOfA480By360Client)
{
    ExpectSize(SnapClientSize(700, 360), 700, 360); // even, the height limiting
    ExpectSize(SnapClientSize(400, 360), 480, 360);
    ExpectSize(SnapClientSize(390, 360), 320, 360);
    ExpectSize(SnapClientSize(701, 360), 700, 360); // the other side is made even
}

TEST(SnappedSize, HalfwayRoundsUp)
{
    ExpectSize(SnapClientSize(1000, 180), 1000, 240); // 180 is 1.5 x 120
    ExpectSize(SnapClientSize(1000, 179), 1000, 120);
    ExpectSize(SnapClientSize(240, 1000), 320, 1000); // 240 is 1.5 x 160
    ExpectSize(SnapClientSize(239, 1000), 160, 1000);
}

TEST(SnappedSize, NothingSmallerThanOneVirtualScreen)
{
    ExpectSize(SnapClientSize(0, 0), 160, 120);
    ExpectSize(SnapClientSize(1, 1), 160, 120);
    ExpectSize(SnapClientSize(-500, -370), 160, 120);
    ExpectSize(SnapClientSize(0, 5000), 160, 5000);
    ExpectSize(SnapClientSize(65535, 65535), 65600, 65534); // the largest X11 window
}

TEST(DraggedEdges, OnlyTheDraggedEdgesMove)
{
    const WindowRect start = {100, 50, 600, 420};
    struct Case {
        int32_t edge;
        WindowRect after;
    } cases[] = {
        {1, {-400, 50, 600, 420}}, // left
        {2, {100, 50, 1100, 420}}, // right
        {3, {100, 20, 600, 420}},  // top
        {4, {-400, 20, 600, 420}}, // top-left
        {5, {100, 20, 1100, 420}}, // top-right
        {6, {100, 50, 600, 450}},  // bottom
        {7, {-400, 50, 600, 450}}, // bottom-left
        {8, {100, 50, 1100, 450}}, // bottom-right
    };
    for (const Case& c : cases) {
        WindowRect rect = start;
        EXPECT_TRUE(MoveDraggedEdges(c.edge, rect, 1000, 400)) << c.edge;
        EXPECT_EQ(rect.left, c.after.left) << c.edge;
        EXPECT_EQ(rect.top, c.after.top) << c.edge;
        EXPECT_EQ(rect.right, c.after.right) << c.edge;
        EXPECT_EQ(rect.bottom, c.after.bottom) << c.edge;
    }
}

TEST(DraggedEdges, UnknownEdgesLeaveTheRectangle)
{
    for (int32_t edge : {0, 9, -1, 100}) {
        WindowRect rect = {1, 2, 3, 4};
        EXPECT_FALSE(MoveDraggedEdges(edge, rect, 1000, 400)) << edge;
        EXPECT_EQ(rect.left, 1);
        EXPECT_EQ(rect.top, 2);
        EXPECT_EQ(rect.right, 3);
        EXPECT_EQ(rect.bottom, 4);
    }
}

} // namespace
