#pragma once

#ifdef __linux__
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#endif
#include <juce_gui_basics/juce_gui_basics.h>

#if JUCE_LINUX
// A bare X server (Xvfb with no window manager) lacks the window-manager atoms that JUCE's window
// creation assumes exist, and the X error would end the run. This connection interns them and
// stays open, since the server forgets its atoms when its last client leaves.
struct WindowManagerAtoms
{
    WindowManagerAtoms()
    {
        auto* x11 = juce::X11Symbols::getInstance();
        if (!x11->loadAllSymbols() || (display = x11->xOpenDisplay(nullptr)) == nullptr)
            return;
        for (const char* name : {"WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "WM_CHANGE_STATE", "WM_STATE",
                                 "_NET_WM_PING", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"})
            x11->xInternAtom(display, name, False);
    }

    ~WindowManagerAtoms()
    {
        if (display != nullptr)
            juce::X11Symbols::getInstance()->xCloseDisplay(display);
    }

    ::Display* display = nullptr;
};
#endif
