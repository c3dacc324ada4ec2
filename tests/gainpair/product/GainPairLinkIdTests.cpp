#include "GainPairProduct.h"

#include "support/HostNotices.h"

using GainPairLinkIdTest = GainPairProductTest;
GAIN_PAIR_PRODUCT_TESTS(GainPairLinkIdTest);

// The link ID a gain processor chose in its constructor reaches the host once the host has prepared
// it, once, from the timer, inside a gesture; not before, and not over a value the host set itself.
TEST_P(GainPairLinkIdTest, ChosenLinkIdIsToldToTheHostOnceItListens)
{
    // A live Ovrel on this link ID makes the processor under test choose link ID 2: a new Ovrel
    // leaves a busy link ID, an Undrel goes to the Ovrel that has none.
    const struct
    {
        const char* product;
        int liveOvrelLinkId;
    } busy[] = {{"Ovrel", 1}, {"Undrel", 2}};

    struct Case
    {
        const char* what;
        bool prepare;
        int hostLinkId; // set by the host before the timer runs (0: not set)
        bool byRestore;
        int expectedChanges;
    };
    const Case cases[] = {
        {"prepared", true, 0, false, 1},
        {"not prepared yet", false, 0, false, 0},
        {"host restored another link ID", true, 7, true, 1},
        {"host set another link ID", true, 9, false, 1},
    };

    for (const auto& b : busy)
        for (const auto& c : cases)
        {
            if (!product().is(b.product))
                continue;
            SCOPED_TRACE(c.what);
            scope.env.applicationDataFolder.deleteRecursively();
            writeFileAt(
                GainLinkLockFiles(scope.env).getLockFile(b.liveOvrelLinkId, GainLinkLockFiles::Owner::ovrel, "other"),
                "1|A", GainLinkBlock::wallClockMs());
            auto proc = makeProcessor();
            ASSERT_EQ(proc->params.linkId.get(), 2);
            HostNotices notices(*proc, proc->params.linkId.getParameterIndex());
            if (c.prepare)
                proc->prepareToPlay(48000.0, 64);
            if (c.hostLinkId != 0)
            {
                if (c.byRestore)
                {
                    auto other = makeProcessor();
                    other->params.linkId.setValueNotifyingHost(other->params.linkId.convertTo0to1(float(c.hostLinkId)));
                    juce::MemoryBlock state;
                    other->getStateInformation(state);
                    other.reset();
                    proc->setStateInformation(state.getData(), static_cast<int>(state.getSize()));
                }
                else
                {
                    proc->params.linkId.setValueNotifyingHost(proc->params.linkId.convertTo0to1(float(c.hostLinkId)));
                }
            }
            for (int tick = 0; tick < 3; ++tick)
                proc->timerCallback();

            // The host's own change is heard as it is made; what follows must not undo it.
            ASSERT_EQ(static_cast<int>(notices.changes.size()), c.expectedChanges);
            const int expected = c.hostLinkId != 0 ? c.hostLinkId : 2;
            EXPECT_EQ(proc->params.linkId.get(), expected);
            if (c.expectedChanges == 1 && c.hostLinkId == 0)
            {
                const auto& told = notices.changes.front();
                EXPECT_FLOAT_EQ(told.normalised, proc->params.linkId.convertTo0to1(2.0f));
                EXPECT_TRUE(told.onMessageThread);
                EXPECT_TRUE(told.inGesture);
            }
        }
}
