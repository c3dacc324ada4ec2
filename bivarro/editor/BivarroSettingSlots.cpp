#include "bivarro/editor/BivarroSettingSlots.h"

#include "bivarro/editor/OCols.h"

namespace OCols = Bivarro::OCols;

BivarroSettingSlots::BivarroSettingSlots(BivarroAudioProcessor& p, BivarroEditorLinks& l, juce::TextButton& slotA,
                                         juce::TextButton& slotB, juce::TextButton& slotC, juce::TextButton& copyToA,
                                         std::function<void()> reattach)
    : audioProcessor(p), links(l), slotButtons{&slotA, &slotB, &slotC}, copyToAButton(copyToA),
      reattachKnobs(std::move(reattach))
{
}

void BivarroSettingSlots::connectButtons()
{
    for (int i = 0; i < 3; ++i)
        slotButtons[(size_t)i]->onClick = [this, i] { switchToSlot(i); };
    copyToAButton.onClick = [this] { copyToSlotA(); };
}

void BivarroSettingSlots::updateSlotButtons()
{
    const int active = audioProcessor.settings.activeSlot.load();
    for (int i = 0; i < 3; ++i)
    {
        auto& b = *slotButtons[(size_t)i];
        const bool isActive = i == active;
        b.setColour(juce::TextButton::buttonColourId, isActive ? OCols::accentHi : OCols::btnOff);
        b.setColour(juce::TextButton::textColourOffId, isActive ? juce::Colour(0xff000000) : OCols::btnOffTxt);
        b.setColour(juce::TextButton::textColourOnId, juce::Colour(0xff000000));
        b.setColour(juce::TextButton::buttonOnColourId, OCols::accentHi);
        b.repaint();
    }
    copyToAButton.setVisible(active != 0);
    copyToAButton.repaint();
}

// The slot that was in use keeps the live settings; the live state becomes the chosen slot's tree.
// The knobs take the loaded values without running link follow-ups, which would rewrite a linked
// partner's loaded value and with it the slot's own data.
void BivarroSettingSlots::switchToSlot(int index)
{
    {
        const auto hold = links.holdFollowUps();
        {
            const juce::ScopedLock lock(audioProcessor.slotLock);
            auto& slots = audioProcessor.slots;
            if (slots[(size_t)index].isValid())
            {
                const int active = audioProcessor.settings.activeSlot.load();
                if (active >= 0 && active <= 2)
                    slots[(size_t)active] = audioProcessor.apvts.copyState();
                audioProcessor.settings.activeSlot.store(index);
                audioProcessor.apvts.replaceState(slots[(size_t)index]);
            }
        }
        reattachKnobs();
    }
    links.resyncAllReferences();
    updateSlotButtons();
}

void BivarroSettingSlots::copyToSlotA()
{
    {
        const juce::ScopedLock lock(audioProcessor.slotLock);
        if (audioProcessor.settings.activeSlot.load() != 0)
            audioProcessor.slots[0] = audioProcessor.apvts.copyState();
    }
    updateSlotButtons();
}

void BivarroSettingSlots::storeLiveState()
{
    const int slot = audioProcessor.settings.activeSlot.load();
    if (slot >= 0 && slot <= 2)
    {
        const juce::ScopedLock lock(audioProcessor.slotLock);
        audioProcessor.slots[(size_t)slot] = audioProcessor.apvts.copyState();
    }
}
