#include "game/spider.h"

void Spider::Init(int32_t atX, int32_t atY, bool facingLeft)
{
    x = atX;
    y = atY;
    flipped = facingLeft;
    frame = nullptr;
    animation = nullptr;
    frameTicks = 0;
    legRaised = false;
    walking = false;
    dead = false;
}

void Spider::Update(int32_t direction, int32_t minX, int32_t maxX)
{
    if (!dead && direction < 0) {
        flipped = true;
        walking = true;
        x += direction;
        if (x < minX)
            x = minX;
    } else if (!dead && direction > 0) {
        flipped = false;
        walking = true;
        x += direction;
        if (x > maxX)
            x = maxX;
    } else {
        walking = false;
    }
    ChooseAnimation();
    if (animation)
        AdvanceFrame(*animation, frame, frameTicks);
}

void Spider::ChooseAnimation()
{
    Animation* wanted;
    if (dead)
        wanted = &dying;
    else if (walking)
        wanted = &walk; // walking hides the raised leg
    else if (legRaised)
        wanted = &legRaise;
    else if (animation == &legRaise || animation == &legLower)
        wanted = &legLower; // lowering stays on its last frame afterwards
    else
        wanted = &stand;
    if (wanted != animation) {
        animation = wanted;
        frame = wanted->first;
        frameTicks = 0;
    }
}
