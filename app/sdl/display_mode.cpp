#include "app/sdl/display_mode.h"

#include "app/sdl/sdl_window.h"
#include "app/sdl/window_manager.h"
#include "app/shell_state.h"

namespace {
void HideCursorIfShown()
{
    if (!shell.cursorHidden) {
        SDL_ShowCursor(SDL_DISABLE);
        shell.cursorHidden = true;
    }
}

void TurnVsyncOn()
{
    if (shell.vsyncInFullScreen && !shell.vsyncOn && shell.setSwapInterval) {
        SetSwapInterval(1);
        shell.vsyncOn = true;
    }
}

void TurnVsyncOff()
{
    if (shell.vsyncOn && shell.setSwapInterval) {
        SetSwapInterval(0);
        shell.vsyncOn = false;
    }
}

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

void EnterFullScreen()
{
    SaveWindowPlace();
    sdlWindow.coveringDisplay = !HasWindowManager(sdlWindow.window);
    if (sdlWindow.coveringDisplay)
        CoverDisplay();
    else
        SDL_SetWindowFullscreen(sdlWindow.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void LeaveFullScreen()
{
    if (sdlWindow.coveringDisplay)
        SDL_SetWindowBordered(sdlWindow.window, SDL_TRUE);
    else
        SDL_SetWindowFullscreen(sdlWindow.window, 0);
    sdlWindow.coveringDisplay = false;
    RestoreWindowPlace();
}
} // namespace

void SetWindowedMode(bool windowed)
{
    if (windowed == shell.windowed)
        return;
    shell.windowed = windowed;
    if (windowed) {
        LeaveFullScreen();
        TurnVsyncOff();
        ShowCursorIfHidden();
        return;
    }
    EnterFullScreen();
    TurnVsyncOn();
    if (!shell.inactive)
        HideCursorIfShown();
}

void EnterFocusedFullScreen()
{
    if (shell.windowed)
        return;
    HideCursorIfShown();
    TurnVsyncOn();
}

void LeaveFocusedFullScreen()
{
    ShowCursorIfHidden();
    TurnVsyncOff();
}

void ShowCursorIfHidden()
{
    if (shell.cursorHidden) {
        SDL_ShowCursor(SDL_ENABLE);
        shell.cursorHidden = false;
    }
}
