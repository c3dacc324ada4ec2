#include "WindowManagerAtoms.h"

#include <X11/Xlib.h>

#include <initializer_list>

void createWindowManagerAtoms()
{
    // Kept open: a server that loses its last client resets, and forgets its atoms.
    static Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return;
    for (const char* name : {"WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE",
                             "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"})
        XInternAtom(display, name, False);
}
