// Start-up and shut-down of the whole application on an offscreen surface,
// with the game's real files and with damaged or missing ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "app/diagnostics.h"
#include "game/game.h"
#include "tests/support/app_run.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_platform.h"
#include "tools/offscreen/offscreen_gl.h"

#ifndef VELMORA_GAME_FILES
#error "VELMORA_GAME_FILES must name the folder holding Data and StringData.txt"
#endif

namespace {

using Lines = std::vector<std::string>;

class Lifecycle : public ::testing::Test {
protected:
    static void SetUpTestSuite() { surface = CreateOffscreenGl(640, 480); }
    static void TearDownTestSuite() { DestroyOffscreenGl(surface); }

    // A copy of the game's files in a folder of the test's own.
    void SetUp() override
    {
        ASSERT_NE(surface, nullptr);
        ASSERT_TRUE(folder.Enter());
        Shell("cp -r '" VELMORA_GAME_FILES "/Data' '" VELMORA_GAME_FILES "/StringData.txt' .");
        ResetTestPlatform();
    }
    void TearDown() override
    {
        EndAppRun();
        folder.Leave();
    }
    static void Shell(const std::string& command) { ASSERT_EQ(system(command.c_str()), 0) << command; }

    static OffscreenGl* surface;
    ScratchFolder folder;
};

OffscreenGl* Lifecycle::surface;

TEST_F(Lifecycle, WithEveryFilePresentTheGameRunsAndDrawsOnlyOnceSized)
{
    AppInit();
    EXPECT_TRUE(running);
    EXPECT_EQ(testPlatform.logLines, Lines{});
    EXPECT_NE(game.title, nullptr);
    EXPECT_EQ(game.male.walk.count, 8);
    EXPECT_FALSE(AppPaint()); // no size has reached the renderer yet
    AppResize(640, 480);
    EXPECT_TRUE(AppPaint());
    AppResize(0, 0); // minimized
    EXPECT_FALSE(AppPaint());
    EXPECT_FALSE(AppFrame(100));
    AppResize(640, 480);
    EXPECT_TRUE(AppPaint());
    EXPECT_TRUE(AppFrame(17));
    AppShutdown();
    EXPECT_FALSE(running);
    EXPECT_FALSE(AppPaint());
    EXPECT_FALSE(AppFrame(100));
}

TEST_F(Lifecycle, EscapeAsksToCloseAndOtherKeysDoNothing)
{
    AppInit();
    AppKeyDown(kKeySpace);
    AppKeyDown(kKeyEnter);
    EXPECT_EQ(testPlatform.closeRequests, 0);
    AppKeyDown(kKeyEscape);
    AppKeyDown(kKeyEscape); // auto-repeat asks again; the shell closes once
    EXPECT_EQ(testPlatform.closeRequests, 2);
}

} // namespace
