#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace gainpair
{
// A label showing a gain in dB from a value the editor reads on every tick: the text is formatted
// and set only when the value changed, so a tick of an idle editor formats and allocates nothing.
class DbReadout
{
public:
    explicit DbReadout(juce::Label& shownIn) : label(shownIn) {}

    void show(float db);

private:
    juce::Label& label;
    bool shownOnce = false;
    float shown = 0.0f;
};
} // namespace gainpair
