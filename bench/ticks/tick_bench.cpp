// How many game ticks a second the rules simulate, in ordinary courting and
// in the heaviest scene (the heart rain: every heart falls each tick), and
// how many heap allocations the ticks make (there should be none). Prints
// one Markdown table row per scene; details go to standard error.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/diagnostics.h"
#include "app/platform.h"
#include "game/game.h"
#include "sound/recording_engine.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"

namespace {

long allocations;
bool keys[256];

struct TickRun {
    double ticksPerSecond;
    long allocations;
    long ticks;
};

TickRun RunTicks(long ticks, void (*chooseKeys)(long tick))
{
    long allocationsBefore = allocations;
    auto start = std::chrono::steady_clock::now();
    for (long t = 0; t < ticks; ++t) {
        chooseKeys(t);
        UpdateGame();
    }
    std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    return TickRun{ticks / seconds.count(), allocations - allocationsBefore, ticks};
}

// Waves every so often and shuffles ten steps right and back, never near
// enough to her, nor fast enough, for her Fear to end the game.
void Courting(long t)
{
    keys[kKeySpace] = t % 90 < 40;
    keys[kKeyRight] = t % 200 < 10;
    keys[kKeyLeft] = t % 200 >= 100 && t % 200 < 110;
}

void NoKeys(long) { keys[kKeySpace] = keys[kKeyLeft] = keys[kKeyRight] = false; }

void PrintRow(const char* scene, const TickRun& run, bool reached)
{
    const double kNeeded = 60;
    double share = kNeeded / run.ticksPerSecond * 100;
    printf("| UpdateGame ticks per second, %s | %.2f million (%.0f ns a tick) | 60 a second (real time) | "
           "%.0fx faster than needed: 60 ticks cost %.4f %% of a core; ",
           scene, run.ticksPerSecond / 1e6, 1e9 / run.ticksPerSecond, run.ticksPerSecond / kNeeded, share);
#ifdef VELMORA_COUNT_ALLOCATIONS
    printf("%ld heap allocations in %ld ticks", run.allocations, run.ticks);
#else
    printf("allocations not counted in this build");
#endif
    printf("%s |\n", reached ? "" : "; SCENE NOT REACHED");
}

} // namespace

#ifdef VELMORA_COUNT_ALLOCATIONS
// Every allocation of the program passes through here and is counted; glibc
// frees what its own allocator handed out. Sanitized builds keep their own.
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* block, size_t size);

extern "C" void* malloc(size_t size)
{
    ++allocations;
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size)
{
    ++allocations;
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, size_t size)
{
    ++allocations;
    return __libc_realloc(block, size);
}
#endif

bool PlatformIsKeyDown(uint8_t key) { return keys[key]; }
void PlatformShowErrorBox(const char*, const char*) {}
void PlatformRequestClose() {}
bool PlatformPathExists(const char*, bool) { return true; }
FILE* PlatformOpenFile(const char*) { return nullptr; }

int main()
{
    ResetSoundRecorder();
    SetSoundEngineFactory(MakeRecordingSoundEngine);
    InitSound();
    LoadGameSounds();
    ResetGameState();

    keys[kKeySpace] = true;
    UpdateGame();
    keys[kKeySpace] = false;
    bool courting = game.playing;
    TickRun courtingRun = RunTicks(5000000, Courting);
    courting = courting && game.playing && !game.chasedAway && !game.killed && !game.mating;

    ResetGameState();
    NoKeys(0); // no key of the courting carries over
    keys[kKeySpace] = true;
    UpdateGame();
    keys[kKeySpace] = false;
    game.excitement = 10000;
    game.male.x = 112;
    keys[kKeyRight] = true;
    UpdateGame(); // close enough with Excitement high: they mate
    TickRun rainRun = RunTicks(2000000, NoKeys);
    bool raining = game.mating && game.bigHeart.visible;

    fprintf(stderr, "UpdateGame, courting:   %12.0f ticks/s (%6.1f ns a tick), %ld allocations\n",
            courtingRun.ticksPerSecond, 1e9 / courtingRun.ticksPerSecond, courtingRun.allocations);
    fprintf(stderr, "UpdateGame, heart rain: %12.0f ticks/s (%6.1f ns a tick), %ld allocations\n",
            rainRun.ticksPerSecond, 1e9 / rainRun.ticksPerSecond, rainRun.allocations);
    PrintRow("courting", courtingRun, courting);
    PrintRow("heart rain", rainRun, raining);
    ShutdownSound();
    ClearSoundNames();
    return courting && raining ? 0 : 1;
}
