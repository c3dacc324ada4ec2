#pragma once

// A bare X server (Xvfb without a window manager) has not yet created the window-manager atoms that
// JUCE only looks up, and JUCE then sets window properties on atom 0, which the server refuses
// fatally. Creating them first lets a test open windows on such a server.
void createWindowManagerAtoms();
