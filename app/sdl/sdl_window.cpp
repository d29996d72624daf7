#include "app/sdl/sdl_window.h"

#include "app/diagnostics.h"
#include "app/sdl/game_icon.h"
#include "app/shell_state.h"
#include "render/virtual_screen.h"

SdlWindow sdlWindow = {};

namespace {
const Uint32 kWindowFlags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;

void SdlSetSwapInterval(int interval) { SDL_GL_SetSwapInterval(interval); }

void RequestPixelFormat()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

// SDL picks the pixel format while it creates the window, so a failure there
// is told apart by trying a window without OpenGL.
bool WindowWorksWithoutOpenGl(ClientSize size)
{
    SDL_Window* plain = SDL_CreateWindow(shell.appName, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, size.width,
                                         size.height, SDL_WINDOW_HIDDEN);
    if (!plain)
        return false;
    SDL_DestroyWindow(plain);
    return true;
}

// The window manager shows the game's own icon; without memory for it the
// window keeps the default one.
void SetGameIcon(SDL_Window* window)
{
#ifdef VELMORA_GAME_ICON
    SDL_Surface* icon =
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(kGameIcon), kGameIconSize, kGameIconSize, 32,
                                           kGameIconSize * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon)
        return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
#else
    (void)window;
#endif
}

bool Fail(const char* text, int32_t code, int32_t& exitCode)
{
    ShowErrorBox(text);
    exitCode = code;
    return false;
}
} // namespace

bool CreateGameWindow(ClientSize size, int32_t& exitCode)
{
    RequestPixelFormat();
    sdlWindow.window = SDL_CreateWindow(shell.appName, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, size.width,
                                        size.height, kWindowFlags);
    if (!sdlWindow.window) {
        if (WindowWorksWithoutOpenGl(size))
            return Fail("Error choosing pixel format", kOpenGlFailedExitCode, exitCode);
        return Fail("Error creating window", kWindowFailedExitCode, exitCode);
    }
    SDL_SetWindowMinimumSize(sdlWindow.window, kScreenWidth, kScreenHeight);
    SetGameIcon(sdlWindow.window);
    sdlWindow.context = SDL_GL_CreateContext(sdlWindow.window);
    if (!sdlWindow.context) {
        DestroyGameWindow();
        return Fail("Error creating OpenGL context", kOpenGlFailedExitCode, exitCode);
    }
    if (SDL_GL_MakeCurrent(sdlWindow.window, sdlWindow.context) != 0) {
        DestroyGameWindow();
        return Fail("Error attaching OpenGL context", kOpenGlFailedExitCode, exitCode);
    }
    // A new window starts without vertical synchronisation; a driver that
    // cannot set the interval leaves the function out.
    if (shell.vsyncInFullScreen && SDL_GL_SetSwapInterval(0) == 0) {
        shell.setSwapInterval = SdlSetSwapInterval;
        shell.vsyncOn = false;
    }
    return true;
}

void DestroyGameWindow()
{
    if (sdlWindow.context) {
        SDL_GL_MakeCurrent(sdlWindow.window, nullptr);
        SDL_GL_DeleteContext(sdlWindow.context);
        sdlWindow.context = nullptr;
    }
    if (sdlWindow.window) {
        SDL_DestroyWindow(sdlWindow.window);
        sdlWindow.window = nullptr;
    }
}

void SwapGameWindow() { SDL_GL_SwapWindow(sdlWindow.window); }

ClientSize GameWindowDrawableSize()
{
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(sdlWindow.window, &width, &height);
    return ClientSize{width, height};
}
