#include "UndrelEditorTestSupport.h"

namespace
{
// On the ring of the power symbol, left of its centre.
juce::Point<float> lampRing(const UndrelAudioProcessorEditor& e)
{
    const auto b = e.bypassButton.getBounds().toFloat();
    const float s = (float)e.getWidth() / 300.0f;
    return {b.getX() + 8.0f * s + (12.0f - 8.1f) * s, b.getY() + 8.0f * s + 12.0f * s};
}

constexpr juce::uint32 red = 0xffff3333, orange = 0xffff8800, green = 0xff6abf69;
} // namespace

TEST_F(UndrelEditorTest, OvrelsGainAndTheAppliedTargetAreShownAsTheLinkDelivers)
{
    linkToOvrel(6.0f);
    runBlock(*proc, 512);
    auto& e = openEditor();
    tickEditor();
    EXPECT_EQ(e.gainValueLabel.getText(), "6.0 dB");
    EXPECT_EQ(e.compensationValueLabel.getText(), "-6.0 dB") << "the sum of the targets, not the ramped gain";
    EXPECT_DOUBLE_EQ(e.compensationKnob.getValue(), -6.0);

    setParam(proc->apvts, "trim", 2.5f);
    ovrel->publish(-3.26f);
    runBlock(*proc, 512);
    tickEditor();
    EXPECT_EQ(e.gainValueLabel.getText(), "-3.3 dB");
    EXPECT_EQ(e.compensationValueLabel.getText(), "5.8 dB");
    EXPECT_NEAR(e.compensationKnob.getValue(), 3.26, 1e-6);

    ovrel->publish(-3.26f, true);
    runBlock(*proc, 512);
    tickEditor();
    EXPECT_EQ(e.gainValueLabel.getText(), "0.0 dB") << "Ovrel bypassed compensates nothing";
    EXPECT_EQ(e.compensationValueLabel.getText(), "2.5 dB");
    EXPECT_DOUBLE_EQ(e.compensationKnob.getValue(), 0.0);
}

TEST_F(UndrelEditorTest, ValuesThatAreNoNumbersShowAsZero)
{
    auto& e = openEditor();
    receive(std::numeric_limits<float>::quiet_NaN());
    proc->appliedGainDb.store(std::numeric_limits<float>::infinity());
    tickEditor();
    EXPECT_EQ(e.gainValueLabel.getText(), "0.0 dB");
    EXPECT_EQ(e.compensationValueLabel.getText(), "0.0 dB");
    EXPECT_DOUBLE_EQ(e.compensationKnob.getValue(), 0.0);
}

TEST_F(UndrelEditorTest, StatusTextAndLampFollowBothBypasses)
{
    const struct
    {
        bool own, received;
        const char* text;
        juce::uint32 textColour, lamp;
    } cases[] = {
        {true, true, "Bypassed\nGain + Compensation + Trim", red, red},
        {true, false, "Bypassed\nTrim", orange, orange},
        {false, true, "Bypassed\nGain + Compensation", red, orange},
        {false, false, "", red, green},
    };
    auto& e = openEditor();
    for (const auto& c : cases)
    {
        setParam(proc->apvts, "bypass", c.own ? 1.0f : 0.0f);
        receive(4.0f, c.received);
        tickEditor();
        EXPECT_EQ(e.statusLabel.getText(), c.text) << c.own << c.received;
        if (*c.text != 0)
            EXPECT_EQ(e.statusLabel.findColour(juce::Label::textColourId), juce::Colour(c.textColour)) << c.text;
        const auto seen = pixelAt(snapshotOf(e), lampRing(e));
        EXPECT_TRUE(near(seen, juce::Colour(c.lamp))) << c.own << c.received << " " << seen.toString();
    }
}

TEST_F(UndrelEditorTest, RealBypassesReachTheStatus)
{
    linkToOvrel(6.0f, true);
    runBlock(*proc, 512);
    auto& e = openEditor();
    e.bypassButton.setToggleState(true, juce::sendNotificationSync);
    runBlock(*proc, 512);
    tickEditor();
    EXPECT_EQ(e.statusLabel.getText(), "Bypassed\nGain + Compensation + Trim");
    EXPECT_EQ(UndrelAudioProcessorEditor::lampColourFor(true, proc->receivedBypass.load()), juce::Colour(red));
}

TEST_F(UndrelEditorTest, PulsesRunOnlyWhenTheReceivedGainMovesByATenth)
{
    receive(2.0f);
    auto& e = openEditor();
    tickEditor(3);
    EXPECT_EQ(e.pulses.count() + e.pulses.pending(), 0) << "no pulse at opening";

    receive(2.04f);
    tickEditor();
    EXPECT_EQ(e.pulses.count() + e.pulses.pending(), 0) << "same tenth after rounding";

    receive(2.34f);
    tickEditor();
    EXPECT_EQ(e.pulses.count(), 1) << "the first at once";
    EXPECT_EQ(e.pulses.pending(), 2);
    EXPECT_LT(e.pulses.phase(0), 0.0f) << "unseen for a while";
    int ticks = 1;
    while (e.pulses.count() < 3 && ticks < 100)
    {
        tickEditor();
        ++ticks;
    }
    EXPECT_EQ(ticks, 1 + 2 * 18) << "18 ticks apart";

    // About 144 ticks unseen, then about 143 to cross.
    int firstSeen = ticks;
    while (e.pulses.phase(0) < 0.0f && firstSeen < 400)
    {
        tickEditor();
        ++firstSeen;
    }
    EXPECT_NEAR(firstSeen, 145, 2);
}

TEST_F(UndrelEditorTest, PulsesAreDrawnFromTheLeftEdgeToTheKnob)
{
    auto& e = openEditor();
    const auto target = gainpair::GainEditorFrame::pulseTarget(e.compensationKnob.getBounds());
    const auto before = snapshotOf(e);

    receive(0.1f);
    tickEditor(144 + 72);
    ASSERT_EQ(e.pulses.count(), 1);
    const float phase = e.pulses.phase(0);
    ASSERT_GT(phase, 0.4f);
    const juce::Point<float> head(phase * target.x, target.y);
    const auto after = snapshotOf(e);
    EXPECT_NE(pixelAt(after, head), pixelAt(before, head)) << "the pulse's head is drawn";
    EXPECT_GT(pixelAt(after, head).getBlue(), pixelAt(after, head).getGreen()) << "in violet";
}
