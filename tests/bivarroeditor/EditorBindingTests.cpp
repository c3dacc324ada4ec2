#include "bivarroeditor/EditorFixture.h"
#include "widgets/KnobTestKit.h"

#include <cmath>

namespace
{
struct KnobCase
{
    const char* id;
    const char* name;
    double minimum, maximum, interval, defaultValue;
    bool proportionalDrag;
    float fontScale;
    double dragStep;
    const char* tooltip;
};

// The knobs as the user meets them, in the editor's member order.
const KnobCase knobCases[] = {
    {"gainL", "Gain", -100, 48, 0.1, 0, false, 1.0f, 0, "Gain L (-inf to +48 dB)"},
    {"panL", "Pan", 0, 100, 0.1, 0, false, 1.0f, 0, "Pan L (0=left, 100=right)"},
    {"delayL", "Delay", 0, 50, 0.01, 0, false, 1.0f, 0, "Delay L (0-50 ms)"},
    {"apFcL", "Freq", 1, 20000, 0, 1000, true, 0.85f, 0, "All-pass freq L (1 Hz-20 kHz)"},
    {"apPhaseL", "Phase", 0, 180, 0.1, 0, false, 0.85f, 0, "All-pass phase L (0-180 deg)"},
    {"apQL", "Q", 0.1, 20, 0.01, 1, false, 0.85f, 0, "All-pass Q L (0.1-20, 2nd order only)"},
    {"gainR", "Gain", -100, 48, 0.1, 0, false, 1.0f, 0, "Gain R (-inf to +48 dB)"},
    {"panR", "Pan", -100, 0, 0.1, 0, false, 1.0f, 0, "Pan R (-100=left, 0=right)"},
    {"delayR", "Delay", 0, 50, 0.01, 0, false, 1.0f, 0, "Delay R (0-50 ms)"},
    {"apFcR", "Freq", 1, 20000, 0, 1000, true, 0.85f, 0, "All-pass freq R (1 Hz-20 kHz)"},
    {"apPhaseR", "Phase", 0, 180, 0.1, 0, false, 0.85f, 0, "All-pass phase R (0-180 deg)"},
    {"apQR", "Q", 0.1, 20, 0.01, 1, false, 0.85f, 0, "All-pass Q R (0.1-20, 2nd order only)"},
    {"width", "Width", 0, 500, 0.1, 100, false, 1.0f, 0, "Stereo width (0%=mono, 100%=normal, 500%=max)"},
    {"asymmetry", "Asymmetry", -90, 90, 0.1, 0, false, 1.0f, 0, "Asymmetry (-90 to +90 deg)"},
    {"rotation", "Rotation", -45, 45, 0.1, 0, false, 1.0f, 0, "Rotation (-45 to +45 deg)"},
    {"trimOut", "Trim Out", -48, 24, 0.1, 0, false, 1.0f, 0, "Trim out (-48 to +24 dB)"},
    {"midGain", "Mid", -48, 24, 0.1, 0, false, 1.0f, 0, "Mid gain (-48 to +24 dB)"},
    {"sideGain", "Side", -48, 24, 0.1, 0, false, 1.0f, 0, "Side gain (-48 to +24 dB)"},
    {"monoMakerFreq", "Freq", 10, 4000, 0, 10, true, 0.85f, 0, "Bass Mono: crossover frequency (10-4000 Hz)"},
    {"monoMakerInt", "Intensity", 0, 100, 1, 0, false, 0.85f, 1.0,
     "Bass Mono: intensity (0%=off, 100%=full mono below freq)"},
};

using EditorBindings = EditorFixture;

double tolerance(const KnobCase& k)
{
    return k.interval > 0.0 ? k.interval * 0.51 : (k.maximum - k.minimum) * 1.0e-4;
}
} // namespace

