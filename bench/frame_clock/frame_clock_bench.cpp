// The frame clock's accuracy: the real timed turn of the Linux shell
// (RunTimedTurn with SDL's millisecond counter and SDL_Delay, exactly as its
// main loop runs it) for 10 s of wall time, with counting stand-ins for the
// game's tick and draw. Prints ticks a second, which must be 60.0, and the
// processor share of the loop itself, as Markdown table rows.
//
//   velmora-bench-frame-clock [SECONDS]
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/app.h"
#include "app/frame_clock.h"
#include "app/platform.h"
#include "game/game.h"
#include "render/renderer.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Counts {
    long ticks, draws, swaps, turns;
    Clock::time_point lastTick;
    double longestTickGap; // seconds between two ticks, the first excepted
};

Counts counts;

uint32_t Milliseconds() { return SDL_GetTicks(); }
void Sleep(int32_t milliseconds) { SDL_Delay(static_cast<Uint32>(milliseconds)); }
void CountSwap() { counts.swaps += 1; }

double ProcessSeconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

} // namespace

void UpdateGame()
{
    Clock::time_point now = Clock::now();
    if (counts.ticks > 0) {
        double gap = std::chrono::duration<double>(now - counts.lastTick).count();
        counts.longestTickGap = gap > counts.longestTickGap ? gap : counts.longestTickGap;
    }
    counts.lastTick = now;
    counts.ticks += 1;
}

void DrawGame() { counts.draws += 1; }

void PlatformWriteLogLine(const char* text, int32_t length) { fprintf(stderr, "%.*s\n", int(length), text); }
void PlatformShowErrorBox(const char* text, const char* caption) { fprintf(stderr, "%s: %s\n", caption, text); }
bool PlatformIsKeyDown(uint8_t) { return false; }
bool PlatformPathExists(const char*, bool) { return false; }
FILE* PlatformOpenFile(const char*) { return nullptr; }
void PlatformRequestClose() {}

int main(int argc, char** argv)
{
    double seconds = argc > 1 ? atof(argv[1]) : 10.0;
    if (argc > 2 || !(seconds >= 1 && seconds <= 600)) {
        fputs("usage: velmora-bench-frame-clock [SECONDS from 1 to 600]\n", stderr);
        return 2;
    }
    if (SDL_Init(SDL_INIT_TIMER) != 0) {
        fprintf(stderr, "velmora-bench-frame-clock: %s\n", SDL_GetError());
        return 1;
    }
    // A sized window in which the game runs, as after the first resize.
    running = true;
    renderer.windowWidth = 640;
    renderer.windowHeight = 480;
    FrameClock clock = {0, false};
    const FrameClockPlatform platform = {Milliseconds, CountSwap, nullptr};

    Sleep(RunTimedTurn(clock, platform)); // the first turn only takes the time
    uint32_t firstMillisecond = clock.lastFrameTime;
    Clock::time_point start = Clock::now();
    double processStart = ProcessSeconds();
    double wall = 0;
    while (wall < seconds) {
        Sleep(RunTimedTurn(clock, platform));
        counts.turns += 1;
        wall = std::chrono::duration<double>(Clock::now() - start).count();
    }
    double processShare = (ProcessSeconds() - processStart) / wall;
    uint32_t countedMilliseconds = clock.lastFrameTime - firstMillisecond;
    // Whole ticks the counted time is worth; the frame clock keeps the rest.
    long dueTicks = long(countedMilliseconds) * 3 / 50;
    SDL_Quit();

    double ticksPerSecond = double(counts.ticks) / wall;
    fprintf(stderr, "%ld ticks, %ld draws, %ld swaps, %ld turns in %.3f s; %ld ticks due by the counter\n",
            counts.ticks, counts.draws, counts.swaps, counts.turns, wall, dueTicks);
    printf("| Frame clock, ticks per second over %.0f s of wall time | %.1f (%ld ticks in %.3f s) | 60.0 | "
           "the Linux shell's timed turn with SDL's millisecond counter and sleep, stand-ins counting tick and "
           "draw: %ld frames drawn, %ld ticks dropped, longest gap between ticks %.1f ms |\n",
           seconds, ticksPerSecond, counts.ticks, wall, counts.draws, dueTicks - counts.ticks,
           counts.longestTickGap * 1e3);
    printf("| CPU share of the main loop itself, nothing drawn | %.2f %% of a core | a few %% of a core (3 %%) | "
           "the same run's process time: %.0f turns a second, sleeping 1 ms after a turn that drew nothing |\n",
           processShare * 100, double(counts.turns) / wall);
    bool accurate = ticksPerSecond > 59.95 && ticksPerSecond < 60.05;
    return accurate ? 0 : 1;
}
