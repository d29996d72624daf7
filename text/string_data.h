// The string data file: named string variables in double quotes, '#'
// comments. The one variable is FONT_FILE_NAME, the font descriptor's path
// under the Data folder.
#pragma once

#include <cstdint>

#include "text/string.h"

enum : int32_t { kFontFileNameVariable = 0 };

// False only when the file cannot be opened or is longer than any string
// data file (nothing of it is kept then); unknown and unset variables are
// logged and loading carries on.
bool LoadStringData(String fileName);
// The variable's value; an empty String for an index past the table.
const String& GetStringVariable(int32_t index);
// Empties every variable; run at exit.
void ClearStringData();
