// Whether a window manager looks after the game's window. Full screen is
// asked of the window manager; a bare X server (a test display, a kiosk)
// has none, and there the program covers the display with its window itself.
#pragma once

#include <SDL.h>

// True on every window system other than X11, and on X11 when a window
// manager has announced itself on the root window.
bool HasWindowManager(SDL_Window* window);
