// The virtual screen fitted to windows of many sizes, and what the drawing
// operations put on the screen and into the GL state.
#include <gtest/gtest.h>

#include "render/gl_api.h"
#include "render/gl_state.h"
#include "render/renderer.h"
#include "render/texture.h"
#include "render/texture_cache.h"
#include "tests/render/gl_fixture.h"

namespace {

struct Bounds {
    double left, right, bottom, top;
};

// The bounds glOrtho was given, recovered from the projection matrix.
Bounds ProjectionBounds()
{
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    double width = 2.0 / m[0], height = 2.0 / m[5];
    double left = (-m[12] - 1.0) * width / 2.0, bottom = (-m[13] - 1.0) * height / 2.0;
    return Bounds{left, left + width, bottom, bottom + height};
}

struct SizeCase {
    int32_t width, height;
    Bounds projection;
    int32_t visibleLeft, visibleRight, visibleBottom, visibleTop;
};

void PrintTo(const SizeCase& c, std::ostream* out) { *out << c.width << "x" << c.height; }

class WindowSizeTest : public GlTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(WindowSizeTest, ScaleMarginsAndVisibleArea)
{
    const SizeCase& c = GetParam();
    OpenWindow(c.width, c.height);
    Bounds b = ProjectionBounds();
    EXPECT_NEAR(b.left, c.projection.left, 0.01);
    EXPECT_NEAR(b.right, c.projection.right, 0.01);
    EXPECT_NEAR(b.bottom, c.projection.bottom, 0.01);
    EXPECT_NEAR(b.top, c.projection.top, 0.01);
    EXPECT_EQ(renderer.visibleLeft, c.visibleLeft);
    EXPECT_EQ(renderer.visibleRight, c.visibleRight);
    EXPECT_EQ(renderer.visibleBottom, c.visibleBottom);
    EXPECT_EQ(renderer.visibleTop, c.visibleTop);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], c.width);
    EXPECT_EQ(viewport[3], c.height);
    EXPECT_EQ(renderer.windowWidth, c.width);
    EXPECT_EQ(renderer.windowHeight, c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, WindowSizeTest,
    ::testing::Values(SizeCase{640, 480, {0, 160, 0, 120}, 0, 160, 0, 120},
                      SizeCase{700, 500, {-7.5, 167.5, -2.5, 122.5}, -8, 168, -3, 123},
                      SizeCase{161, 121, {0, 161, 0, 121}, 0, 161, 0, 121},
                      SizeCase{1920, 1080, {-240.0 / 9, 160 + 240.0 / 9, 0, 120}, -27, 187, 0, 120},
                      SizeCase{160, 120, {0, 160, 0, 120}, 0, 160, 0, 120},
                      // One spare pixel each way at scale 2: half a virtual pixel.
                      SizeCase{321, 241, {0, 160.5, 0, 120.5}, 0, 161, 0, 121},
                      // Smaller than the virtual screen: relatively tall, then wide.
                      SizeCase{100, 100, {0, 160, -20, 140}, 0, 160, -20, 140},
                      SizeCase{200, 100, {-40, 200, 0, 120}, -40, 200, 0, 120},
                      SizeCase{159, 120, {0, 160, -0.3774, 120.3774}, 0, 160, -1, 121},
                      SizeCase{80, 60, {0, 160, 0, 120}, 0, 160, 0, 120},
                      SizeCase{1, 1, {0, 160, -20, 140}, 0, 160, -20, 140},
                      SizeCase{319, 239, {-79, 240, -59, 180}, -79, 240, -59, 180}));

TEST_F(GlTest, WindowOfNoSizeChangesOnlyTheStoredSize)
{
    OpenWindow(700, 500);
    Bounds before = ProjectionBounds();
    for (auto size : {std::pair<int32_t, int32_t>{0, 0}, {0, 300}, {300, 0}, {-5, -5}}) {
        ResizeRenderer(size.first, size.second);
        EXPECT_EQ(renderer.windowWidth, size.first);
        EXPECT_EQ(renderer.windowHeight, size.second);
        Bounds after = ProjectionBounds();
        EXPECT_EQ(after.left, before.left);
        EXPECT_EQ(after.top, before.top);
        EXPECT_EQ(renderer.visibleLeft, -8);
        EXPECT_EQ(renderer.visibleTop, 123);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 700);
    }
}

TEST_F(GlTest, StartSetsTheFixedStateAndAllTrackedStatesOff)
{
    OpenWindow(160, 120);
    GLint value = 0;
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_PROJECTION);
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_FLAT);
    EXPECT_FALSE(glIsEnabled(GL_DITHER));
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(value, GL_NOTEQUAL);
    GLfloat reference = 1;
    glGetFloatv(GL_ALPHA_TEST_REF, &reference);
    EXPECT_EQ(reference, 0.0f);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_REPLACE);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(glState.alphaTestOn || glState.blendOn || glState.texturingOn || glState.modulateOn);
    EXPECT_EQ(glState.boundTexture, 0u);
    EXPECT_FLOAT_EQ(renderer.virtualAspect, 160.0f / 120.0f);
}

