// The OpenGL context of the main window: a double-buffered RGBA pixel format,
// a 3-3-2 palette on 256-colour displays, one WGL context current for the
// window's whole life, and the swap-interval extension when the driver has it.
#pragma once

#include "app/win32/win32_shell.h"

// Chooses and sets the pixel format, making and selecting the palette when
// the format needs one; on failure its own palette work is undone.
bool SetUpPixelFormat(HDC deviceContext);
// Device context, pixel format, context, swap interval 0. On failure the
// error box has been shown, everything undone and quit posted with code 1.
bool SetUpOpenGl(HWND window);
// No context current, context deleted, palette and device context released.
void TearDownOpenGl(HWND window);
// Selects and realises the palette when the window system asks; 1 when it
// was realised, 0 when there is none or it could not be selected.
LRESULT RealizeGamePalette();
