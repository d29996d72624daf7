#include "app/win32/win32_shell.h"

// Nothing exists until the window is created.
Win32Shell win32 = {};
