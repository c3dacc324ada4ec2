#include "OvrelEditorTestSupport.h"

#include "support/KeptImage.h"
#include "support/ParamHelpers.h"

using Move = KeptImageMove;

// Each tick repaints only parts of the editor; drawing just those parts into the picture the screen
// keeps must give the same picture as drawing the whole editor, through every change the editor shows.
TEST_F(OvrelEditorTest, EachTickRepaintsEverythingItChanges)
{
    const auto param = [this](const char* id, float value)
    { return [this, id, value] { setParam(proc->apvts, id, value); }; };
    const auto role = [this](LinkRole r, bool multi) { return [this, r, multi] { setRole(r, multi, 'C'); }; };
    const auto shownGain = [this](float db) { return [this, db] { proc->shownGain.store(db); }; };
    const auto input = [this](float peak, float rms)
    {
        return [this, peak, rms]
        {
            proc->inputPeakDb.store(peak);
            proc->inputRmsDb.store(rms);
        };
    };
    const auto compensation = [this](float db)
    {
        return [this, db]
        {
            if (auto* block = proc->gainLink.getBlock())
                block->compensationDb.store(db);
        };
    };

    const struct
    {
        const char* name;
        std::vector<Move> moves;
    } cases[] = {
        {"bypass", {{param("bypass", 1.0f), 2}, {param("bypass", 0.0f), 2}}},
        {"roles-several",
         {{role(LinkRole::Waiting, true), 2},
          {role(LinkRole::Slave, true), 2},
          {role(LinkRole::Master, true), 2},
          {role(LinkRole::Alone, true), 2}}},
        {"roles-one",
         {{role(LinkRole::Waiting, false), 2},
          {role(LinkRole::Slave, false), 2},
          {role(LinkRole::Master, false), 2},
          {role(LinkRole::Alone, false), 2}}},
        {"several-end-under-the-badge", {{role(LinkRole::Master, true), 2}, {role(LinkRole::Master, false), 2}}},
        // Three pulses out to the right edge, launched 18 ticks apart, each about 143 ticks long.
        {"out-pulses", {{param("gain", 0.3f), 200}}},
        // Becoming a slave launches five pulses that wait unseen, then cross to the knob.
        {"in-pulses", {{role(LinkRole::Slave, true), 2}, {shownGain(1.0f), 380}}},
        {"in-pulses-end-with-the-role", {{role(LinkRole::Slave, true), 200}, {role(LinkRole::Master, true), 2}}},
        {"values", {{compensation(-3.5f), 1}, {param("gain", -2.0f), 1}, {param("gain", 12.25f), 1}}},
        {"levels-and-held-peak", {{input(-6.0f, -12.0f), 3}, {input(-99.0f, -99.0f), 240}}},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        expectEachTickRepaintsWhatChanged(
            juce::String("ovrel-") + c.name, c.moves,
            [this]() -> juce::Component&
            {
                freshProcessor();
                return openEditor();
            },
            [this]
            {
                tickEditor();
                editor->inputMeter.timerCallback();
            });
    }
}
