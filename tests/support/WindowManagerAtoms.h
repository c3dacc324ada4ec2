#pragma once

// A bare X server (Xvfb with no window manager) lacks the window-manager atoms that JUCE's window
// creation assumes exist, and the X error would end the run. An instance interns them and keeps its
// connection open for its lifetime, since the server forgets its atoms when its last client leaves.
// Without a display it does nothing.
class WindowManagerAtoms
{
public:
    WindowManagerAtoms();
    ~WindowManagerAtoms();

    WindowManagerAtoms(const WindowManagerAtoms&) = delete;
    WindowManagerAtoms& operator=(const WindowManagerAtoms&) = delete;

private:
    void* display = nullptr; // the X connection, kept opaque to keep X headers out of tests
};