TEST_F(EditorBindings, EveryKnobIsBoundInMemberOrderWithItsSettings)
{
    const auto ids = probe->knobIdsInOrder();
    ASSERT_EQ(ids.size(), std::size(knobCases));
    for (size_t i = 0; i < ids.size(); ++i)
    {
        const auto& k = knobCases[i];
        SCOPED_TRACE(k.id);
        EXPECT_EQ(ids[i], juce::String(k.id));
        auto& knob = probe->knob(k.id);
        EXPECT_EQ(knob.getTitle(), juce::String(k.name));
        EXPECT_NEAR(knob.getMinimum(), k.minimum, 1.0e-6);
        EXPECT_NEAR(knob.getMaximum(), k.maximum, 1.0e-6);
        EXPECT_NEAR(knob.getInterval(), k.interval, 1.0e-6);
        EXPECT_NEAR(knob.getDoubleClickReturnValue(), k.defaultValue, 1.0e-3);
        EXPECT_EQ(knob.proportionalDrag, k.proportionalDrag);
        EXPECT_FLOAT_EQ(knob.fontScale, k.fontScale);
        EXPECT_DOUBLE_EQ(knob.dragStep, k.dragStep);
        EXPECT_FALSE(knob.continuousDrag);
        EXPECT_EQ(knob.getTooltip(), juce::String(k.tooltip));
        EXPECT_TRUE(knob.isVisible());
        EXPECT_EQ(knob.getParentComponent(), editor.get());
        EXPECT_FALSE(static_cast<bool>(knob.onAltClick));
    }
}

TEST_F(EditorBindings, MovingAKnobMovesItsParameterAndTheParameterMovesTheKnob)
{
    for (const auto& k : knobCases)
    {
        SCOPED_TRACE(k.id);
        auto& knob = probe->knob(k.id);
        const double target = knob.snapValue(k.minimum + 0.37 * (k.maximum - k.minimum), juce::Slider::notDragging);
        knob.setValue(target, juce::sendNotificationSync);
        EXPECT_NEAR(raw(k.id), target, tolerance(k));

        const float fromHost = (float)(k.minimum + 0.81 * (k.maximum - k.minimum));
        setParameter(k.id, fromHost);
        EXPECT_NEAR(knob.getValue(), raw(k.id), tolerance(k));
        EXPECT_NEAR(knob.getValue(), fromHost, tolerance(k) + std::abs(fromHost) * 1.0e-4);
    }
}

TEST_F(EditorBindings, GainKnobsShowAndReadInfinity)
{
    const std::pair<double, const char*> shown[] = {{-100.0, "-\xe2\x88\x9e"},
                                                    {-99.9, "-\xe2\x88\x9e"},
                                                    {-99.8, "-99.8"},
                                                    {-12.0, "-12.0"},
                                                    {0.0, "0.0"},
                                                    {48.0, "48.0"}};
    const std::pair<const char*, double> typed[] = {{"-inf", -100.0}, {"INF", -100.0}, {"\xe2\x88\x9e", -100.0},
                                                    {"-6 dB", -6.0},  {"3.25", 3.25},  {"dB", 0.0}};
    for (const char* id : {"gainL", "gainR"})
    {
        auto& knob = probe->knob(id);
        for (const auto& [value, text] : shown)
            EXPECT_EQ(knob.getTextFromValue(value), juce::String::fromUTF8(text)) << id << " " << value;
        for (const auto& [text, value] : typed)
            EXPECT_DOUBLE_EQ(knob.getValueFromText(juce::String::fromUTF8(text)), value) << id << " " << text;
    }
}

TEST_F(EditorBindings, FrequencyKnobsShowAndReadKilohertz)
{
    const std::pair<double, const char*> shown[] = {{999.9, "1000"},    {999.6, "1000"},    {999.95, "1.0k"},
                                                    {20000.0, "20.0k"}, {12500.0, "12.5k"}, {440.0, "440"},
                                                    {10.0, "10"}};
    const std::pair<const char*, double> typed[] = {{"2.5k", 2500.0},  {"2.5K", 2500.0}, {"300", 300.0},
                                                    {"500 Hz", 500.0}, {"k", 0.0},       {"1.5k", 1500.0}};
    for (const char* id : {"apFcL", "apFcR", "monoMakerFreq"})
    {
        auto& knob = probe->knob(id);
        for (const auto& [value, text] : shown)
            EXPECT_EQ(knob.getTextFromValue(value), juce::String(text)) << id << " " << value;
        for (const auto& [text, value] : typed)
            EXPECT_DOUBLE_EQ(knob.getValueFromText(text), value) << id << " " << text;
    }
    // Other knobs keep their parameter's own texts.
    auto* width = processor.apvts.getParameter("width");
    EXPECT_EQ(probe->knob("width").getTextFromValue(150.0), width->getText(width->convertTo0to1(150.0f), 1024));
}

