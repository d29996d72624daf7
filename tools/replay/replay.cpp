// velmora-replay: runs the game's rules headless from a key script and prints
// the state after every tick.
//
//   velmora-replay [--shot TICK:FILE.png ...] [--scale K | --window WxH] [--path PATH] [SCRIPT]
//
// Each script line that is not empty and does not start with '#' is
// "COUNT KEYS": COUNT from 1 to 1000000 ticks, KEYS '-' for none or letters
// L (left), R (right), S (space). Lines are at most 4096 bytes long, a CR
// LF end not counted. The game starts as at program start.
// --shot draws the scene after that tick into FILE.png, 160x120 times K
// (default 4) or a window of W x H pixels, using the Data folder beside the
// program. --path straight draws every quad in turn at the window's scale,
// copied every frame once at 1x shown scaled, cheaper (the default) each
// frame the way the game does; the last two batch sprites by texture. The
// pictures must be the same.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/diagnostics.h"
#include "app/posix/posix_files.h"
#include "app/posix/standard_streams.h"
#include "game/game.h"
#include "render/renderer.h"
#include "sound/recording_engine.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"
#include "tools/replay/screenshot.h"
#include "tools/replay/script.h"
#include "tools/replay/state_line.h"

namespace {

KeySet heldKeys;

struct ReplayOptions {
    const char* scriptPath = nullptr;
    std::vector<ShotRequest> shots;
    int32_t width = kScreenWidth * 4, height = kScreenHeight * 4;
    FramePath path = FramePath::Cheaper;
};

const char kUsage[] =
    "usage: velmora-replay [--shot TICK:FILE.png ...] [--scale K | --window WxH] [--path PATH] [SCRIPT]\n";

bool ReadOptions(int argc, char** argv, ReplayOptions& options)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (strcmp(arg, "--shot") == 0 && i + 1 < argc) {
            ShotRequest shot;
            if (!ParseShotRequest(argv[++i], shot)) {
                fprintf(stderr, "velmora-replay: --shot wants TICK:FILE.png, not %s\n", argv[i]);
                return false;
            }
            options.shots.push_back(shot);
        } else if (strcmp(arg, "--scale") == 0 && i + 1 < argc) {
            char* end = nullptr;
            long scale = strtol(argv[++i], &end, 10);
            if (*end != '\0' || scale < 1 || scale > 16) {
                fprintf(stderr, "velmora-replay: --scale wants a whole number from 1 to 16\n");
                return false;
            }
            options.width = kScreenWidth * static_cast<int32_t>(scale);
            options.height = kScreenHeight * static_cast<int32_t>(scale);
        } else if (strcmp(arg, "--window") == 0 && i + 1 < argc) {
            int width = 0, height = 0;
            char end = 0;
            if (sscanf(argv[++i], "%dx%d%c", &width, &height, &end) != 2 || width < 1 || height < 1 || width > 8192 ||
                height > 8192) {
                fprintf(stderr, "velmora-replay: --window wants WIDTHxHEIGHT, each from 1 to 8192\n");
                return false;
            }
            options.width = width;
            options.height = height;
        } else if (strcmp(arg, "--path") == 0 && i + 1 < argc) {
            const char* path = argv[++i];
            if (strcmp(path, "cheaper") != 0 && strcmp(path, "straight") != 0 && strcmp(path, "copied") != 0) {
                fprintf(stderr, "velmora-replay: --path wants cheaper, straight or copied\n");
                return false;
            }
            options.path =
                path[0] == 'c' ? (path[1] == 'h' ? FramePath::Cheaper : FramePath::Copied) : FramePath::Straight;
        } else if (arg[0] == '-' && arg[1] != '\0') {
            fputs(kUsage, stderr);
            return false;
        } else if (!options.scriptPath) {
            options.scriptPath = arg;
        } else {
            fputs(kUsage, stderr);
            return false;
        }
    }
    return true;
}

