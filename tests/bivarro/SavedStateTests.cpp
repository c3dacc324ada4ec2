#include "support/DamagedStates.h"
#include "support/ParamHelpers.h"
#include "support/StateHelpers.h"

#include "bivarro/processor/BivarroAudioProcessor.h"
#include "bivarro/processor/BivarroParameters.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <future>

namespace
{
using Proc = BivarroAudioProcessor;

float paramIn(const juce::ValueTree& tree, const char* id)
{
    return tree.getChildWithProperty("id", id).getProperty("value");
}

void setParamIn(juce::ValueTree tree, const char* id, float value)
{
    tree.getChildWithProperty("id", id).setProperty("value", value, nullptr);
}

juce::XmlElement* slotChild(juce::XmlElement& root, int index)
{
    for (auto* c : root.getChildIterator())
        if (c->getIntAttribute("_slotIndex", -1) == index)
            return c;
    return nullptr;
}

// Every interface setting away from its default, each within its limits.
void setEverySetting(Proc& p)
{
    p.settings.editorWidth = 455;
    p.settings.tooltipsEnabled = true;
    p.settings.languageSpanish = true;
    p.settings.meterHold = true;
    p.settings.linkGain = 1;
    p.settings.linkDelay = -1;
    p.settings.linkFreq = 1;
    p.settings.linkPhase = -1;
    p.settings.linkPan = 1;
    p.settings.linkMidSide = -1;
    p.settings.linkAsymRot = 1;
    p.settings.linkQ = -1;
    p.settings.linkOrd = 1;
    p.settings.linkPol = -1;
    p.settings.linkMuteL = 1;
    p.settings.linkMuteSid = -1;
    p.settings.analyserScopeMode = 1;
    p.settings.analyserZoom = 2.5f;
    p.settings.analyserRelScope = 3.0f;
    p.settings.analyserRelCorr = 0.4f;
    p.settings.analyserRelPan = 1.2f;
    p.settings.analyserCfgOpen = true;
    p.settings.analyserWinX = 120;
    p.settings.analyserWinY = 80;
    p.settings.analyserWinW = 790;
    p.settings.analyserWinH = 426;
    p.settings.analyserSnapToPlugin = false;
    p.settings.analyserAlwaysOnTop = false;
    p.settings.analyserOpen = true;
    p.settings.analyserTriangleAlpha = 0.33f;
    p.settings.analyserDotDensity = 1.65f;
    p.settings.analyserInputBright = 0.5f;
    p.settings.analyserOutputBright = 0.7f;
    p.settings.activeSlot = 2;
}

// Every parameter away from its default, each to a value of its own.
void setEveryParameter(Proc& p)
{
    int i = 0;
    for (auto* param : p.getParameters())
    {
        const float def = param->getDefaultValue();
        param->setValueNotifyingHost(def < 0.5f ? 0.8f - 0.01f * static_cast<float>(i)
                                                : 0.1f + 0.01f * static_cast<float>(i));
        ++i;
    }
}

bool processesFinite(Proc& p)
{
    p.prepareToPlay(48000.0, 256);
    juce::AudioBuffer<float> buffer(2, 256);
    juce::MidiBuffer midi;
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 256; ++i)
            buffer.setSample(ch, i, std::sin(0.05f * static_cast<float>(i + ch)) * 0.5f);
    p.processBlock(buffer, midi);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 256; ++i)
            if (!std::isfinite(buffer.getSample(ch, i)))
                return false;
    return true;
}

