#include "app/frame_clock.h"

#include "app/app.h"
#include "app/shell_state.h"
#include "game/game.h"
#include "render/renderer.h"

bool running = false;
int32_t tickCarry = 0;

namespace {
const int32_t kUnitsPerMillisecond = 3;
const int32_t kUnitsPerTick = 50;
const int32_t kMostTicksPerFrame = 4;
const int32_t kPacingWrap = 12;
const int32_t kPacingTarget = 37;

// tickCarry + 3 x E in 32 bits; only a stall of over eight days, whose ticks
// are dropped anyway, would overflow, and that sum is held at the limit.
int32_t CarryPlusElapsed(int32_t elapsedMilliseconds)
{
    int64_t units = tickCarry + int64_t{kUnitsPerMillisecond} * elapsedMilliseconds;
    if (units > INT32_MAX)
        return INT32_MAX;
    if (units < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(units);
}
} // namespace

bool AppFrame(int32_t elapsedMilliseconds)
{
    if (!running || elapsedMilliseconds <= 0)
        return false;
    int32_t units = CarryPlusElapsed(elapsedMilliseconds);
    int32_t due = units / kUnitsPerTick;
    tickCarry = units % kUnitsPerTick;
    if (due <= 0)
        return false;
    int32_t ticks = due < kMostTicksPerFrame ? due : kMostTicksPerFrame;
    for (int32_t i = 0; i < ticks; ++i)
        UpdateGame();
    if (renderer.windowWidth == 0 || renderer.windowHeight == 0)
        return false;
    DrawGame();
    return true;
}

void AppAdjustPacing(int32_t elapsedMilliseconds)
{
    int32_t r = CarryPlusElapsed(elapsedMilliseconds) % kUnitsPerTick;
    if (r < kPacingWrap)
        r += kUnitsPerTick;
    if (r < kPacingTarget)
        tickCarry += 1;
    else if (r > kPacingTarget)
        tickCarry -= 1;
}

int32_t RunTimedTurn(FrameClock& clock, const FrameClockPlatform& platform)
{
    uint32_t now = platform.milliseconds();
    int32_t elapsed = 0;
    if (clock.haveFrameTime)
        elapsed = static_cast<int32_t>(now - clock.lastFrameTime);
    clock.haveFrameTime = true;
    clock.lastFrameTime = now;
    bool drew = AppFrame(elapsed);
    if (drew) {
        platform.swapBuffers();
        if (shell.vsyncOn)
            AppAdjustPacing(static_cast<int32_t>(platform.milliseconds() - clock.lastFrameTime));
    }
    if (platform.markPainted)
        platform.markPainted();
    if (shell.minimized || shell.inactive)
        return 10;
    return drew ? 0 : 1;
}
