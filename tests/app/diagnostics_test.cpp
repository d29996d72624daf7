// The shell's small services as the game uses them: log lines, error boxes,
// keys while inactive, paths and quitting.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "app/diagnostics.h"
#include "app/shell_state.h"
#include "tests/support/test_platform.h"

namespace {

TEST(Diagnostics, MessagesAreSingleLinesCutAt1023BytesAndBoxesCarryTheCaption)
{
    ResetTestPlatform();
    LogError("Error loading font %s (line %d)", "Data\\Fonts\\Small.txt", 5);
    LogError("String variable unknown (%s)", std::string(3000, 'x').c_str());
    LogError("%s", std::string(1023, 'y').c_str());
    ASSERT_EQ(testPlatform.logLines.size(), 3u);
    EXPECT_EQ(testPlatform.logLines[0], "Error loading font Data\\Fonts\\Small.txt (line 5)");
    EXPECT_EQ(testPlatform.logLines[1].size(), 1023u);
    EXPECT_EQ(testPlatform.logLines[2], std::string(1023, 'y'));
    ShowErrorBox("Error creating OpenGL context");
    EXPECT_EQ(testPlatform.errorBoxes, std::vector<std::string>{"Game: Error creating OpenGL context"});
    RequestQuit();
    EXPECT_EQ(testPlatform.closeRequests, 1);
}

TEST(Diagnostics, NoKeyIsHeldWhileTheWindowIsInactive)
{
    ResetTestPlatform();
    SetKey(kKeySpace, true);
    EXPECT_TRUE(IsKeyDown(kKeySpace));
    EXPECT_FALSE(IsKeyDown(kKeyLeft));
    shell.inactive = true;
    EXPECT_FALSE(IsKeyDown(kKeySpace));
    shell.inactive = false;
    EXPECT_TRUE(IsKeyDown(kKeySpace));
}

TEST(Diagnostics, PathExistsTellsFilesFromFoldersWithEitherSlash)
{
    std::string folder = ::testing::TempDir() + "velmora-paths";
    mkdir(folder.c_str(), 0755);
    std::string file = folder + "/beep.ogg", backslashed = file;
    fclose(fopen(file.c_str(), "wb"));
    for (char& c : backslashed)
        c = c == '/' ? '\\' : c;
    struct Case {
        std::string path;
        bool wantFolder, exists;
    } cases[] = {{file, false, true},
                 {file, true, false},
                 {folder, false, false},
                 {folder, true, true},
                 {folder + "/missing", false, false},
                 {"", false, false},
                 {backslashed, false, true}};
    for (const Case& c : cases)
        EXPECT_EQ(PathExists(String(c.path.c_str()), c.wantFolder), c.exists) << c.path << " " << c.wantFolder;
    remove(file.c_str());
    rmdir(folder.c_str());
}

} // namespace
