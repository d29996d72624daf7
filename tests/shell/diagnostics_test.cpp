// The shell's small services: log lines, error boxes, keys, paths, quitting.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "app/diagnostics.h"
#include "app/shell_state.h"
#include "tests/support/test_platform.h"

namespace {

class Diagnostics : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetTestPlatform();
        shell.inactive = false;
    }
    void TearDown() override { shell.inactive = false; }
};

TEST_F(Diagnostics, ShellStartsWindowedNotReadyActiveAndWithoutVsync)
{
    EXPECT_STREQ(shell.appName, "Game");
    EXPECT_TRUE(shell.windowed);
    EXPECT_FALSE(shell.windowReady);
    EXPECT_FALSE(shell.minimized);
    EXPECT_FALSE(shell.cursorHidden);
    EXPECT_FALSE(shell.vsyncOn);
    EXPECT_TRUE(shell.vsyncInFullScreen);
    EXPECT_EQ(shell.setSwapInterval, nullptr);
    SetSwapInterval(1); // without the function nothing happens
}

TEST_F(Diagnostics, EachMessageIsOneLineWithNoPrefix)
{
    EXPECT_TRUE(testPlatform.logLines.empty());
    LogError("Error loading string data %s", "StringData.txt");
    LogError("Error loading font %s (line %d)", "Data\\Fonts\\Small.txt", 5);
    ASSERT_EQ(testPlatform.logLines.size(), 2u);
    EXPECT_EQ(testPlatform.logLines[0], "Error loading string data StringData.txt");
    EXPECT_EQ(testPlatform.logLines[1], "Error loading font Data\\Fonts\\Small.txt (line 5)");
}

TEST_F(Diagnostics, LongMessagesAreCutTo1023Bytes)
{
    std::string longName(3000, 'x');
    LogError("String variable unknown (%s)", longName.c_str());
    ASSERT_EQ(testPlatform.logLines.size(), 1u);
    EXPECT_EQ(testPlatform.logLines[0].size(), 1023u);
    EXPECT_EQ(testPlatform.logLines[0].substr(0, 25), "String variable unknown (");
    std::string exact(1023, 'y');
    LogError("%s", exact.c_str());
    EXPECT_EQ(testPlatform.logLines[1], exact);
}

TEST_F(Diagnostics, ErrorBoxesCarryTheGameCaption)
{
    ShowErrorBox("Error creating OpenGL context");
    ASSERT_EQ(testPlatform.errorBoxes.size(), 1u);
    EXPECT_EQ(testPlatform.errorBoxes[0], "Game: Error creating OpenGL context");
}

TEST_F(Diagnostics, NoKeyIsHeldWhileTheWindowIsInactive)
{
    SetKey(kKeySpace, true);
    EXPECT_TRUE(IsKeyDown(kKeySpace));
    EXPECT_FALSE(IsKeyDown(kKeyLeft));
    shell.inactive = true;
    EXPECT_FALSE(IsKeyDown(kKeySpace));
    shell.inactive = false;
    EXPECT_TRUE(IsKeyDown(kKeySpace));
}

TEST_F(Diagnostics, PathExistsTellsFilesFromFolders)
{
    std::string folder = ::testing::TempDir() + "velmora-paths";
    mkdir(folder.c_str(), 0755);
    std::string file = folder + "/beep.ogg";
    fclose(fopen(file.c_str(), "wb"));
    EXPECT_TRUE(PathExists(String(file.c_str()), false));
    EXPECT_FALSE(PathExists(String(file.c_str()), true));
    EXPECT_FALSE(PathExists(String(folder.c_str()), false));
    EXPECT_TRUE(PathExists(String(folder.c_str()), true));
    EXPECT_FALSE(PathExists(String((folder + "/missing.ogg").c_str()), false));
    EXPECT_FALSE(PathExists(String(), false));
    std::string backslashed = file;
    for (char& c : backslashed)
        if (c == '/')
            c = '\\';
    EXPECT_TRUE(PathExists(String(backslashed.c_str()), false));
    remove(file.c_str());
    rmdir(folder.c_str());
}

TEST_F(Diagnostics, RequestQuitOnlyAsksTheWindowToClose)
{
    RequestQuit();
    RequestQuit();
    EXPECT_EQ(testPlatform.closeRequests, 2);
}

} // namespace
