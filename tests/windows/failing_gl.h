// Put in front of the OpenGL set-up of the velmora-failing-gl-N programs: step N fails as a broken driver's
// would (2 the pixel format, 3 the context, 4 making it current); each error box's text goes to "error-boxes.txt".
#pragma once

#include <windows.h>

#include <cstdio>

inline int WINAPI RecordedMessageBox(HWND window, const char* text, const char* caption, UINT type)
{
    if (FILE* record = fopen("error-boxes.txt", "ab")) {
        fprintf(record, "%s\n", text);
        fclose(record);
    }
    return MessageBoxA(window, text, caption, type);
}
#define MessageBoxA RecordedMessageBox

#if VELMORA_FAILING_GL_STEP == 2
inline int WINAPI FailingChoosePixelFormat(HDC, const PIXELFORMATDESCRIPTOR*) { return 0; }
#define ChoosePixelFormat FailingChoosePixelFormat
#elif VELMORA_FAILING_GL_STEP == 3
inline HGLRC WINAPI FailingCreateContext(HDC) { return nullptr; }
#define wglCreateContext FailingCreateContext
#elif VELMORA_FAILING_GL_STEP == 4
// Only making a context current fails; letting go of one still works.
inline BOOL WINAPI FailingMakeCurrent(HDC deviceContext, HGLRC context)
{
    return context ? FALSE : wglMakeCurrent(deviceContext, context);
}
#define wglMakeCurrent FailingMakeCurrent
#endif