const char* const kDefaultParams =
    R"(<PARAM id="apFcL" value="999.9998779296875"/><PARAM id="apFcR" value="999.9998779296875"/>)"
    R"(<PARAM id="apOrder2L" value="0.0"/><PARAM id="apOrder2R" value="0.0"/><PARAM id="apPhaseL" value="0.0"/>)"
    R"(<PARAM id="apPhaseR" value="0.0"/><PARAM id="apQL" value="1.0"/><PARAM id="apQR" value="1.0"/>)"
    R"(<PARAM id="asymmetry" value="0.0"/><PARAM id="bypass" value="0.0"/><PARAM id="delayL" value="0.0"/>)"
    R"(<PARAM id="delayR" value="0.0"/><PARAM id="gainL" value="0.0"/><PARAM id="gainR" value="0.0"/>)"
    R"(<PARAM id="midGain" value="0.0"/><PARAM id="mono" value="0.0"/><PARAM id="monoMakerFreq" value="10.0"/>)"
    R"(<PARAM id="monoMakerInt" value="0.0"/><PARAM id="muteL" value="0.0"/><PARAM id="muteMid" value="0.0"/>)"
    R"(<PARAM id="muteR" value="0.0"/><PARAM id="muteSide" value="0.0"/><PARAM id="panL" value="0.0"/>)"
    R"(<PARAM id="panR" value="0.0"/><PARAM id="polarityL" value="0.0"/><PARAM id="polarityR" value="0.0"/>)"
    R"(<PARAM id="rotation" value="0.0"/><PARAM id="sideGain" value="0.0"/><PARAM id="trimOut" value="0.0"/>)"
    R"(<PARAM id="width" value="100.0"/>)";

const char* const kDefaultSettings =
    R"(editorWidth="380" tooltipsEnabled="0" languageSpanish="0" meterHold="0" linkGain="0" linkDelay="0" )"
    R"(linkFreq="0" linkPhase="0" linkPan="0" linkMidSide="0" linkAsymRot="0" linkQ="0" linkOrd="0" linkPol="0" )"
    R"(linkMuteL="0" linkMuteSid="0" analyserScopeMode="0" analyserZoom="1.0" )"
    R"(analyserRelScope="0.1500000059604645" analyserRelCorr="0.1500000059604645" )"
    R"(analyserRelPan="0.1500000059604645" analyserCfgOpen="0" analyserWinX="-1" analyserWinY="-1" )"
    R"(analyserWinW="0" analyserWinH="0" analyserSnapToPlugin="1" analyserAlwaysOnTop="1" analyserOpen="0" )"
    R"(analyserTriangleAlpha="0.1500000059604645" analyserDotDensity="1.0" analyserInputBright="0.300000011920929" )"
    R"(analyserOutputBright="0.8799999952316284" activeSlot="0")";
// What setEverySetting and setEveryParameter give.
const char* const kEverySetting =
    R"(editorWidth="455" tooltipsEnabled="1" languageSpanish="1" meterHold="1" linkGain="1" linkDelay="-1" )"
    R"(linkFreq="1" linkPhase="-1" linkPan="1" linkMidSide="-1" linkAsymRot="1" linkQ="-1" linkOrd="1" )"
    R"(linkPol="-1" linkMuteL="1" linkMuteSid="-1" analyserScopeMode="1" analyserZoom="2.5" )"
    R"(analyserRelScope="3.0" analyserRelCorr="0.4000000059604645" analyserRelPan="1.200000047683716" )"
    R"(analyserCfgOpen="1" analyserWinX="120" analyserWinY="80" analyserWinW="790" analyserWinH="426" )"
    R"(analyserSnapToPlugin="0" analyserAlwaysOnTop="0" analyserOpen="1" )"
    R"(analyserTriangleAlpha="0.3300000131130219" analyserDotDensity="1.649999976158142" )"
    R"(analyserInputBright="0.5" analyserOutputBright="0.699999988079071" activeSlot="2")";
const char* const kEveryParam =
    R"(<PARAM id="apFcL" value="3.952841758728027"/><PARAM id="apFcR" value="24.48001289367676"/>)"
    R"(<PARAM id="apOrder2L" value="1.0"/><PARAM id="apOrder2R" value="1.0"/>)"
    R"(<PARAM id="apPhaseL" value="136.8000030517578"/><PARAM id="apPhaseR" value="122.4000015258789"/>)"
    R"(<PARAM id="apQL" value="15.02999973297119"/><PARAM id="apQR" value="13.43000030517578"/>)"
    R"(<PARAM id="asymmetry" value="-41.39999771118164"/><PARAM id="bypass" value="1.0"/>)"
    R"(<PARAM id="delayL" value="39.0"/><PARAM id="delayR" value="35.0"/>)"
    R"(<PARAM id="gainL" value="-85.19999694824219"/><PARAM id="gainR" value="-73.40000152587891"/>)"
    R"(<PARAM id="midGain" value="-26.39999961853027"/><PARAM id="mono" value="1.0"/>)"
    R"(<PARAM id="monoMakerFreq" value="561.9996337890625"/><PARAM id="monoMakerInt" value="51.0"/>)"
    R"(<PARAM id="muteL" value="1.0"/><PARAM id="muteMid" value="1.0"/><PARAM id="muteR" value="1.0"/>)"
    R"(<PARAM id="muteSide" value="1.0"/><PARAM id="panL" value="79.0"/><PARAM id="panR" value="-81.0"/>)"
    R"(<PARAM id="polarityL" value="1.0"/><PARAM id="polarityR" value="1.0"/>)"
    R"(<PARAM id="rotation" value="-19.79999923706055"/><PARAM id="sideGain" value="-25.69999885559082"/>)"
    R"(<PARAM id="trimOut" value="-27.10000038146973"/><PARAM id="width" value="320.0"/>)";
} // namespace

