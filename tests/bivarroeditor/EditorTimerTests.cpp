#include "bivarro/editor/OCols.h"
#include "bivarroeditor/EditorFixture.h"
#include "widgets/KnobTestKit.h"

namespace
{
using E = BivarroEditorLinks;
namespace OCols = Bivarro::OCols;

// A lone pair record, stepped by hand.
struct Particles
{
    Particles() { pair.link = &link; }

    int ticksUntil(const std::function<bool()>& done, int limit = 1000)
    {
        for (int t = 1; t <= limit; ++t)
        {
            pair.advance();
            if (done())
                return t;
        }
        return -1;
    }

    int link = 1;
    LinkPair pair;
};
} // namespace

TEST(LinkParticles, CountFollowsTheDistanceInIntervalsAndAKnobWithoutIntervalLaunchesFive)
{
    const struct
    {
        double distance, interval;
        int expected;
    } cases[] = {{0.1, 0.1, 1},   {0.04, 0.1, 0}, {0.05, 0.1, 1},  {0.25, 0.1, 3},    {1.0, 0.1, 5},
                 {500.0, 0.1, 5}, {3.0, 0.0, 5},  {0.001, 0.0, 5}, {1e300, 1e-300, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(LinkPair::particlesFor(c.distance, c.interval), c.expected) << c.distance << " / " << c.interval;
}

TEST(LinkParticles, OneParticleCrossesIn143TicksAndStartsAre18TicksApart)
{
    Particles p;
    p.pair.forwardPending = 1;
    EXPECT_TRUE(p.pair.advance());
    ASSERT_EQ(p.pair.forwardCount, 1);
    EXPECT_NEAR(p.pair.forwardPos[0], 0.007f, 1e-6f);
    EXPECT_EQ(p.ticksUntil([&] { return p.pair.forwardCount == 0; }), 142);
    EXPECT_FALSE(p.pair.advance()) << "nothing left to move";

    Particles q;
    q.pair.backwardPending = 5;
    q.pair.advance();
    ASSERT_EQ(q.pair.backwardCount, 1);
    EXPECT_NEAR(q.pair.backwardPos[0], 0.993f, 1e-6f);
    EXPECT_EQ(q.ticksUntil([&] { return q.pair.backwardCount == 2; }), 18);
    EXPECT_EQ(q.pair.backwardPending, 3);
}

TEST(LinkParticles, AFullLineWaitsForAFreeSlotAndUnlinkingClearsEverything)
{
    Particles p;
    p.pair.forwardCount = LinkPair::maxParticles;
    for (int k = 0; k < LinkPair::maxParticles; ++k)
        p.pair.forwardPos[(size_t)k] = 0.95f + 0.004f * (float)k;
    p.pair.forwardPending = 1;
    p.pair.forwardSpawnTimer = 0.0f;
    p.pair.advance();
    EXPECT_EQ(p.pair.forwardPending, 1) << "no slot free at the start of the tick";
    EXPECT_LT(p.pair.forwardCount, LinkPair::maxParticles);
    p.pair.advance();
    EXPECT_EQ(p.pair.forwardPending, 0) << "started in the first tick with a free slot";

    p.pair.backwardPending = 2;
    p.link = 0;
    EXPECT_TRUE(p.pair.advance());
    EXPECT_EQ(p.pair.forwardCount + p.pair.backwardCount + p.pair.forwardPending + p.pair.backwardPending, 0);
    EXPECT_FALSE(p.pair.advance());
}

TEST_F(EditorFixture, KnobChangesOfALinkedPairLaunchParticlesAndTheDragEndDropsPending)
{
    probe->linkStates()[E::Gain] = 1;
    auto& pair = probe->pair(E::GainPair);
    auto& knob = probe->knob("gainL");

    knob.setValue(0.1, juce::sendNotificationSync);
    EXPECT_EQ(pair.forwardPending, 1);
    probe->tick();
    EXPECT_EQ(pair.forwardCount, 1);

    knob.setValue(1.1, juce::sendNotificationSync);
    EXPECT_EQ(pair.forwardPending, 5);
    EXPECT_EQ(pair.backwardPending, 0) << "the partner's follow-up launches nothing";

    // A drag: its start takes the reference, its end drops what has not started.
    knob.mouseDown(knobtest::eventAt(knob, 500, knobtest::none));
    knob.mouseDrag(knobtest::eventAt(knob, 450, knobtest::none));
    EXPECT_GT(pair.forwardPending, 0);
    knob.mouseUp(knobtest::eventAt(knob, 450, knobtest::none));
    EXPECT_EQ(pair.forwardPending, 0);
    EXPECT_GE(pair.forwardCount, 1) << "travelling particles go on";

    // The frequency knobs have no interval: every change is a big one.
    probe->linkStates()[E::Freq] = 1;
    probe->knob("apFcR").setValue(1001.0, juce::sendNotificationSync);
    EXPECT_EQ(probe->pair(E::FreqPair).backwardPending, 5);
}

TEST_F(EditorFixture, OneTickMirrorsLinkLooksAllpassStateAndSwitches)
{
    setParameter("apPhaseL", 0.0f);
    setParameter("apOrder2L", 1.0f);
    setParameter("apPhaseR", 0.2f);
    setParameter("apOrder2R", 1.0f);
    setParameter("monoMakerInt", 0.0f);
    setParameter("muteSide", 1.0f);
    setParameter("polarityR", 1.0f);
    setParameter("bypass", 1.0f);
    // Linked only now: host changes of a linked knob move its partner.
    probe->linkStates()[E::Pan] = -1;
    probe->linkStates()[E::MidSide] = -1;
    probe->linkStates()[E::Pol] = -1;
    probe->linkStates()[E::MuteL] = 1;
    for (const auto l : {E::Freq, E::Phase, E::Q, E::Ord})
        probe->linkStates()[l] = 1;
    probe->tick();

    EXPECT_TRUE(probe->knob("panL").linked && probe->knob("panR").linked) << "pan -1 looks linked";
    EXPECT_TRUE(probe->knob("midGain").invertLinked && !probe->knob("midGain").linked);
    EXPECT_FALSE(probe->knob("gainL").linked || probe->knob("gainL").invertLinked);

    EXPECT_NEAR(probe->knob("apFcL").getAlpha(), 0.3f, 0.01f);
    EXPECT_FALSE(probe->knob("apQL").isEnabled());
    EXPECT_NEAR(probe->knob("apQL").getAlpha(), 0.3f, 0.01f);
    EXPECT_EQ(probe->button("orderL").accentColour, OCols::textDim);
    EXPECT_FLOAT_EQ(probe->knob("apFcR").getAlpha(), 1.0f);
    EXPECT_TRUE(probe->knob("apQR").isEnabled());
    EXPECT_TRUE(probe->knob("apQR").highlight);
    EXPECT_EQ(probe->button("orderR").labelText, "2nd");
    EXPECT_EQ(probe->button("orderR").accentColour, OCols::violet);
    EXPECT_FLOAT_EQ(probe->knob("apPhaseL").getAlpha(), 1.0f) << "phase knobs are never dimmed";
    EXPECT_NEAR(probe->knob("monoMakerFreq").getAlpha(), 0.3f, 0.01f);

    EXPECT_EQ(probe->button("polarityL").offLabelColour, OCols::violet);
    EXPECT_EQ(probe->button("muteR").offLabelColour, OCols::accentHi);
    EXPECT_EQ(probe->button("muteMid").offLabelColour, juce::Colour(0x00000000));
    EXPECT_EQ(probe->button("orderR").offLabelColour, OCols::accentHi);
    EXPECT_TRUE(probe->button("linkAll").isOn);
    EXPECT_FALSE(probe->button("inverseLinkAll").isOn);
    EXPECT_TRUE(probe->button("muteSide").isOn);
    EXPECT_TRUE(probe->button("polarityR").isOn);
    EXPECT_TRUE(probe->button("bypass").isOn);
    EXPECT_TRUE(probe->overlayActive());
    EXPECT_EQ(processor.settings.linkPan.load(), -1);

    setParameter("monoMakerInt", 1.0f);
    setParameter("apPhaseL", 0.2f);
    probe->tick();
    EXPECT_FLOAT_EQ(probe->knob("monoMakerFreq").getAlpha(), 1.0f);
    EXPECT_TRUE(probe->knob("apQL").isEnabled());
    EXPECT_EQ(probe->button("orderL").accentColour, OCols::violet);
}
