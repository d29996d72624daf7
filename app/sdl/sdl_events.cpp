#include "app/sdl/sdl_events.h"

#include "app/app.h"
#include "app/diagnostics.h"
#include "app/display_mode.h"
#include "app/sdl/sdl_pads.h"
#include "app/sdl/sdl_platform.h"
#include "app/sdl/sdl_window.h"
#include "app/shell_state.h"
#include "app/window_sizing.h"

namespace {
uint16_t ClientLength(int length)
{
    return static_cast<uint16_t>(length < 0 ? 0 : (length > 0xFFFF ? 0xFFFF : length));
}

int16_t ClientCoordinate(Sint32 value)
{
    return static_cast<int16_t>(value < -32768 ? -32768 : (value > 32767 ? 32767 : value));
}

void PaintGameWindow()
{
    if (AppPaint())
        SwapGameWindow();
}

// Alt held without Ctrl makes a system key, as on Windows: the game never
// hears of it, and only Alt+Enter means something to the shell.
bool IsSystemKey(Uint16 modifiers) { return (modifiers & KMOD_ALT) && !(modifiers & KMOD_CTRL); }

// SDL's key code as the Windows virtual-key code the game and the shell
// listen for; 0 for every other key.
uint8_t VirtualKey(SDL_Keycode key)
{
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return kKeyEnter;
    case SDLK_ESCAPE:
        return kKeyEscape;
    case SDLK_SPACE:
        return kKeySpace;
    case SDLK_LEFT:
        return kKeyLeft;
    case SDLK_RIGHT:
        return kKeyRight;
    default:
        return 0;
    }
}

void HandleKeyDown(const SDL_KeyboardEvent& key)
{
    uint8_t virtualKey = VirtualKey(key.keysym.sym);
    SetKeyHeld(virtualKey, true);
    if (IsSystemKey(key.keysym.mod)) {
        // A held Alt+Enter switches once, not with every repeat.
        if (virtualKey == kKeyEnter && !key.repeat)
            SetWindowedMode(!shell.windowed);
        return;
    }
    if (virtualKey != 0)
        AppKeyDown(virtualKey);
}

void HandleKeyUp(const SDL_KeyboardEvent& key)
{
    uint8_t virtualKey = VirtualKey(key.keysym.sym);
    SetKeyHeld(virtualKey, false);
    if (virtualKey != 0 && !IsSystemKey(key.keysym.mod))
        AppKeyUp(virtualKey);
}

// The game takes no text: typed characters reach it as the bytes of SDL's
// UTF-8, as a Windows window hands over the bytes of its code page.
void HandleTypedText(const char* text)
{
    for (; *text; ++text)
        AppChar(static_cast<unsigned char>(*text));
}

// SDL numbers the buttons 1 left, 2 middle, 3 right, and holds the mouse
// capture itself while any of them is pressed.
void HandleMouseButton(const SDL_MouseButtonEvent& event, bool pressed)
{
    if (event.button < SDL_BUTTON_LEFT || event.button > SDL_BUTTON_RIGHT)
        return;
    AppMouseButton(event.button - SDL_BUTTON_LEFT, pressed, ClientCoordinate(event.x), ClientCoordinate(event.y));
}

// SDL gathers a fine wheel's movement into whole notches (120 units each).
void HandleWheel(const SDL_MouseWheelEvent& wheel)
{
    int32_t notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
    for (; notches > 0; --notches)
        AppMouseWheel(true);
    for (; notches < 0; ++notches)
        AppMouseWheel(false);
}

bool SameSize(ClientSize a, ClientSize b) { return a.width == b.width && a.height == b.height; }

// The framed window keeps its client area snapped; a maximized one is sized
// by the window manager and left alone.
void SnapFramedWindow(int32_t width, int32_t height)
{
    if (!shell.windowed || (SDL_GetWindowFlags(sdlWindow.window) & SDL_WINDOW_MAXIMIZED))
        return;
    ClientSize asked = {width, height};
    ClientSize snapped = SnapClientSize(width, height);
    if (SameSize(asked, snapped)) {
        sdlWindow.snapRequested = false;
        return;
    }
    // A window manager that answers a snap with the old size again is not
    // asked once more: that would never end.
    if (sdlWindow.snapRequested && SameSize(sdlWindow.requestedSnap, snapped))
        return;
    sdlWindow.requestedSnap = snapped;
    sdlWindow.snapRequested = true;
    SDL_SetWindowSize(sdlWindow.window, snapped.width, snapped.height);
}

void HandleFocusLost()
{
    AppFocusLost();
    shell.inactive = true;
    ReleaseAllKeys();
    LoseFocusInDisplayMode();
}

void CloseGameWindow()
{
    AppShutdown();
    AppRelease();
    DestroyGameWindow();
    shell.windowReady = false;
}

bool HandleWindowChange(const SDL_WindowEvent& change)
{
    switch (change.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (!shell.minimized)
            SnapFramedWindow(change.data1, change.data2);
        ResizeAndPaintGameWindow();
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        shell.minimized = true;
        AppResize(0, 0);
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        shell.minimized = false;
        ResizeAndPaintGameWindow();
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        shell.inactive = false;
        GainFocusInDisplayMode();
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        HandleFocusLost();
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        PaintGameWindow();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        CloseGameWindow();
        return true;
    default:
        break;
    }
    return false;
}
} // namespace

void ResizeAndPaintGameWindow()
{
    if (shell.minimized) {
        AppResize(0, 0);
        return;
    }
    ClientSize size = GameWindowDrawableSize();
    AppResize(ClientLength(size.width), ClientLength(size.height));
    PaintGameWindow();
}

bool HandleShellEvent(const SDL_Event& event)
{
    if (!shell.windowReady)
        return false;
    switch (event.type) {
    case SDL_QUIT:
        CloseGameWindow();
        return true;
    case SDL_WINDOWEVENT:
        if (event.window.windowID != SDL_GetWindowID(sdlWindow.window))
            return false;
        return HandleWindowChange(event.window);
    case SDL_KEYDOWN:
        HandleKeyDown(event.key);
        break;
    case SDL_KEYUP:
        HandleKeyUp(event.key);
        break;
    case SDL_TEXTINPUT:
        HandleTypedText(event.text.text);
        break;
    case SDL_MOUSEMOTION:
        AppMouseMove(ClientCoordinate(event.motion.x), ClientCoordinate(event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
        HandleMouseButton(event.button, true);
        break;
    case SDL_MOUSEBUTTONUP:
        HandleMouseButton(event.button, false);
        break;
    case SDL_MOUSEWHEEL:
        HandleWheel(event.wheel);
        break;
    case SDL_CONTROLLERDEVICEADDED:
        HandlePadAdded(event.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        HandlePadRemoved(event.cdevice.which);
        break;
    default:
        break;
    }
    return false;
}
