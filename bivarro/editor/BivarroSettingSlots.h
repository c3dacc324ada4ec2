#pragma once

#include "bivarro/editor/BivarroEditorLinks.h"
#include "bivarro/processor/BivarroAudioProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <functional>

// The header's slot buttons A, B and C and "Copy A": switching the live settings between the
// processor's three slots, copying them into slot A, and the colours that mark the active slot.
class BivarroSettingSlots
{
public:
    // reattachKnobs rebuilds the knobs' attachments after the live state was replaced.
    BivarroSettingSlots(BivarroAudioProcessor& processor, BivarroEditorLinks& links, juce::TextButton& slotA,
                        juce::TextButton& slotB, juce::TextButton& slotC, juce::TextButton& copyToA,
                        std::function<void()> reattachKnobs);

    // Gives the four buttons their actions.
    void connectButtons();
    void updateSlotButtons();
    void switchToSlot(int index);
    void copyToSlotA();
    // The active slot keeps the live settings (when the editor closes).
    void storeLiveState();

private:
    BivarroAudioProcessor& audioProcessor;
    BivarroEditorLinks& links;
    std::array<juce::TextButton*, 3> slotButtons;
    juce::TextButton& copyToAButton;
    std::function<void()> reattachKnobs;

    JUCE_DECLARE_NON_COPYABLE(BivarroSettingSlots)
};
