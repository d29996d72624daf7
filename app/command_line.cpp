#include "app/command_line.h"

CommandLineOptions ReadCommandLineOptions(const char* arguments)
{
    CommandLineOptions options = {false, false};
    bool inOption = false;
    for (const char* c = arguments; c && *c; ++c) {
        if (*c == '-')
            inOption = true;
        else if (*c == 'f' && inOption)
            options.fullScreenRequested = true;
        else if (*c == 'w' && inOption)
            options.windowedRequested = true;
        else if (*c != 'f' && *c != 'w')
            inOption = false;
    }
    return options;
}

bool StartsInFullScreen(const CommandLineOptions& options)
{
    return options.fullScreenRequested && !options.windowedRequested;
}

bool ProgramFolderFromCommandLine(const String& commandLine, String& folder)
{
    int32_t start = 0;
    int32_t end;
    if (commandLine.Length() > 0 && commandLine[0] == '"') {
        start = 1;
        end = commandLine.Find('"', 1, false);
    } else {
        // A plain path ends at the first blank, or runs to the line's end.
        end = commandLine.Find(' ', 0, false);
        if (end < 0)
            end = commandLine.Length();
    }
    if (end < 0)
        return false;
    int32_t lastSlash = commandLine.FindLast('\\', end - 1, false);
    if (end == 0 || lastSlash < start)
        return false;
    int32_t cut = lastSlash;
    // A folder at a drive's root keeps its backslash: C:\ rather than C:.
    if (commandLine.FindLast('\\', lastSlash - 1, false) < start)
        cut = lastSlash + 1;
    folder = Substring(commandLine, start, cut);
    return true;
}
