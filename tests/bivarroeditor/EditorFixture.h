#pragma once

#include "bivarro/editor/BivarroAudioProcessorEditor.h"
#include "bivarro/editor/BivarroControlTables.h"
#include "bivarro/processor/BivarroAudioProcessor.h"

#include <gtest/gtest.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <map>
#include <memory>
#include <vector>

// Read access to the editor's controls and layout values, for tests only.
struct BivarroEditorProbe
{
    explicit BivarroEditorProbe(BivarroAudioProcessorEditor& e) : ed(e) {}

    OrlintKnob& knob(const juce::String& parameterId) const
    {
        for (const auto& row : BivarroControlTables::knobs())
            if (parameterId == row.parameterId)
                return ed.*row.knob;
        ADD_FAILURE() << "no knob for " << parameterId;
        return ed.gainLKnob;
    }

    std::vector<juce::String> knobIdsInOrder() const
    {
        std::vector<juce::String> ids;
        for (const auto& row : BivarroControlTables::knobs())
            ids.emplace_back(row.parameterId);
        return ids;
    }

    BivoButton& button(const juce::String& name) const
    {
        const std::map<juce::String, BivoButton*> buttons{
            {"orderL", &ed.orderLButton},       {"orderR", &ed.orderRButton},
            {"linkAll", &ed.linkAllButton},     {"inverseLinkAll", &ed.inverseLinkAllButton},
            {"polarityL", &ed.polarityLButton}, {"polarityR", &ed.polarityRButton},
            {"muteL", &ed.muteLButton},         {"muteMid", &ed.muteMidButton},
            {"muteSide", &ed.muteSideButton},   {"muteR", &ed.muteRButton},
            {"mono", &ed.monoButton},           {"bypass", &ed.bypassButton},
            {"graphic", &ed.graphicButton}};
        return *buttons.at(name);
    }

    juce::TextButton& header(const juce::String& name) const
    {
        const std::map<juce::String, juce::TextButton*> buttons{{"A", &ed.slotAButton},
                                                                {"B", &ed.slotBButton},
                                                                {"C", &ed.slotCButton},
                                                                {"copyA", &ed.copyToAButton},
                                                                {"help", &ed.helpButton}};
        return *buttons.at(name);
    }

    // Any of the editor's children by the member's name.
    juce::Component& component(const juce::String& name) const
    {
        if (name.endsWith("Knob"))
        {
            for (const auto& row : BivarroControlTables::knobs())
                if (name == juce::String(row.parameterId) + "Knob")
                    return ed.*row.knob;
        }
        if (name == "meterL")
            return ed.meterL;
        if (name == "meterR")
            return ed.meterR;
        if (name == "bypassOverlay")
            return ed.bypassOverlay;
        if (name.endsWith("Button"))
        {
            const auto stem = name.dropLastCharacters(6);
            if (stem.startsWith("slot"))
                return header(stem.getLastCharacters(1));
            if (stem == "copyToA")
                return header("copyA");
            if (stem == "help")
                return header("help");
            return button(stem);
        }
        ADD_FAILURE() << "no component " << name;
        return ed;
    }

    OrlintMeter& meter(bool left) const { return left ? ed.meterL : ed.meterR; }
    int sectionDividerY() const { return ed.sectionDividerY; }
    int headerHeight() const { return ed.headerHeight; }
    int footerHeight() const { return ed.footerHeight; }
    bool fullyBuilt() const { return ed.fullyBuilt; }
    juce::Rectangle<int> logoBounds() const { return ed.logoBounds; }
    std::array<int, BivarroEditorLinks::numLinks>& linkStates() const { return ed.links.linkStates; }
    LinkPair& pair(int index) const { return ed.links.linkPairs[(size_t)index]; }
    bool overlayActive() const { return ed.bypassOverlay.active; }
    void tick() const { ed.timerCallback(); }
    BivarroAudioProcessorEditor::HelpPanel& helpPanel() const { return ed.helpPanel; }
    BivarroAudioProcessorEditor::HelpWindow* helpWindow() const { return ed.helpWindow.get(); }
    juce::TooltipWindow* tooltipWindow() const { return ed.tooltipWindow.get(); }
    juce::LookAndFeel& tooltipLaf() const { return ed.tooltipLaf; }
    bool tooltipsShown() const { return ed.tooltipsShown; }
    bool spanishShown() const { return ed.spanishShown; }
    AnalyserWindow* analyserWindow() const { return ed.analyserWindow.get(); }

    BivarroAudioProcessorEditor& ed;
};

// What a host hears: per parameter, gesture begins and ends, and value changes made while no
// gesture of that parameter was open.
struct GestureLog : juce::AudioProcessorParameter::Listener
{
    struct Counts
    {
        int begins = 0;
        int ends = 0;
        int changes = 0;
        int changesOutsideGestures = 0;
        int open = 0;
    };

    void parameterValueChanged(int index, float) override
    {
        auto& c = counts[index];
        ++c.changes;
        if (c.open == 0)
            ++c.changesOutsideGestures;
    }

    void parameterGestureChanged(int index, bool starting) override
    {
        auto& c = counts[index];
        if (starting)
        {
            ++c.begins;
            ++c.open;
        }
        else
        {
            ++c.ends;
            --c.open;
        }
    }

    std::map<int, Counts> counts;
};

// A processor with its editor, which never opens a browser.
struct EditorFixture : ::testing::Test
{
    void SetUp() override { open(); }

    void open()
    {
        editor = std::make_unique<BivarroAudioProcessorEditor>(processor);
        editor->openProductPage = [this](const juce::URL& url) { openedPages.push_back(url.toString(false)); };
        probe = std::make_unique<BivarroEditorProbe>(*editor);
    }

    void close()
    {
        probe.reset();
        editor.reset();
    }

    void TearDown() override { close(); }

    float raw(const juce::String& id) const { return processor.apvts.getRawParameterValue(id)->load(); }

    void setParameter(const juce::String& id, float value)
    {
        auto* p = processor.apvts.getParameter(id);
        p->setValueNotifyingHost(p->convertTo0to1(value));
    }

    juce::Image render() const { return editor->createComponentSnapshot(editor->getLocalBounds(), true, 1.0f); }

    BivarroAudioProcessor processor;
    std::unique_ptr<BivarroAudioProcessorEditor> editor;
    std::unique_ptr<BivarroEditorProbe> probe;
    std::vector<juce::String> openedPages;
};
