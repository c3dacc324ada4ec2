#include "UndrelEditorTestSupport.h"

#include "support/HostGivenSizes.h"

// A host that gives the square editor another shape gets it whole: the readouts' card below the
// header line, nothing over the knobs, the compensation knob in the middle.
TEST_F(UndrelEditorTest, DrawsWholeInTheSizeAHostGives)
{
    auto& e = openEditor();
    expectGainEditorWholeAtHostSizes(
        e, e.compensationKnob, e.gainCaption,
        {&e.gainCaption, &e.gainValueLabel, &e.compensationCaption, &e.compensationValueLabel, &e.outputMeter,
         &e.bypassButton, &e.trimKnob},
        "UndrelEditor", [this] { tickEditor(2); },
        [&e]
        {
            expectApart(e.trimKnob.getBounds(), e.outputMeter.getBounds());
            expectApart(e.trimKnob.getBounds(), e.bypassButton.getBounds());
        });
}

TEST_F(UndrelEditorTest, HostSizeOfAnotherShapeStoresTheSideLaidOut)
{
    expectHostShapeStoresSideLaidOut();
}
