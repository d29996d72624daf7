// The virtual screen fitted to windows of every size, and what the drawing
// operations put on the screen: rectangles, overlays and sprites.
#include <gtest/gtest.h>

#include "render/gl_api.h"
#include "render/renderer.h"
#include "render/texture.h"
#include "render/texture_cache.h"
#include "tests/render/gl_fixture.h"

namespace {

struct SizeCase {
    int32_t width, height;
    double left, right, bottom, top; // the projection
    int32_t visibleLeft, visibleRight, visibleBottom, visibleTop;
};

void PrintTo(const SizeCase& c, std::ostream* out) { *out << c.width << "x" << c.height; }

class WindowSizeTest : public GlTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(WindowSizeTest, ScaleMarginsAndVisibleArea)
{
    const SizeCase& c = GetParam();
    OpenWindow(c.width, c.height);
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    double width = 2.0 / m[0], height = 2.0 / m[5];
    double left = (-m[12] - 1.0) * width / 2.0, bottom = (-m[13] - 1.0) * height / 2.0;
    EXPECT_NEAR(left, c.left, 0.01);
    EXPECT_NEAR(left + width, c.right, 0.01);
    EXPECT_NEAR(bottom, c.bottom, 0.01);
    EXPECT_NEAR(bottom + height, c.top, 0.01);
    EXPECT_EQ(renderer.visibleLeft, c.visibleLeft);
    EXPECT_EQ(renderer.visibleRight, c.visibleRight);
    EXPECT_EQ(renderer.visibleBottom, c.visibleBottom);
    EXPECT_EQ(renderer.visibleTop, c.visibleTop);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowSizeTest,
                         ::testing::Values(SizeCase{640, 480, 0, 160, 0, 120, 0, 160, 0, 120},
                                           SizeCase{700, 500, -7.5, 167.5, -2.5, 122.5, -8, 168, -3, 123},
                                           SizeCase{1920, 1080, -240.0 / 9, 160 + 240.0 / 9, 0, 120, -27, 187, 0, 120},
                                           SizeCase{321, 241, 0, 160.5, 0, 120.5, 0, 161, 0,
                                                    121}, // the odd pixel goes right and up
                                           SizeCase{319, 239, -79, 240, -59, 180, -79, 240, -59, 180},
                                           // Smaller than the virtual screen: it shrinks to fit.
                                           SizeCase{100, 100, 0, 160, -20, 140, 0, 160, -20, 140},
                                           SizeCase{200, 100, -40, 200, 0, 120, -40, 200, 0, 120},
                                           SizeCase{159, 120, 0, 160, -0.3774, 120.3774, 0, 160, -1, 121},
                                           // Float error of a few millionths must not widen the area.
                                           SizeCase{2, 10, 0, 160, -340, 460, 0, 160, -340, 460}));

TEST_F(GlTest, ScaledScreenHasBlackMarginsTheOverlayCoversAndNoSizeKeeps)
{
    OpenWindow(700, 500);
    for (auto size : {std::pair<int32_t, int32_t>{0, 0}, {0, 300}, {300, 0}, {-5, -5}})
        ResizeRenderer(size.first, size.second);
    EXPECT_EQ(renderer.visibleLeft, -8);
    FillRect(0, 160, 0, 120, 1, 1, 1, 1);
    Capture();
    // 30 window pixels left and right, 10 below and above, at scale 4.
    EXPECT_EQ(Picture(29, 250, 2, 1) + Picture(669, 250, 2, 1), ".#\n#.\n");
    EXPECT_EQ(Picture(350, 9, 1, 2) + Picture(350, 489, 1, 2), "#\n.\n.\n#\n");
    FillRect(0, 160, 0, 120, 0, 0, 0, 1);
    FillRect(1, 2, 1, 2, 1, 0, 0, 1); // one virtual pixel is a 4 x 4 block
    Capture();
    EXPECT_EQ(Picture(32, 12, 8, 6), "..oooo..\n..oooo..\n..oooo..\n..oooo..\n........\n........\n");
    FillVisibleArea(0, 0, 1, 0.5f); // the overlay blends over margins too
    FillVisibleArea(0, 0, 1, 1);
    Capture();
    EXPECT_EQ(At(0, 0), kBlue);
    EXPECT_EQ(At(699, 499), kBlue);
}

TEST_F(GlTest, RectanglesBlendOnlyBelowFullAlpha)
{
    OpenWindow(160, 120);
    FillRect(10, 20, 10, 20, 1, 1, 1, 1);
    FillRect(10, 20, 10, 20, 0, 0, 1, 0.5f);
    FillRect(30, 40, 10, 20, 0, 0, 1, 0.5f);
    Capture();
    EXPECT_NEAR(At(15, 15).red, 127, 1);
    EXPECT_EQ(At(15, 15).blue, 255);
    EXPECT_NEAR(At(35, 15).blue, 128, 1);
    FillRect(10, 20, 10, 20, 0, 1, 0, 1);
    Capture();
    EXPECT_EQ(At(15, 15), kGreen);
    // The rectangle covers left..right-1 and bottom..top-1.
    EXPECT_EQ(At(9, 15), kBlack);
    EXPECT_EQ(At(19, 19), kGreen);
    EXPECT_EQ(At(20, 15), kBlack);
    EXPECT_EQ(At(15, 20), kBlack);
}

class SpriteTest : public GlTest {
protected:
    Texture* Load(const std::string& name, const TestImage& image)
    {
        return AcquireTexture(String(WriteImage(name, image).c_str()), 0, 0, 0, 0);
    }
};

TEST_F(SpriteTest, KeyedTranslucentOpaqueAndMirroredSprites)
{
    OpenWindow(160, 120);
    TestImage keyed(3, 2, kWhite), soft(2, 1, Rgba{255, 255, 255, 128}), stripe(4, 1, kWhite);
    keyed.Set(1, 0, kBlack);
    soft.Set(1, 0, Rgba{255, 255, 255, 0});
    stripe.Set(0, 0, kRed);
    stripe.Set(1, 0, kGreen);
    Texture* a = Load("keyed.png", keyed);
    Texture* b = Load("soft.png", soft);
    Texture* c = Load("stripe.png", stripe);
    FillRect(0, 160, 0, 120, 1, 0, 0, 1);
    DrawSprite(a, 10, 20, false);
    DrawSprite(b, 50, 50, false);
    DrawSprite(c, 10, 10, false); // opaque after translucent: no blending left on
    DrawSprite(c, 10, 12, true);
    DrawSprite(nullptr, 0, 0, false);
    Capture();
    // The image's top row is the sprite's top row; black lets the red through.
    EXPECT_EQ(Picture(9, 20, 5, 2), "o#o#o\no###o\n");
    EXPECT_NEAR(At(50, 50).green, 128, 1);
    EXPECT_EQ(At(51, 50), kRed);
    EXPECT_EQ(At(10, 10), kRed);
    EXPECT_EQ(At(11, 10), kGreen);
    EXPECT_EQ(At(13, 10), kWhite);
    EXPECT_EQ(At(13, 12), kRed);
    EXPECT_EQ(At(12, 12), kGreen);
    EXPECT_EQ(At(10, 12), kWhite);
    for (Texture* t : {a, b, c})
        ReleaseTexture(t);
}

} // namespace
