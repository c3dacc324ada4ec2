#include "bivarroeditor/EditorFixture.h"

#include "support/HostGivenSizes.h"

// A host may give the editor less height than it asked for (a small screen under its own window
// frame), another shape or more room: the header and footer stay whole and every control stays
// between them.
TEST_F(EditorFixture, DrawsWholeInTheSizeAHostGives)
{
    const HostGivenSize sizes[] = {{380, 700}, {380, 640}, {500, 918}, {300, 1304}, {540, 725}, {392, 600}};
    for (const auto& size : sizes)
    {
        SCOPED_TRACE(juce::String(size.w) + " x " + juce::String(size.h));
        editor->setSize(size.w, size.h);
        probe->tick();

        expectChildrenInBands(*editor, 30, 28);
        writeSnapshots(*editor, "BivarroEditor_host_" + juce::String(size.w) + "x" + juce::String(size.h));
    }
}
