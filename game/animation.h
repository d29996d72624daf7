// Animations: ordered frames, each an image shown for a number of ticks, and
// sprites that play them. A frame of duration d is current for d + 1 ticks,
// except the first after a reset, which is current for d; duration 0 holds
// the frame for good.
#pragma once

#include <cstdint>

struct Texture;

struct Frame {
    Texture* texture; // null when the image failed to load
    int32_t duration;
    Frame* previous;
    Frame* next;
};

struct Animation {
    Frame* first;
    Frame* last;
    int32_t count;

    // Appends a frame whose image comes from the texture cache.
    void AddFrame(const char* fileName, int32_t duration);
    // Gives every frame's image back to the texture cache and frees the frames.
    void Release();
};

// One tick of the frame-advance rule shared by sprites and spiders: the
// current frame counts a tick and moves on, looping, once it has shown for
// longer than its duration.
void AdvanceFrame(const Animation& animation, Frame*& frame, int32_t& frameTicks);

struct AnimatedSprite {
    Animation animation;
    Frame* frame;
    int32_t frameTicks;
    bool visible;
    int32_t x, y; // centre, in virtual-screen pixels

    void Init(int32_t x, int32_t y, bool visible);
    void Reset();
    void Advance();
    void Draw() const;
};
