#include "UndrelEditorTestSupport.h"

// Pictures of the editor for people to look at: both languages, linked and unlinked, pulses running.
TEST_F(UndrelEditorTest, SnapshotsOfLanguagesAndLinks)
{
    for (bool spanish : {false, true})
    {
        for (bool linked : {true, false})
        {
            if (linked)
                linkToOvrel(3.5f);
            else
            {
                ovrel.reset();
                freshProcessor();
            }
            proc->editorSettings.isSpanish.store(spanish);
            setParam(proc->apvts, "trim", linked ? 1.5f : 0.0f);
            auto& e = openEditor();
            if (linked)
            {
                ovrel->publish(4.0f);
                runBlock(*proc, 512, 0.3f);
            }
            proc->outputPeakDb.store(-12.0f);
            proc->outputRmsDb.store(-18.0f);
            tickEditor(144 + 60);
            const auto image = snapshotOf(e);
            EXPECT_EQ(image.getWidth(), 300);
            writePng(image,
                     juce::String("UndrelEditor_") + (spanish ? "es_" : "en_") + (linked ? "linked" : "unlinked"));
        }
    }

    proc->editorSettings.isSpanish.store(false);
    proc->editorSettings.editorWidth.store(700);
    setParam(proc->apvts, "bypass", 1.0f);
    receive(-6.0f, true);
    auto& big = openEditor();
    tickEditor(2);
    writePng(snapshotOf(big), "UndrelEditor_en_700_bothBypassed");
}
