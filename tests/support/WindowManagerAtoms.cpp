#include "support/WindowManagerAtoms.h"

#if defined(__linux__)
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#endif
#include <juce_gui_basics/juce_gui_basics.h>

#if JUCE_LINUX
WindowManagerAtoms::WindowManagerAtoms()
{
    auto* x11 = juce::X11Symbols::getInstance();
    ::Display* connection = nullptr;
    if (!x11->loadAllSymbols() || (connection = x11->xOpenDisplay(nullptr)) == nullptr)
        return;
    for (const char* name : {"WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "WM_CHANGE_STATE", "WM_STATE",
                             "_NET_WM_PING", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"})
        x11->xInternAtom(connection, name, False);
    display = connection;
}

WindowManagerAtoms::~WindowManagerAtoms()
{
    if (display != nullptr)
        juce::X11Symbols::getInstance()->xCloseDisplay(static_cast<::Display*>(display));
}
#else
WindowManagerAtoms::WindowManagerAtoms() = default;
WindowManagerAtoms::~WindowManagerAtoms() = default;
#endif
