// A spider: five animations, the one its flags call for, and a walk of one
// pixel a tick between horizontal bounds. The images face right; a flipped
// spider faces left.
#pragma once

#include <cstdint>

#include "game/animation.h"

struct Spider {
    Animation stand;
    Animation legRaise;
    Animation legLower;
    Animation walk;
    Animation dying;
    Frame* frame;
    Animation* animation;
    int32_t frameTicks;
    int32_t x, y; // centre, in virtual-screen pixels
    bool flipped;
    bool legRaised;
    bool walking;
    bool dead;

    void Init(int32_t x, int32_t y, bool flipped);
    // direction is -1, 0 or +1.
    void Update(int32_t direction, int32_t minX, int32_t maxX);
    void ChooseAnimation();
    void Draw() const;
    void ReleaseAnimations();
};
