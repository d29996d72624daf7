// One timed turn of the main loop: the clock read, the frame run, the swap
// and the pacing when something was drawn, and the sleep that follows. The
// scene is drawn into an offscreen context, as a shell's window would have.
#include <gtest/gtest.h>

#include "app/app.h"
#include "app/frame_clock.h"
#include "app/shell_state.h"
#include "game/game.h"
#include "render/renderer.h"
#include "tests/support/test_platform.h"
#include "tools/offscreen/offscreen_gl.h"

namespace {

// The fake platform: a counter the test moves, and counts of what was done.
struct FakeLoop {
    uint32_t now;
    uint32_t swapTakes; // milliseconds a swap waits, as with a display's refresh
    int32_t swaps;
    int32_t paintMarks;
};
FakeLoop fake;

uint32_t FakeMilliseconds() { return fake.now; }
void FakeSwap()
{
    fake.swaps += 1;
    fake.now += fake.swapTakes;
}
void FakeMarkPainted() { fake.paintMarks += 1; }

const FrameClockPlatform kFakePlatform = {FakeMilliseconds, FakeSwap, FakeMarkPainted};

class TimedTurn : public ::testing::Test {
protected:
    void SetUp() override
    {
        context = CreateOffscreenGl(kScreenWidth, kScreenHeight);
        ASSERT_NE(context, nullptr);
        ResetTestPlatform();
        ResetGameState();
        fake = FakeLoop{5000, 0, 0, 0};
        running = true;
        tickCarry = 0;
        renderer.windowWidth = kScreenWidth; // as after the first resize
        renderer.windowHeight = kScreenHeight;
    }
    void TearDown() override
    {
        running = false;
        tickCarry = 0;
        renderer.windowWidth = renderer.windowHeight = 0;
        shell = savedShell;
        DestroyOffscreenGl(context);
    }
    // A turn after `elapsed` milliseconds.
    int32_t TurnAfter(uint32_t elapsed)
    {
        fake.now += elapsed;
        return RunTimedTurn(clock, kFakePlatform);
    }

    OffscreenGl* context = nullptr;
    FrameClock clock = {0, false};
    ShellState savedShell = shell;
};

TEST_F(TimedTurn, TheFirstTurnMeasuresNothing)
{
    fake.now = 123456; // however long start-up took
    EXPECT_EQ(RunTimedTurn(clock, kFakePlatform), 1);
    EXPECT_TRUE(clock.haveFrameTime);
    EXPECT_EQ(clock.lastFrameTime, 123456u);
    EXPECT_EQ(fake.swaps, 0);
    EXPECT_EQ(tickCarry, 0);
    EXPECT_EQ(fake.paintMarks, 1);
}

TEST_F(TimedTurn, TheFirstTurnSleepsLongWhileMinimizedOrInactive)
{
    shell.minimized = true;
    EXPECT_EQ(TurnAfter(0), 10);
    FrameClock fresh = {0, false};
    clock = fresh;
    shell.minimized = false;
    shell.inactive = true;
    EXPECT_EQ(TurnAfter(0), 10);
}

TEST_F(TimedTurn, ADrawnFrameIsSwappedAndOnlyYields)
{
    TurnAfter(0);
    EXPECT_EQ(TurnAfter(17), 0); // one tick ran and the scene was drawn
    EXPECT_EQ(fake.swaps, 1);
    EXPECT_EQ(tickCarry, 1);
    EXPECT_EQ(TurnAfter(5), 1); // no tick due: nothing drawn, a 1 ms sleep
    EXPECT_EQ(fake.swaps, 1);
    EXPECT_EQ(tickCarry, 16);
    EXPECT_EQ(fake.paintMarks, 3);
}

TEST_F(TimedTurn, SleepsLongEvenAfterDrawingWhileInactive)
{
    TurnAfter(0);
    shell.inactive = true;
    EXPECT_EQ(TurnAfter(17), 10);
    EXPECT_EQ(fake.swaps, 1); // drawn and shown all the same
}

TEST_F(TimedTurn, NothingIsSwappedWhenNothingCouldBeDrawn)
{
    TurnAfter(0);
    running = false; // a failed start-up
    EXPECT_EQ(TurnAfter(100), 1);
    EXPECT_EQ(fake.swaps, 0);
    EXPECT_EQ(tickCarry, 0);
    running = true;
    renderer.windowWidth = renderer.windowHeight = 0; // minimized
    shell.minimized = true;
    EXPECT_EQ(TurnAfter(17), 10);
    EXPECT_EQ(fake.swaps, 0);
    EXPECT_EQ(tickCarry, 1); // the tick ran all the same
}

TEST_F(TimedTurn, PacingFollowsTheSwapOnlyWithVerticalSynchronisation)
{
    TurnAfter(0);
    fake.swapTakes = 5;
    // Without vertical synchronisation the swap's wait moves nothing.
    shell.vsyncOn = false;
    TurnAfter(17); // carry 0 + 51: a tick, carry 1
    EXPECT_EQ(tickCarry, 1);
    EXPECT_EQ(fake.swaps, 1);
    // With it, the swap ends 5 ms after the turn's timestamp.
    shell.vsyncOn = true;
    TurnAfter(12); // 5 + 12 ms: carry 1 + 51 = 52, a tick, carry 2
    EXPECT_EQ(fake.swaps, 2);
    EXPECT_EQ(tickCarry, 3); // r = 2 + 15 = 17, below 37: one unit up
    TurnAfter(10); // 5 + 10 ms: carry 3 + 45 = 48, no tick, no swap, no pacing
    EXPECT_EQ(fake.swaps, 2);
    EXPECT_EQ(tickCarry, 48);
    fake.swapTakes = 0;
    TurnAfter(1); // carry 48 + 3 = 51: a tick, carry 1, the swap at once
    EXPECT_EQ(fake.swaps, 3);
    EXPECT_EQ(tickCarry, 0); // r = 1 counts as 51, above 37: one unit down
}

TEST_F(TimedTurn, TheCounterMayWrap)
{
    fake.now = 0xFFFFFFF8u;
    TurnAfter(0);
    EXPECT_EQ(TurnAfter(17), 0); // across the wrap, still 17 ms
    EXPECT_EQ(tickCarry, 1);
    EXPECT_EQ(fake.swaps, 1);
}

TEST_F(TimedTurn, TheWindowSystemsPaintMarkIsOptional)
{
    const FrameClockPlatform withoutMarks = {FakeMilliseconds, FakeSwap, nullptr};
    EXPECT_EQ(RunTimedTurn(clock, withoutMarks), 1);
    fake.now += 17;
    EXPECT_EQ(RunTimedTurn(clock, withoutMarks), 0);
    EXPECT_EQ(fake.paintMarks, 0);
}

} // namespace
