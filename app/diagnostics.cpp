#include "app/diagnostics.h"

#include <cstdarg>
#include <cstdio>

#include "app/device_keys.h"
#include "app/platform.h"
#include "app/shell_state.h"

namespace {
// Writes a control byte as text a reader sees: \n, \r, \t or \xHH.
int32_t EscapeControl(unsigned char byte, char* out)
{
    const char* named = byte == '\n' ? "\\n" : byte == '\r' ? "\\r" : byte == '\t' ? "\\t" : nullptr;
    if (named) {
        out[0] = named[0];
        out[1] = named[1];
        return 2;
    }
    const char kHex[] = "0123456789abcdef";
    out[0] = '\\';
    out[1] = 'x';
    out[2] = kHex[byte >> 4];
    out[3] = kHex[byte & 15];
    return 4;
}
} // namespace

// The message formats hold no control bytes, so every one in a line came
// from a data file (a name in "StringData.txt", a font path built from it):
// written raw it could move the terminal's cursor or forge a line of its own.
void LogError(const char* format, ...)
{
    char message[1024];
    va_list values;
    va_start(values, format);
    int written = vsnprintf(message, sizeof message, format, values);
    va_end(values);
    int32_t length = written < 0 ? 0 : (written > 1023 ? 1023 : written);
    char line[4 * 1023];
    int32_t used = 0;
    for (int32_t i = 0; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(message[i]);
        if (byte < 0x20 || byte == 0x7F)
            used += EscapeControl(byte, line + used);
        else
            line[used++] = message[i];
    }
    PlatformWriteLogLine(line, used);
}

void ShowErrorBox(const char* text) { PlatformShowErrorBox(text, shell.appName); }

bool IsKeyDown(uint8_t key)
{
    if (shell.inactive)
        return false;
    return PlatformIsKeyDown(key) || SourcesHoldKey(key);
}

bool PathExists(const String& path, bool wantFolder) { return PlatformPathExists(path.Text(), wantFolder); }

void RequestQuit() { PlatformRequestClose(); }