TEST_F(EditorBindings, TypedKilohertzReachTheParameter)
{
    auto& knob = probe->knob("apFcL");
    OrlintKnobProbe kp(knob);
    knob.openTextEditor();
    ASSERT_NE(kp.editor(), nullptr);
    kp.editor()->setText("2.5k");
    knob.commitTextEditor();
    knobtest::runMessageLoop(400);
    EXPECT_NEAR(raw("apFcL"), 2500.0f, 0.5f);
}

namespace
{
struct ButtonCase
{
    const char* name;
    const char* label;
    juce::uint32 accent;
    const char* tooltip;
    bool startsOn;
};

const ButtonCase buttonCases[] = {
    {"orderL", "1st", 0xffdaa520, "APF order: 1st (shelf) / 2nd (bell)", true},
    {"orderR", "1st", 0xffdaa520, "APF order: 1st (shelf) / 2nd (bell)", true},
    {"linkAll", "Lnk", 0xffdaa520, "Link/Unlink all APF parameters (Freq, Phase, Q, Order)", false},
    {"inverseLinkAll", "Lnk", 0xff9b59b6, "Inverted link all APF parameters (Freq, Phase, Q, Order)", false},
    {"polarityL", "Polarity L", 0xffdaa520, "Invert L polarity", false},
    {"polarityR", "Polarity R", 0xffdaa520, "Invert R polarity", false},
    {"muteL", "Mute L", 0xff5599ff, "Mute L", false},
    {"muteMid", "Mute M", 0xffdaa520, "Mute Mid", false},
    {"muteSide", "Mute S", 0xffdaa520, "Mute Side", false},
    {"muteR", "Mute R", 0xffff6666, "Mute R", false},
    {"mono", "Mono", 0xffdaa520, "Mono (L+R sum)", false},
    {"bypass", "Bypass", 0xffdaa520, "Bypass", false},
    {"graphic", "Graphic", 0xffdaa520, "Open/close Analyser", false},
};

void click(juce::Component& c, juce::ModifierKeys mods = knobtest::none)
{
    c.mouseDown(knobtest::eventAt(c, 0, mods));
    c.mouseUp(knobtest::eventAt(c, 0, mods));
}
} // namespace

TEST_F(EditorBindings, ToggleButtonsCarryTheirLabelsAccentsAndTooltips)
{
    for (const auto& b : buttonCases)
    {
        auto& button = probe->button(b.name);
        EXPECT_EQ(button.labelText, juce::String(b.label)) << b.name;
        EXPECT_EQ(button.accentColour.getARGB(), b.accent) << b.name;
        EXPECT_EQ(button.tooltipText, juce::String(b.tooltip)) << b.name;
        EXPECT_EQ(button.isOn, b.startsOn) << b.name;
        EXPECT_TRUE(button.isVisible()) << b.name;
    }
}

TEST_F(EditorBindings, SwitchButtonsWriteTheirParametersAndFollowTheHost)
{
    for (const char* id : {"polarityL", "polarityR", "muteL", "muteR", "muteMid", "muteSide", "mono", "bypass"})
    {
        SCOPED_TRACE(id);
        auto& button = probe->button(id);
        click(button);
        EXPECT_TRUE(button.isOn);
        EXPECT_EQ(raw(id), 1.0f);
        click(button);
        EXPECT_FALSE(button.isOn);
        EXPECT_EQ(raw(id), 0.0f);

        setParameter(id, 1.0f);
        probe->tick();
        EXPECT_TRUE(button.isOn);
        setParameter(id, 0.0f);
        probe->tick();
        EXPECT_FALSE(button.isOn);
    }
}

