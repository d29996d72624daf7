#include "app/diagnostics.h"

#include <cstdarg>
#include <cstdio>

#include "app/device_keys.h"
#include "app/platform.h"
#include "app/shell_state.h"

void LogError(const char* format, ...)
{
    char message[1024];
    va_list values;
    va_start(values, format);
    int written = vsnprintf(message, sizeof message, format, values);
    va_end(values);
    if (written < 0)
        message[0] = '\0';
    int32_t length = written < 0 ? 0 : (written > 1023 ? 1023 : written);
    PlatformWriteLogLine(message, length);
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
