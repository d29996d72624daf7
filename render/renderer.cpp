#include "render/renderer.h"

#include "render/gl_api.h"
#include "render/gl_state.h"
#include "render/quad_batch.h"
#include "render/quad_queue.h"
#include "render/sprite_sheet.h"
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

void LoadProjection(const Projection& projection)
{
    glLoadIdentity();
    glOrtho(projection.left, projection.right, projection.bottom, projection.top, -1.0, 1.0);
}

Projection windowProjection;
int32_t mostTextureSide;
QuadBatch picture; // the 1x picture's one quad over the window

void DeleteCopyTexture()
{
    if (renderer.copyTexture != 0)
        DeleteGlTexture(renderer.copyTexture);
    renderer.copyTexture = 0;
    renderer.copyReady = false;
    renderer.copiedKey = 0;
}

int32_t PowerOfTwoAtLeast(int32_t length)
{
    int32_t side = 1;
    while (side < length && side < (1 << 30))
        side *= 2;
    return side;
}

// Frames can be copied when the window is scaled by 2 or more and the 1x
// picture fits both the back buffer and a texture, whose sides OpenGL 1.1
// wants to be powers of two. The texture is made anew only when its size
// changes.
void PrepareCopy()
{
    renderer.pictureWidth = renderer.visibleRight - renderer.visibleLeft;
    renderer.pictureHeight = renderer.visibleTop - renderer.visibleBottom;
    int32_t textureWidth = PowerOfTwoAtLeast(renderer.pictureWidth);
    int32_t textureHeight = PowerOfTwoAtLeast(renderer.pictureHeight);
    renderer.copyReady = renderer.framePath != FramePath::Straight && renderer.scale >= 2 &&
                         renderer.pictureWidth <= renderer.windowWidth &&
                         renderer.pictureHeight <= renderer.windowHeight && textureWidth <= mostTextureSide &&
                         textureHeight <= mostTextureSide;
    glScissor(0, 0, renderer.pictureWidth, renderer.pictureHeight);
    renderer.copiedKey = 0; // another visible area, another picture
    // The first frame at a new size is drawn straight: Mesa under X showed
    // a copied first frame of a window just made full screen at its old size.
    renderer.lastFrameFill = 0;
    if (!renderer.copyReady || (renderer.copyTexture != 0 && textureWidth == renderer.copyTextureWidth &&
                                textureHeight == renderer.copyTextureHeight))
        return;
    DeleteCopyTexture();
    renderer.copyTexture =
        CreateGlTexture(nullptr, TexelFormat::Rgb, textureWidth, textureHeight, true, true, false, false);
    renderer.copyTextureWidth = textureWidth;
    renderer.copyTextureHeight = textureHeight;
    renderer.copyReady = renderer.copyTexture != 0;
}

// Copying costs a quad over the window besides the 1x fill; drawing straight
// costs the window's clear besides the fill scaled.
bool CopyingIsCheaper()
{
    int64_t scale = renderer.scale;
    return renderer.lastFrameFill * scale * scale > int64_t(renderer.windowWidth) * renderer.windowHeight;
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
    // A new context holds no copy texture yet.
    renderer.copyReady = renderer.copying = false;
    renderer.copyTexture = renderer.copiedKey = 0;
    renderer.copyTextureWidth = renderer.copyTextureHeight = 0;

    GLint mostSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &mostSide);
    mostTextureSide = mostSide;
    glMatrixMode(GL_PROJECTION);
    glShadeModel(GL_FLAT);
    glDisable(GL_DITHER);
    glAlphaFunc(GL_NOTEQUAL, 0.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    ResetGlState();
    MakeSpriteSheet(mostTextureSide);

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
    renderer.scale = scale;
    windowProjection =
        scale >= 1 ? ScaledProjection(windowWidth, windowHeight, scale) : ShrunkProjection(windowWidth, windowHeight);

    renderer.visibleLeft = RoundDown(windowProjection.left);
    renderer.visibleRight = RoundUp(windowProjection.right);
    renderer.visibleBottom = RoundDown(windowProjection.bottom);
    renderer.visibleTop = RoundUp(windowProjection.top);
    LoadProjection(windowProjection);
    PrepareCopy();
}

void ReleaseRenderer()
{
    DeleteSpriteSheet();
    DeleteCopyTexture();
}

