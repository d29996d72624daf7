#include "app/shell_state.h"

ShellState shell = {
    "Game",  // appName: class name, caption and error-box caption
    false,   // windowReady
    false,   // minimized
    false,   // inactive
    true,    // windowed
    true,    // vsyncInFullScreen
    false,   // vsyncOn
    false,   // cursorHidden
    nullptr, // setSwapInterval
};

void SetSwapInterval(int interval)
{
    if (shell.setSwapInterval)
        shell.setSwapInterval(interval);
}
