#include "app/app.h"
#include "app/display_mode.h"
#include "app/shell_state.h"
#include "app/win32/display_mode.h"
#include "app/win32/gl_context.h"
#include "app/win32/win32_shell.h"

namespace {

// Mouse state: held buttons (0 left, 1 middle, 2 right), whether the window
// holds the capture, and wheel movement not yet a whole notch of 120.
struct MouseState {
    bool buttons[3];
    bool captured;
    int32_t wheelRemainder;
};
MouseState mouse = {};

const int32_t kWheelNotch = 120;

int16_t PointerX(LPARAM lParam) { return static_cast<int16_t>(LOWORD(lParam)); }
int16_t PointerY(LPARAM lParam) { return static_cast<int16_t>(HIWORD(lParam)); }

void PresentIfPainted()
{
    if (AppPaint())
        SwapBuffers(win32.deviceContext);
}

void CreateGameWindow(HWND window)
{
    win32.mainWindow = window;
    if (!SetUpOpenGl(window))
        return;
    timeBeginPeriod(1);
    AppInit();
    shell.windowReady = true;
}

// The textures and the font are freed while their context is still current.
void DestroyGameWindow(HWND window)
{
    if (shell.windowReady) {
        AppShutdown();
        AppRelease();
        timeEndPeriod(1);
        TearDownOpenGl(window);
        shell.windowReady = false;
    }
    PostQuitMessage(0);
}

void GainFocus()
{
    shell.inactive = false;
    GainFocusInDisplayMode();
}

// A release outside the window is never seen once the focus has gone, so
// the buttons are forgotten without telling the game.
void LoseFocus()
{
    if (mouse.captured) {
        ReleaseCapture();
        mouse.captured = false;
        mouse.buttons[0] = mouse.buttons[1] = mouse.buttons[2] = false;
    }
    AppFocusLost();
    shell.inactive = true;
    LoseFocusInDisplayMode();
}

// The capture is held while any button is, so a release outside the window
// still arrives.
void ChangeMouseButton(HWND window, int32_t button, bool pressed, LPARAM lParam)
{
    mouse.buttons[button] = pressed;
    bool anyHeld = mouse.buttons[0] || mouse.buttons[1] || mouse.buttons[2];
    if (anyHeld && !mouse.captured) {
        SetCapture(window);
        mouse.captured = true;
    } else if (!anyHeld && mouse.captured) {
        ReleaseCapture();
        mouse.captured = false;
    }
    AppMouseButton(button, pressed, PointerX(lParam), PointerY(lParam));
}

void TurnWheel(WPARAM wParam)
{
    mouse.wheelRemainder += static_cast<int16_t>(HIWORD(wParam));
    for (; mouse.wheelRemainder >= kWheelNotch; mouse.wheelRemainder -= kWheelNotch)
        AppMouseWheel(true);
    for (; mouse.wheelRemainder <= -kWheelNotch; mouse.wheelRemainder += kWheelNotch)
        AppMouseWheel(false);
}

bool IsAltEnter(WPARAM wParam, LPARAM lParam) { return (wParam & 0xFF) == VK_RETURN && (lParam & (1 << 29)) != 0; }

// Bit 30: the key was already down, so this press is the keyboard's repeat.
bool IsKeyRepeat(LPARAM lParam) { return (lParam & (1 << 30)) != 0; }

} // namespace

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Messages that count only once the application is up.
    switch (message) {
    case WM_SIZE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_CLOSE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_SIZING:
    case WM_QUERYNEWPALETTE:
        if (!shell.windowReady)
            return 0;
        break;
    default:
        break;
    }

    switch (message) {
    case WM_CREATE:
        if (!shell.windowReady)
            CreateGameWindow(window);
        return 0;
    case WM_DESTROY:
        DestroyGameWindow(window);
        return 0;
    case WM_SIZE:
        shell.minimized = wParam == SIZE_MINIMIZED;
        AppResize(LOWORD(lParam), HIWORD(lParam));
        PresentIfPainted();
        return 0;
    case WM_SETFOCUS:
        GainFocus();
        return 0;
    case WM_KILLFOCUS:
        LoseFocus();
        return 0;
    case WM_PAINT:
        if (shell.windowReady)
            PresentIfPainted();
        ValidateRect(window, nullptr);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = MinimumTrackingSize();
        return 0;
    case WM_KEYDOWN:
        AppKeyDown(static_cast<uint8_t>(wParam & 0xFF));
        return 0;
    case WM_KEYUP:
        AppKeyUp(static_cast<uint32_t>(wParam));
        return 0;
    case WM_CHAR:
        AppChar(static_cast<uint32_t>(wParam));
        return 0;
    case WM_SYSKEYDOWN:
        if (shell.windowReady && IsAltEnter(wParam, lParam)) {
            // Held keys switch once, however long they are held.
            if (!IsKeyRepeat(lParam))
                SetWindowedMode(!shell.windowed);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        // No screen saver and no display power-saving while the game runs.
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER)
            return 0;
        break;
    case WM_MOUSEMOVE:
        AppMouseMove(PointerX(lParam), PointerY(lParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        ChangeMouseButton(window, 0, message == WM_LBUTTONDOWN, lParam);
        return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        ChangeMouseButton(window, 1, message == WM_MBUTTONDOWN, lParam);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        ChangeMouseButton(window, 2, message == WM_RBUTTONDOWN, lParam);
        return 0;
    case WM_MOUSEWHEEL:
        TurnWheel(wParam);
        return 0;
    case WM_SIZING:
        return SnapWindowRect(wParam, *reinterpret_cast<RECT*>(lParam)) ? TRUE : FALSE;
    case WM_QUERYNEWPALETTE:
        return RealizeGamePalette();
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
