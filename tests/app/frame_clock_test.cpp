// The frame clock: elapsed milliseconds become whole ticks (three every 50
// ms), at most four a turn with the fraction carried; a drawn frame is
// swapped and paced; the loop sleeps 10 ms minimized or inactive, else 0 or 1.
#include <gtest/gtest.h>

#include <climits>

#include "app/app.h"
#include "app/diagnostics.h"
#include "app/frame_clock.h"
#include "app/shell_state.h"
#include "game/game.h"
#include "render/renderer.h"
#include "render/virtual_screen.h"
#include "tests/support/test_platform.h"
#include "tools/offscreen/offscreen_gl.h"

namespace {

struct FakeLoop {
    uint32_t now, swapTakes;
    int32_t swaps, paintMarks;
} fake;

const FrameClockPlatform kFake = {[]() { return fake.now; },
                                  []() {
                                      fake.swaps += 1;
                                      fake.now += fake.swapTakes;
                                  },
                                  []() { fake.paintMarks += 1; }};

// Ticks are counted by walking him right in a game: one pixel a tick.
class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        context = CreateOffscreenGl(kScreenWidth, kScreenHeight);
        ASSERT_NE(context, nullptr);
        ResetTestPlatform();
        ResetGameState();
        game.playing = true;
        game.female.x = 1000000; // out of reach: no outcome ends the walk
        SetKey(kKeyRight, true);
        fake = FakeLoop{5000, 0, 0, 0};
        running = true;
        tickCarry = 0;
        renderer.windowWidth = kScreenWidth;
        renderer.windowHeight = kScreenHeight;
    }
    void TearDown() override
    {
        running = false;
        tickCarry = 0;
        renderer.windowWidth = renderer.windowHeight = 0;
        shell = savedShell;
        ResetGameState();
        DestroyOffscreenGl(context);
    }
    int TicksRun(int32_t elapsed)
    {
        game.male.x = 16;
        game.excitement = 10000;
        AppFrame(elapsed);
        return game.male.x - 16;
    }
    int32_t TurnAfter(uint32_t elapsed)
    {
        fake.now += elapsed;
        game.excitement = 10000;
        return RunTimedTurn(clock, kFake);
    }
    OffscreenGl* context = nullptr;
    FrameClock clock = {0, false};
    ShellState savedShell = shell;
};

TEST_F(FrameClockTest, ElapsedTimeBecomesWholeTicksAtMostFourWithTheFractionCarried)
{
    struct Step {
        int32_t carry, elapsed, ticks, carryAfter;
    } steps[] = {
        {0, 16, 0, 48},
        {48, 1, 1, 1},
        {0, 17, 1, 1},
        {0, 50, 3, 0},
        {0, 100, 4, 0},
        {0, 1000, 4, 0},
        {30, 0, 0, 30},
        {30, -5, 0, 30},
        // 3 x E is exact wherever it fits 32 bits; beyond, the sum is held at the limit.
        {0, 1000001, 4, 3},
        {0, 715827882, 4, 46},
        {49, INT_MAX / 3 + 1, 4, 47},
        {49, INT_MAX, 4, 47},
    };
    for (const Step& s : steps) {
        tickCarry = s.carry;
        EXPECT_EQ(TicksRun(s.elapsed), s.ticks) << s.elapsed;
        EXPECT_EQ(tickCarry, s.carryAfter) << s.elapsed;
    }
    running = false;
    EXPECT_EQ(TicksRun(100), 0);
}

TEST_F(FrameClockTest, PacingSteersTheRemainderTheShortWayToward37)
{
    struct Case {
        int32_t carry, elapsed, after;
    } cases[] = {{10, 5, 11}, {40, 0, 39}, {5, 0, 4},   {37, 0, 37}, {11, 0, 10},
                 {12, 0, 13}, {0, 12, 1},  {49, 0, 48}, {40, -1, 40}}; // a clock that ran backwards is taken as it is
    for (const Case& c : cases) {
        tickCarry = c.carry;
        AppAdjustPacing(c.elapsed);
        EXPECT_EQ(tickCarry, c.after) << c.carry << " " << c.elapsed;
    }
}

TEST_F(FrameClockTest, TimedTurnsSwapDrawnFramesAndSleepByTheWindowsState)
{
    fake.now = 0xFFFFFFF0u;     // the counter wraps on the way
    EXPECT_EQ(TurnAfter(0), 1); // the first turn measures nothing
    EXPECT_EQ(game.male.x, 16);
    EXPECT_EQ(TurnAfter(17), 0); // one tick, drawn and swapped
    EXPECT_EQ(game.male.x, 17);
    EXPECT_EQ(fake.swaps, 1);
    EXPECT_EQ(TurnAfter(5), 1); // nothing due: nothing drawn
    EXPECT_EQ(fake.swaps, 1);
    EXPECT_EQ(tickCarry, 16);
    shell.inactive = true;
    EXPECT_EQ(TurnAfter(17), 10);
    EXPECT_EQ(fake.swaps, 2);
    shell.inactive = false;
    shell.minimized = true;
    renderer.windowWidth = renderer.windowHeight = 0;
    EXPECT_EQ(TurnAfter(1000), 10); // ticks run, nothing is drawn
    EXPECT_EQ(game.male.x, 21);     // no key is held while inactive
    EXPECT_EQ(fake.swaps, 2);
    EXPECT_EQ(fake.paintMarks, 5);
    FrameClock fresh = {0, false};
    clock = fresh;
    EXPECT_EQ(TurnAfter(0), 10);
}

TEST_F(FrameClockTest, PacingFollowsTheSwapOnlyWithVerticalSynchronisation)
{
    TurnAfter(0);
    fake.swapTakes = 5;
    shell.vsyncOn = false;
    TurnAfter(17); // carry 0 + 51: a tick, carry 1; the swap's wait moves nothing
    EXPECT_EQ(tickCarry, 1);
    shell.vsyncOn = true;
    TurnAfter(12); // 5 + 12 ms: carry 52, a tick, carry 2; r = 17 steers up
    EXPECT_EQ(tickCarry, 3);
    TurnAfter(10); // 48: no tick, no swap, no pacing
    EXPECT_EQ(tickCarry, 48);
    fake.swapTakes = 0;
    TurnAfter(1); // 51: a tick, carry 1 counts as 51, steered down
    EXPECT_EQ(tickCarry, 0);
    EXPECT_EQ(fake.swaps, 3);
}

} // namespace
