#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace gainpair
{
// Where the parts that both gain editors share sit in an editor of w x h: s = scaleFor(w, h), values
// rounded half away from zero, integer divisions truncated. Each editor places its meter and bypass
// itself.
struct GainEditorLayout
{
    GainEditorLayout(int w, int h);

    // x rounded to the nearest integer, ties away from zero.
    static int R(float x);

    // The editor is square; a host that gives it another shape gets the content of the square that
    // fits, laid out across the whole width, so that nothing overlaps or leaves the window.
    static float scaleFor(int w, int h);

    // The side the editor is laid out for, the width a new editor should open with.
    static int sideFor(int w, int h);

    float s;
    int bypassSide;
    int meterWidth;
    juce::Rectangle<int> help, linkLabel, linkBox, logo, titleZone, linkZone;
    juce::Rectangle<int> knob, firstCaption, firstValue, secondCaption, secondValue, status;

    void placeHeader(juce::Component& helpButton, juce::Component& linkIdLabel, juce::Component& linkIdBox,
                     juce::Component& logoButton, juce::Component& titleTipZone, juce::Component& linkTipZone) const;

    // The two value rows: captions at full width, fonts that grow with the editor.
    void placeValues(juce::Label& firstCaptionLabel, juce::Label& firstValueLabel, juce::Label& secondCaptionLabel,
                     juce::Label& secondValueLabel) const;

    // The meter's column: below the header, above the status band.
    juce::Rectangle<int> meterAt(int x) const;

private:
    int height;
};
} // namespace gainpair
