// The browser program: the page's canvas with a WebGL context (through EGL,
// which also starts the GL 1.1 emulation), the game started at once, and one
// timed turn per animation frame. The page lays the canvas out and hands
// over its touch buttons; keys come from the page's key events and pads from
// the Gamepad API. A page is never quit: Esc leaves full screen.
#include <EGL/egl.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>

#include "app/app.h"
#include "app/diagnostics.h"
#include "app/frame_clock.h"
#include "app/shell_state.h"
#include "app/web/web_keys.h"
#include "app/web/web_shell.h"
#include "sound/sound_engine.h"

namespace {
const char kCanvas[] = "#canvas";
FrameClock clock = {0, false};

bool CreateGlContext()
{
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        ShowErrorBox("Error creating window");
        return false;
    }
    const EGLint wanted[] = {EGL_RED_SIZE,   8, EGL_GREEN_SIZE,   8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 0,
                             EGL_DEPTH_SIZE, 0, EGL_STENCIL_SIZE, 0, EGL_NONE};
    EGLConfig config;
    EGLint found = 0;
    if (!eglChooseConfig(display, wanted, &config, 1, &found) || found != 1) {
        ShowErrorBox("Error choosing pixel format");
        return false;
    }
    EGLSurface surface = eglCreateWindowSurface(display, config, 0, nullptr);
    const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, version);
    if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT) {
        ShowErrorBox("Error creating OpenGL context");
        return false;
    }
    if (!eglMakeCurrent(display, surface, surface, context)) {
        ShowErrorBox("Error attaching OpenGL context");
        return false;
    }
    return true;
}

uint16_t PixelLength(double cssLength, double ratio)
{
    double pixels = std::floor(cssLength * ratio + 0.5);
    return static_cast<uint16_t>(pixels < 0 ? 0 : (pixels > 0xFFFF ? 0xFFFF : pixels));
}

// The canvas keeps one pixel per device pixel so whole-number scaling stays
// crisp; the game is told the size in those pixels and drawn at once.
void FitCanvasToPage()
{
    double cssWidth = 0, cssHeight = 0;
    emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
    double ratio = emscripten_get_device_pixel_ratio();
    uint16_t width = PixelLength(cssWidth, ratio);
    uint16_t height = PixelLength(cssHeight, ratio);
    emscripten_set_canvas_element_size(kCanvas, width, height);
    AppResize(width, height);
    AppPaint();
}

// Full screen is asked of the browser while the key press that asks for it
// is still being handled, as browsers allow it only then.
void SwitchFullScreen()
{
    if (shell.windowed)
        EM_ASM({ document.documentElement.requestFullscreen().catch(function(){}); });
    else
        LeaveFullScreen();
}

EM_BOOL OnFullScreenChange(int, const EmscriptenFullscreenChangeEvent* change, void*)
{
    shell.windowed = !change->isFullscreen;
    return EM_FALSE;
}

// Alt without Ctrl makes a system key, as on the desktop: the game never
// hears of it, and only Alt+Enter means something to the page.
bool IsSystemKey(const EmscriptenKeyboardEvent* key) { return key->altKey && !key->ctrlKey; }

// A visible page is active while it has the focus, and again as soon as it
// gets a key, a click, a touch or a pad's press.
void Activate() { shell.inactive = false; }

EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* key, void*)
{
    Activate();
    uint8_t virtualKey = VirtualKeyFromKeyCode(key->code);
    SetKeyHeld(virtualKey, true);
    if (IsSystemKey(key)) {
        if (virtualKey == kKeyEnter && !key->repeat)
            SwitchFullScreen();
        return virtualKey == kKeyEnter;
    }
    if (virtualKey == 0)
        return EM_FALSE;
    AppKeyDown(virtualKey);
    // The page keeps its own keys (reload, developer tools); the game's
    // arrows and space do not scroll it.
    return virtualKey == kKeyLeft || virtualKey == kKeyRight || virtualKey == kKeySpace || virtualKey == 0x26 ||
           virtualKey == 0x28;
}

EM_BOOL OnKeyUp(int, const EmscriptenKeyboardEvent* key, void*)
{
    uint8_t virtualKey = VirtualKeyFromKeyCode(key->code);
    SetKeyHeld(virtualKey, false);
    if (virtualKey != 0 && !IsSystemKey(key))
        AppKeyUp(virtualKey);
    return EM_FALSE;
}

