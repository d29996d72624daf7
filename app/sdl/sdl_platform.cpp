#include "app/sdl/sdl_platform.h"

#include <SDL.h>

#include <cstdio>

#include "app/held_keys.h"
#include "app/platform.h"
#include "app/posix/posix_files.h"

bool PlatformIsKeyDown(uint8_t key) { return KeyHeld(key); }

// Without a display the box cannot be shown; the text then goes to standard
// error so it is not lost.
void PlatformShowErrorBox(const char* text, const char* caption)
{
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) != 0) {
        fprintf(stderr, "%s: %s\n", caption, text);
        fflush(stderr);
    }
}

bool PlatformPathExists(const char* path, bool wantFolder) { return PosixPathExists(path, wantFolder); }

FILE* PlatformOpenFile(const char* path) { return PosixOpenFile(path); }

// Handled by the main loop like the window's close box, after the event or
// tick that asked for it.
void PlatformRequestClose()
{
    SDL_Event close = {};
    close.type = SDL_QUIT;
    SDL_PushEvent(&close);
}
