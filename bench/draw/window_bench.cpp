// Processor time of a presented frame of the real Linux program: the game's
// own window and OpenGL context (the SDL shell's CreateGameWindow), its
// timed turn, sleep and buffer swap, for the title screen, courting in play
// and the heart rain in turn. Process time counts the GL's own threads and
// the copy of each frame to the X server too.
//
//   velmora-bench-window [--seconds S] WIDTHxHEIGHT
//
// Prints "SCENE WxH CPU_MS_PER_FRAME FRAMES_PER_SECOND" lines, one a scene,
// for frame_ratio.py to set beside the floor program's.
#include <SDL.h>

#include <cstdio>

#include "app/app.h"
#include "app/frame_clock.h"
#include "app/posix/posix_files.h"
#include "app/sdl/sdl_window.h"
#include "app/shell_state.h"
#include "bench/draw/bench_scenes.h"
#include "bench/frame_options.h"
#include "game/game.h"

namespace {

long swaps;

uint32_t Milliseconds() { return SDL_GetTicks(); }

void CountedSwap()
{
    SwapGameWindow();
    swaps += 1;
}

// Runs the main loop's turns for the given milliseconds, the scene's keys
// chosen by the ticks the clock has counted.
void RunTurns(const BenchScene& scene, FrameClock& clock, uint32_t milliseconds)
{
    const FrameClockPlatform platform = {Milliseconds, CountedSwap, nullptr};
    uint32_t start = SDL_GetTicks();
    for (uint32_t now = start; now - start < milliseconds; now = SDL_GetTicks()) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        scene.chooseKeys(long(now - start) * 60 / 1000);
        SDL_Delay(static_cast<Uint32>(RunTimedTurn(clock, platform)));
    }
}

} // namespace

int main(int argc, char** argv)
{
    FrameBenchOptions options;
    if (!ReadFrameBenchOptions(argc, argv, "velmora-bench-window", options))
        return 2;
    const int width = options.width, height = options.height;
    const double seconds = options.seconds;
    int32_t exitCode = 0;
    if (!PosixEnterProgramFolder() || SDL_Init(SDL_INIT_VIDEO) != 0 ||
        !CreateGameWindow(ClientSize{width, height}, exitCode)) {
        fprintf(stderr, "velmora-bench-window: no window: %s\n", SDL_GetError());
        return 1;
    }
    AppInit();
    shell.windowReady = true;
    SDL_ShowWindow(sdlWindow.window);
    ClientSize drawn = GameWindowDrawableSize();
    AppResize(static_cast<uint16_t>(drawn.width), static_cast<uint16_t>(drawn.height));
    bool measured = running;
    FrameClock clock = {0, false};
    for (int i = 0; i < kBenchSceneCount && measured; ++i) {
        const BenchScene& scene = kBenchScenes[i];
        LetGoOfBenchKeys();
        scene.prepare();
        RunTurns(scene, clock, 1000); // a second to settle
        long swapsBefore = swaps;
        double cpuStart = ProcessSeconds();
        RunTurns(scene, clock, uint32_t(seconds * 1000));
        double cpu = ProcessSeconds() - cpuStart;
        long frames = swaps - swapsBefore;
        measured = scene.held() && frames > 0;
        if (measured)
            printf("%s %dx%d %.4f %.2f\n", scene.name, drawn.width, drawn.height, cpu * 1000 / double(frames),
                   double(frames) / seconds);
        else
            fprintf(stderr, "velmora-bench-window: the %s scene ended while it was measured\n", scene.name);
    }
    AppShutdown();
    AppRelease();
    DestroyGameWindow();
    SDL_Quit();
    return measured ? 0 : 1;
}
