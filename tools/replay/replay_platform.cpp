#include <cstdio>
#include <cstring>

#include "app/platform.h"
#include "game/asset_names.h"
#include "app/posix/posix_files.h"

bool ReplayKeyDown(uint8_t key);

// The replay has no window: keys come from the script, boxes go to standard
// error and a close request has nothing to close.
bool PlatformIsKeyDown(uint8_t key) { return ReplayKeyDown(key); }

void PlatformShowErrorBox(const char* text, const char* caption) { fprintf(stderr, "%s: %s\n", caption, text); }

void PlatformRequestClose() {}

// The replay reads no sound file and plays nothing, so it treats the game's
// four sounds as present; every other path is looked up for real.
static bool ReplaySoundNamed(const char* path)
{
    for (const char* name : kGameSoundFiles)
        if (strcmp(path, name) == 0)
            return true;
    return false;
}

FILE* PlatformOpenFile(const char* path) { return PosixOpenFile(path); }

bool PlatformPathExists(const char* path, bool wantFolder)
{
    if (!wantFolder && ReplaySoundNamed(path))
        return true;
    return PosixPathExists(path, wantFolder);
}
