#include "bench/draw/bench_scenes.h"

#include <cstdio>

#include "app/diagnostics.h"
#include "app/platform.h"
#include "app/posix/posix_files.h"
#include "game/game.h"

namespace {

bool keys[256];

void NoKeys(long) { keys[kKeySpace] = keys[kKeyLeft] = keys[kKeyRight] = false; }

// Waves every so often and shuffles ten steps right and back, never near
// enough to her, nor fast enough, for her Fear to end the game.
void Courting(long t)
{
    keys[kKeySpace] = t % 90 < 40;
    keys[kKeyRight] = t % 200 < 10;
    keys[kKeyLeft] = t % 200 >= 100 && t % 200 < 110;
}

void RunTicks(long ticks, void (*chooseKeys)(long tick))
{
    for (long t = 0; t < ticks; ++t) {
        chooseKeys(t);
        UpdateGame();
    }
}

void PrepareTitle() { ResetGameState(); }

void PrepareCourting()
{
    ResetGameState();
    keys[kKeySpace] = true;
    UpdateGame();
    RunTicks(300, Courting); // both spiders animated, the meters moving
}

void PrepareHeartRain()
{
    ResetGameState();
    keys[kKeySpace] = true;
    UpdateGame();
    keys[kKeySpace] = false;
    game.excitement = kMeterMax;
    game.male.x = 112;
    keys[kKeyRight] = true;
    UpdateGame();          // close enough with Excitement high: they mate
    RunTicks(600, NoKeys); // the hearts have fallen into sight
}

bool TitleHeld() { return !game.playing; }
bool CourtingHeld() { return game.playing && !game.chasedAway && !game.killed && !game.mating; }
bool RainHeld() { return game.playing && game.mating; }

} // namespace

const BenchScene kBenchScenes[kBenchSceneCount] = {
    {"title", PrepareTitle, NoKeys, TitleHeld},
    {"play", PrepareCourting, Courting, CourtingHeld},
    {"heart rain", PrepareHeartRain, NoKeys, RainHeld},
};

void LetGoOfBenchKeys() { NoKeys(0); }

bool PlatformIsKeyDown(uint8_t key) { return keys[key]; }
void PlatformShowErrorBox(const char* text, const char* caption) { fprintf(stderr, "%s: %s\n", caption, text); }
void PlatformRequestClose() {}
bool PlatformPathExists(const char* path, bool wantFolder) { return PosixPathExists(path, wantFolder); }
FILE* PlatformOpenFile(const char* path) { return PosixOpenFile(path); }
