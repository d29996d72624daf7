// The main loop's timing steps, shared by every shell: read the millisecond
// counter, run AppFrame, present and pace, then tell how long to sleep.
#pragma once

#include <cstdint>

struct FrameClock {
    uint32_t lastFrameTime;
    bool haveFrameTime;
};

// What a shell supplies for one timed turn.
struct FrameClockPlatform {
    uint32_t (*milliseconds)(); // a wrapping 32-bit millisecond counter
    void (*swapBuffers)();
    void (*markPainted)(); // may be null where the window system has no paint requests
};

// Runs one timed turn and returns the milliseconds the loop should sleep:
// 10 while minimized or inactive, 0 after a drawn frame, 1 otherwise.
int32_t RunTimedTurn(FrameClock& clock, const FrameClockPlatform& platform);
