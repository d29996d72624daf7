// The Windows shell's own handles, shared by the files of app/win32: the main
// window, its private device context, the OpenGL context and the palette of
// 256-colour displays. Everything else the shell keeps is in app/shell_state.h.
#pragma once

#include <windows.h>

#include <mmsystem.h>

struct Win32Shell {
    HWND mainWindow;
    HDC deviceContext; // the window's own (CS_OWNDC), from creation to destruction
    HGLRC glContext;
    HPALETTE palette; // only while the pixel format needs one
};

extern Win32Shell win32;

// Whether the last part of a path is a name Windows keeps for a device (CON,
// PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9), whatever its extension.
bool IsDeviceName(const char* path);

// The main window's message handler.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
