// How many game ticks a second the rules simulate, in the heaviest scene
// (the heart rain: every heart falls each tick) and in ordinary courting.
#include <chrono>
#include <cstdio>

#include "app/diagnostics.h"
#include "app/platform.h"
#include "game/game.h"
#include "sound/recording_engine.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"

namespace {

bool keys[256];

double TicksPerSecond(long ticks, void (*chooseKeys)(long tick))
{
    auto start = std::chrono::steady_clock::now();
    for (long t = 0; t < ticks; ++t) {
        chooseKeys(t);
        UpdateGame();
    }
    std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    return ticks / seconds.count();
}

// Waves every so often and shuffles left and right, never reaching her.
void Courting(long t)
{
    keys[kKeySpace] = t % 90 < 40;
    keys[kKeyRight] = t % 200 < 20;
    keys[kKeyLeft] = t % 200 >= 100 && t % 200 < 120;
}

void NoKeys(long) { keys[kKeySpace] = keys[kKeyLeft] = keys[kKeyRight] = false; }

} // namespace

bool PlatformIsKeyDown(uint8_t key) { return keys[key]; }
void PlatformShowErrorBox(const char*, const char*) {}
void PlatformRequestClose() {}
bool PlatformPathExists(const char*, bool) { return true; }

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
    double courting = TicksPerSecond(5000000, Courting);

    ResetGameState();
    keys[kKeySpace] = true;
    UpdateGame();
    game.excitement = 10000;
    game.male.x = 112;
    keys[kKeyRight] = true;
    UpdateGame(); // close enough with Excitement high: they mate
    double rain = TicksPerSecond(2000000, NoKeys);
    bool mating = game.mating;

    printf("UpdateGame, courting:   %12.0f ticks/s (%6.1f ns a tick; the game needs 60)\n", courting, 1e9 / courting);
    printf("UpdateGame, heart rain: %12.0f ticks/s (%6.1f ns a tick; the game needs 60)%s\n", rain, 1e9 / rain,
           mating ? "" : "  [no heart rain reached]");
    ShutdownSound();
    ClearSoundNames();
    return 0;
}
