#include "app/win32/gl_context.h"

#include "app/diagnostics.h"
#include "app/shell_state.h"
#include "app/win32/game_palette.h"

namespace {

using SwapIntervalExtension = BOOL(WINAPI*)(int interval);
SwapIntervalExtension swapIntervalExtension = nullptr;

void CallSwapIntervalExtension(int interval) { swapIntervalExtension(interval); }

PIXELFORMATDESCRIPTOR PixelFormatRequest()
{
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_DEPTH_DONTCARE;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 24;
    request.iLayerType = PFD_MAIN_PLANE;
    return request;
}

HPALETTE CreateGamePalette()
{
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[kGamePaletteSize];
    } layout = {};
    layout.version = 0x300;
    layout.count = kGamePaletteSize;
    for (int32_t i = 0; i < kGamePaletteSize; ++i) {
        PaletteColour colour = GamePaletteColour(i);
        layout.entries[i] = PALETTEENTRY{colour.red, colour.green, colour.blue, 0};
    }
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&layout));
}

void TearDownPalette(HDC deviceContext)
{
    if (!win32.palette)
        return;
    SelectPalette(deviceContext, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    DeleteObject(win32.palette);
    win32.palette = nullptr;
}

// Drivers report a missing function as null or, some of them, as 1, 2, 3 or -1.
bool IsRealFunction(PROC function)
{
    intptr_t value = reinterpret_cast<intptr_t>(function);
    return value != 0 && value != 1 && value != 2 && value != 3 && value != -1;
}

void FindSwapIntervalExtension()
{
    PROC function = wglGetProcAddress("wglSwapIntervalEXT");
    if (!IsRealFunction(function))
        return;
    swapIntervalExtension = reinterpret_cast<SwapIntervalExtension>(reinterpret_cast<void (*)()>(function));
    shell.setSwapInterval = CallSwapIntervalExtension;
}

// Every failure of the set-up ends the program once its box is dismissed.
bool FailSetUp(const char* text)
{
    ShowErrorBox(text);
    PostQuitMessage(1);
    return false;
}

} // namespace

bool SetUpPixelFormat(HDC deviceContext)
{
    PIXELFORMATDESCRIPTOR request = PixelFormatRequest();
    int format = ChoosePixelFormat(deviceContext, &request);
    if (format == 0)
        return false;
    PIXELFORMATDESCRIPTOR description = {};
    DescribePixelFormat(deviceContext, format, sizeof description, &description);
    if (description.dwFlags & PFD_NEED_PALETTE) {
        win32.palette = CreateGamePalette();
        if (!win32.palette)
            return false;
        if (!SelectPalette(deviceContext, win32.palette, FALSE)) {
            TearDownPalette(deviceContext);
            return false;
        }
    }
    if (!SetPixelFormat(deviceContext, format, &description)) {
        TearDownPalette(deviceContext);
        return false;
    }
    return true;
}

bool SetUpOpenGl(HWND window)
{
    win32.deviceContext = GetDC(window);
    if (!win32.deviceContext)
        return FailSetUp("Error creating window");
    if (!SetUpPixelFormat(win32.deviceContext)) {
        ReleaseDC(window, win32.deviceContext);
        win32.deviceContext = nullptr;
        return FailSetUp("Error choosing pixel format");
    }
    win32.glContext = wglCreateContext(win32.deviceContext);
    if (!win32.glContext) {
        TearDownPalette(win32.deviceContext);
        ReleaseDC(window, win32.deviceContext);
        win32.deviceContext = nullptr;
        return FailSetUp("Error creating OpenGL context");
    }
    if (!wglMakeCurrent(win32.deviceContext, win32.glContext)) {
        wglDeleteContext(win32.glContext);
        win32.glContext = nullptr;
        TearDownPalette(win32.deviceContext);
        ReleaseDC(window, win32.deviceContext);
        win32.deviceContext = nullptr;
        return FailSetUp("Error attaching OpenGL context");
    }
    if (shell.vsyncInFullScreen) {
        FindSwapIntervalExtension();
        if (shell.setSwapInterval) {
            SetSwapInterval(0);
            shell.vsyncOn = false;
        }
    }
    return true;
}

void TearDownOpenGl(HWND window)
{
    wglMakeCurrent(win32.deviceContext, nullptr);
    wglDeleteContext(win32.glContext);
    win32.glContext = nullptr;
    TearDownPalette(win32.deviceContext);
    ReleaseDC(window, win32.deviceContext);
    win32.deviceContext = nullptr;
}

LRESULT RealizeGamePalette()
{
    if (!win32.palette || !SelectPalette(win32.deviceContext, win32.palette, FALSE))
        return 0;
    RealizePalette(win32.deviceContext);
    return 1;
}
