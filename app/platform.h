// The seam between the shared shell services and the platform. Each program
// links exactly one implementation of these functions: the Windows shell, the
// SDL shell, the replay tool, or a test's scripted one.
#pragma once

#include <cstdint>
#include <cstdio>

// Writes one finished log line; the platform adds the line break.
void PlatformWriteLogLine(const char* text, int32_t length);
// A modal box with an OK button and the error icon; returns when dismissed.
void PlatformShowErrorBox(const char* text, const char* caption);
// Whether a key, by its Windows virtual-key code, is held as of the last
// processed input event.
bool PlatformIsKeyDown(uint8_t key);
// Whether a file (wantFolder false) or a folder (true) stands at the path.
bool PlatformPathExists(const char* path, bool wantFolder);
// Opens a data file, named with the game's '\' separators, for binary
// reading. Only a regular file on disk opens: a folder, a pipe or a device
// gives null, as a missing file does.
FILE* PlatformOpenFile(const char* path);
// Asks the main window to close on a later turn of the event loop.
void PlatformRequestClose();
