// velmora-replay: runs the game's rules headless from a key script and prints
// the state after every tick.
//
//   velmora-replay [SCRIPT]
//
// Each script line that is not empty and does not start with '#' is
// "COUNT KEYS": COUNT from 1 to 1000000 ticks, KEYS '-' for none or letters
// L (left), R (right), S (space). The game starts as at program start.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/diagnostics.h"
#include "game/game.h"
#include "sound/recording_engine.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"
#include "tools/replay/script.h"
#include "tools/replay/state_line.h"

namespace {

KeySet heldKeys;

} // namespace

bool ReplayKeyDown(uint8_t key)
{
    switch (key) {
    case kKeyLeft: return heldKeys.left;
    case kKeyRight: return heldKeys.right;
    case kKeySpace: return heldKeys.space;
    default: return false;
    }
}

int main(int argc, char** argv)
{
    const char* scriptPath = argc > 1 ? argv[1] : nullptr;
    if (argc > 2) {
        fprintf(stderr, "usage: velmora-replay [SCRIPT]\n");
        return 2;
    }
    FILE* input = scriptPath ? fopen(scriptPath, "rb") : stdin;
    if (!input) {
        fprintf(stderr, "velmora-replay: cannot open %s: %s\n", scriptPath, strerror(errno));
        return 2;
    }
    std::vector<ScriptStep> steps;
    ScriptError error;
    bool parsed = ReadKeyScript(input, steps, error);
    if (input != stdin)
        fclose(input);
    if (!parsed) {
        fprintf(stderr, "line %d: %s\n", error.line, error.reason);
        return 2;
    }

    ResetSoundRecorder();
    SetSoundEngineFactory(MakeRecordingSoundEngine);
    InitSound();
    LoadGameSounds();
    ResetGameState();

    StateLineWriter writer(stdout);
    int64_t tick = 0;
    for (const ScriptStep& step : steps) {
        heldKeys = step.keys;
        for (int32_t i = 0; i < step.count; ++i) {
            ClearSoundCalls();
            UpdateGame();
            writer.Write(++tick, game, soundRecorder);
        }
    }
    writer.Flush();
    ShutdownSound();
    ClearSoundNames();
    return 0;
}
