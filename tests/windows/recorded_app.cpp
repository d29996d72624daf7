#include "tests/windows/recorded_app.h"

#include <windows.h>

#include "app/app.h"

std::vector<std::string> appCalls;
bool appPaintDraws = false;
bool running = false;
int32_t tickCarry = 0;

namespace {
void Record(const std::string& call) { appCalls.push_back(call); }
std::string Number(long value) { return std::to_string(value); }
} // namespace

void ClearAppCalls() { appCalls.clear(); }

void AppInit()
{
    Record(wglGetCurrentContext() ? "init current" : "init");
    running = true;
}
void AppShutdown()
{
    running = false;
    Record("shutdown");
}
void AppRelease() { Record(wglGetCurrentContext() ? "release current" : "release"); }
void AppResize(uint16_t width, uint16_t height) { Record("resize " + Number(width) + "x" + Number(height)); }
bool AppPaint()
{
    Record("paint");
    return appPaintDraws;
}
void AppKeyDown(uint8_t key) { Record("key " + Number(key)); }
void AppKeyUp(uint32_t key) { Record("keyup " + Number(static_cast<long>(key))); }
void AppChar(uint32_t character) { Record("char " + Number(static_cast<long>(character))); }
void AppMouseMove(int16_t x, int16_t y) { Record("move " + Number(x) + "," + Number(y)); }
void AppMouseButton(int32_t button, bool pressed, int16_t x, int16_t y)
{
    Record("button " + Number(button) + (pressed ? " down " : " up ") + Number(x) + "," + Number(y));
}
void AppMouseWheel(bool up) { Record(up ? "wheel up" : "wheel down"); }
void AppFocusLost() { Record("focuslost"); }
bool AppFrame(int32_t) { return false; }
void AppAdjustPacing(int32_t) {}
