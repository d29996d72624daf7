#include "render/sprite_queue.h"

#include "render/gl_state.h"
#include "render/quad_batch.h"
#include "render/renderer.h"
#include "render/texture.h"

namespace {

struct WaitingSprite {
    const Texture* texture;
    int32_t left, right, bottom, top;
    bool mirrored;
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

// A sprite lies a layer above every waiting sprite of another texture it
// overlaps, and in the layer of one of its own.
int32_t LayerFor(const WaitingSprite& sprite)
{
    int32_t layer = 0;
    for (int32_t i = 0; i < waitingCount; ++i) {
        const WaitingSprite& under = waiting[i];
        int32_t above = under.layer + (under.texture == sprite.texture ? 0 : 1);
        if (above > layer && Overlap(under, sprite))
            layer = above;
    }
    return layer;
}

void SetSpriteState(const Texture* texture)
{
    SetAlphaTest(texture->hasTransparency);
    SetBlend(texture->hasTranslucency);
    SetTexturing(true);
    SetModulate(false);
    BindTexture(texture->glName);
}

} // namespace

void QueueSprite(const Texture* texture, int32_t x, int32_t y, bool mirrored)
{
    if (waitingCount == kMostWaiting)
        DrawWaitingSprites();
    WaitingSprite sprite = {texture, x, x + texture->width, y, y + texture->height, mirrored, 0, false};
    sprite.layer = LayerFor(sprite);
    topLayer = sprite.layer > topLayer ? sprite.layer : topLayer;
    waiting[waitingCount++] = sprite;
    if (!renderer.drawingFrame || renderer.framePath == FramePath::Straight)
        DrawWaitingSprites();
}

// Layer by layer, one draw for each texture of the layer, its sprites in
// the order they came.
void DrawWaitingSprites()
{
    for (int32_t layer = 0; layer <= topLayer; ++layer) {
        for (int32_t first = 0; first < waitingCount; ++first) {
            if (waiting[first].layer != layer || waiting[first].drawn)
                continue;
            const Texture* texture = waiting[first].texture;
            for (int32_t i = first; i < waitingCount; ++i) {
                WaitingSprite& sprite = waiting[i];
                if (sprite.layer != layer || sprite.texture != texture)
                    continue;
                float leftS = sprite.mirrored ? 1 : 0;
                quads.Add(sprite.left, sprite.right, sprite.bottom, sprite.top, leftS, 1 - leftS, 0, 1);
                sprite.drawn = true;
            }
            SetSpriteState(texture);
            quads.Draw();
        }
    }
    waitingCount = topLayer = 0;
}
