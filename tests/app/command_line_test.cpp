// The command line: -f asks for full screen and -w wins over it; the
// program's folder comes from the full command line as Windows gives it.
#include <gtest/gtest.h>

#include "app/command_line.h"

namespace {

TEST(CommandLine, FullScreenOnlyWithAnFAfterADashAndNoW)
{
    struct Case {
        const char* arguments;
        bool fullScreen;
    } cases[] = {{"", false},    {"-f", true},    {"-f -w", false}, {"-wf", false},   {"  -f  ", true},
                 {"--f", true},  {"f", false},    {"-xf", false},   {"-F", false},    {"- f", false},
                 {"-f w", true}, {"-f -W", true}, {"x-f", true},    {"-f -xw", true}, {nullptr, false}};
    for (const Case& c : cases)
        EXPECT_EQ(StartsInFullScreen(ReadCommandLineOptions(c.arguments)), c.fullScreen) << c.arguments;
}

TEST(CommandLine, TheProgramFolderIsThePathUpToItsLastBackslash)
{
    struct Case {
        const char *commandLine, *folder; // null: left alone
    } cases[] = {{"\"C:\\Program Files\\Velmora\\game.exe\" -f", "C:\\Program Files\\Velmora"},
                 {"C:\\Games\\game.exe", "C:\\Games"},
                 {"C:\\velmora.exe", "C:\\"},
                 {"game.exe -f", nullptr},
                 {"\"C:\\Games\\game.exe", nullptr},
                 {" C:\\Games\\game.exe", nullptr},
                 {"game.exe C:\\Games\\x", nullptr}};
    for (const Case& c : cases) {
        String folder("(unchanged)");
        EXPECT_EQ(ProgramFolderFromCommandLine(String(c.commandLine), folder), c.folder != nullptr) << c.commandLine;
        EXPECT_STREQ(folder.Text(), c.folder ? c.folder : "(unchanged)") << c.commandLine;
    }
}

} // namespace
