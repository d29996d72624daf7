// The program entry and the main loop: register the window class "Game",
// read -f and -w, move into the program's own folder, create the window
// (whose creation brings up OpenGL and the game), then loop until quit.
#include <direct.h>

#include "app/command_line.h"
#include "app/diagnostics.h"
#include "app/display_mode.h"
#include "app/frame_clock.h"
#include "app/shell_state.h"
#include "app/win32/display_mode.h"
#include "app/win32/waveout_audio.h"
#include "app/win32/win32_pads.h"
#include "app/win32/win32_shell.h"
#include "sound/sound_engine.h"

namespace {

const WORD kIconResource = 1;

bool RegisterGameClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    // Repainted on any size change; one private device context for life.
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    windowClass.lpszClassName = shell.appName;
    return RegisterClassExA(&windowClass) != 0;
}

// Every data file is found relative to the program's folder.
void EnterProgramFolder()
{
    String folder;
    if (ProgramFolderFromCommandLine(String(GetCommandLineA()), folder))
        _chdir(folder.Text());
}

uint32_t Milliseconds() { return timeGetTime(); }
void PresentBackBuffer() { SwapBuffers(win32.deviceContext); }
void MarkWindowPainted() { ValidateRect(win32.mainWindow, nullptr); }

const FrameClockPlatform kWin32FrameClock = {Milliseconds, PresentBackBuffer, MarkWindowPainted};

// Empties the queue, then, once the window is ready, reads the gamepads and
// runs one timed turn.
int RunMainLoop()
{
    FrameClock clock = {0, false};
    PadPoller pads = {};
    const PadReaders padReaders = SystemPadReaders();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!shell.windowReady)
            continue;
        PollPads(pads, padReaders, timeGetTime());
        Sleep(static_cast<DWORD>(RunTimedTurn(clock, kWin32FrameClock)));
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int)
{
    SetSoundEngineFactory(MakeWaveOutSoundEngine);
    if (!RegisterGameClass(instance)) {
        ShowErrorBox("Error creating window");
        return 0;
    }
    bool fullScreen = StartsInFullScreen(ReadCommandLineOptions(arguments));
    EnterProgramFolder();
    SIZE size = InitialWindowSize();
    HWND window = CreateWindowExA(0, shell.appName, shell.appName, kFramedWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  size.cx, size.cy, nullptr, nullptr, instance, nullptr);
    if (!window) {
        ShowErrorBox("Error creating window");
        return 0;
    }
    win32.mainWindow = window;
    if (fullScreen)
        SetWindowedMode(false);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    int exitCode = RunMainLoop();
    ShowCursorIfHidden();
    return exitCode;
}
