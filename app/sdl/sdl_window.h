// The one main window and its OpenGL context on SDL2: made hidden with a
// double-buffered RGB context of at least 8 bits a channel and no depth,
// stencil or alpha buffer, kept current for the window's whole life.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "app/window_sizing.h"

struct SdlWindow {
    SDL_Window* window;
    SDL_GLContext context;
    // The framed window's place, kept while in full screen.
    int32_t savedX, savedY, savedWidth, savedHeight;
    bool placeSaved;
    // Full screen made by covering the display, for want of a window manager.
    bool coveringDisplay;
    // The snapped size last asked of the window system, so a window manager
    // that refuses it is not asked again and again.
    ClientSize requestedSnap;
    bool snapRequested;
};

extern SdlWindow sdlWindow;

// Exit codes of a failed set-up, the error box already shown.
enum : int32_t { kWindowFailedExitCode = 0, kOpenGlFailedExitCode = 1 };

// Creates the hidden window with the given client size and its context, made
// current, with the swap interval looked up and set to 0. False after the
// error box, with `exitCode` set and nothing left behind.
bool CreateGameWindow(ClientSize clientSize, int32_t& exitCode);
// Deletes the context and destroys the window.
void DestroyGameWindow();
void SwapGameWindow();
// The size GL draws into, in window pixels.
ClientSize GameWindowDrawableSize();
