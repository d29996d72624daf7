#include "app/sdl/window_manager.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {
// A window manager that follows the common desktop conventions puts a window
// of its own in _NET_SUPPORTING_WM_CHECK on the root window.
bool RootNamesWindowManager(Display* display)
{
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* value = nullptr;
    int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type, &format,
                                    &count, &remaining, &value);
    bool named = status == Success && type == XA_WINDOW && format == 32 && count == 1;
    if (value)
        XFree(value);
    return named;
}
} // namespace

bool HasWindowManager(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return true;
    return RootNamesWindowManager(info.info.x11.display);
}