TEST(BivarroSavedState, DefaultInstanceWritesTheExactForm)
{
    Proc p;
    const auto b = saveState(p);
    const auto* bytes = static_cast<const uint8_t*>(b.getData());
    ASSERT_GT(b.getSize(), 9u);

    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), 4), "VC2!");
    const uint32_t length = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<uint32_t>(bytes[7]) << 24);
    EXPECT_EQ(length, b.getSize() - 9);
    EXPECT_EQ(bytes[b.getSize() - 1], 0);

    juce::String expected = R"(<?xml version="1.0" encoding="UTF-8"?> <Parameters )";
    expected << kDefaultSettings << ">" << kDefaultParams;
    for (int i = 0; i < 3; ++i)
        expected << R"(<Parameters _slotIndex=")" << i << R"(">)" << kDefaultParams << "</Parameters>";
    expected << "</Parameters>";

    const std::string text(reinterpret_cast<const char*>(bytes) + 8, length);
    EXPECT_EQ(text, expected.toStdString());
}

// The bytes hosts keep in projects, with every parameter and setting away from its default, slot A
// edited on its own and slot C active.
TEST(BivarroSavedState, NonDefaultInstanceWritesTheExactForm)
{
    Proc p;
    setEveryParameter(p);
    setEverySetting(p);
    setParamIn(p.slots[0], "gainL", -6.0f);
    const auto b = saveState(p);

    juce::String expected = R"(<?xml version="1.0" encoding="UTF-8"?> <Parameters )";
    expected << kEverySetting << ">" << kEveryParam;
    expected << R"(<Parameters _slotIndex="0">)"
             << juce::String(kDefaultParams)
                    .replace(R"(<PARAM id="gainL" value="0.0"/>)", R"(<PARAM id="gainL" value="-6.0"/>)")
             << "</Parameters>";
    expected << R"(<Parameters _slotIndex="1">)" << kDefaultParams << "</Parameters>";
    expected << R"(<Parameters _slotIndex="2">)" << kEveryParam << "</Parameters>";
    expected << "</Parameters>";

    juce::MemoryOutputStream form;
    form.write("VC2!", 4);
    form.writeInt(static_cast<int>(expected.getNumBytesAsUTF8()));
    form.write(expected.toRawUTF8(), expected.getNumBytesAsUTF8());
    form.writeByte(0);
    ASSERT_GT(b.getSize(), 9u);
    EXPECT_EQ(std::string(static_cast<const char*>(b.getData()) + 8, b.getSize() - 9), expected.toStdString());
    EXPECT_EQ(b, form.getMemoryBlock());
}

