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

// The main window's message handler.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
