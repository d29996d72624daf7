// What the program reads from its command line: the -f and -w options, and
// the program's own folder, which becomes the working folder.
#pragma once

#include "text/string.h"

struct CommandLineOptions {
    bool fullScreenRequested;
    bool windowedRequested;
};

// Reads options one character at a time: '-' starts an option, 'f' and 'w'
// after it (directly or through other option letters) set their flag, any
// other character ends the option. So -f, -w, -fw and -f -w are understood.
CommandLineOptions ReadCommandLineOptions(const char* arguments);
// Full screen only when -f is given and -w is not.
bool StartsInFullScreen(const CommandLineOptions& options);

// The folder of the program path at the start of a full command line, as
// Windows reports it: a quoted path ends at the next quote, an unquoted one
// at the first blank or the line's end. False when the quote never closes or
// the path holds no '\'; a folder at a drive's root keeps its '\' (C:\).
bool ProgramFolderFromCommandLine(const String& commandLine, String& folder);
