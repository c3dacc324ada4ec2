#include "OvrelEditorTestSupport.h"

#include "widgets/KnobTestKit.h"

#include <map>

namespace
{
// What a host hears: per parameter, how deep the open gestures are and whether a gesture ever ended
// before it began or a value changed outside of one.
class GestureLog : public juce::AudioProcessorParameter::Listener
{
public:
    explicit GestureLog(juce::AudioProcessor& p) : proc(p)
    {
        for (auto* param : proc.getParameters())
            param->addListener(this);
    }

    ~GestureLog() override
    {
        for (auto* param : proc.getParameters())
            param->removeListener(this);
    }

    void parameterValueChanged(int index, float) override
    {
        ++changes[index];
        if (depth[index] <= 0)
            ++changesOutside[index];
    }

    void parameterGestureChanged(int index, bool starting) override
    {
        depth[index] += starting ? 1 : -1;
        if (starting)
            ++begins[index];
        if (depth[index] < 0)
            ++endsBeforeBegin[index];
    }

    int indexOf(const juce::String& id) const
    {
        for (auto* param : proc.getParameters())
            if (auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*>(param);
                withId && withId->paramID == id)
                return param->getParameterIndex();
        return -1;
    }

    void expectBalanced(const juce::String& id, const char* what)
    {
        const int i = indexOf(id);
        EXPECT_GT(changes[i], 0) << what << ": the value changed";
        EXPECT_GT(begins[i], 0) << what;
        EXPECT_EQ(depth[i], 0) << what << ": every gesture ended";
        EXPECT_EQ(endsBeforeBegin[i], 0) << what;
        EXPECT_EQ(changesOutside[i], 0) << what << ": changes fall inside gestures";
        depth.clear();
        begins.clear();
        changes.clear();
        changesOutside.clear();
        endsBeforeBegin.clear();
    }

    juce::AudioProcessor& proc;
    std::map<int, int> depth, begins, changes, changesOutside, endsBeforeBegin;
};
} // namespace

TEST_F(OvrelEditorTest, EveryControlReportsBalancedGestures)
{
    auto& e = openEditor();
    GestureLog log(*proc);
    auto& knob = e.gainKnob;
    const int y = knob.getScreenBounds().getCentreY();

    knob.mouseDown(knobtest::eventAt(knob, y, knobtest::none));
    knob.mouseDrag(knobtest::eventAt(knob, y - 40, knobtest::none));
    knob.mouseDrag(knobtest::eventAt(knob, y - 80, knobtest::shift));
    knob.mouseUp(knobtest::eventAt(knob, y - 80, knobtest::none));
    log.expectBalanced("gain", "drag");

    knobtest::wheel(knob, 1.0f);
    log.expectBalanced("gain", "wheel");

    knob.mouseDoubleClick(knobtest::eventAt(knob, y, knobtest::ctrl, 2));
    log.expectBalanced("gain", "reset");

    e.bypassButton.setToggleState(true, juce::sendNotificationSync);
    log.expectBalanced("bypass", "bypass");

    e.linkIdBox.setSelectedId(7, juce::sendNotificationSync);
    log.expectBalanced("linkID", "link ID");
}

TEST_F(OvrelEditorTest, ClosingDuringADragEndsTheGesture)
{
    auto& e = openEditor();
    GestureLog log(*proc);
    auto& knob = e.gainKnob;
    const int y = knob.getScreenBounds().getCentreY();
    knob.mouseDown(knobtest::eventAt(knob, y, knobtest::none));
    knob.mouseDrag(knobtest::eventAt(knob, y - 60, knobtest::none));
    editor.reset();
    log.expectBalanced("gain", "drag cut short");
}

TEST_F(OvrelEditorTest, ChangesFromTheHostAreNoGestures)
{
    openEditor();
    GestureLog log(*proc);
    setParam(proc->apvts, "gain", 12.0f);
    EXPECT_EQ(log.begins[log.indexOf("gain")], 0);
    EXPECT_DOUBLE_EQ(editor->gainKnob.getValue(), 12.0);
}
