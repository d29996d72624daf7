// The platform seam in a browser: log lines and error boxes go to the
// console, one line each (an error box also shows in the page), keys are
// those held as of the last key event, files live in the preloaded folder.
// A page cannot be quit: asked to close, it leaves full screen.
#include <emscripten.h>
#include <emscripten/console.h>

#include <cstring>

#include "app/held_keys.h"
#include "app/platform.h"
#include "app/posix/posix_files.h"
#include "app/web/web_shell.h"

namespace {
char line[1024];

void ConsoleLine(const char* text, size_t length)
{
    if (length >= sizeof line)
        length = sizeof line - 1;
    memcpy(line, text, length);
    line[length] = '\0';
    emscripten_console_log(line);
}
} // namespace

bool PlatformIsKeyDown(uint8_t key) { return FollowingKeyScript() ? ScriptKeyDown(key) : KeyHeld(key); }

void PlatformWriteLogLine(const char* text, int32_t length)
{
    ConsoleLine(text, length < 0 ? 0 : static_cast<size_t>(length));
}

// As the desktop replay writes it: "caption: text".
void PlatformShowErrorBox(const char* text, const char* caption)
{
    size_t captionLength = strlen(caption);
    size_t textLength = strlen(text);
    if (captionLength + 2 + textLength < sizeof line) {
        memcpy(line, caption, captionLength);
        memcpy(line + captionLength, ": ", 2);
        memcpy(line + captionLength + 2, text, textLength + 1);
        emscripten_console_log(line);
    }
    EM_ASM({ if (typeof velmoraShowErrorBox === 'function') velmoraShowErrorBox(UTF8ToString($0), UTF8ToString($1)); },
           text, caption);
}

bool PlatformPathExists(const char* path, bool wantFolder) { return PosixPathExists(path, wantFolder); }

void LeaveFullScreen()
{
    EM_ASM({
        if (document.fullscreenElement)
            document.exitFullscreen().catch(function() {});
    });
}

FILE* PlatformOpenFile(const char* path) { return PosixOpenFile(path); }

void PlatformRequestClose() { LeaveFullScreen(); }
