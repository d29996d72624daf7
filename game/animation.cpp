#include "game/animation.h"

void AdvanceFrame(const Animation& animation, Frame*& frame, int32_t& frameTicks)
{
    if (!frame || frame->duration <= 0)
        return;
    frameTicks += 1;
    if (frameTicks > frame->duration) {
        frame = frame->next ? frame->next : animation.first;
        frameTicks = 0;
    }
}

void AnimatedSprite::Init(int32_t atX, int32_t atY, bool isVisible)
{
    x = atX;
    y = atY;
    visible = isVisible;
    frame = nullptr;
    frameTicks = 0;
}

void AnimatedSprite::Reset()
{
    if (!frame)
        frame = animation.first;
}

void AnimatedSprite::Advance()
{
    Reset();
    AdvanceFrame(animation, frame, frameTicks);
}
