// The Linux program: reads -f and -w, works from its own folder, opens the
// one window "Game" with its OpenGL context, starts the game and runs the
// main loop: drain every pending event, hand over what the gamepads hold, run
// one timed turn of the frame clock, sleep as it says.
#include <SDL.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "app/command_line.h"
#include "app/diagnostics.h"
#include "app/display_mode.h"
#include "app/frame_clock.h"
#include "app/posix/standard_streams.h"
#include "app/sdl/sdl_audio.h"
#include "app/sdl/sdl_events.h"
#include "app/sdl/sdl_pads.h"
#include "app/sdl/sdl_window.h"
#include "app/shell_state.h"
#include "app/window_sizing.h"
#include "sound/sound_engine.h"

namespace {
// Used when the display cannot be asked for its size.
const ClientSize kDefaultClientSize = {640, 480};

// Each argument is one blank-separated word of the argument text Windows
// would hand over; an option never runs across a blank, so the words are
// read one by one and their flags add up.
CommandLineOptions ReadOptions(int argc, char** argv)
{
    CommandLineOptions options = {false, false};
    for (int i = 1; i < argc; ++i) {
        CommandLineOptions word = ReadCommandLineOptions(argv[i]);
        options.fullScreenRequested = options.fullScreenRequested || word.fullScreenRequested;
        options.windowedRequested = options.windowedRequested || word.windowedRequested;
    }
    return options;
}

// Every data file is found relative to the program's own folder.
void WorkInProgramFolder()
{
    char* folder = SDL_GetBasePath();
    if (!folder)
        return;
    // A failure leaves files to be looked for where the program was started.
    int changed = chdir(folder);
    (void)changed;
    SDL_free(folder);
}

ClientSize FirstClientSize()
{
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0)
        return kDefaultClientSize;
    return InitialClientSize(desktop.w, desktop.h);
}

// Ctrl+C and SIGTERM are held back from main's first statement until SDL
// turns them into a quit event, so that even during start-up they end the
// game through its normal shut-down. One that comes before main is the
// system's to handle.
void HoldStopSignals(bool hold)
{
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigprocmask(hold ? SIG_BLOCK : SIG_UNBLOCK, &stops, nullptr);
}

bool Named(const char* variable)
{
    const char* value = getenv(variable);
    return value && *value;
}

// With no display named, the video drivers SDL tries in turn complain on
// standard error (Wayland's client library of its runtime folder, say); the
// program then says "Error creating window", which is all there is to say.
// With one named, what the libraries say may be why it cannot be opened.
bool StartVideo()
{
    bool displayNamed = Named("DISPLAY") || Named("WAYLAND_DISPLAY");
    int saved = displayNamed ? -1 : QuietStandardError();
    bool started = SDL_Init(SDL_INIT_VIDEO) == 0;
    RestoreStandardError(saved);
    return started;
}

// Without a display SDL falls back to drivers that show nothing; a window
// there would run unseen, out of reach of Esc.
bool DisplayIsVisible()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && strcmp(driver, "offscreen") != 0 && strcmp(driver, "dummy") != 0 && strcmp(driver, "evdev") != 0;
}

uint32_t Milliseconds() { return SDL_GetTicks(); }

void Sleep(int32_t milliseconds)
{
    // SDL_Delay(0) is a bare yield of the processor.
    SDL_Delay(static_cast<Uint32>(milliseconds));
}

int32_t RunMainLoop()
{
    FrameClock clock = {0, false};
    const FrameClockPlatform platform = {Milliseconds, SwapGameWindow, nullptr};
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (HandleShellEvent(event))
                return 0;
        HandOverPads();
        Sleep(RunTimedTurn(clock, platform));
    }
}
} // namespace

int main(int argc, char** argv)
{
    HoldStopSignals(true);
    GuardStandardStreams();
    bool fullScreen = StartsInFullScreen(ReadOptions(argc, argv));
    WorkInProgramFolder();
    // The signals stay held on the ways out below: SDL_Quit puts back the
    // default handlers, which would end the program by the signal instead.
    if (!StartVideo() || !DisplayIsVisible()) {
        SDL_Quit();
        ShowErrorBox("Error creating window");
        return kWindowFailedExitCode;
    }
    StartPads();
    int32_t exitCode = 0;
    if (!CreateGameWindow(FirstClientSize(), exitCode)) {
        SDL_Quit();
        return exitCode;
    }
    HoldStopSignals(false);
    SDL_DisableScreenSaver();
    SetSoundEngineFactory(MakeSdlSoundEngine);
    AppInit();
    shell.windowReady = true;
    if (fullScreen)
        SetWindowedMode(false);
    SDL_ShowWindow(sdlWindow.window);
    ResizeAndPaintGameWindow();
    exitCode = RunMainLoop();
    ShowCursorIfHidden();
    // SDL's display stays open until the process ends: closing it would
    // unload the GL driver while memory the driver keeps is still allocated.
    return exitCode;
}
