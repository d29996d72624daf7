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
    int32_t batch;
};

const int32_t kMostWaiting = QuadBatch::kMostQuads;
WaitingSprite waiting[kMostWaiting];
int32_t waitingCount;
const Texture* batchTextures[kMostWaiting];
int32_t batchCount;
QuadBatch quads;

bool Overlap(const WaitingSprite& a, const WaitingSprite& b)
{
    return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

bool BatchOverlaps(int32_t batch, const WaitingSprite& sprite)
{
    for (int32_t i = 0; i < waitingCount; ++i)
        if (waiting[i].batch == batch && Overlap(waiting[i], sprite))
            return true;
    return false;
}

int32_t ChooseBatch(const WaitingSprite& sprite)
{
    for (int32_t batch = batchCount - 1; batch >= 0 && !BatchOverlaps(batch, sprite); --batch)
        if (batchTextures[batch] == sprite.texture)
            return batch;
    batchTextures[batchCount] = sprite.texture;
    return batchCount++;
}

} // namespace

void QueueSprite(const Texture* texture, int32_t x, int32_t y, bool mirrored)
{
    if (waitingCount == kMostWaiting)
        DrawWaitingSprites();
    WaitingSprite sprite = {texture, x, x + texture->width, y, y + texture->height, mirrored, 0};
    sprite.batch = ChooseBatch(sprite);
    waiting[waitingCount++] = sprite;
    if (!renderer.drawingFrame || renderer.framePath == FramePath::Straight)
        DrawWaitingSprites();
}

void DrawWaitingSprites()
{
    for (int32_t batch = 0; batch < batchCount; ++batch) {
        const Texture* texture = batchTextures[batch];
        SetAlphaTest(texture->hasTransparency);
        SetBlend(texture->hasTranslucency);
        SetTexturing(true);
        SetModulate(false);
        BindTexture(texture->glName);
        for (int32_t i = 0; i < waitingCount; ++i) {
            const WaitingSprite& sprite = waiting[i];
            float leftS = sprite.mirrored ? 1 : 0;
            if (sprite.batch == batch)
                quads.Add(sprite.left, sprite.right, sprite.bottom, sprite.top, leftS, 1 - leftS, 0, 1);
        }
        quads.Draw();
    }
    waitingCount = batchCount = 0;
}
