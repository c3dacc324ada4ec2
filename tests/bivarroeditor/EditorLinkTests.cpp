#include "bivarroeditor/EditorFixture.h"
#include "widgets/KnobTestKit.h"

#include <cmath>

namespace
{
using E = BivarroEditorLinks;

struct EditorLinks : EditorFixture
{
    // A user change of a knob: the attachment moves the parameter, then the follow-ups run.
    void move(const juce::String& id, double value) { probe->knob(id).setValue(value, juce::sendNotificationSync); }

    void expectValue(const juce::String& id, double value, const std::string& what)
    {
        const double tolerance = 1e-4 * juce::jmax(1.0, std::abs(value));
        EXPECT_NEAR(probe->knob(id).getValue(), value, tolerance) << what << ": knob " << id;
        EXPECT_NEAR(raw(id), value, tolerance) << what << ": parameter " << id;
    }
};
} // namespace

TEST_F(EditorLinks, KnobPairsFollowByTheirStateWithClampingAndThePanRangeRatio)
{
    const struct
    {
        const char* what;
        E::Link link;
        int state;
        const char *idA, *idB;
        std::vector<std::pair<const char*, double>> moves;
        double a, b;
    } cases[] = {
        {"gain linked", E::Gain, 1, "gainL", "gainR", {{"gainL", 6.0}}, 6.0, 6.0},
        {"gain measured from the last value", E::Gain, 1, "gainL", "gainR", {{"gainL", 6.0}, {"gainR", 7.0}}, 7.0, 7.0},
        {"gain inversely linked", E::Gain, -1, "gainL", "gainR", {{"gainL", 6.0}}, 6.0, -6.0},
        {"gain unlinked", E::Gain, 0, "gainL", "gainR", {{"gainL", 6.0}}, 6.0, 0.0},
        {"delay clamped at zero", E::Delay, -1, "delayL", "delayR", {{"delayL", 10.0}}, 10.0, 0.0},
        {"frequency", E::Freq, 1, "apFcL", "apFcR", {{"apFcL", 2000.0}}, 2000.0, 2000.0},
        {"Q from knob B", E::Q, 1, "apQL", "apQR", {{"apQR", 3.0}}, 3.0, 3.0},
        {"pan opposite on mirrored ranges", E::Pan, -1, "panL", "panR", {{"panL", 20.0}}, 20.0, -20.0},
        {"pan same way, clamped at 0", E::Pan, 1, "panL", "panR", {{"panL", 20.0}}, 20.0, 0.0},
        {"mid/side inverse", E::MidSide, -1, "midGain", "sideGain", {{"midGain", -10.0}}, -10.0, 10.0},
        {"asymmetry keeps the new distance after a clamp",
         E::AsymRot,
         1,
         "asymmetry",
         "rotation",
         {{"asymmetry", 60.0}, {"asymmetry", 0.0}},
         0.0,
         -15.0},
    };
    for (const auto& c : cases)
    {
        close();
        for (auto* p : processor.getParameters())
            p->setValueNotifyingHost(p->getDefaultValue());
        open();
        probe->linkStates()[(size_t)c.link] = c.state;
        for (const auto& [id, value] : c.moves)
            move(id, value);
        expectValue(c.idA, c.a, c.what);
        expectValue(c.idB, c.b, c.what);
    }
}

TEST_F(EditorLinks, ShiftAndAltDoubleClicksToggleTheEntryAndPanTakesTheOtherNumbers)
{
    const struct
    {
        const char* knob;
        E::Link link;
        int before;
        juce::ModifierKeys mods;
        int after;
    } cases[] = {
        {"gainL", E::Gain, 0, knobtest::shift, 1},  {"gainR", E::Gain, 1, knobtest::shift, 0},
        {"gainL", E::Gain, -1, knobtest::shift, 1}, {"delayR", E::Delay, 0, knobtest::alt, -1},
        {"delayL", E::Delay, -1, knobtest::alt, 0}, {"apQL", E::Q, 1, knobtest::alt, -1},
        {"panL", E::Pan, 0, knobtest::shift, -1},   {"panR", E::Pan, -1, knobtest::shift, 0},
        {"panR", E::Pan, 0, knobtest::alt, 1},      {"rotation", E::AsymRot, 0, knobtest::shift, 1},
    };
    for (const auto& c : cases)
    {
        probe->linkStates()[(size_t)c.link] = c.before;
        knobtest::doubleClick(probe->knob(c.knob), c.mods);
        EXPECT_EQ(probe->linkStates()[(size_t)c.link], c.after) << c.knob << " from " << c.before;
    }
}

TEST_F(EditorLinks, LinkingMeasuresFromTheValuesAtTheMomentOfLinking)
{
    move("delayL", 10.0);
    knobtest::doubleClick(probe->knob("delayL"), knobtest::shift);
    move("delayL", 11.0);
    expectValue("delayR", 1.0, "moved by one after linking");
}

