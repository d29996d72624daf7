// The command line: -f asks for full screen and -w wins over it; the
// program's folder comes from the full command line as Windows gives it.
#include <gtest/gtest.h>

#include <string>

#include "app/command_line.h"

namespace {

TEST(CommandLine, FullScreenOnlyWithAnFAfterADashAndNoW)
{
    struct Case {
        const char* arguments;
        bool fullScreen;
    } cases[] = {
        {"", false},      {"-f", true},   {"-f -w", false}, {"-fw", false}, {"-wf", false},   {"-w -f", false},
        {"  -f  ", true}, {"--f", true},  {"-ff", true},    {"f", false},   {"-xf", false},   {"-F", false},
        {"- f", false},   {"-f w", true}, {"-f -W", true},  {"x-f", true},  {"-f -xw", true}, {"-w", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartsInFullScreen(ReadCommandLineOptions(c.arguments)), c.fullScreen) << c.arguments;
    EXPECT_FALSE(StartsInFullScreen(ReadCommandLineOptions(nullptr)));
}

TEST(CommandLine, TheProgramFolderIsThePathUpToItsLastBackslash)
{
    struct Case {
        const char *commandLine, *folder; // null: left alone
    } cases[] = {
        {"\"C:\\Games\\Demo\\game.exe\" -f", "C:\\Games\\Demo"},
        {"\"C:\\Program Files\\Velmora\\game.exe\"", "C:\\Program Files\\Velmora"},
        {"C:\\Games\\Demo\\game.exe -w", "C:\\Games\\Demo"},
        {"C:\\game.exe -w", "C:\\"},
        {"\"C:\\game.exe\"", "C:\\"},
        {"C:\\velmora.exe", "C:\\"},
        {"C:\\Games\\game.exe", "C:\\Games"}, // nothing after the path
        {"game.exe -f", nullptr},
        {"\"C:\\Games\\game.exe", nullptr}, // the quote never closes
        {"", nullptr},
        {"\"\"", nullptr},
        {" C:\\Games\\game.exe", nullptr},
        {"game.exe C:\\Games\\x", nullptr},
    };
    for (const Case& c : cases) {
        String folder("(unchanged)");
        bool found = ProgramFolderFromCommandLine(String(c.commandLine), folder);
        EXPECT_EQ(found, c.folder != nullptr) << c.commandLine;
        if (found)
            EXPECT_EQ(std::string(folder.Text(), size_t(folder.Length())), c.folder) << c.commandLine;
    }
}

} // namespace