TEST_F(EditorBindings, OrderButtonsFlipTheOrderAndShowIt)
{
    const struct
    {
        const char* button;
        const char* order;
        const char* phase;
    } cases[] = {{"orderL", "apOrder2L", "apPhaseL"}, {"orderR", "apOrder2R", "apPhaseR"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.button);
        auto& button = probe->button(c.button);
        click(button);
        EXPECT_EQ(raw(c.order), 1.0f);
        probe->tick();
        EXPECT_TRUE(button.isOn);
        EXPECT_EQ(button.labelText, "2nd");
        EXPECT_EQ(button.accentColour.getARGB(), 0xff666666u) << "an inactive channel is drawn dim";

        setParameter(c.phase, 0.2f);
        probe->tick();
        EXPECT_EQ(button.accentColour.getARGB(), 0xff9b59b6u);

        click(button);
        EXPECT_EQ(raw(c.order), 0.0f);
        probe->tick();
        EXPECT_EQ(button.labelText, "1st");
        EXPECT_EQ(button.accentColour.getARGB(), 0xffdaa520u);
    }
}

TEST_F(EditorBindings, BypassFromTheHostRaisesTheVeilWithinOneTick)
{
    EXPECT_FALSE(probe->overlayActive());
    setParameter("bypass", 1.0f);
    probe->tick();
    EXPECT_TRUE(probe->overlayActive());
    EXPECT_TRUE(probe->button("bypass").isOn);
    bool self = true, children = true;
    probe->component("bypassOverlay").getInterceptsMouseClicks(self, children);
    EXPECT_FALSE(self || children) << "clicks still reach the controls under the veil";
    EXPECT_FALSE(probe->component("bypassOverlay").hitTest(10, 10));
    EXPECT_TRUE(probe->component("bypassOverlay").isAlwaysOnTop());
}

TEST_F(EditorBindings, HeaderButtonsCarryTheirTextsAndTheActiveSlotColours)
{
    const struct
    {
        const char* name;
        const char* text;
        const char* tooltip;
    } cases[] = {{"A", "A", "Slot A"},
                 {"B", "B", "Slot B"},
                 {"C", "C", "Slot C"},
                 {"copyA", "Copy A", "Copy current settings to slot A"},
                 {"help", "?", "Help & shortcuts"}};
    for (const auto& c : cases)
    {
        auto& b = probe->header(c.name);
        EXPECT_EQ(b.getButtonText(), juce::String(c.text));
        EXPECT_EQ(b.getTooltip(), juce::String(c.tooltip));
    }
    EXPECT_EQ(probe->header("A").findColour(juce::TextButton::buttonColourId).getARGB(), 0xffdaa520u);
    EXPECT_EQ(probe->header("A").findColour(juce::TextButton::textColourOffId).getARGB(), 0xff000000u);
    EXPECT_EQ(probe->header("B").findColour(juce::TextButton::buttonColourId).getARGB(), 0xff2a2a2au);
    EXPECT_EQ(probe->header("B").findColour(juce::TextButton::textColourOffId).getARGB(), 0xffbbbbbbu);
    EXPECT_FALSE(probe->header("copyA").isVisible()) << "hidden while slot A is in use";

    close();
    processor.settings.activeSlot = 2;
    open();
    EXPECT_EQ(probe->header("C").findColour(juce::TextButton::buttonColourId).getARGB(), 0xffdaa520u);
    EXPECT_EQ(probe->header("A").findColour(juce::TextButton::buttonColourId).getARGB(), 0xff2a2a2au);
    EXPECT_TRUE(probe->header("copyA").isVisible());
}

TEST_F(EditorBindings, LinkStatesOutsideTheirRangeCountAsUnlinked)
{
    close();
    processor.settings.linkGain = 2;
    processor.settings.linkPan = -7;
    processor.settings.linkQ = -1;
    processor.settings.linkMuteSid = 1;
    open();
    using E = BivarroEditorLinks;
    EXPECT_EQ(probe->linkStates()[E::Gain], 0);
    EXPECT_EQ(probe->linkStates()[E::Pan], 0);
    EXPECT_EQ(probe->linkStates()[E::Q], -1);
    EXPECT_EQ(probe->linkStates()[E::MuteSid], 1);
    close();
    EXPECT_EQ(processor.settings.linkGain.load(), 0);
    EXPECT_EQ(processor.settings.linkPan.load(), 0);
    EXPECT_EQ(processor.settings.linkQ.load(), -1);
    EXPECT_EQ(processor.settings.linkMuteSid.load(), 1);
}