TEST_F(EditorLinks, FollowUpsTellTheHostInBalancedGesturesOfTheirOwn)
{
    GestureLog log;
    for (auto* p : processor.getParameters())
        p->addListener(&log);
    probe->linkStates()[E::Gain] = 1;

    auto& knob = probe->knob("gainL");
    knob.mouseDown(knobtest::eventAt(knob, 500, knobtest::none));
    for (int y = 490; y >= 400; y -= 10)
        knob.mouseDrag(knobtest::eventAt(knob, y, knobtest::none));
    knob.mouseUp(knobtest::eventAt(knob, 400, knobtest::none));

    ASSERT_GT(raw("gainL"), 0.5f);
    EXPECT_FLOAT_EQ(raw("gainR"), raw("gainL"));
    const auto& partner = log.counts[processor.apvts.getParameter("gainR")->getParameterIndex()];
    EXPECT_GE(partner.begins, 1);
    EXPECT_EQ(partner.begins, partner.ends);
    EXPECT_EQ(partner.changesOutsideGestures, 0);
    EXPECT_EQ(partner.open, 0);
    const auto& source = log.counts[processor.apvts.getParameter("gainL")->getParameterIndex()];
    EXPECT_EQ(source.begins, 1);
    EXPECT_EQ(source.ends, 1);

    for (auto* p : processor.getParameters())
        p->removeListener(&log);
}

TEST_F(EditorLinks, ResettingALinkedKnobResetsItsPartner)
{
    for (const int state : {1, 0})
    {
        probe->linkStates()[E::Gain] = 0;
        move("gainL", 6.0);
        move("gainR", 6.0);
        if (state != 0)
            knobtest::doubleClick(probe->knob("gainR"), knobtest::shift);
        ASSERT_EQ(probe->linkStates()[E::Gain], state);
        knobtest::doubleClick(probe->knob("gainL"), knobtest::ctrl);
        expectValue("gainL", 0.0, "reset");
        expectValue("gainR", state != 0 ? 0.0 : 6.0, state != 0 ? "linked partner" : "unlinked partner");
    }
}

TEST_F(EditorLinks, LinkAllSetsOrClearsTheFourAllpassEntries)
{
    auto& all = probe->button("linkAll");
    auto& inverse = probe->button("inverseLinkAll");

    inverse.onToggle(true);
    EXPECT_TRUE(inverse.isOn);
    for (const auto l : {E::Freq, E::Phase, E::Q, E::Ord})
        EXPECT_EQ(probe->linkStates()[l], -1);

    probe->linkStates()[E::Q] = 0;
    all.onToggle(true);
    EXPECT_TRUE(all.isOn);
    EXPECT_FALSE(inverse.isOn);
    for (const auto l : {E::Freq, E::Phase, E::Q, E::Ord})
        EXPECT_EQ(probe->linkStates()[l], 1);
    EXPECT_EQ(probe->linkStates()[E::Gain], 0);

    all.onToggle(false);
    EXPECT_FALSE(all.isOn);
    for (const auto l : {E::Freq, E::Phase, E::Q, E::Ord})
        EXPECT_EQ(probe->linkStates()[l], 0);

    // The references were taken when linking: only the change after it follows.
    move("apPhaseL", 30.0);
    all.onToggle(true);
    move("apPhaseL", 40.0);
    expectValue("apPhaseR", 10.0, "phase after link all");
}

TEST_F(EditorLinks, ButtonPairsToggleTheirEntryAndDriveThePartner)
{
    const struct
    {
        const char *a, *b;
        const char *idA, *idB;
        E::Link link;
    } pairs[] = {{"polarityL", "polarityR", "polarityL", "polarityR", E::Pol},
                 {"muteR", "muteL", "muteR", "muteL", E::MuteL},
                 {"muteMid", "muteSide", "muteMid", "muteSide", E::MuteSid}};
    for (const auto& p : pairs)
    {
        for (const int state : {1, -1, 0})
        {
            setParameter(p.idA, 0.0f);
            setParameter(p.idB, 0.0f);
            probe->tick();
            probe->linkStates()[(size_t)p.link] = state;
            auto& a = probe->button(p.a);
            a.mouseDown(knobtest::eventAt(a, 0, knobtest::none));
            EXPECT_GT(raw(p.idA), 0.5f) << p.a << " " << state;
            const bool partnerOn = state == 1;
            EXPECT_EQ(raw(p.idB) > 0.5f, partnerOn) << p.b << " " << state;
            EXPECT_EQ(probe->button(p.b).isOn, partnerOn) << p.b << " " << state;
        }

        probe->linkStates()[(size_t)p.link] = 0;
        probe->button(p.b).onShiftDoubleClick();
        EXPECT_EQ(probe->linkStates()[(size_t)p.link], 1);
        probe->button(p.a).onAltDoubleClick();
        EXPECT_EQ(probe->linkStates()[(size_t)p.link], -1);
        probe->button(p.b).onAltDoubleClick();
        EXPECT_EQ(probe->linkStates()[(size_t)p.link], 0);
    }
}

TEST_F(EditorLinks, AnOrderClickFlipsItsChannelAndALinkedPartnerFollows)
{
    const struct
    {
        int state;
        bool leftBefore, rightBefore;
        bool leftAfter, rightAfter;
    } cases[] = {{0, false, false, true, false},
                 {1, false, true, true, true},
                 {1, true, false, false, false},
                 {-1, false, false, true, false},
                 {-1, true, true, false, true}};
    for (const auto& c : cases)
    {
        setParameter("apOrder2L", c.leftBefore ? 1.0f : 0.0f);
        setParameter("apOrder2R", c.rightBefore ? 1.0f : 0.0f);
        probe->linkStates()[E::Ord] = c.state;
        auto& b = probe->button("orderL");
        b.mouseDown(knobtest::eventAt(b, 0, knobtest::none));
        EXPECT_TRUE(b.isOn);
        EXPECT_EQ(raw("apOrder2L") > 0.5f, c.leftAfter) << c.state;
        EXPECT_EQ(raw("apOrder2R") > 0.5f, c.rightAfter) << c.state;
    }
}
