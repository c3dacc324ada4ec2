#include "GainEditorBenchRig.h"

#include "gainpair/undrel/UndrelAudioProcessor.h"
#include "support/OvrelStandIn.h"

namespace
{
// Undrel linked to an Ovrel stand-in on link ID 1; busy, the stand-in's gain moves by half a dB twice
// a second, so values, knob, meter and pulses keep running.
class UndrelRig : public GainEditorBenchRig<UndrelAudioProcessor>
{
public:
    explicit UndrelRig(bool busy)
    {
        env.applicationDataFolder.createDirectory();
        ovrel = std::make_unique<OvrelStandIn>(env, 1, 0.0f);
        open(busy, [this] { ovrel->publish(nextGainDb()); });
    }

    // Undrel goes before the Ovrel it reads.
    ~UndrelRig() override { close(); }

private:
    std::unique_ptr<OvrelStandIn> ovrel;
};
} // namespace

std::vector<EditorBenchCase> editorBenchCases()
{
    return {{"Undrel", [](bool busy) { return std::make_unique<UndrelRig>(busy); }, 3.0, 10.0}};
}
