#include "app/display_mode.h"

#include "app/sdl/sdl_window.h"
#include "app/sdl/window_manager.h"

namespace {
void SaveWindowPlace()
{
    SDL_GetWindowPosition(sdlWindow.window, &sdlWindow.savedX, &sdlWindow.savedY);
    SDL_GetWindowSize(sdlWindow.window, &sdlWindow.savedWidth, &sdlWindow.savedHeight);
    sdlWindow.placeSaved = true;
}

void RestoreWindowPlace()
{
    if (!sdlWindow.placeSaved)
        return;
    SDL_SetWindowSize(sdlWindow.window, sdlWindow.savedWidth, sdlWindow.savedHeight);
    SDL_SetWindowPosition(sdlWindow.window, sdlWindow.savedX, sdlWindow.savedY);
}

// Without a window manager to ask, a borderless window is laid over the
// whole display the window is on.
void CoverDisplay()
{
    SDL_Rect bounds;
    int display = SDL_GetWindowDisplayIndex(sdlWindow.window);
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) != 0)
        return;
    SDL_SetWindowBordered(sdlWindow.window, SDL_FALSE);
    SDL_SetWindowPosition(sdlWindow.window, bounds.x, bounds.y);
    SDL_SetWindowSize(sdlWindow.window, bounds.w, bounds.h);
}
} // namespace

void ShowMouseCursor(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

void CoverScreenWithWindow()
{
    SaveWindowPlace();
    sdlWindow.coveringDisplay = !HasWindowManager(sdlWindow.window);
    if (sdlWindow.coveringDisplay)
        CoverDisplay();
    else
        SDL_SetWindowFullscreen(sdlWindow.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void RestoreFramedWindow()
{
    if (sdlWindow.coveringDisplay)
        SDL_SetWindowBordered(sdlWindow.window, SDL_TRUE);
    else
        SDL_SetWindowFullscreen(sdlWindow.window, 0);
    sdlWindow.coveringDisplay = false;
    RestoreWindowPlace();
}
