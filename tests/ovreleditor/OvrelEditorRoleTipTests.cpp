#include "OvrelEditorTestSupport.h"

#include "support/TooltipLookup.h"

// The role shows on the badge and on the letter below it; a slave's knob, which takes no clicks,
// shows nothing.
TEST_F(OvrelEditorTest, RoleTipShowsOnTheBadgeAndTheLetter)
{
    auto& e = openEditor();
    OnDesktop shown(e, {200, 150});
    e.setTooltipsEnabled(true);
    const juce::String knobTip = e.gainKnob.getTooltip();
    const struct
    {
        LinkRole role;
        bool multi;
        juce::String roleTip;
        bool knobTipShown;
    } roles[] = {
        {LinkRole::Waiting, true, "Esclavo en espera del Maestro", true},
        {LinkRole::Slave, true, "Este plugin recibe los valores del plugin Maestro", false},
        {LinkRole::Master, true, "Este plugin es el Maestro de todos los que tengan el mismo ID", true},
        {LinkRole::Alone, true, "", true},
        {LinkRole::Alone, false, "", true},
    };
    for (const auto& r : roles)
    {
        setRole(r.role, r.multi);
        tickEditor();
        const auto where = "role " + juce::String(static_cast<int>(r.role)) + " multi " + juce::String((int)r.multi);
        EXPECT_EQ(tipAt(e, e.roleBadgeBounds.getCentre()), r.roleTip) << where;
        EXPECT_EQ(tipAt(e, e.instanceLetterLabel.getBounds().toFloat().getCentre()), r.roleTip) << where;
        EXPECT_EQ(tipAtCentreOf(e.gainKnob), r.knobTipShown ? knobTip : juce::String()) << where;
    }
}
