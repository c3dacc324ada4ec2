#include "support/WindowManagerAtoms.h"

#include <X11/Xlib.h>

#include <initializer_list>

void createWindowManagerAtoms()
{
    static Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return;
    for (const char* name : {"WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "WM_CHANGE_STATE", "WM_STATE",
                             "_NET_WM_PING", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"})
        XInternAtom(display, name, False);
}