TEST(BivarroSavedState, RoundTripIntoANewInstance)
{
    Proc a;
    setEveryParameter(a);
    setEverySetting(a);
    setParamIn(a.slots[0], "gainL", -6.0f);
    setParamIn(a.slots[1], "width", 250.0f);
    const auto saved = saveState(a);

    Proc b;
    restoreState(b, saved);

    for (const char* id : BivarroParameters::hostOrder)
        EXPECT_EQ(rawParam(a.apvts, id), rawParam(b.apvts, id)) << id;
    EXPECT_EQ(b.settings.activeSlot.load(), 2);
    EXPECT_EQ(b.settings.editorWidth.load(), 455);
    EXPECT_FLOAT_EQ(b.settings.analyserRelScope.load(), 3.0f);
    EXPECT_EQ(b.settings.analyserWinW.load(), 790);
    EXPECT_FALSE(b.settings.analyserSnapToPlugin.load());
    EXPECT_FLOAT_EQ(paramIn(b.slots[0], "gainL"), -6.0f);
    EXPECT_FLOAT_EQ(paramIn(b.slots[1], "width"), 250.0f);
    for (const auto& slot : b.slots)
    {
        EXPECT_TRUE(slot.hasType("Parameters"));
        EXPECT_FALSE(slot.hasProperty("_slotIndex"));
    }

    // The live state is the active slot itself: a parameter change lands in it at once.
    EXPECT_EQ(b.apvts.state, b.slots[2]);
    setParam(b.apvts, "trimOut", -7.5f);
    b.apvts.copyState();
    EXPECT_FLOAT_EQ(paramIn(b.slots[2], "trimOut"), -7.5f);
    EXPECT_FLOAT_EQ(paramIn(b.slots[1], "trimOut"), 0.0f);

    // Everything a saved, every setting and slot included, comes back out of a new instance unchanged.
    Proc c;
    restoreState(c, saved);
    EXPECT_EQ(saveState(c), saved);
}

TEST(BivarroSavedState, SavingTwiceGivesTheSameBytes)
{
    Proc p;
    EXPECT_EQ(saveState(p), saveState(p));

    setEveryParameter(p);
    p.settings.activeSlot = 1;
    const auto first = saveState(p);
    EXPECT_EQ(saveState(p), first);

    // Also while the live state is shared with the active slot after a restore.
    restoreState(p, first);
    setParam(p.apvts, "width", 321.0f);
    const auto shared = saveState(p);
    EXPECT_EQ(saveState(p), shared);

    // The saved active slot holds exactly the saved live parameters.
    auto xml = xmlOf(shared);
    auto* active = slotChild(*xml, 1);
    ASSERT_NE(active, nullptr);
    int compared = 0;
    for (auto* param : xml->getChildWithTagNameIterator("PARAM"))
    {
        const auto* inSlot = active->getChildByAttribute("id", param->getStringAttribute("id"));
        ASSERT_NE(inSlot, nullptr);
        EXPECT_TRUE(inSlot->isEquivalentTo(param, false));
        ++compared;
    }
    EXPECT_EQ(compared, 30);
    EXPECT_FLOAT_EQ(paramIn(p.slots[1], "width"), 321.0f);
}

TEST(BivarroSavedState, UnreadableBlocksChangeNothing)
{
    Proc donor;
    donor.settings.editorWidth = 512;
    const auto good = saveState(donor);
    for (const auto& damage : damagedStates())
    {
        SCOPED_TRACE(damage.name);
        Proc p;
        setEveryParameter(p);
        setEverySetting(p);
        setParamIn(p.slots[0], "gainL", -9.0f);
        const auto before = saveState(p);

        restoreState(p, damage.make(good));
        EXPECT_EQ(saveState(p), before);
        EXPECT_TRUE(processesFinite(p));

        restoreState(p, good);
        EXPECT_EQ(p.settings.editorWidth.load(), 512);
    }
}

