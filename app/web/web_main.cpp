// The browser program: the page's canvas with a WebGL context (through EGL,
// which also starts the GL 1.1 emulation), the game started at once, and one
// timed turn per animation frame. The canvas fills the page; keys come from
// the page's key events; Esc ends the game and the page offers another.
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

EM_BOOL OnResize(int, const EmscriptenUiEvent*, void*)
{
    FitCanvasToPage();
    return EM_FALSE;
}

// Full screen is asked of the browser while the key press that asks for it
// is still being handled, as browsers allow it only then.
void SwitchFullScreen()
{
    if (shell.windowed)
        EM_ASM({ document.documentElement.requestFullscreen().catch(function(){}); });
    else
        EM_ASM({ if (document.fullscreenElement) document.exitFullscreen().catch(function() {}); });
}

EM_BOOL OnFullScreenChange(int, const EmscriptenFullscreenChangeEvent* change, void*)
{
    shell.windowed = !change->isFullscreen;
    return EM_FALSE;
}

// Alt without Ctrl makes a system key, as on the desktop: the game never
// hears of it, and only Alt+Enter means something to the page.
bool IsSystemKey(const EmscriptenKeyboardEvent* key) { return key->altKey && !key->ctrlKey; }

EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* key, void*)
{
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
    shell.inactive = false;
    return EM_FALSE;
}

EM_BOOL OnVisibilityChange(int, const EmscriptenVisibilityChangeEvent* change, void*)
{
    if (change->hidden)
        LoseFocus();
    return EM_FALSE;
}

// Hands the page's events to the game, or with listen false stops them.
void ListenToPage(bool listen)
{
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, EM_TRUE, listen ? OnKeyDown : nullptr);
    emscripten_set_keyup_callback(window, nullptr, EM_TRUE, listen ? OnKeyUp : nullptr);
    emscripten_set_blur_callback(window, nullptr, EM_TRUE, listen ? OnBlur : nullptr);
    emscripten_set_focus_callback(window, nullptr, EM_TRUE, listen ? OnFocus : nullptr);
    emscripten_set_resize_callback(window, nullptr, EM_FALSE, listen ? OnResize : nullptr);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, listen ? OnVisibilityChange : nullptr);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE,
                                             listen ? OnFullScreenChange : nullptr);
}

uint32_t Milliseconds() { return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now())); }

// The browser presents the canvas itself when the frame's script returns.
void Present() {}

// Ends as the desktop program closes its window: the game and its sound stop,
// then the page says so and offers to play again.
void EndGame()
{
    emscripten_cancel_main_loop();
    ListenToPage(false);
    AppShutdown();
    AppRelease();
    shell.windowReady = false;
    if (!shell.windowed)
        EM_ASM({ if (document.fullscreenElement) document.exitFullscreen().catch(function() {}); });
    EM_ASM({ if (typeof velmoraEnded === 'function') velmoraEnded(); });
}

// The browser calls this once per displayed frame and shows what it drew;
// the sleep the turn asks for is the wait until the next frame. The pacing
// towards the end of a blocking swap stays off: the browser never blocks.
void RunTurn()
{
    if (CloseRequested()) {
        EndGame();
        return;
    }
    if (FollowingKeyScript())
        AppPaint();
    else
        RunTimedTurn(clock, FrameClockPlatform{Milliseconds, Present, nullptr});
    PumpWebSound();
}
} // namespace

int main()
{
    if (!CreateGlContext())
        return 1;
    SetSoundEngineFactory(MakeWebSoundEngine);
    AppInit();
    shell.windowReady = true;
    ListenToPage(true);
    FitCanvasToPage();
    emscripten_set_main_loop(RunTurn, 0, 0);
    return 0;
}
