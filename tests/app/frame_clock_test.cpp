// The application on the game's real files, offscreen: it draws only while
// sized, and its frame clock runs three ticks every 50 ms, at most four a
// turn, swaps and paces drawn frames, and sleeps by the window's state.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <utility>

#include "app/app.h"
#include "app/diagnostics.h"
#include "app/frame_clock.h"
#include "app/shell_state.h"
#include "game/game.h"
#include "render/virtual_screen.h"
#include "tests/support/app_run.h"
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

// The game on its real files, unsized and in play; ticks are counted by
// walking him right: one pixel a tick.
class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        context = CreateOffscreenGl(kScreenWidth, kScreenHeight);
        ASSERT_NE(context, nullptr);
        ASSERT_EQ(chdir(VELMORA_GAME_FILES), 0);
        ResetTestPlatform();
        AppInit();
        game.playing = true;
        game.female.x = 1000000; // out of reach: no outcome ends the walk
        SetKey(kKeyRight, true);
        game.excitement = 10000;
        tickCarry = 0;
    }
    void TearDown() override
    {
        EndAppRun();
        DestroyOffscreenGl(context);
    }
    OffscreenGl* context = nullptr;
};

// From a carry, elapsed milliseconds run whole ticks and leave a carry;
// pacing after a swap that took them steers the remainder the short way
// toward 37. 3 x E is exact wherever it fits 32 bits; beyond (the last rows)
// the sum is held at the limit, and a clock that ran backwards runs nothing.
TEST_F(FrameClockTest, ElapsedTimeBecomesWholeTicksAtMostFourAndPacingSteersTheCarry)
{
    struct Step {
        int32_t carry, elapsed, ticks, carryAfter, paced;
    } steps[] = {{0, 16, 0, 48, -1},        {48, 1, 1, 1, 47},        {0, 17, 1, 1, -1},
                 {0, 50, 3, 0, -1},         {0, 100, 4, 0, -1},       {30, 0, 0, 30, 31},
                 {37, 0, 0, 37, 37},        {11, 0, 0, 11, 10},       {12, 0, 0, 12, 13},
                 {49, 0, 0, 49, 48},        {40, -1, 0, 40, 40},      {0, 1000001, 4, 3, -1},
                 {0, 715827882, 4, 46, -1}, {49, INT_MAX, 4, 47, 48}, {49, INT_MAX / 3 + 1, 4, 47, 48}};
    for (const Step& s : steps) {
        tickCarry = s.carry;
        AppAdjustPacing(s.elapsed);
        EXPECT_EQ(tickCarry, s.paced) << s.carry << " " << s.elapsed;
        tickCarry = s.carry;
        game.male.x = 16;
        AppFrame(s.elapsed);
        EXPECT_EQ(std::make_pair(game.male.x - 16, tickCarry), std::make_pair(s.ticks, s.carryAfter))
            << s.carry << " " << s.elapsed;
    }
}

// Turns of the main loop, each after the time elapsed and with the window's
// state, in a row; a swap takes 5 ms throughout.
TEST_F(FrameClockTest, TimedTurnsSwapDrawnFramesPaceThemOnlyWithVsyncAndSleepByTheWindowsState)
{
    struct Turn {
        uint32_t elapsed;
        bool vsync, inactive, minimized;
        int32_t sleep, x, carry, swaps;
    } turns[] = {{0, false, false, false, 1, 16, 0, 0},     // the first turn measures nothing
                 {17, false, false, false, 0, 17, 1, 1},    // 51: a tick, drawn and swapped, carry 1 left as it is
                 {10, true, false, false, 1, 17, 46, 1},    // 5 + 10 ms: 46, nothing due, nothing drawn
                 {2, true, false, false, 0, 18, 3, 2},      // 52: a tick, carry 2; 5 ms after it r = 17 steers up
                 {17, true, true, false, 10, 18, 20, 3},    // no key is held while inactive
                 {1000, true, false, true, 10, 22, 35, 3}}; // ticks run, nothing is drawn
    FrameClock clock = {0, false};
    fake = FakeLoop{0xFFFFFFF0u, 5, 0, 0}; // the counter wraps on the way
    for (const Turn& t : turns) {
        shell.vsyncOn = t.vsync;
        shell.inactive = t.inactive;
        shell.minimized = t.minimized;
        AppResize(t.minimized ? 0 : kScreenWidth, t.minimized ? 0 : kScreenHeight);
        EXPECT_EQ(AppPaint(), !t.minimized);
        fake.now += t.elapsed;
        EXPECT_EQ(RunTimedTurn(clock, kFake), t.sleep) << t.elapsed;
        EXPECT_EQ(game.male.x, t.x) << t.elapsed;
        EXPECT_EQ(tickCarry, t.carry) << t.elapsed;
        EXPECT_EQ(fake.swaps, t.swaps) << t.elapsed;
    }
    EXPECT_EQ(fake.paintMarks, 6);
}

} // namespace