TEST(BivarroSavedState, RestoredSettingsAreLimited)
{
    struct Case
    {
        const char* key;
        const char* text;
        float expected;
    };
    const Case cases[] = {
        {"editorWidth", "1000", 540},
        {"editorWidth", "100", 300},
        {"editorWidth", "412", 412},
        {"activeSlot", "7", 2},
        {"activeSlot", "-1", 0},
        {"linkGain", "5", 1},
        {"linkMuteSid", "-9", -1},
        {"analyserScopeMode", "3", 1},
        {"analyserScopeMode", "-2", 0},
        {"analyserZoom", "9", 4},
        {"analyserZoom", "0.1", 0.5},
        {"analyserZoom", "nan", 1},
        {"analyserRelScope", "0.01", 0.05},
        {"analyserRelScope", "2.5", 2.5},
        {"analyserRelScope", "7", 5},
        {"analyserRelCorr", "inf", 0.15f},
        {"analyserRelCorr", "3", 2},
        {"analyserRelPan", "-inf", 0.15f},
        {"analyserRelPan", "0", 0.05f},
        {"analyserTriangleAlpha", "-1", 0},
        {"analyserTriangleAlpha", "0.9", 0.5},
        {"analyserDotDensity", "0", 0.1f},
        {"analyserDotDensity", "1e300", 2},
        {"analyserInputBright", "0", 0.05f},
        {"analyserInputBright", "NaN", 0.3f},
        {"analyserOutputBright", "0", 0.1f},
        {"analyserOutputBright", "1.5", 1},
        {"analyserWinX", "-50", -1},
        {"analyserWinY", "99999999", 16384},
        {"analyserWinX", "1500", 1500},
        {"analyserWinW", "-3", 0},
        {"analyserWinH", "123456", 16384},
    };

    Proc donor;
    const auto base = xmlOf(saveState(donor));
    for (const auto& c : cases)
    {
        SCOPED_TRACE(juce::String(c.key) + "=" + c.text);
        auto doc = *base;
        doc.setAttribute(c.key, c.text);
        Proc p;
        restoreState(p, blockOf(doc));
        const auto out = xmlOf(saveState(p));
        EXPECT_EQ(static_cast<float>(out->getDoubleAttribute(c.key)), c.expected);
    }
}

TEST(BivarroSavedState, MissingSettingsTakeTheirDefaults)
{
    Proc donor;
    setEverySetting(donor);
    auto doc = xmlOf(saveState(donor));
    while (doc->getNumAttributes() > 0)
        doc->removeAttribute(doc->getAttributeName(0));

    Proc p;
    setEverySetting(p);
    restoreState(p, blockOf(*doc));
    EXPECT_EQ(p.apvts.state, p.slots[0]);

    Proc fresh;
    const auto got = xmlOf(saveState(p));
    const auto want = xmlOf(saveState(fresh));
    ASSERT_EQ(want->getNumAttributes(), 34);
    for (int i = 0; i < want->getNumAttributes(); ++i)
    {
        const auto key = want->getAttributeName(i);
        EXPECT_EQ(got->getStringAttribute(key), want->getStringAttribute(key)) << key;
    }
}

TEST(BivarroSavedState, RootTagInAnyCase)
{
    Proc donor;
    donor.settings.editorWidth = 500;
    auto doc = xmlOf(saveState(donor));
    doc->setTagName("parameters");

    Proc p;
    restoreState(p, blockOf(*doc));
    EXPECT_EQ(p.settings.editorWidth.load(), 500);

    // What it saves next loads again.
    Proc again;
    restoreState(again, saveState(p));
    EXPECT_EQ(again.settings.editorWidth.load(), 500);
}

