// The one place that includes the OpenGL 1.1 headers. On Windows the GL
// header needs the Windows declarations first; the macros that would rename
// the game's own functions are taken back.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#undef DrawText
#endif

#include <GL/gl.h>
