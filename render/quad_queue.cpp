#include "render/quad_queue.h"

#include "render/gl_api.h"
#include "render/gl_state.h"
#include "render/quad_batch.h"
#include "render/renderer.h"

namespace {

struct WaitingQuad {
    QuadLook look;
    int32_t left, right, bottom, top;
    float sLeft, sRight, tTop, tBottom;
    int32_t layer;
    bool drawn;
};

const int32_t kMostWaiting = QuadBatch::kMostQuads;
WaitingQuad waiting[kMostWaiting];
int32_t waitingCount;
int32_t topLayer;
QuadBatch quads;

bool Overlap(const WaitingQuad& a, const WaitingQuad& b)
{
    return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

int32_t LayerFor(const WaitingQuad& quad)
{
    int32_t layer = 0;
    for (int32_t i = 0; i < waitingCount; ++i) {
        const WaitingQuad& under = waiting[i];
        int32_t above = under.layer + (under.look == quad.look ? 0 : 1);
        if (above > layer && Overlap(under, quad))
            layer = above;
    }
    return layer;
}

void SetLook(const QuadLook& look)
{
    bool textured = look.glName != 0;
    SetAlphaTest(look.alphaTest);
    SetBlend(look.blend);
    SetTexturing(textured);
    if (textured) {
        SetModulate(look.modulate);
        BindTexture(look.glName);
    }
    if (!textured || look.modulate)
        glColor4f(look.red, look.green, look.blue, look.alpha);
}

} // namespace

void QueueQuad(const QuadLook& look, int32_t left, int32_t right, int32_t bottom, int32_t top, float sLeft,
               float sRight, float tTop, float tBottom)
{
    if (waitingCount == kMostWaiting)
        DrawWaitingQuads();
    WaitingQuad quad = {look, left, right, bottom, top, sLeft, sRight, tTop, tBottom, 0, false};
    quad.layer = LayerFor(quad);
    topLayer = quad.layer > topLayer ? quad.layer : topLayer;
    waiting[waitingCount++] = quad;
    if (!QuadsWait())
        DrawWaitingQuads();
}

bool QuadsWait() { return renderer.drawingFrame && renderer.framePath != FramePath::Straight; }

// Layer by layer, one draw for each look of the layer.
void DrawWaitingQuads()
{
    for (int32_t layer = 0; layer <= topLayer; ++layer) {
        for (int32_t first = 0; first < waitingCount; ++first) {
            if (waiting[first].layer != layer || waiting[first].drawn)
                continue;
            const QuadLook look = waiting[first].look;
            for (int32_t i = first; i < waitingCount; ++i) {
                WaitingQuad& quad = waiting[i];
                if (quad.layer != layer || !(quad.look == look))
                    continue;
                quads.Add(quad.left, quad.right, quad.bottom, quad.top, quad.sLeft, quad.sRight, quad.tTop,
                          quad.tBottom);
                quad.drawn = true;
            }
            SetLook(look);
            quads.Draw();
        }
    }
    waitingCount = topLayer = 0;
}