TEST_F(GlTest, MarginsStayBlackAroundTheScaledScreen)
{
    OpenWindow(700, 500);
    FillRect(0, 160, 0, 120, 1, 1, 1, 1);
    Capture();
    SaveCapture("margins.png");
    // 30 window pixels left and right, 10 below and above, at scale 4.
    EXPECT_EQ(At(29, 250), kBlack);
    EXPECT_EQ(At(30, 250), kWhite);
    EXPECT_EQ(At(669, 250), kWhite);
    EXPECT_EQ(At(670, 250), kBlack);
    EXPECT_EQ(At(350, 9), kBlack);
    EXPECT_EQ(At(350, 10), kWhite);
    EXPECT_EQ(At(350, 489), kWhite);
    EXPECT_EQ(At(350, 490), kBlack);
    // One virtual pixel is a 4 x 4 block.
    FillRect(0, 160, 0, 120, 0, 0, 0, 1);
    FillRect(1, 2, 1, 2, 1, 0, 0, 1);
    Capture();
    EXPECT_EQ(Picture(32, 12, 10, 6), "..oooo....\n"
                                      "..oooo....\n"
                                      "..oooo....\n"
                                      "..oooo....\n"
                                      "..........\n"
                                      "..........\n");
}

TEST_F(GlTest, OddSparePixelGoesRightAndTop)
{
    OpenWindow(161, 121);
    FillRect(0, 160, 0, 120, 1, 1, 1, 1);
    Capture();
    EXPECT_EQ(At(0, 0), kWhite);
    EXPECT_EQ(At(159, 119), kWhite);
    EXPECT_EQ(At(160, 60), kBlack);
    EXPECT_EQ(At(80, 120), kBlack);
}

TEST_F(GlTest, SmallWindowShrinksTheScreenAndTheOverlayFillsIt)
{
    OpenWindow(100, 100);
    FillRect(0, 160, 0, 120, 1, 1, 1, 1);
    Capture();
    // 160 x 120 shrunk to 100 x 75, centred with 12.5 pixels above and below.
    EXPECT_EQ(At(50, 11), kBlack);
    EXPECT_EQ(At(50, 13), kWhite);
    EXPECT_EQ(At(50, 86), kWhite);
    EXPECT_EQ(At(50, 88), kBlack);
    EXPECT_EQ(At(0, 50), kWhite);
    EXPECT_EQ(At(99, 50), kWhite);
    FillVisibleArea(1, 0, 0, 1);
    Capture();
    for (auto corner : {std::pair<int32_t, int32_t>{0, 0}, {99, 0}, {0, 99}, {99, 99}})
        EXPECT_EQ(At(corner.first, corner.second), kRed);
}

TEST_F(GlTest, OverlayCoversTheMarginsAndBlendsWhateverItsAlpha)
{
    OpenWindow(700, 500);
    FillRect(0, 160, 0, 120, 1, 1, 1, 1);
    FillVisibleArea(1, 0, 0, 0.5f);
    Capture();
    SaveCapture("overlay.png");
    Rgba inside = At(350, 250), margin = At(5, 5);
    EXPECT_EQ(inside.red, 255);
    EXPECT_NEAR(inside.green, 128, 1);
    EXPECT_NEAR(margin.red, 128, 1);
    EXPECT_EQ(margin.green, 0);
    FillVisibleArea(0, 0, 1, 1);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    Capture();
    EXPECT_EQ(At(0, 0), kBlue);
    EXPECT_EQ(At(699, 499), kBlue);
}

