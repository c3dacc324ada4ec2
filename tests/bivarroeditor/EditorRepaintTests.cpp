#include "bivarroeditor/EditorFixture.h"
#include "support/KeptImage.h"

// Host changes reach the editor's looks through its tick, which repaints only the controls whose look
// changed; drawing just those into the picture the screen keeps must give the whole editor's picture.
TEST_F(EditorFixture, EachTickRepaintsEverythingAHostChangeAltersOnScreen)
{
    const struct
    {
        const char* id;
        float value;
    } moves[] = {
        {"bypass", 1.0f},
        {"bypass", 0.0f},
        {"muteL", 1.0f},
        {"muteR", 1.0f},
        {"muteMid", 1.0f},
        {"muteSide", 1.0f},
        {"muteL", 0.0f},
        {"muteR", 0.0f},
        {"muteMid", 0.0f},
        {"muteSide", 0.0f},
        {"polarityL", 1.0f},
        {"polarityR", 1.0f},
        {"polarityL", 0.0f},
        {"polarityR", 0.0f},
        {"mono", 1.0f},
        {"mono", 0.0f},
        // The all-pass order of an inactive channel, then its phase, then the order of an active one.
        {"apOrder2L", 1.0f},
        {"apPhaseL", 30.0f},
        {"apOrder2L", 0.0f},
        {"apOrder2L", 1.0f},
        {"apPhaseL", 0.0f},
        {"apOrder2L", 0.0f},
        {"apPhaseR", 90.0f},
        {"apOrder2R", 1.0f},
        {"apOrder2R", 0.0f},
        {"apPhaseR", 0.0f},
        {"monoMakerInt", 60.0f},
        {"monoMakerInt", 0.0f},
        {"bypass", 1.0f},
        {"apPhaseL", 45.0f},
        {"apOrder2L", 1.0f},
        {"bypass", 0.0f},
        // Back where it started, for the next display scale.
        {"apOrder2L", 0.0f},
        {"apPhaseL", 0.0f},
    };

    for (const float scale : {1.0f, 2.0f})
    {
        close();
        open();
        KeptImage kept(*editor, scale);
        for (const auto& m : moves)
        {
            const auto name =
                juce::String("bivarro-") + m.id + "-" + juce::String(m.value) + "-x" + juce::String(scale);
            setParameter(m.id, m.value);
            probe->tick();
            kept.update(name);
            probe->tick();
            EXPECT_FALSE(kept.anythingRequested()) << name << ": a second tick finds nothing new to show";
            kept.update(name + "-again");
        }
    }
}
