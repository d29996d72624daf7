// Processor time of one drawn frame: the real DrawGame with the real Data
// files, then glFinish, on Mesa's software renderer (an OSMesa surface of
// the window's size), for the title screen, courting in play and the heart
// rain. Process time counts the renderer's own threads too.
//
//   velmora-bench-draw [--raw] [--seconds S] WIDTHxHEIGHT...
//
// Prints one Markdown table row per size; --raw prints "SCENE WxH CPU_MS
// WALL_MS" lines instead, for other benchmarks to read.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/app.h"
#include "app/diagnostics.h"
#include "app/posix/posix_files.h"
#include "bench/draw/bench_scenes.h"
#include "game/game.h"
#include "render/gl_api.h"
#include "render/renderer.h"
#include "tools/offscreen/offscreen_gl.h"

namespace {

struct FrameCost {
    double cpuMilliseconds, wallMilliseconds;
    long frames;
    bool sceneHeld; // the scene was still the one asked for when measuring ended
};

struct Options {
    bool raw = false;
    double seconds = 0.6; // drawing time measured per scene and size
    int32_t sizeCount = 0;
    int32_t widths[8], heights[8];
};

double Seconds(clockid_t clock)
{
    timespec now;
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

FrameCost MeasureScene(int32_t index, double seconds)
{
    const BenchScene& scene = kBenchScenes[index];
    LetGoOfBenchKeys();
    scene.prepare();
    const long kWarmUpFrames = 20, kLeastFrames = 60, kMostFrames = 20000;
    double cpu = 0, wall = 0;
    long frames = 0;
    for (long t = 0; frames < kMostFrames && (frames < kLeastFrames || wall < seconds); ++t) {
        scene.chooseKeys(t);
        UpdateGame();
        double cpuStart = Seconds(CLOCK_PROCESS_CPUTIME_ID), wallStart = Seconds(CLOCK_MONOTONIC);
        DrawGame();
        glFinish();
        if (t < kWarmUpFrames)
            continue;
        cpu += Seconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
        wall += Seconds(CLOCK_MONOTONIC) - wallStart;
        frames += 1;
    }
    return FrameCost{cpu * 1e3 / double(frames), wall * 1e3 / double(frames), frames, scene.held()};
}

bool ReadOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        int width = 0, height = 0;
        char end = 0;
        if (strcmp(argv[i], "--raw") == 0) {
            options.raw = true;
        } else if (strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            options.seconds = atof(argv[++i]);
            if (!(options.seconds > 0 && options.seconds < 60))
                return false;
        } else if (sscanf(argv[i], "%dx%d%c", &width, &height, &end) == 2 && width >= 1 && height >= 1 &&
                   width <= 8192 && height <= 8192 && options.sizeCount < 8) {
            options.widths[options.sizeCount] = width;
            options.heights[options.sizeCount] = height;
            options.sizeCount += 1;
        } else {
            return false;
        }
    }
    return options.sizeCount > 0;
}

void PrintRow(int32_t width, int32_t height, const FrameCost (&costs)[kBenchSceneCount])
{
    const double kBudget = 1000.0 / 60;
    int32_t scale = width / 160 < height / 120 ? width / 160 : height / 120;
    double worst = 0;
    long fewestFrames = costs[0].frames;
    printf("| CPU per frame at %dx%d (%dx), DrawGame + glFinish |", width, height, scale);
    for (int32_t i = 0; i < kBenchSceneCount; ++i) {
        printf("%s%s %.2f ms", i ? "; " : " ", kBenchScenes[i].name, costs[i].cpuMilliseconds);
        worst = costs[i].cpuMilliseconds > worst ? costs[i].cpuMilliseconds : worst;
        fewestFrames = costs[i].frames < fewestFrames ? costs[i].frames : fewestFrames;
    }
    printf(" | 16.7 ms (one frame at 60 a second) | the busiest is %.0f %% of the budget; wall", worst / kBudget * 100);
    for (int32_t i = 0; i < kBenchSceneCount; ++i)
        printf(" %.2f", costs[i].wallMilliseconds);
    printf(" ms; at least %ld frames a scene, offscreen through OSMesa |\n", fewestFrames);
}

bool MeasureSize(const Options& options, int32_t width, int32_t height)
{
    OffscreenGl* surface = CreateOffscreenGl(width, height);
    if (!surface)
        return false;
    AppInit();
    bool started = running;
    if (started) {
        AppResize(static_cast<uint16_t>(width), static_cast<uint16_t>(height));
        FrameCost costs[kBenchSceneCount];
        for (int32_t i = 0; i < kBenchSceneCount; ++i) {
            costs[i] = MeasureScene(i, options.seconds);
            if (!costs[i].sceneHeld)
                fprintf(stderr, "velmora-bench-draw: the %s scene ended while it was measured\n", kBenchScenes[i].name);
            started = started && costs[i].sceneHeld;
            if (options.raw)
                printf("%s %dx%d %.4f %.4f\n", kBenchScenes[i].name, width, height, costs[i].cpuMilliseconds,
                       costs[i].wallMilliseconds);
        }
        fprintf(stderr, "drawn at %dx%d by %s, %s\n", width, height, glGetString(GL_RENDERER), glGetString(GL_VERSION));
        if (!options.raw)
            PrintRow(width, height, costs);
    } else {
        fprintf(stderr, "velmora-bench-draw: the game could not start, so there is nothing to draw\n");
    }
    AppShutdown();
    AppRelease();
    renderer.windowWidth = renderer.windowHeight = 0;
    DestroyOffscreenGl(surface);
    return started;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ReadOptions(argc, argv, options)) {
        fputs("usage: velmora-bench-draw [--raw] [--seconds S] WIDTHxHEIGHT...\n", stderr);
        return 2;
    }
    if (!PosixEnterProgramFolder()) {
        fputs("velmora-bench-draw: cannot work in the program's folder\n", stderr);
        return 1;
    }
    bool measured = true;
    for (int32_t i = 0; i < options.sizeCount; ++i)
        measured = MeasureSize(options, options.widths[i], options.heights[i]) && measured;
    return measured ? 0 : 1;
}