TEST_F(EditorBindings, LinkStatesReachTheProcessorOnEveryTickAndAtClose)
{
    using E = BivarroEditorLinks;
    probe->linkStates()[E::Pol] = -1;
    probe->linkStates()[E::Delay] = 1;
    processor.settings.linkPol = 0;
    probe->tick();
    EXPECT_EQ(processor.settings.linkPol.load(), -1) << "Pol sits fifth in the editor and tenth in the processor";
    EXPECT_EQ(processor.settings.linkDelay.load(), 1);

    probe->linkStates()[E::Ord] = 1;
    close();
    EXPECT_EQ(processor.settings.linkOrd.load(), 1);
    open();
    EXPECT_EQ(probe->linkStates()[E::Ord], 1);
    EXPECT_EQ(probe->linkStates()[E::Pol], -1);
}

TEST_F(EditorBindings, ClosingStoresTheLiveSettingsIntoTheActiveSlot)
{
    const auto slotValue = [this](int slot, const char* id)
    { return (float)processor.slots[(size_t)slot].getChildWithProperty("id", id).getProperty("value"); };

    for (int slot : {0, 1})
    {
        close();
        processor.settings.activeSlot = slot;
        open();
        setParameter("gainL", -6.0f - (float)slot);
        close();
        EXPECT_NEAR(slotValue(slot, "gainL"), -6.0f - (float)slot, 1.0e-4f) << slot;
    }

    // An active slot outside 0..2 stores nothing.
    const auto before = processor.slots[0].createCopy();
    processor.settings.activeSlot = 5;
    open();
    setParameter("gainL", 12.0f);
    close();
    EXPECT_TRUE(processor.slots[0].isEquivalentTo(before));
}

TEST_F(EditorBindings, MeterHoldStartsFromTheProcessorAndSwitchesBothMeters)
{
    EXPECT_FALSE(probe->meter(true).isHoldEnabled());
    close();
    processor.settings.meterHold = true;
    open();
    EXPECT_TRUE(probe->meter(true).isHoldEnabled());
    EXPECT_TRUE(probe->meter(false).isHoldEnabled());

    for (const bool left : {false, true})
    {
        auto& clicked = probe->meter(left);
        clicked.mouseDown(knobtest::eventAt(clicked, 0, knobtest::shift));
        EXPECT_FALSE(clicked.isHoldEnabled());
        EXPECT_FALSE(probe->meter(!left).isHoldEnabled());
        EXPECT_FALSE(processor.settings.meterHold.load());
        clicked.mouseDown(knobtest::eventAt(clicked, 0, knobtest::shift));
        EXPECT_TRUE(probe->meter(!left).isHoldEnabled());
        EXPECT_TRUE(processor.settings.meterHold.load());
    }
}

TEST_F(EditorBindings, LinkPairsJoinTheirKnobsAndStartFromTheirValues)
{
    const struct
    {
        const char* a;
        const char* b;
        int link;
    } pairs[] = {{"gainL", "gainR", BivarroEditorLinks::Gain},
                 {"delayL", "delayR", BivarroEditorLinks::Delay},
                 {"apFcL", "apFcR", BivarroEditorLinks::Freq},
                 {"apPhaseL", "apPhaseR", BivarroEditorLinks::Phase},
                 {"apQL", "apQR", BivarroEditorLinks::Q},
                 {"panL", "panR", BivarroEditorLinks::Pan},
                 {"midGain", "sideGain", BivarroEditorLinks::MidSide},
                 {"asymmetry", "rotation", BivarroEditorLinks::AsymRot}};
    for (int i = 0; i < (int)std::size(pairs); ++i)
    {
        const auto& pair = probe->pair(i);
        EXPECT_EQ(pair.knobA, &probe->knob(pairs[i].a)) << i;
        EXPECT_EQ(pair.knobB, &probe->knob(pairs[i].b)) << i;
        EXPECT_EQ(pair.link, &probe->linkStates()[(size_t)pairs[i].link]) << i;
        EXPECT_DOUBLE_EQ(pair.refA, probe->knob(pairs[i].a).getValue()) << i;
        EXPECT_EQ(pair.forwardCount + pair.backwardCount, 0) << i;
    }
}

