// The frame clock: elapsed milliseconds become whole ticks, at most four a
// turn, with the fraction carried; pacing nudges the tick grid.
#include <gtest/gtest.h>

#include <climits>

#include "app/app.h"
#include "app/frame_clock.h"
#include "app/shell_state.h"
#include "game/game.h"
#include "render/renderer.h"
#include "tests/support/test_platform.h"

namespace {

// Ticks are counted by walking him right inside a game: one pixel a tick.
class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTestPlatform();
        ResetGameState();
        game.playing = true;
        game.male.x = 16;
        game.female.x = 1000000; // out of reach, so no outcome ends the walk
        game.excitement = 10000;
        SetKey(0x27, true);
        running = true;
        tickCarry = 0;
        renderer.windowWidth = 0; // minimized: ticks run, nothing is drawn
        renderer.windowHeight = 0;
    }
    void TearDown() override
    {
        running = false;
        tickCarry = 0;
        shell = savedShell;
        ResetGameState();
    }
    int TicksRun(int32_t elapsed)
    {
        int32_t before = game.male.x;
        game.excitement = 10000;
        AppFrame(elapsed);
        return game.male.x - before;
    }

    ShellState savedShell = shell;
};

TEST_F(FrameClockTest, ElapsedTimeBecomesWholeTicksWithTheFractionCarried)
{
    EXPECT_EQ(TicksRun(16), 0);
    EXPECT_EQ(tickCarry, 48);
    EXPECT_EQ(TicksRun(1), 1);
    EXPECT_EQ(tickCarry, 1);
    tickCarry = 0;
    EXPECT_EQ(TicksRun(17), 1);
    EXPECT_EQ(tickCarry, 1);
    // Three turns of 50 ms are exactly nine ticks.
    tickCarry = 0;
    int total = TicksRun(50) + TicksRun(50) + TicksRun(50);
    EXPECT_EQ(total, 9);
    EXPECT_EQ(tickCarry, 0);
}

TEST_F(FrameClockTest, AtMostFourTicksATurnAndTheRestIsDropped)
{
    EXPECT_EQ(TicksRun(100), 4);
    EXPECT_EQ(tickCarry, 0);
    EXPECT_EQ(TicksRun(1000), 4);
    EXPECT_EQ(tickCarry, 0);
}

TEST_F(FrameClockTest, NothingHappensForNonPositiveTimeOrWhenNotRunning)
{
    tickCarry = 30;
    EXPECT_FALSE(AppFrame(0));
    EXPECT_FALSE(AppFrame(-5));
    EXPECT_EQ(tickCarry, 30);
    running = false;
    EXPECT_EQ(TicksRun(100), 0);
    EXPECT_EQ(tickCarry, 30);
}

TEST_F(FrameClockTest, LongStallsAndClockWrapsStaySound)
{
    // 3 x E is exact wherever it fits 32 bits; beyond, the sum is held at the limit.
    struct Case {
        int32_t carry, stall, carryAfter;
    } cases[] = {
        {0, 1000001, 3},
        {0, 715827882, 46},
        {49, INT_MAX / 3 + 1, 47},
        {49, INT_MAX, 47},
    };
    for (const Case& c : cases) {
        tickCarry = c.carry;
        EXPECT_EQ(TicksRun(c.stall), 4) << c.stall;
        EXPECT_EQ(tickCarry, c.carryAfter) << c.stall;
    }
    // A wrap of the millisecond counter still gives the true difference.
    FrameClock clock = {0xFFFFFFF0u, true};
    static uint32_t now;
    now = 0x00000001u; // 17 ms after the last turn, across the wrap
    FrameClockPlatform platform = {[]() { return now; }, []() {}, nullptr};
    tickCarry = 0;
    int32_t before = game.male.x;
    RunTimedTurn(clock, platform);
    EXPECT_EQ(game.male.x - before, 1);
    EXPECT_EQ(tickCarry, 1);
}

TEST_F(FrameClockTest, MinimizedWindowsTickAtTheSlowCadenceWithoutDrawing)
{
    static uint32_t now;
    static int swaps;
    now = 1000;
    swaps = 0;
    FrameClock clock = {0, false};
    FrameClockPlatform platform = {[]() { return now; }, []() { swaps += 1; }, nullptr};
    // The first timed turn measures nothing: no tick, no drawing, sleep 1.
    EXPECT_EQ(RunTimedTurn(clock, platform), 1);
    EXPECT_EQ(game.male.x, 16);
    shell.minimized = true;
    now += 10;
    EXPECT_EQ(RunTimedTurn(clock, platform), 10);
    now += 1000;
    RunTimedTurn(clock, platform);
    EXPECT_GT(game.male.x, 16);
    EXPECT_EQ(swaps, 0);
    shell.minimized = false;
    shell.inactive = true;
    EXPECT_EQ(RunTimedTurn(clock, platform), 10);
}

TEST_F(FrameClockTest, PacingSteersTheRemainderTheShortWayToward37)
{
    struct Case {
        int32_t carry, elapsed, after;
    } cases[] = {
        {10, 5, 11}, // r = 25: later boundaries come earlier
        {40, 0, 39}, // r = 40
        {5, 0, 4},   // r = 5 counts as 55
        {37, 0, 37}, // on target
        {11, 0, 10}, // r = 11 counts as 61
        {12, 0, 13}, // r = 12 is steered upward
        {0, 12, 1},  // r = 36
        {49, 0, 48},
        {40, -1, 40}, // r = 37: a clock that ran backwards is taken as it is
    };
    for (const Case& c : cases) {
        tickCarry = c.carry;
        AppAdjustPacing(c.elapsed);
        EXPECT_EQ(tickCarry, c.after) << c.carry << " " << c.elapsed;
    }
    EXPECT_EQ(game.male.x, 16); // pacing runs no tick
}

} // namespace