bool ReadScript(const char* path, std::vector<ScriptStep>& steps)
{
    FILE* input = path ? fopen(path, "rb") : stdin;
    if (!input) {
        fprintf(stderr, "velmora-replay: cannot open %s: %s\n", path, strerror(errno));
        return false;
    }
    ScriptError error;
    errno = 0;
    bool parsed = ReadKeyScript(input, steps, error);
    int readError = errno;
    if (input != stdin)
        fclose(input);
    if (!parsed && !error.reason)
        fprintf(stderr, "velmora-replay: cannot read %s: %s\n", path ? path : "the script", strerror(readError));
    else if (!parsed)
        fprintf(stderr, "line %lld: %s\n", static_cast<long long>(error.line), error.reason);
    return parsed;
}

// Pictures are written where the user asked, but the game finds its Data
// folder beside the program, so names are made absolute before moving there.
bool MoveBesideTheProgram(std::vector<ShotRequest>& shots)
{
    char here[PATH_MAX];
    if (!getcwd(here, sizeof here))
        return false;
    for (ShotRequest& shot : shots)
        if (shot.path[0] != '/')
            shot.path = std::string(here) + "/" + shot.path;
    return PosixEnterProgramFolder();
}

// Every picture due at this tick is tried, even after one of them failed.
bool TakeShotsAt(int64_t tick, const std::vector<ShotRequest>& shots, size_t& next)
{
    bool allWritten = true;
    for (; next < shots.size() && shots[next].tick == tick; ++next) {
        if (!TakeScreenshot(shots[next].path)) {
            fprintf(stderr, "velmora-replay: could not write %s\n", shots[next].path.c_str());
            allWritten = false;
        }
    }
    return allWritten;
}

} // namespace

bool ReplayKeyDown(uint8_t key) { return KeySetHolds(heldKeys, key); }

int main(int argc, char** argv)
{
    GuardStandardStreams();
    ReplayOptions options;
    std::vector<ScriptStep> steps;
    if (!ReadOptions(argc, argv, options) || !ReadScript(options.scriptPath, steps))
        return 2;
    std::stable_sort(options.shots.begin(), options.shots.end(),
                     [](const ShotRequest& a, const ShotRequest& b) { return a.tick < b.tick; });

    ResetSoundRecorder();
    SetSoundEngineFactory(MakeRecordingSoundEngine);
    InitSound();
    bool drawing = !options.shots.empty();
    if (drawing) {
        if (!MoveBesideTheProgram(options.shots) || !StartScreenshots(options.width, options.height, options.path)) {
            StopScreenshots();
            return 1;
        }
    } else {
        LoadGameSounds();
    }
    ResetGameState();

    int status = 0;
    size_t nextShot = 0;
    StateLineWriter writer(stdout);
    int64_t tick = 0;
    if (drawing && !TakeShotsAt(0, options.shots, nextShot))
        status = 1;
    for (size_t s = 0; s < steps.size() && writer.Error() == 0; ++s) {
        heldKeys = steps[s].keys;
        for (int32_t i = 0; i < steps[s].count; ++i) {
            ClearSoundCalls();
            UpdateGame();
            if (!writer.Write(++tick, game, soundRecorder))
                break;
            if (drawing && !TakeShotsAt(tick, options.shots, nextShot))
                status = 1;
        }
    }
    // The lines are the tool's answer: without them the run has failed, and
    // what else it would say matters no more.
    if (!writer.Flush()) {
        fprintf(stderr, "velmora-replay: cannot write the state lines: %s\n", strerror(writer.Error()));
        status = 1;
        nextShot = options.shots.size();
    }
    for (; nextShot < options.shots.size(); ++nextShot) {
        fprintf(stderr, "velmora-replay: the script ends at tick %lld, so %s was not drawn\n",
                static_cast<long long>(tick), options.shots[nextShot].path.c_str());
        status = 1;
    }
    if (drawing)
        StopScreenshots();
    ShutdownSound();
    ClearSoundNames();
    return status;
}
