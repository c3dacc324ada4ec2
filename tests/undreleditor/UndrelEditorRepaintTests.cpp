#include "UndrelEditorTestSupport.h"

#include "support/KeptImage.h"
#include "support/ParamHelpers.h"

using Move = KeptImageMove;

// Each tick repaints only parts of the editor; drawing just those parts into the picture the screen
// keeps must give the same picture as drawing the whole editor, through every change the editor shows.
TEST_F(UndrelEditorTest, EachTickRepaintsEverythingItChanges)
{
    float received = 0.0f;
    const auto bypasses = [this, &received](bool own, bool rb)
    {
        return [this, &received, own, rb]
        {
            setParam(proc->apvts, "bypass", own ? 1.0f : 0.0f);
            receive(received, rb);
        };
    };
    const auto gain = [this, &received](float db)
    {
        return [this, &received, db]
        {
            received = db;
            receive(db, proc->receivedBypass.load());
        };
    };
    const auto applied = [this](float db) { return [this, db] { proc->appliedGainDb.store(db); }; };
    const auto output = [this](float peak, float rms)
    {
        return [this, peak, rms]
        {
            proc->outputPeakDb.store(peak);
            proc->outputRmsDb.store(rms);
        };
    };

    const struct
    {
        const char* name;
        std::vector<Move> moves;
    } cases[] = {
        // Green, orange, red and back, through every pair of the two bypasses.
        {"lamp",
         {{bypasses(true, false), 2},
          {bypasses(true, true), 2},
          {bypasses(false, true), 2},
          {bypasses(false, false), 2},
          {bypasses(false, true), 2},
          {bypasses(true, false), 2},
          {bypasses(false, false), 2},
          {bypasses(true, true), 2},
          {bypasses(false, false), 2}}},
        // Three pulses that wait unseen, then cross to the knob, then die.
        {"pulses", {{gain(0.3f), 340}}},
        {"pulses-while-ovrel-bypasses", {{gain(-1.0f), 150}, {bypasses(false, true), 200}}},
        {"values", {{gain(-3.26f), 1}, {applied(5.75f), 1}, {gain(24.0f), 1}, {bypasses(false, true), 1}}},
        {"levels-and-held-peak", {{output(-6.0f, -12.0f), 3}, {output(-99.0f, -99.0f), 240}}},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        expectEachTickRepaintsWhatChanged(
            juce::String("undrel-") + c.name, c.moves,
            [this, &received]() -> juce::Component&
            {
                freshProcessor();
                received = 0.0f;
                return openEditor();
            },
            [this]
            {
                tickEditor();
                editor->outputMeter.timerCallback();
            });
    }
}
