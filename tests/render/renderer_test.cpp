// The virtual screen fitted to windows of every size, and what the drawing
// operations put on the screen: rectangles, overlays and sprites.
#include <gtest/gtest.h>

#include <vector>

#include "render/gl_api.h"
#include "render/renderer.h"
#include "render/texture_cache.h"
#include "tests/render/gl_fixture.h"

namespace {

struct SizeCase {
    int32_t width, height;
    double left, right, bottom, top; // the projection
    std::vector<int32_t> visible;    // left, right, bottom, top
};

void PrintTo(const SizeCase& c, std::ostream* out) { *out << c.width << "x" << c.height; }

const SizeCase kSizes[] = {
    {700, 500, -7.5, 167.5, -2.5, 122.5, {-8, 168, -3, 123}},
    {1920, 1080, -240.0 / 9, 160 + 240.0 / 9, 0, 120, {-27, 187, 0, 120}},
    {321, 241, 0, 160.5, 0, 120.5, {0, 161, 0, 121}}, // the odd pixel goes right and up
    {319, 239, -79, 240, -59, 180, {-79, 240, -59, 180}},
    // Smaller than the virtual screen: it shrinks to fit.
    {100, 100, 0, 160, -20, 140, {0, 160, -20, 140}},
    {200, 100, -40, 200, 0, 120, {-40, 200, 0, 120}},
    {159, 120, 0, 160, -0.3774, 120.3774, {0, 160, -1, 121}},
    // Float error of a few millionths must not widen the area.
    {2, 10, 0, 160, -340, 460, {0, 160, -340, 460}},
};

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
    EXPECT_EQ((std::vector<int32_t>{renderer.visibleLeft, renderer.visibleRight, renderer.visibleBottom,
                                    renderer.visibleTop}),
              c.visible);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowSizeTest, ::testing::ValuesIn(kSizes));

TEST_F(GlTest, ScaledScreenHasBlackMarginsTheOverlayCoversAndNoSizeKeeps)
{
    OpenWindow(700, 500);
    for (auto size : {std::pair<int32_t, int32_t>{0, 0}, {0, 300}, {300, 0}, {-5, -5}})
        ResizeRenderer(size.first, size.second);
    FillRect(0, 160, 0, 120, 1, 1, 1, 1);
    FillRect(1, 2, 1, 2, 1, 0, 0, 1);
    Capture();
    // At scale 4, 30 window pixels left and right and 10 below and above;
    // one virtual pixel is a 4 x 4 block.
    EXPECT_EQ(Picture(29, 250, 2, 1) + Picture(669, 250, 2, 1), ".#\n#.\n");
    EXPECT_EQ(Picture(350, 9, 1, 2) + Picture(350, 489, 1, 2), "#\n.\n.\n#\n");
    EXPECT_EQ(Picture(33, 13, 6, 6), "######\n#oooo#\n#oooo#\n#oooo#\n#oooo#\n######\n");
    FillVisibleArea(0, 0, 1, 0.5f); // the overlay blends over margins too
    FillVisibleArea(0, 0, 1, 1);
    Capture();
    EXPECT_EQ(At(0, 0), kBlue);
    EXPECT_EQ(At(699, 499), kBlue);
}

TEST_F(GlTest, RectanglesAndSpritesBlendOnlyWhereTheyAreTranslucent)
{
    OpenWindow(160, 120);
    TestImage keyed(3, 2, kWhite), soft(2, 1, Rgba{255, 255, 255, 128}), stripe(4, 1, kWhite);
    keyed.Set(1, 0, kBlack);
    soft.Set(1, 0, Rgba{255, 255, 255, 0});
    stripe.Set(0, 0, kRed);
    stripe.Set(1, 0, kGreen);
    auto load = [this](const char* name, const TestImage& image) {
        return AcquireTexture(String(WriteImage(name, image).c_str()), 0, 0, 0, 0);
    };
    Texture* sprites[] = {load("keyed.png", keyed), load("soft.png", soft), load("stripe.png", stripe)};
    FillRect(0, 160, 0, 120, 1, 0, 0, 1);
    FillRect(30, 40, 30, 40, 0, 0, 1, 0.5f);
    FillRect(50, 52, 30, 32, 1, 1, 1, 1);
    DrawSprite(sprites[0], 10, 20, false);
    DrawSprite(sprites[1], 50, 50, false);
    DrawSprite(sprites[2], 10, 10, false);
    DrawSprite(sprites[2], 10, 12, true);
    DrawSprite(nullptr, 0, 0, false);
    Capture();
    EXPECT_NEAR(At(35, 35).red, 127, 1);
    EXPECT_NEAR(At(35, 35).blue, 128, 1);
    // A rectangle covers left..right-1 and bottom..top-1.
    EXPECT_EQ(Picture(49, 29, 4, 4), "oooo\no##o\no##o\noooo\n");
    // The image's top row is the sprite's top row; black lets the red through.
    EXPECT_EQ(Picture(9, 20, 5, 2), "o#o#o\no###o\n");
    EXPECT_NEAR(At(50, 50).green, 128, 1);
    EXPECT_EQ(At(51, 50), kRed);
    // Green is '?': the stripe, then mirrored above it.
    EXPECT_EQ(Picture(9, 10, 6, 3), "o##?oo\noooooo\noo?##o\n");
    for (Texture* sprite : sprites)
        ReleaseTexture(sprite);
}

} // namespace