TEST_F(EditorBindings, TheProcessorOpensThisEditor)
{
    EXPECT_TRUE(processor.hasEditor());
    std::unique_ptr<juce::AudioProcessorEditor> another(processor.createEditor());
    EXPECT_NE(dynamic_cast<BivarroAudioProcessorEditor*>(another.get()), nullptr);
}

namespace
{
// The ways a value reaches a knob. Each goes through the knob's float parameter, which hands back
// its own nearest value (for the frequencies after a conversion that is not exactly invertible).
enum class Path
{
    host,
    typed,
    slot
};

struct ShownCase
{
    const char* typed;
    double value;
    const char* shown;
};

struct KnobTextPaths : EditorFixture
{
    // The text the knob shows once the value has arrived by the given path.
    juce::String shownAfter(Path path, const juce::String& id, const ShownCase& c)
    {
        auto& knob = probe->knob(id);
        switch (path)
        {
        case Path::host:
            setParameter(id, (float)c.value);
            break;
        case Path::typed:
        {
            OrlintKnobProbe kp(knob);
            knob.openTextEditor();
            if (kp.editor() == nullptr)
                return "no typed-value editor";
            kp.editor()->setText(juce::String::fromUTF8(c.typed));
            knob.commitTextEditor();
            // The value is applied once the field has closed.
            const auto end = juce::Time::getMillisecondCounter() + 5000;
            while ((kp.editor() != nullptr || kp.closingEditor()) && juce::Time::getMillisecondCounter() < end)
                knobtest::runMessageLoop(5);
            break;
        }
        case Path::slot:
        {
            // From A, so that the switch loads slot B rather than storing the live state into it.
            probe->header("A").onClick();
            {
                const juce::ScopedLock lock(processor.slotLock);
                processor.slots[1].getChildWithProperty("id", id).setProperty("value", c.value, nullptr);
            }
            probe->header("B").onClick();
            break;
        }
        }
        return knob.getTextFromValue(knob.getValue());
    }
};

const char* nameOf(Path path)
{
    return path == Path::host ? "host" : path == Path::typed ? "typed" : "slot";
}
} // namespace

TEST_F(KnobTextPaths, TextsAtTheBoundariesHoldForValuesThatCameThroughTheParameter)
{
    const std::vector<ShownCase> gains{{"-99.95", -99.95, "-\xe2\x88\x9e"},
                                       {"-99.9", -99.9, "-\xe2\x88\x9e"},
                                       {"-99.85", -99.85, "-99.8"},
                                       {"-99.8", -99.8, "-99.8"}};
    const std::vector<ShownCase> frequencies{
        {"999.49", 999.49, "999"},   {"999.5", 999.5, "1000"},  {"999.95", 999.95, "1.0k"}, {"999.96", 999.96, "1.0k"},
        {"20000", 20000.0, "20.0k"}, {"20k", 20000.0, "20.0k"}, {"999.9", 999.9, "1000"},   {"1.5k", 1500.0, "1.5k"}};
    const std::pair<const char*, const std::vector<ShownCase>*> knobs[] = {{"gainL", &gains},
                                                                           {"gainR", &gains},
                                                                           {"apFcL", &frequencies},
                                                                           {"apFcR", &frequencies},
                                                                           {"monoMakerFreq", &frequencies}};
    for (const auto path : {Path::host, Path::typed, Path::slot})
        for (const auto& [id, cases] : knobs)
            for (const auto& c : *cases)
            {
                if (c.value > probe->knob(id).getMaximum())
                    continue;
                EXPECT_EQ(shownAfter(path, id, c), juce::String::fromUTF8(c.shown))
                    << nameOf(path) << " " << id << " " << c.typed << " (knob at "
                    << juce::String(probe->knob(id).getValue(), 6) << ")";
            }
}