bool BeginFrame(uint32_t samePictureKey)
{
    renderer.copying = renderer.copyReady && (renderer.framePath == FramePath::Copied || CopyingIsCheaper());
    renderer.showingCopy = renderer.copying && samePictureKey != 0 && samePictureKey == renderer.copiedKey;
    if (renderer.showingCopy)
        return false;
    renderer.frameFill = 0;
    renderer.drawingFrame = true;
    if (!renderer.copying)
        return true;
    renderer.copiedKey = samePictureKey;
    // A window pixel a virtual pixel, the visible area in the bottom-left
    // corner and nothing drawn past it. The viewport stays the window's: a
    // new viewport would have the GL take up a new window size mid-frame.
    glEnable(GL_SCISSOR_TEST);
    LoadProjection(Projection{float(renderer.visibleLeft), float(renderer.visibleLeft + renderer.windowWidth),
                              float(renderer.visibleBottom), float(renderer.visibleBottom + renderer.windowHeight)});
    return true;
}

void EndFrame()
{
    DrawWaitingQuads();
    renderer.drawingFrame = false;
    if (!renderer.showingCopy)
        renderer.lastFrameFill = renderer.frameFill;
    if (!renderer.copying)
        return;
    renderer.copying = false;
    SetAlphaTest(false);
    SetBlend(false);
    SetTexturing(true);
    SetModulate(false);
    BindTexture(renderer.copyTexture);
    if (!renderer.showingCopy) {
        glDisable(GL_SCISSOR_TEST);
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, renderer.pictureWidth, renderer.pictureHeight);
        LoadProjection(windowProjection);
    }
    // The back buffer's bottom row is the texture's first.
    picture.Add(renderer.visibleLeft, renderer.visibleRight, renderer.visibleBottom, renderer.visibleTop, 0,
                float(renderer.pictureWidth) / float(renderer.copyTextureWidth),
                float(renderer.pictureHeight) / float(renderer.copyTextureHeight), 0);
    picture.Draw();
}

void CountFill(int32_t left, int32_t right, int32_t bottom, int32_t top)
{
    int64_t width = int64_t(right < renderer.visibleRight ? right : renderer.visibleRight) -
                    (left > renderer.visibleLeft ? left : renderer.visibleLeft);
    int64_t height = int64_t(top < renderer.visibleTop ? top : renderer.visibleTop) -
                     (bottom > renderer.visibleBottom ? bottom : renderer.visibleBottom);
    if (width > 0 && height > 0)
        renderer.frameFill += width * height;
}

void ClearScreen()
{
    DrawWaitingQuads();
    glClear(GL_COLOR_BUFFER_BIT);
}

void DrawSprite(const Texture* texture, int32_t x, int32_t y, bool mirrored)
{
    // An image that failed to load has nothing to draw.
    if (!texture || texture->glName == 0)
        return;
    // Waiting for a batch, a sprite takes the sprite sheet's copy where it
    // has one; drawn at once, its own texture.
    bool sheet = texture->sheetName != 0 && QuadsWait();
    QuadLook look = {sheet ? texture->sheetName : texture->glName,
                     false,
                     texture->hasTransparency,
                     texture->hasTranslucency,
                     1,
                     1,
                     1,
                     1};
    float left = sheet ? texture->sheetLeft : 0, right = sheet ? texture->sheetRight : 1;
    int32_t spriteRight = x + texture->width, spriteTop = y + texture->height;
    CountFill(x, spriteRight, y, spriteTop);
    QueueQuad(look, x, spriteRight, y, spriteTop, mirrored ? right : left, mirrored ? left : right,
              sheet ? texture->sheetTop : 0, sheet ? texture->sheetBottom : 1);
}

void FillRect(int32_t left, int32_t right, int32_t bottom, int32_t top, float red, float green, float blue, float alpha)
{
    CountFill(left, right, bottom, top);
    QueueQuad(QuadLook{0, false, false, alpha < 1.0f, red, green, blue, alpha}, left, right, bottom, top, 0, 0, 0, 0);
}

void FillVisibleArea(float red, float green, float blue, float alpha)
{
    CountFill(renderer.visibleLeft, renderer.visibleRight, renderer.visibleBottom, renderer.visibleTop);
    QueueQuad(QuadLook{0, false, false, true, red, green, blue, alpha}, renderer.visibleLeft, renderer.visibleRight,
              renderer.visibleBottom, renderer.visibleTop, 0, 0, 0, 0);
}
