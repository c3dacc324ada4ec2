#include "support/WindowManagerAtoms.h"

#include <X11/Xlib.h>

#include <initializer_list>

namespace
{
// Test programs share one X server, and the framework asks about windows of other processes (the
// focused one, the stacking order) that may be gone by the time the request arrives. A plug-in's
// framework build installs no error handler of its own, and Xlib's default ends the process.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}
} // namespace

void createWindowManagerAtoms()
{
    XSetErrorHandler(ignoreXError);
    static Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return;
    for (const char* name : {"WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "WM_CHANGE_STATE", "WM_STATE",
                             "_NET_WM_PING", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"})
        XInternAtom(display, name, False);
}
