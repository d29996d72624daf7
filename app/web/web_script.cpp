// The page's key-script mode, as the replay tool reads scripts: the page's
// own script (or a test) hands over the text, then asks for the game to be
// run to a tick and drawn there. The timed turn and the keyboard are off
// from then on.
#include <emscripten.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/app.h"
#include "app/diagnostics.h"
#include "app/web/web_shell.h"
#include "game/game.h"
#include "tools/replay/script.h"

namespace {
std::vector<ScriptStep> steps;
bool following;
size_t stepIndex;
int32_t ticksIntoStep;
int32_t tick;
KeySet keys;
} // namespace

bool FollowingKeyScript() { return following; }

bool ScriptKeyDown(uint8_t key) { return KeySetHolds(keys, key); }

// Puts the game back at its start, tick 0, to follow the script; false
// (and the keyboard keeps the game) when the text is not a valid script.
extern "C" EMSCRIPTEN_KEEPALIVE int VelmoraFollowScript(const char* text)
{
    FILE* input = fmemopen(const_cast<char*>(text), strlen(text), "rb");
    if (!input)
        return 0;
    ScriptError error;
    std::vector<ScriptStep> read;
    bool parsed = ReadKeyScript(input, read, error);
    fclose(input);
    if (!parsed)
        return 0;
    steps.swap(read);
    following = true;
    stepIndex = 0;
    ticksIntoStep = 0;
    tick = 0;
    ResetGameState();
    AppPaint();
    return 1;
}

// Runs the script's ticks up to the given one (never past its end) and
// draws; returns the tick reached.
extern "C" EMSCRIPTEN_KEEPALIVE int VelmoraRunScriptTo(int target)
{
    RefillWebSound();
    while (following && tick < target && stepIndex < steps.size()) {
        keys = steps[stepIndex].keys;
        UpdateGame();
        ++tick;
        if (++ticksIntoStep == steps[stepIndex].count) {
            ++stepIndex;
            ticksIntoStep = 0;
        }
    }
    RefillWebSound();
    AppPaint();
    return tick;
}
