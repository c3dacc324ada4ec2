#include "OvrelEditorTestSupport.h"

#include "support/HostGivenSizes.h"

namespace
{
// The size one host gave on first opening, other shapes, and square ones within the limits.
const HostGivenSize hostSizes[] = {{392, 300}, {300, 392}, {700, 300}, {300, 700}, {520, 410}, {450, 450}};
} // namespace

// A host that gives the square editor another shape gets it whole: the readouts' card below the
// header line, nothing over the knob, the knob in the middle.
TEST_F(OvrelEditorTest, DrawsWholeInTheSizeAHostGives)
{
    auto& e = openEditor();
    setRole(LinkRole::Master, true, 'A');
    for (const auto& size : hostSizes)
    {
        SCOPED_TRACE(juce::String(size.w) + " x " + juce::String(size.h));
        e.setSize(size.w, size.h);
        tickEditor(2);

        expectChildrenInBands(e, 30, 28);
        EXPECT_GE(e.gainCaption.getY() - 4, 30) << "the readouts' card reaches into the header";
        const auto knob = e.gainKnob.getBounds();
        EXPECT_NEAR(knob.getCentreX(), size.w / 2, 1);
        for (auto* other : std::initializer_list<juce::Component*>{
                 &e.gainCaption, &e.gainValueLabel, &e.compensationCaption, &e.compensationValueLabel, &e.inputMeter,
                 &e.bypassButton, &e.instanceLetterLabel})
            expectApart(knob, other->getBounds());
        expectApart(e.inputMeter.getBounds(), e.gainCaption.getBounds());
        expectApart(e.roleBadgeBounds.toNearestInt(), e.gainValueLabel.getBounds());

        writeSnapshots(e, "OvrelEditor_host_" + juce::String(size.w) + "x" + juce::String(size.h));
    }
}

// A host's size ends in a consistent editor: what is stored is the side laid out, so the next
// editor opens square at the size this one showed.
TEST_F(OvrelEditorTest, HostSizeOfAnotherShapeStoresTheSideLaidOut)
{
    auto& e = openEditor();
    e.setSize(392, 300);
    EXPECT_EQ(proc->editorSettings.editorWidth.load(), 300);
    e.setSize(360, 520);
    EXPECT_EQ(proc->editorSettings.editorWidth.load(), 360);
    auto& next = openEditor();
    EXPECT_EQ(next.getWidth(), 360);
    EXPECT_EQ(next.getHeight(), 360);
}
