#include "render/renderer.h"

#include "render/gl_api.h"
#include "render/gl_state.h"
#include "render/texture.h"

Renderer renderer;

namespace {
// How far from a whole number a bound may lie and still count as it, so that
// float error never widens the visible area by a pixel.
const float kWholeTolerance = 0.001f;

// Truncates towards zero, keeping far-off values inside the 32-bit range.
int32_t Truncate(float value)
{
    if (!(value > -2147483520.0f))
        return INT32_MIN + 128;
    if (value > 2147483520.0f)
        return INT32_MAX - 128;
    return int32_t(value);
}

int32_t RoundDown(float value)
{
    int32_t whole = Truncate(value);
    if (float(whole) - value > kWholeTolerance)
        whole -= 1;
    return whole;
}

int32_t RoundUp(float value)
{
    int32_t whole = Truncate(value);
    if (value - float(whole) > kWholeTolerance)
        whole += 1;
    return whole;
}

struct Projection {
    float left, right, bottom, top;
};

// The whole-number scale s: each virtual pixel covers s x s window pixels and
// the odd spare pixel goes to the right and top margins.
Projection ScaledProjection(int32_t windowWidth, int32_t windowHeight, int32_t scale)
{
    int32_t spareWidth = windowWidth - scale * renderer.virtualWidth;
    int32_t spareHeight = windowHeight - scale * renderer.virtualHeight;
    int32_t leftMargin = spareWidth / 2, rightMargin = spareWidth - spareWidth / 2;
    int32_t bottomMargin = spareHeight / 2, topMargin = spareHeight - spareHeight / 2;
    float s = float(scale);
    return Projection{-(float(leftMargin) / s), float(renderer.virtualWidth) + float(rightMargin) / s,
                      -(float(bottomMargin) / s), float(renderer.virtualHeight) + float(topMargin) / s};
}

// A window smaller than the virtual screen: the screen shrinks to fit one
// direction, keeping its aspect, and is centred in the other.
Projection ShrunkProjection(int32_t windowWidth, int32_t windowHeight)
{
    float virtualWidth = float(renderer.virtualWidth), virtualHeight = float(renderer.virtualHeight);
    float ratio = float(windowWidth) / float(windowHeight);
    if (ratio < renderer.virtualAspect) {
        float visibleHeight = renderer.virtualAspect / ratio * virtualHeight;
        float offset = (visibleHeight - virtualHeight) * 0.5f;
        return Projection{0, virtualWidth, -offset, visibleHeight - offset};
    }
    if (ratio > renderer.virtualAspect) {
        float visibleWidth = ratio / renderer.virtualAspect * virtualWidth;
        float offset = (visibleWidth - virtualWidth) * 0.5f;
        return Projection{-offset, visibleWidth - offset, 0, virtualHeight};
    }
    return Projection{0, virtualWidth, 0, virtualHeight};
}

void DrawQuad(int32_t left, int32_t right, int32_t bottom, int32_t top)
{
    glBegin(GL_QUADS);
    glVertex2i(left, top);
    glVertex2i(left, bottom);
    glVertex2i(right, bottom);
    glVertex2i(right, top);
    glEnd();
}
} // namespace

bool InitRenderer(int32_t virtualWidth, int32_t virtualHeight, const String& dataFolder, const String& fontFolder,
                  const String& fontFileName)
{
    renderer.virtualWidth = virtualWidth;
    renderer.virtualHeight = virtualHeight;
    renderer.virtualAspect = virtualHeight > 0 ? float(virtualWidth) / float(virtualHeight) : 0.0f;
    renderer.visibleLeft = 0;
    renderer.visibleRight = virtualWidth;
    renderer.visibleBottom = 0;
    renderer.visibleTop = virtualHeight;

    glMatrixMode(GL_PROJECTION);
    glShadeModel(GL_FLAT);
    glDisable(GL_DITHER);
    glAlphaFunc(GL_NOTEQUAL, 0.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    ResetGlState();

    return LoadFont(renderer.font, dataFolder, fontFolder, fontFileName);
}

void ResizeRenderer(int32_t windowWidth, int32_t windowHeight)
{
    renderer.windowWidth = windowWidth;
    renderer.windowHeight = windowHeight;
    if (windowWidth < 1 || windowHeight < 1 || renderer.virtualWidth < 1 || renderer.virtualHeight < 1)
        return;
    glViewport(0, 0, windowWidth, windowHeight);

    int32_t widthScale = windowWidth / renderer.virtualWidth;
    int32_t heightScale = windowHeight / renderer.virtualHeight;
    int32_t scale = widthScale < heightScale ? widthScale : heightScale;
    Projection projection =
        scale >= 1 ? ScaledProjection(windowWidth, windowHeight, scale) : ShrunkProjection(windowWidth, windowHeight);

    renderer.visibleLeft = RoundDown(projection.left);
    renderer.visibleRight = RoundUp(projection.right);
    renderer.visibleBottom = RoundDown(projection.bottom);
    renderer.visibleTop = RoundUp(projection.top);
    glLoadIdentity();
    glOrtho(projection.left, projection.right, projection.bottom, projection.top, -1.0, 1.0);
}

void ClearScreen() { glClear(GL_COLOR_BUFFER_BIT); }

void DrawSprite(const Texture* texture, int32_t x, int32_t y, bool mirrored)
{
    // An image that failed to load has nothing to draw.
    if (!texture || texture->glName == 0)
        return;
    SetAlphaTest(texture->hasTransparency);
    SetBlend(texture->hasTranslucency);
    SetTexturing(true);
    SetModulate(false);
    BindTexture(texture->glName);

    GLint leftS = mirrored ? 1 : 0, rightS = mirrored ? 0 : 1;
    int32_t right = x + texture->width, top = y + texture->height;
    glBegin(GL_QUADS);
    glTexCoord2i(leftS, 0);
    glVertex2i(x, top);
    glTexCoord2i(leftS, 1);
    glVertex2i(x, y);
    glTexCoord2i(rightS, 1);
    glVertex2i(right, y);
    glTexCoord2i(rightS, 0);
    glVertex2i(right, top);
    glEnd();
}

void FillRect(int32_t left, int32_t right, int32_t bottom, int32_t top, float red, float green, float blue, float alpha)
{
    SetAlphaTest(false);
    SetBlend(alpha < 1.0f);
    SetTexturing(false);
    glColor4f(red, green, blue, alpha);
    DrawQuad(left, right, bottom, top);
}

void FillVisibleArea(float red, float green, float blue, float alpha)
{
    SetAlphaTest(false);
    SetBlend(true);
    SetTexturing(false);
    glColor4f(red, green, blue, alpha);
    DrawQuad(renderer.visibleLeft, renderer.visibleRight, renderer.visibleBottom, renderer.visibleTop);
}