void LoseFocus()
{
    AppFocusLost();
    shell.inactive = true;
    ReleaseAllKeys();
}

EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void*)
{
    LoseFocus();
    return EM_FALSE;
}

EM_BOOL OnFocus(int, const EmscriptenFocusEvent*, void*)
{
    Activate();
    return EM_FALSE;
}

EM_BOOL OnMouseDown(int, const EmscriptenMouseEvent*, void*)
{
    Activate();
    return EM_FALSE;
}

// A hidden page stops the game and its sound where they are; shown again,
// both go on from there, the time away never ticked.
EM_BOOL OnVisibilityChange(int, const EmscriptenVisibilityChangeEvent* change, void*)
{
    PauseWebSound(change->hidden);
    if (change->hidden) {
        LoseFocus();
    } else {
        clock.haveFrameTime = false;
        if (EM_ASM_INT({ return document.hasFocus(); }))
            Activate();
    }
    return EM_FALSE;
}

// A pad in the browser's standard layout: button 0 the bottom face, 8 back,
// 9 start, 14 and 15 the d-pad's left and right, axis 0 the left stick
// across. A pad the browser has no layout for is read the same way.
PadReading ReadingOf(const EmscriptenGamepadEvent& pad)
{
    auto button = [&pad](int index) { return index < pad.numButtons && pad.digitalButton[index]; };
    float stickX = pad.numAxes > 0 ? static_cast<float>(pad.axis[0]) : 0.0f;
    return PadReading{button(14), button(15), stickX, button(0), button(9), button(8)};
}

// Each pad holds its slot's keys; a pad gone, or a slot with none, holds nothing.
void ReadPads()
{
    int count = emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS ? emscripten_get_num_gamepads() : 0;
    for (int32_t slot = 0; slot < kPadSlots; ++slot) {
        EmscriptenGamepadEvent pad;
        DeviceKeys held = 0;
        if (slot < count && emscripten_get_gamepad_status(slot, &pad) == EMSCRIPTEN_RESULT_SUCCESS && pad.connected)
            held = PadHeldKeys(ReadingOf(pad));
        if (held)
            Activate();
        AppDeviceKeys(kFirstPadSource + slot, held);
    }
}

// Hands the page's events to the game.
void ListenToPage()
{
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, EM_TRUE, OnKeyDown);
    emscripten_set_keyup_callback(window, nullptr, EM_TRUE, OnKeyUp);
    emscripten_set_blur_callback(window, nullptr, EM_TRUE, OnBlur);
    emscripten_set_focus_callback(window, nullptr, EM_TRUE, OnFocus);
    emscripten_set_mousedown_callback(window, nullptr, EM_TRUE, OnMouseDown);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibilityChange);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, OnFullScreenChange);
}

uint32_t Milliseconds() { return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now())); }

// The browser presents the canvas itself when the frame's script returns.
void Present() {}

// The browser calls this once per displayed frame and shows what it drew;
// the sleep the turn asks for is the wait until the next frame. The pacing
// towards the end of a blocking swap stays off: the browser never blocks.
void RunTurn()
{
    RefillWebSound();
    ReadPads();
    if (FollowingKeyScript())
        AppPaint();
    else
        RunTimedTurn(clock, FrameClockPlatform{Milliseconds, Present, nullptr});
    RefillWebSound();
}
} // namespace

// The page's touch buttons and taps on the picture: the keys they hold now,
// as device-key flags (1 Left, 2 Right, 4 Space).
extern "C" EMSCRIPTEN_KEEPALIVE void VelmoraTouchKeys(int held)
{
    Activate();
    AppDeviceKeys(kTouchSource, static_cast<DeviceKeys>(held & (kHoldLeft | kHoldRight | kHoldSpace)));
}

// The page has laid the canvas out anew.
extern "C" EMSCRIPTEN_KEEPALIVE void VelmoraFitCanvas()
{
    if (shell.windowReady)
        FitCanvasToPage();
}

int main()
{
    if (!CreateGlContext())
        return 1;
    SetSoundEngineFactory(MakeWebSoundEngine);
    AppInit();
    shell.windowReady = true;
    ListenToPage();
    FitCanvasToPage();
    emscripten_set_main_loop(RunTurn, 0, 0);
    return 0;
}
