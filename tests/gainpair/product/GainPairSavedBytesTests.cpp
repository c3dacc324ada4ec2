#include "GainPairProduct.h"

#include "support/StateHelpers.h"

#include <optional>
#include <string>

using GainPairSavedBytesTest = GainPairProductTest;
GAIN_PAIR_PRODUCT_TESTS(GainPairSavedBytesTest);

// The saved state, byte for byte, as hosts keep it in their projects: the default state and one
// with every value moved. Any change here breaks the projects users have saved.
TEST_P(GainPairSavedBytesTest, SavedStateBytesAreFixed)
{
    const struct
    {
        const char* product;
        const char* name;
        // Every value moved, the dB parameter to this; none: the defaults.
        std::optional<float> movedDb;
        std::string expected;
    } rows[] = {
        {"Ovrel", "default", std::nullopt,
         std::string("VC2!\xe9\x00\x00\x00", 8) +
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMETERS uiScale=\"1.0\" editorWidth=\"300\" "
             "tooltipsOn=\"0\" isSpanish=\"0\" meterHold=\"0\"><PARAM id=\"gain\" value=\"0.0\"/><PARAM "
             "id=\"linkID\" value=\"1.0\"/><PARAM id=\"bypass\" value=\"0.0\"/></PARAMETERS>" +
             std::string(1, '\0')},
        {"Ovrel", "moved", -12.34f,
         std::string("VC2!\xfa\x00\x00\x00", 8) +
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMETERS uiScale=\"1.75\" editorWidth=\"640\" "
             "tooltipsOn=\"1\" isSpanish=\"1\" meterHold=\"1\"><PARAM id=\"gain\" value=\"-12.34000015258789\"/><PARAM "
             "id=\"linkID\" value=\"17.0\"/><PARAM id=\"bypass\" value=\"1.0\"/></PARAMETERS>" +
             std::string(1, '\0')},
        {"Undrel", "default", std::nullopt,
         std::string("VC2!\xe9\x00\x00\x00", 8) +
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMETERS uiScale=\"1.0\" editorWidth=\"300\" "
             "tooltipsOn=\"0\" isSpanish=\"0\" meterHold=\"0\"><PARAM id=\"trim\" value=\"0.0\"/><PARAM "
             "id=\"linkID\" value=\"1.0\"/><PARAM id=\"bypass\" value=\"0.0\"/></PARAMETERS>" +
             std::string(1, '\0')},
        {"Undrel", "moved", -7.3f,
         std::string("VC2!\xfa\x00\x00\x00", 8) +
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMETERS uiScale=\"1.75\" editorWidth=\"640\" "
             "tooltipsOn=\"1\" isSpanish=\"1\" meterHold=\"1\"><PARAM id=\"trim\" value=\"-7.299999713897705\"/><PARAM "
             "id=\"linkID\" value=\"17.0\"/><PARAM id=\"bypass\" value=\"1.0\"/></PARAMETERS>" +
             std::string(1, '\0')},
    };
    for (const auto& r : rows)
    {
        if (!product().is(r.product))
            continue;
        SCOPED_TRACE(r.name);
        auto proc = makeProcessor();
        if (r.movedDb)
        {
            setDb(*proc, *r.movedDb);
            setParam(proc->apvts, "linkID", 17.0f);
            setParam(proc->apvts, "bypass", 1.0f);
            proc->editorSettings.uiScale = 1.75f;
            proc->editorSettings.editorWidth = 640;
            proc->editorSettings.tooltipsOn = true;
            proc->editorSettings.isSpanish = true;
            proc->editorSettings.meterHold = true;
        }
        const auto block = saveState(*proc);
        EXPECT_EQ(std::string(static_cast<const char*>(block.getData()), block.getSize()), r.expected);
    }
}
