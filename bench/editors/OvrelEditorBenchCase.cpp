#include "GainEditorBenchRig.h"

#include "gainpair/ovrel/OvrelAudioProcessor.h"

namespace
{
// Ovrel alone on its link ID; busy, its gain moves by half a dB twice a second.
class OvrelRig : public GainEditorBenchRig<OvrelAudioProcessor>
{
public:
    explicit OvrelRig(bool busy)
    {
        open(busy, [this] { moveGain(); });
    }

private:
    void moveGain()
    {
        auto* gain = proc->apvts.getParameter("gain");
        gain->beginChangeGesture();
        gain->setValueNotifyingHost(gain->convertTo0to1(nextGainDb()));
        gain->endChangeGesture();
    }
};
} // namespace

std::vector<EditorBenchCase> editorBenchCases()
{
    return {{"Ovrel", [](bool busy) { return std::make_unique<OvrelRig>(busy); }, 1.5, 10.0}};
}