TEST_F(GlTest, FillRectBlendsOnlyBelowFullAlpha)
{
    OpenWindow(160, 120);
    FillRect(10, 20, 10, 20, 1, 1, 1, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glState.blendOn);
    FillRect(10, 20, 10, 20, 0, 0, 1, 0.5f);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    FillRect(30, 40, 10, 20, 0, 0, 1, 0.5f);
    Capture();
    Rgba blended = At(15, 15), overBlack = At(35, 15);
    EXPECT_NEAR(blended.red, 127, 1);
    EXPECT_NEAR(blended.blue, 255, 1);
    EXPECT_NEAR(overBlack.red, 0, 1);
    EXPECT_NEAR(overBlack.blue, 128, 1);
    FillRect(10, 20, 10, 20, 0, 1, 0, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    Capture();
    EXPECT_EQ(At(15, 15), kGreen);
    // The rectangle covers left..right-1 and bottom..top-1.
    EXPECT_EQ(At(9, 15), kBlack);
    EXPECT_EQ(At(19, 15), kGreen);
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

TEST_F(SpriteTest, ColourKeyedSpriteLetsTheBackgroundThrough)
{
    OpenWindow(160, 120);
    TestImage image(3, 2, kWhite);
    image.Set(1, 0, kBlack);
    Texture* texture = Load("keyed.png", image);
    ASSERT_NE(texture, nullptr);
    FillRect(0, 160, 0, 120, 1, 0, 0, 1);
    DrawSprite(texture, 10, 20, false);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    Capture();
    // The image's top row is the sprite's top row.
    EXPECT_EQ(Picture(9, 20, 5, 2), "o#o#o\n"
                                    "o###o\n");
    ReleaseTexture(texture);
}

TEST_F(SpriteTest, OpaqueSpriteAfterAKeyedOneSwitchesTheAlphaTestOff)
{
    OpenWindow(160, 120);
    TestImage keyed(2, 2, kWhite), opaque(2, 2, kGreen);
    keyed.Set(0, 0, kBlack);
    Texture* a = Load("a.png", keyed);
    Texture* b = Load("b.png", opaque);
    DrawSprite(a, 0, 0, false);
    EXPECT_TRUE(glState.alphaTestOn);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    DrawSprite(b, 4, 0, false);
    EXPECT_FALSE(glState.alphaTestOn);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), b->glName);
    ReleaseTexture(a);
    ReleaseTexture(b);
}

TEST_F(SpriteTest, TranslucentSpriteBlends)
{
    OpenWindow(160, 120);
    TestImage image(2, 1, Rgba{255, 255, 255, 128});
    image.Set(1, 0, Rgba{255, 255, 255, 0});
    Texture* texture = Load("soft.png", image);
    ASSERT_TRUE(texture->hasTransparency && texture->hasTranslucency);
    FillRect(0, 160, 0, 120, 1, 0, 0, 1);
    DrawSprite(texture, 50, 50, false);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    Capture();
    Rgba half = At(50, 50);
    EXPECT_EQ(half.red, 255);
    EXPECT_NEAR(half.green, 128, 1);
    EXPECT_EQ(At(51, 50), kRed);
    ReleaseTexture(texture);
}

TEST_F(SpriteTest, MirroredSpriteShowsTheLeftColumnAtTheRightEdge)
{
    OpenWindow(160, 120);
    TestImage image(4, 1, kWhite);
    image.Set(0, 0, kRed);
    image.Set(1, 0, kGreen);
    Texture* texture = Load("stripe.png", image);
    DrawSprite(texture, 10, 10, false);
    DrawSprite(texture, 10, 12, true);
    Capture();
    SaveCapture("mirror.png");
    EXPECT_EQ(At(10, 10), kRed);
    EXPECT_EQ(At(11, 10), kGreen);
    EXPECT_EQ(At(13, 10), kWhite);
    EXPECT_EQ(At(13, 12), kRed);
    EXPECT_EQ(At(12, 12), kGreen);
    EXPECT_EQ(At(10, 12), kWhite);
    EXPECT_EQ(At(14, 12), kBlack);
    ReleaseTexture(texture);
}

TEST_F(SpriteTest, TheStateRecordSkipsCallsThatChangeNothing)
{
    OpenWindow(160, 120);
    Texture* texture = Load("same.png", TestImage(2, 2, kWhite));
    DrawSprite(texture, 0, 0, false);
    // Behind the record's back: if a second draw asked GL again, these would
    // be undone.
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    DrawSprite(texture, 4, 0, false);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glState.texturingOn);

    SetBlend(true);
    glDisable(GL_BLEND);
    SetBlend(true);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    SetBlend(false);
    SetBlend(true);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    ReleaseTexture(texture);
}

TEST_F(SpriteTest, NewTextureCountsAsBoundAndSpritesSwitchBackToReplace)
{
    OpenWindow(160, 120);
    Texture* texture = Load("fresh.png", TestImage(2, 2, kWhite));
    EXPECT_EQ(glState.boundTexture, texture->glName);
    SetModulate(true);
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    glColor4f(1, 0, 0, 1);
    DrawSprite(texture, 0, 0, false);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_REPLACE);
    Capture();
    EXPECT_EQ(At(0, 0), kWhite);
    ReleaseTexture(texture);
}

TEST_F(SpriteTest, ImageThatFailedToLoadDrawsNothing)
{
    OpenWindow(160, 120);
    EXPECT_EQ(AcquireTexture(String(TempPath("missing.png").c_str()), 0, 0, 0, 0), nullptr);
    DrawSprite(nullptr, 0, 0, false);
    Texture failed;
    EXPECT_FALSE(failed.Load(String(TempPath("missing.png").c_str()), 0, 0, 0, 0));
    DrawSprite(&failed, 0, 0, true);
    EXPECT_FALSE(glState.texturingOn);
    Capture();
    EXPECT_EQ(At(0, 0), kBlack);
}

} // namespace
