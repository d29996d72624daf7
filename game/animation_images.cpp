#include <new>

#include "game/animation.h"
#include "game/spider.h"
#include "render/renderer.h"
#include "render/texture.h"
#include "render/texture_cache.h"
#include "text/linked_list.h"

void Animation::AddFrame(const char* fileName, int32_t duration)
{
    Frame* frame = new (std::nothrow) Frame{};
    if (!frame)
        return;
    AppendToList(first, last, count, frame);
    frame->texture = AcquireTexture(String(fileName), 0, 0, 0, 0);
    frame->duration = duration;
}

void Animation::Release()
{
    Frame* frame = first;
    while (frame) {
        Frame* next = frame->next;
        if (frame->texture)
            ReleaseTexture(frame->texture);
        delete frame;
        frame = next;
    }
    first = nullptr;
    last = nullptr;
    count = 0;
}

// Images are drawn centred on the position; a frame whose image failed to
// load draws nothing.
static void DrawCentred(const Frame* frame, int32_t x, int32_t y, bool mirrored)
{
    if (!frame || !frame->texture)
        return;
    const Texture* texture = frame->texture;
    DrawSprite(texture, x - texture->width / 2, y - texture->height / 2, mirrored);
}

void AnimatedSprite::Draw() const
{
    if (visible)
        DrawCentred(frame, x, y, false);
}

void Spider::Draw() const { DrawCentred(frame, x, y, flipped); }

void Spider::ReleaseAnimations()
{
    stand.Release();
    legRaise.Release();
    legLower.Release();
    walk.Release();
    dying.Release();
    frame = nullptr;
    animation = nullptr;
}
