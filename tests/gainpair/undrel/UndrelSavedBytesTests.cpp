#include "UndrelTestSupport.h"

#include "support/StateHelpers.h"

#include <string>

// The saved state, byte for byte, as hosts keep it in their projects: the default state and one
// with every value moved. Any change here breaks the projects users have saved.
TEST_F(UndrelTest, SavedStateBytesAreFixed)
{
    const struct
    {
        const char* name;
        void (*setUp)(UndrelAudioProcessor&);
        std::string expected;
    } rows[] = {
        {"default", [](UndrelAudioProcessor&) {},
         std::string("VC2!\xe9\x00\x00\x00", 8) +
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMETERS uiScale=\"1.0\" editorWidth=\"300\" "
             "tooltipsOn=\"0\" isSpanish=\"0\" meterHold=\"0\"><PARAM id=\"trim\" value=\"0.0\"/><PARAM "
             "id=\"linkID\" value=\"1.0\"/><PARAM id=\"bypass\" value=\"0.0\"/></PARAMETERS>" +
             std::string(1, '\0')},
        {"moved",
         [](UndrelAudioProcessor& p)
         {
             setParam(p.apvts, "trim", -7.3f);
             setParam(p.apvts, "linkID", 17.0f);
             setParam(p.apvts, "bypass", 1.0f);
             p.editorSettings.uiScale = 1.75f;
             p.editorSettings.editorWidth = 640;
             p.editorSettings.tooltipsOn = true;
             p.editorSettings.isSpanish = true;
             p.editorSettings.meterHold = true;
         },
         std::string("VC2!\xfa\x00\x00\x00", 8) +
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?> <PARAMETERS uiScale=\"1.75\" editorWidth=\"640\" "
             "tooltipsOn=\"1\" isSpanish=\"1\" meterHold=\"1\"><PARAM id=\"trim\" value=\"-7.299999713897705\"/><PARAM "
             "id=\"linkID\" value=\"17.0\"/><PARAM id=\"bypass\" value=\"1.0\"/></PARAMETERS>" +
             std::string(1, '\0')},
    };
    for (const auto& r : rows)
    {
        SCOPED_TRACE(r.name);
        auto proc = makeProcessor();
        r.setUp(*proc);
        const auto block = saveState(*proc);
        EXPECT_EQ(std::string(static_cast<const char*>(block.getData()), block.getSize()), r.expected);
    }
}