// A document whose slots hold gain -3, -6, -9 dB, loaded into an instance whose slots hold 10, 11, 12.
TEST(BivarroSavedState, SlotChildren)
{
    struct Case
    {
        const char* name;
        int activeSlot;
        std::function<void(juce::XmlElement&)> edit;
        float slotGain[3];
        float liveGain;
    };
    auto reindex = [](int from, int to)
    { return [=](juce::XmlElement& r) { slotChild(r, from)->setAttribute("_slotIndex", to); }; };
    auto retag = [](int index, const char* tag)
    { return [=](juce::XmlElement& r) { slotChild(r, index)->setTagName(tag); }; };
    auto dropSlots = [](juce::XmlElement& r) { r.deleteAllChildElementsWithTagName("Parameters"); };

    const Case cases[] = {
        {"all three", 1, [](juce::XmlElement&) {}, {-3, -6, -9}, -6},
        {"index 5", 0, reindex(2, 5), {-3, -6, 12}, -3},
        {"index -1", 0, reindex(1, -1), {-3, 11, -9}, -3},
        {"index 1 twice: the earlier wins", 2, reindex(2, 1), {-3, -6, 12}, 12},
        {"other tag", 0, retag(0, "Preset"), {10, -6, -9}, 10},
        {"tag in lower case", 0, retag(0, "parameters"), {-3, -6, -9}, -3},
        {"no slot children", 1, dropSlots, {10, 11, 12}, 11},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Proc src;
        for (int i = 0; i < 3; ++i)
            setParamIn(src.slots[static_cast<size_t>(i)], "gainL", -3.0f * static_cast<float>(i + 1));
        src.settings.activeSlot = -1; // so that saving keeps all three slots as they are
        auto doc = xmlOf(saveState(src));
        doc->setAttribute("activeSlot", c.activeSlot);
        doc->setAttribute("editorWidth", 444);
        c.edit(*doc);

        Proc p;
        for (int i = 0; i < 3; ++i)
            setParamIn(p.slots[static_cast<size_t>(i)], "gainL", 10.0f + static_cast<float>(i));
        restoreState(p, blockOf(*doc));

        EXPECT_EQ(p.settings.editorWidth.load(), 444);
        for (size_t i = 0; i < 3; ++i)
        {
            EXPECT_FLOAT_EQ(paramIn(p.slots[i], "gainL"), c.slotGain[i]) << "slot " << i;
            EXPECT_FALSE(p.slots[i].hasProperty("_slotIndex"));
        }
        EXPECT_FLOAT_EQ(rawParam(p.apvts, "gainL"), c.liveGain);
        EXPECT_EQ(p.apvts.state, p.slots[static_cast<size_t>(c.activeSlot)]);

        // What it saves next has one child per slot and loads again.
        const auto next = saveState(p);
        const auto out = xmlOf(next);
        EXPECT_TRUE(out->hasTagName("Parameters"));
        for (int i = 0; i < 3; ++i)
            EXPECT_NE(slotChild(*out, i), nullptr);
        EXPECT_EQ(out->getNumChildElements(), 33);
        Proc again;
        restoreState(again, next);
        EXPECT_EQ(again.settings.editorWidth.load(), 444);
        EXPECT_FLOAT_EQ(rawParam(again.apvts, "gainL"), c.liveGain);
    }
}

// width (default 100 %) is 250 % everywhere in the instance before the load, and broken in the
// document's active slot A and inactive slot B.
TEST(BivarroSavedState, UnusableParameterValuesTakeTheDefault)
{
    struct Case
    {
        const char* name;
        std::function<void(juce::XmlElement&)> breakParam;
    };
    auto valueText = [](const char* text) { return [=](juce::XmlElement& e) { e.setAttribute("value", text); }; };
    const Case cases[] = {
        {"nan", valueText("nan")},
        {"inf", valueText("inf")},
        {"-inf", valueText("-inf")},
        {"beyond float", valueText("1e39")},
        {"no value", [](juce::XmlElement& e) { e.removeAttribute("value"); }},
        {"no child", [](juce::XmlElement& e) { e.setAttribute("id", "notAParameter"); }},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Proc src;
        auto doc = xmlOf(saveState(src));
        for (int slot : {0, 1})
            c.breakParam(*slotChild(*doc, slot)->getChildByAttribute("id", "width"));

        Proc p;
        setParam(p.apvts, "width", 250.0f);
        for (auto& slot : p.slots)
            setParamIn(slot, "width", 250.0f);
        restoreState(p, blockOf(*doc));

        EXPECT_FLOAT_EQ(rawParam(p.apvts, "width"), 100.0f);
        EXPECT_TRUE(processesFinite(p));
        EXPECT_FLOAT_EQ(paramIn(p.slots[1], "width"), 100.0f);

        // Switching to slot B the way the editor does gives the default there too.
        {
            const juce::ScopedLock lock(p.slotLock);
            p.slots[0] = p.apvts.copyState();
            p.settings.activeSlot = 1;
            p.apvts.replaceState(p.slots[1]);
        }
        EXPECT_FLOAT_EQ(rawParam(p.apvts, "width"), 100.0f);
    }
}

// The editor's slot operations hold the lock; a host's state call on another thread waits for it.
TEST(BivarroSavedState, StateCallsWaitForTheSlotLock)
{
    Proc p;
    const auto saved = saveState(p);
    struct Case
    {
        const char* name;
        std::function<void()> call;
    };
    const Case cases[] = {
        {"save", [&p] { saveState(p); }},
        {"restore", [&p, &saved] { restoreState(p, saved); }},
        {"initSlots", [&p] { p.initSlots(); }},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::future<void> done;
        {
            const juce::ScopedLock lock(p.slotLock);
            done = std::async(std::launch::async, c.call);
            EXPECT_EQ(done.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
        }
        EXPECT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    }
}
