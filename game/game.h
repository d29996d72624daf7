// The courtship, tick by tick. One GameState for the whole run; UpdateGame
// advances it by one tick (1/60 s) and is the only writer, DrawGame only
// reads it.
#pragma once

#include <cstdint>

#include "game/animation.h"
#include "game/spider.h"
#include "render/virtual_screen.h"

struct SoundVoice;
struct Texture;

enum : int32_t {
    kHeartCount = 128,
    kMeterMin = 1000,
    kMeterMax = 10000,
    kMessageTicks = 240, // the outcome message stays 4 s
};

struct OverlayColour {
    float red, green, blue, alpha;
};

struct FallingHeart {
    AnimatedSprite sprite;
    int32_t fallTicks;
    int32_t fallPeriod; // ticks per pixel of fall
};

struct GameState {
    bool playing;
    bool spaceLatched; // space must be released before SpaceHeld reports it again
    int32_t fear;
    int32_t excitement;
    int32_t waveTicks;      // ticks left in the female's current wave
    int32_t answerDelay;    // ticks until she answers his wave
    int32_t responseWindow; // ticks in which his raised leg answers her own wave
    bool responseCredited;
    int32_t boostTicks; // ticks of Excitement gain owed to an answered wave
    bool lastWaveAnswered;
    bool previousWaveAnswered;
    bool chasedAway;
    bool killed;
    bool mating;
    SoundVoice* loveVoice;
    int32_t outcomeTicks;
    OverlayColour overlay;
    int32_t messageTicks;

    Spider male;
    Spider female;
    AnimatedSprite bigHeart;
    FallingHeart hearts[kHeartCount];

    Texture* title;
    uint32_t beepSound;
    uint32_t runAwaySound;
    uint32_t deathSound;
    uint32_t loveSound;

    uint32_t randomState;
};

extern GameState game;

// Puts the game back as at program start: title screen, meters at 1000 and
// the random generator at state 1. Assets already loaded are kept.
void ResetGameState();
void UpdateGame();
bool SpaceHeld();
// One draw of the game's linear congruential generator, 0..32767.
int32_t NextRandom();

// Loading, in the order the game needs: images and animations, then sounds,
// then the spiders and sprites in their starting places.
void InitGame();
void LoadGameImages();
void LoadGameSounds();
void PlaceGameSprites();
// Gives every frame's image back to the texture cache; run at exit before
// the cache is cleared.
void ReleaseGameAssets();

void DrawGame();
