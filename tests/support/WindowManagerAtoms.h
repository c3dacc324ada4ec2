#pragma once

// A bare X server (Xvfb with no window manager) lacks the window-manager atoms that JUCE's window
// creation assumes exist, and the X error would end the run. Creating them first lets a test open
// windows on such a server; without a display this does nothing. The connection stays open for the
// rest of the process: the server forgets its atoms when its last client leaves. Also stops an X
// error about another process's window from ending the program.
void createWindowManagerAtoms();
