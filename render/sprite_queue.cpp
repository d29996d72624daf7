#include "render/sprite_queue.h"

#include "render/gl_state.h"
#include "render/quad_batch.h"
#include "render/renderer.h"
#include "render/texture.h"

namespace {

// What a sprite is drawn with: a texture (its own or the sprite sheet), the
// alpha test and blending; sprites of one look can share a draw.
struct Look {
    uint32_t glName;
    bool alphaTest, blend;
    bool operator==(const Look& o) const { return glName == o.glName && alphaTest == o.alphaTest && blend == o.blend; }
};

struct WaitingSprite {
    Look look;
    int32_t left, right, bottom, top;
    float sLeft, sRight, tTop, tBottom;
    int32_t layer;
    bool drawn;
};

const int32_t kMostWaiting = QuadBatch::kMostQuads;
WaitingSprite waiting[kMostWaiting];
int32_t waitingCount;
int32_t topLayer;
QuadBatch quads;

bool Overlap(const WaitingSprite& a, const WaitingSprite& b)
{
    return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

// A sprite lies a layer above every waiting sprite of another look it
// overlaps, and in the layer of one of its own.
int32_t LayerFor(const WaitingSprite& sprite)
{
    int32_t layer = 0;
    for (int32_t i = 0; i < waitingCount; ++i) {
        const WaitingSprite& under = waiting[i];
        int32_t above = under.layer + (under.look == sprite.look ? 0 : 1);
        if (above > layer && Overlap(under, sprite))
            layer = above;
    }
    return layer;
}

void SetLook(const Look& look)
{
    SetAlphaTest(look.alphaTest);
    SetBlend(look.blend);
    SetTexturing(true);
    SetModulate(false);
    BindTexture(look.glName);
}

} // namespace

void QueueSprite(const Texture* texture, int32_t x, int32_t y, bool mirrored)
{
    if (waitingCount == kMostWaiting)
        DrawWaitingSprites();
    // Drawn one by one, as when each quad is drawn in turn, a sprite keeps
    // its own texture; batched, it takes the sheet's copy where it has one.
    bool batched = renderer.drawingFrame && renderer.framePath != FramePath::Straight;
    bool sheet = batched && texture->sheetName != 0;
    WaitingSprite sprite = {
        {sheet ? texture->sheetName : texture->glName, texture->hasTransparency, texture->hasTranslucency},
        x,
        x + texture->width,
        y,
        y + texture->height,
        sheet ? texture->sheetLeft : 0,
        sheet ? texture->sheetRight : 1,
        sheet ? texture->sheetTop : 0,
        sheet ? texture->sheetBottom : 1,
        0,
        false};
    if (mirrored) {
        float left = sprite.sLeft;
        sprite.sLeft = sprite.sRight;
        sprite.sRight = left;
    }
    sprite.layer = LayerFor(sprite);
    topLayer = sprite.layer > topLayer ? sprite.layer : topLayer;
    waiting[waitingCount++] = sprite;
    if (!batched)
        DrawWaitingSprites();
}

// Layer by layer, one draw for each look of the layer, its sprites in the
// order they came.
void DrawWaitingSprites()
{
    for (int32_t layer = 0; layer <= topLayer; ++layer) {
        for (int32_t first = 0; first < waitingCount; ++first) {
            if (waiting[first].layer != layer || waiting[first].drawn)
                continue;
            const Look look = waiting[first].look;
            for (int32_t i = first; i < waitingCount; ++i) {
                WaitingSprite& sprite = waiting[i];
                if (sprite.layer != layer || !(sprite.look == look))
                    continue;
                quads.Add(sprite.left, sprite.right, sprite.bottom, sprite.top, sprite.sLeft, sprite.sRight,
                          sprite.tTop, sprite.tBottom);
                sprite.drawn = true;
            }
            SetLook(look);
            quads.Draw();
        }
    }
    waitingCount = topLayer = 0;
}
