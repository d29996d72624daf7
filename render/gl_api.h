// The one place that includes the OpenGL 1.1 headers. On Windows the GL
// header needs the Windows declarations first; the macros that would rename
// the game's own functions are taken back.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef DrawText
#endif

#include <GL/gl.h>
