#include "OvrelEditorTestSupport.h"

#include "support/HostGivenSizes.h"

// A host that gives the square editor another shape gets it whole: the readouts' card below the
// header line, nothing over the knob, the knob in the middle.
TEST_F(OvrelEditorTest, DrawsWholeInTheSizeAHostGives)
{
    auto& e = openEditor();
    setRole(LinkRole::Master, true, 'A');
    expectGainEditorWholeAtHostSizes(
        e, e.gainKnob, e.gainCaption,
        {&e.gainCaption, &e.gainValueLabel, &e.compensationCaption, &e.compensationValueLabel, &e.inputMeter,
         &e.bypassButton, &e.instanceLetterLabel},
        "OvrelEditor", [this] { tickEditor(2); },
        [&e]
        {
            expectApart(e.inputMeter.getBounds(), e.gainCaption.getBounds());
            expectApart(e.roleBadgeBounds.toNearestInt(), e.gainValueLabel.getBounds());
        });
}

TEST_F(OvrelEditorTest, HostSizeOfAnotherShapeStoresTheSideLaidOut)
{
    expectHostShapeStoresSideLaidOut();
}
