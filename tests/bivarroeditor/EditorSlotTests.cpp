#include "bivarro/editor/OCols.h"
#include "bivarroeditor/EditorFixture.h"
#include "widgets/KnobTestKit.h"

#include <map>
#include <thread>

namespace
{
using E = BivarroEditorLinks;

struct EditorSlots : EditorFixture
{
    void click(const juce::String& name) { probe->header(name).onClick(); }
    bool isGold(const juce::String& name)
    {
        return probe->header(name).findColour(juce::TextButton::buttonColourId) == Bivarro::OCols::accentHi;
    }
    float slotValue(int slot, const juce::String& id)
    {
        const juce::ScopedLock lock(processor.slotLock);
        return (float)processor.slots[(size_t)slot].getChildWithProperty("id", id)["value"];
    }
};
} // namespace

TEST_F(EditorSlots, SwitchingKeepsEachSlotsValuesAndCopyAFillsSlotA)
{
    setParameter("gainL", -6.0f);
    click("B");
    EXPECT_EQ(processor.settings.activeSlot.load(), 1);
    EXPECT_FLOAT_EQ(slotValue(0, "gainL"), -6.0f);
    EXPECT_FLOAT_EQ(raw("gainL"), 0.0f);
    EXPECT_DOUBLE_EQ(probe->knob("gainL").getValue(), 0.0);
    EXPECT_TRUE(isGold("B"));
    EXPECT_FALSE(isGold("A"));
    EXPECT_TRUE(probe->header("copyA").isVisible());

    // Twice in a row changes nothing.
    setParameter("width", 150.0f);
    click("B");
    EXPECT_FLOAT_EQ(raw("width"), 150.0f);

    click("copyA");
    EXPECT_EQ(processor.settings.activeSlot.load(), 1);
    EXPECT_FLOAT_EQ(slotValue(0, "width"), 150.0f);
    EXPECT_FLOAT_EQ(slotValue(0, "gainL"), 0.0f);

    setParameter("width", 80.0f);
    click("A");
    EXPECT_FLOAT_EQ(raw("width"), 150.0f);
    EXPECT_FLOAT_EQ(slotValue(1, "width"), 80.0f);
    EXPECT_FALSE(probe->header("copyA").isVisible());
    EXPECT_TRUE(isGold("A"));

    // The knobs are bound to the new state and keep their own texts.
    probe->knob("gainL").setValue(-100.0, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ(raw("gainL"), -100.0f);
    EXPECT_EQ(probe->knob("gainL").getTextFromValue(-100.0), juce::String::fromUTF8("-\xe2\x88\x9e"));
    EXPECT_EQ(probe->knob("apFcL").getTextFromValue(1000.0), "1.0k");
    EXPECT_NEAR(probe->knob("apFcL").valueToProportionOfLength(1000.0), 0.5, 1e-4);
}

TEST_F(EditorSlots, LoadedValuesOfALinkedPairArriveUnchangedAndTheSlotStaysIntact)
{
    click("B");
    setParameter("gainL", -6.0f);
    setParameter("gainR", 3.0f);
    click("A");
    knobtest::doubleClick(probe->knob("gainL"), knobtest::shift);
    ASSERT_EQ(probe->linkStates()[E::Gain], 1);

    juce::ValueTree storedB;
    {
        const juce::ScopedLock lock(processor.slotLock);
        storedB = processor.slots[1].createCopy();
    }
    click("B");
    EXPECT_FLOAT_EQ(raw("gainL"), -6.0f);
    EXPECT_FLOAT_EQ(raw("gainR"), 3.0f);
    EXPECT_DOUBLE_EQ(probe->knob("gainR").getValue(), 3.0);
    {
        const juce::ScopedLock lock(processor.slotLock);
        EXPECT_TRUE(processor.slots[1].isEquivalentTo(storedB)) << processor.slots[1].toXmlString();
    }

    // The link goes on from the loaded values.
    probe->knob("gainL").setValue(-5.0, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ(raw("gainR"), 4.0f);
}

TEST_F(EditorSlots, AHostRestoreWhileTheEditorIsOpenRunsNoFollowUps)
{
    juce::MemoryBlock saved;
    {
        BivarroAudioProcessor other;
        for (const auto& [id, value] : {std::pair{"gainL", -6.0f}, {"gainR", 3.0f}, {"panL", 40.0f}, {"panR", -10.0f}})
        {
            auto* p = other.apvts.getParameter(id);
            p->setValueNotifyingHost(p->convertTo0to1(value));
        }
        other.getStateInformation(saved);
    }

    for (const bool fromWorker : {true, false})
    {
        setParameter("gainL", 0.0f);
        setParameter("gainR", 0.0f);
        setParameter("panL", 0.0f);
        setParameter("panR", 0.0f);
        probe->linkStates()[E::Gain] = 1;
        probe->linkStates()[E::Pan] = -1;
        probe->tick();
        knobtest::runMessageLoop(60);

        if (fromWorker)
            std::thread([&] { processor.setStateInformation(saved.getData(), (int)saved.getSize()); }).join();
        else
            processor.setStateInformation(saved.getData(), (int)saved.getSize());
        knobtest::runMessageLoop(100);

        const char* what = fromWorker ? "worker thread" : "message thread";
        EXPECT_FLOAT_EQ(raw("gainL"), -6.0f) << what;
        EXPECT_FLOAT_EQ(raw("gainR"), 3.0f) << what;
        EXPECT_FLOAT_EQ(raw("panL"), 40.0f) << what;
        EXPECT_FLOAT_EQ(raw("panR"), -10.0f) << what;
        EXPECT_DOUBLE_EQ(probe->knob("gainR").getValue(), 3.0) << what;
        EXPECT_FLOAT_EQ(slotValue(0, "gainR"), 3.0f) << what;
        EXPECT_EQ(probe->linkStates()[E::Gain], 1) << what;
        EXPECT_EQ(processor.settings.linkGain.load(), 1) << what;

        // Afterwards the pairs follow again, from the restored values.
        probe->knob("gainL").setValue(-5.0, juce::sendNotificationSync);
        EXPECT_FLOAT_EQ(raw("gainR"), 4.0f) << what;
    }
}

TEST_F(EditorSlots, HeaderButtonsBrightenOnHoverAndDarkenWhenDown)
{
    HeaderBtnLAF laf;
    juce::TextButton button;
    button.setSize(20, 16);
    const auto base = Bivarro::OCols::btnOff;
    const struct
    {
        bool over, down;
        juce::Colour expected;
    } cases[] = {{false, false, base}, {true, false, base.brighter(0.1f)}, {true, true, base.darker(0.2f)}};
    for (const auto& c : cases)
    {
        juce::Image img(juce::Image::ARGB, 20, 16, true);
        juce::Graphics g(img);
        laf.drawButtonBackground(g, button, base, c.over, c.down);
        EXPECT_EQ(img.getPixelAt(10, 8), c.expected) << c.over << c.down;
        EXPECT_LT(img.getPixelAt(19, 15).getAlpha(), 128) << "rounded corner";
    }
}

TEST_F(EditorSlots, EachClickShowsItsSlotAloneAndBringsItsValuesBack)
{
    // Distinct values in every slot, one of them set while the slot is in use.
    const std::map<juce::String, std::map<juce::String, float>> values{
        {"A", {{"gainL", -6.0f}, {"width", 150.0f}, {"apFcL", 250.0f}}},
        {"B", {{"gainL", -12.0f}, {"width", 40.0f}, {"apFcL", 4000.0f}}},
        {"C", {{"gainL", 3.5f}, {"width", 320.0f}, {"apFcL", 60.0f}}}};
    for (const auto& [id, value] : values.at("A"))
        setParameter(id, value);
    {
        const juce::ScopedLock lock(processor.slotLock);
        for (const auto& [slot, index] : {std::pair{"B", 1}, {"C", 2}})
            for (const auto& [id, value] : values.at(slot))
                processor.slots[(size_t)index].getChildWithProperty("id", id).setProperty("value", value, nullptr);
    }

    const struct
    {
        const char* click;
        int active;
    } clicks[] = {{"B", 1}, {"C", 2}, {"A", 0}, {"C", 2}, {"B", 1}};
    bool changedInC = false;
    for (const auto& c : clicks)
    {
        SCOPED_TRACE(c.click);
        // Through the button's own click.
        probe->header(c.click).triggerClick();
        ASSERT_TRUE(knobtest::deliverPostedMessages());
        EXPECT_EQ(processor.settings.activeSlot.load(), c.active);
        for (const char* name : {"A", "B", "C"})
        {
            const bool active = juce::String(name) == c.click;
            EXPECT_EQ(isGold(name), active) << name;
            EXPECT_EQ(probe->header(name).findColour(juce::TextButton::textColourOffId),
                      active ? juce::Colour(0xff000000) : Bivarro::OCols::btnOffTxt)
                << name;
        }
        EXPECT_EQ(probe->header("copyA").isVisible(), c.active != 0);

        for (const auto& [id, value] : values.at(c.click))
        {
            EXPECT_NEAR(raw(id), value, 1e-3f * std::abs(value)) << id;
            EXPECT_NEAR(probe->knob(id).getValue(), value, 1e-3f * std::abs(value)) << id;
        }
        if (juce::String(c.click) == "C")
        {
            if (changedInC)
            {
                EXPECT_FLOAT_EQ(raw("trimOut"), -7.5f) << "the change made while C was in use";
            }
            setParameter("trimOut", -7.5f);
            changedInC = true;
        }
        else
        {
            EXPECT_FLOAT_EQ(raw("trimOut"), 0.0f);
        }
    }
}
