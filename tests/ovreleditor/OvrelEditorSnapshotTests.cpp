#include "OvrelEditorTestSupport.h"

#include "support/EditorSnapshots.h"

// Pictures of the editor for people to look at: both languages, every role, with pulses running.
TEST_F(OvrelEditorTest, SnapshotsOfLanguagesAndRoles)
{
    const struct
    {
        LinkRole role;
        bool multi;
        const char* name;
    } roles[] = {{LinkRole::Alone, false, "Alone"},
                 {LinkRole::Waiting, true, "Waiting"},
                 {LinkRole::Master, true, "Master"},
                 {LinkRole::Slave, true, "Slave"}};

    for (bool spanish : {false, true})
    {
        for (const auto& r : roles)
        {
            proc->editorSettings.isSpanish.store(spanish);
            setParam(proc->apvts, "gain", 0.0f);
            auto& e = openEditor();
            setRole(r.role, r.multi, 'B');
            proc->inputPeakDb.store(-12.0f);
            proc->inputRmsDb.store(-18.0f);
            if (auto* block = proc->gainLink.getBlock())
                block->compensationDb.store(-3.5f);
            setParam(proc->apvts, "gain", 3.5f);
            proc->shownGain.store(3.5f);
            tickEditor(40);
            const auto image = snapshotOf(e);
            EXPECT_EQ(image.getWidth(), 300);
            writePng(image, juce::String("OvrelEditor_") + (spanish ? "es_" : "en_") + r.name);
        }
    }

    proc->editorSettings.isSpanish.store(false);
    proc->editorSettings.editorWidth.store(700);
    setParam(proc->apvts, "bypass", 1.0f);
    auto& big = openEditor();
    setRole(LinkRole::Master, true, 'A');
    tickEditor(2);
    writePng(snapshotOf(big), "OvrelEditor_en_Master_700_bypassed");
}
