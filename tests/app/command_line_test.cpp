// The command line: the -f and -w options, and the program's folder taken
// from the full command line as Windows reports it.
#include <gtest/gtest.h>

#include <string>

#include "app/command_line.h"

namespace {

bool FullScreen(const char* arguments) { return StartsInFullScreen(ReadCommandLineOptions(arguments)); }

TEST(Options, FullScreenOnlyWithDashFAndNoDashW)
{
    EXPECT_FALSE(FullScreen(""));
    EXPECT_TRUE(FullScreen("-f"));
    EXPECT_FALSE(FullScreen("-f -w"));
    EXPECT_FALSE(FullScreen("-fw"));
    EXPECT_FALSE(FullScreen("-wf"));
    EXPECT_FALSE(FullScreen("-w -f"));
    EXPECT_TRUE(FullScreen("  -f  "));
    EXPECT_TRUE(FullScreen("--f"));
    EXPECT_TRUE(FullScreen("-ff"));
}

TEST(Options, LettersCountOnlyRightAfterADash)
{
    EXPECT_FALSE(FullScreen("f"));
    EXPECT_FALSE(FullScreen("-xf"));
    EXPECT_FALSE(FullScreen("-F"));
    EXPECT_FALSE(FullScreen("- f"));
    EXPECT_TRUE(FullScreen("-f w"));   // the lone w is no option
    EXPECT_TRUE(FullScreen("-f -W"));  // nor is an upper-case one
    EXPECT_TRUE(FullScreen("x-f"));    // a dash anywhere starts an option
    EXPECT_TRUE(FullScreen("-f -xw")); // x ends the option before the w
}

TEST(Options, EachFlagIsReadOnItsOwn)
{
    CommandLineOptions options = ReadCommandLineOptions("-w");
    EXPECT_FALSE(options.fullScreenRequested);
    EXPECT_TRUE(options.windowedRequested);
    options = ReadCommandLineOptions("-fw");
    EXPECT_TRUE(options.fullScreenRequested);
    EXPECT_TRUE(options.windowedRequested);
    options = ReadCommandLineOptions(nullptr);
    EXPECT_FALSE(options.fullScreenRequested || options.windowedRequested);
}

// The folder for a command line, or "(unchanged)".
std::string Folder(const char* commandLine)
{
    String folder("(unchanged)");
    if (!ProgramFolderFromCommandLine(String(commandLine), folder))
        return "(unchanged)";
    return std::string(folder.Text(), size_t(folder.Length()));
}

TEST(ProgramFolder, QuotedAndPlainPaths)
{
    EXPECT_EQ(Folder("\"C:\\Games\\Demo\\game.exe\" -f"), "C:\\Games\\Demo");
    EXPECT_EQ(Folder("\"C:\\Program Files\\Velmora\\game.exe\""), "C:\\Program Files\\Velmora");
    EXPECT_EQ(Folder("C:\\Games\\Demo\\game.exe -w"), "C:\\Games\\Demo");
    EXPECT_EQ(Folder("C:\\Games\\game.exe"), "C:\\Games"); // nothing after the path
}

TEST(ProgramFolder, ARootFolderKeepsItsBackslash)
{
    EXPECT_EQ(Folder("C:\\game.exe -w"), "C:\\");
    EXPECT_EQ(Folder("C:\\velmora.exe"), "C:\\");
    EXPECT_EQ(Folder("\"C:\\game.exe\""), "C:\\");
}

TEST(ProgramFolder, LeftAloneWithoutAnEndOrAFolder)
{
    EXPECT_EQ(Folder("game.exe -f"), "(unchanged)");
    EXPECT_EQ(Folder("\"C:\\Games\\game.exe"), "(unchanged)"); // the quote never closes
    EXPECT_EQ(Folder(""), "(unchanged)");
    EXPECT_EQ(Folder("\"\""), "(unchanged)");
    EXPECT_EQ(Folder(" C:\\Games\\game.exe"), "(unchanged)"); // the path is empty
    EXPECT_EQ(Folder("game.exe C:\\Games\\x"), "(unchanged)"); // backslashes after the path
}

} // namespace
