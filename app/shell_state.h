// The few values the window shell shares between its parts. Platform handles
// (window, device context) stay inside each shell; the swap interval is
// reached through a plain function so every shell can supply its own.
#pragma once

using SwapIntervalFunction = void (*)(int interval);

struct ShellState {
    const char* appName;
    bool windowReady;
    bool minimized;
    bool inactive;
    bool windowed;
    bool vsyncInFullScreen;
    bool vsyncOn;
    bool cursorHidden;
    SwapIntervalFunction setSwapInterval;
};

extern ShellState shell;

// Calls the swap-interval function when there is one; the result is unused.
void SetSwapInterval(int interval);
