#include "GainPairProduct.h"

#include "support/NonFiniteParameterCheck.h"

using GainPairNonFiniteParameterTest = GainPairProductTest;
GAIN_PAIR_PRODUCT_TESTS(GainPairNonFiniteParameterTest);

// Every parameter with every non-finite value: the block goes on at the last good gain, nothing
// non-finite comes out, and a sane value afterwards is followed as usual.
TEST_P(GainPairNonFiniteParameterTest, NonFiniteParameterValuesKeepTheLastGoodValue)
{
    const float gainDb = 6.0f;
    const float expected = 0.5f * GainPairAudioProcessor::linearGain(gainDb);
    for (const char* id : {product().dbId, "linkID", "bypass"})
        for (const auto& c : nonFiniteCases)
        {
            SCOPED_TRACE(juce::String(id) + ", " + c.name);
            auto proc = makeProcessor();
            proc->prepareToPlay(48000.0, 256);
            setDb(*proc, gainDb);
            const float saneNormalised = proc->apvts.getParameter(id)->getValue();
            runBlock(*proc, 256, 0.5f); // settles at once: no ramp after prepareToPlay's own value
            for (int i = 0; i < 40; ++i)
                runBlock(*proc, 256, 0.5f);
            const int linkIdBefore = proc->currentLinkId.load();

            injectValue(proc->apvts, id, c.value, c.throughRawValue);
            for (int i = 0; i < 4; ++i)
            {
                const auto out = runBlock(*proc, 256, 0.5f);
                ASSERT_TRUE(allFinite(out));
                ASSERT_FLOAT_EQ(out.getSample(0, 255), expected);
                ASSERT_TRUE(std::isfinite(proc->peakDb.load()));
                ASSERT_TRUE(std::isfinite(product().shownGainDb(*proc)));
            }
            proc->timerCallback();
            EXPECT_EQ(proc->currentLinkId.load(), linkIdBefore);

            // Sane again: the value the parameter had is restored and the gain then moves to -6 dB.
            proc->apvts.getParameter(id)->setValue(saneNormalised);
            setParam(proc->apvts, "bypass", 0.0f);
            setDb(*proc, -6.0f);
            juce::AudioBuffer<float> out;
            for (int i = 0; i < 40; ++i)
                out = runBlock(*proc, 256, 0.5f);
            EXPECT_TRUE(allFinite(out));
            EXPECT_NEAR(out.getSample(1, 255), 0.5f * GainPairAudioProcessor::linearGain(-6.0f), 1e-6f);
        }
}
