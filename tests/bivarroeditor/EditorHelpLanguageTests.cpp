#include "bivarroeditor/EditorFixture.h"
#include "support/EditorSnapshots.h"
#include "support/HelpPanelLayout.h"
#include "support/TooltipLookup.h"
#include "widgets/KnobTestKit.h"

namespace
{
using E = BivarroAudioProcessorEditor;

// The gesture notes the tooltips are made of, written out here so that a changed word in the
// editor shows.
const juce::String knobEn{"Shift + drag: Precision mode\nScroll wheel: Change value by steps\nDouble click: Type value "
                          "manually\nCtrl + double click: Reset to default"};
const juce::String knobEs{"Shift + arrastrar: Modo precision\nRueda del raton: Cambia el valor por pasos\nDoble click: "
                          "Escribe el valor manualmente\nCtrl + doble click: Reinicia al valor predeterminado"};
const juce::String linkEn{"Shift + double click: Link\nAlt + double click: Inverted link"};
const juce::String linkEs{"Shift + doble click: Enlace (Link)\nAlt + doble click: Enlace (Link) modo invertido"};
const juce::String meterEn{"Alt + right click: Settings\nShift + click: Hold peak value"};
const juce::String meterEs{"Alt + click derecho: Configuraciones\nShift + click: Sostenimiento del valor pico"};

enum class Kind
{
    name,
    label,
    tooltip
};

struct TextRow
{
    const char* component;
    Kind kind;
    juce::String english;
    juce::String spanish;
};

std::vector<TextRow> languageRows()
{
    std::vector<TextRow> rows{
        {"apPhaseLKnob", Kind::name, "Phase", "Fase"},
        {"apPhaseRKnob", Kind::name, "Phase", "Fase"},
        {"asymmetryKnob", Kind::name, "Asymmetry", "Asimetria"},
        {"rotationKnob", Kind::name, "Rotation", "Rotacion"},
        {"widthKnob", Kind::name, "Width", "Ancho"},
        {"apFcLKnob", Kind::name, "Freq", "Frec"},
        {"apFcRKnob", Kind::name, "Freq", "Frec"},
        {"monoMakerFreqKnob", Kind::name, "Freq", "Frec"},
        {"monoMakerIntKnob", Kind::name, "Intens", "Intens"},
        {"gainLKnob", Kind::name, "Gain", "Gain"},
        {"trimOutKnob", Kind::name, "Trim Out", "Trim Out"},
        {"polarityLButton", Kind::label, "Polarity L", "Polaridad L"},
        {"polarityRButton", Kind::label, "Polarity R", "Polaridad R"},
        {"graphicButton", Kind::label, "Graphic", "Grafico"},
        {"muteLButton", Kind::label, "Mute L", "Mute L"},
        {"bypassButton", Kind::label, "Bypass", "Bypass"},
        {"widthKnob", Kind::tooltip, knobEn, knobEs},
        {"trimOutKnob", Kind::tooltip, knobEn, knobEs},
        {"monoMakerFreqKnob", Kind::tooltip, "Bass Mono: crossover frequency (10-4000 Hz)\n" + knobEn,
         "Bass Mono: frecuencia de cruce (10-4000 Hz)\n" + knobEs},
        {"monoMakerIntKnob", Kind::tooltip, "Bass Mono: intensity (0%=off, 100%=full mono below freq)\n" + knobEn,
         "Bass Mono: intensidad (0%=off, 100%=mono total bajo freq)\n" + knobEs},
        {"orderLButton", Kind::tooltip, "APF order: 1st (shelf) / 2nd (bell)\n" + linkEn,
         "Orden APF: 1er (shelf) / 2do (bell)\n" + linkEs},
        {"orderRButton", Kind::tooltip, "APF order: 1st (shelf) / 2nd (bell)\n" + linkEn,
         "Orden APF: 1er (shelf) / 2do (bell)\n" + linkEs},
        {"linkAllButton", Kind::tooltip, "Link/Unlink all APF parameters (Freq, Phase, Q, Order)",
         juce::String::fromUTF8("Enlazar/Desenlazar todos los par\xc3\xa1metros APF (Freq, Phase, Q, Orden)")},
        {"inverseLinkAllButton", Kind::tooltip, "Inverted link all APF parameters (Freq, Phase, Q, Order)",
         juce::String::fromUTF8("Enlace invertido de todos los par\xc3\xa1metros APF (Freq, Phase, Q, Orden)")},
        {"polarityLButton", Kind::tooltip, "Invert polarity L\n" + linkEn, "Invertir polaridad L\n" + linkEs},
        {"polarityRButton", Kind::tooltip, "Invert polarity R\n" + linkEn, "Invertir polaridad R\n" + linkEs},
        {"muteLButton", Kind::tooltip, "Mute L\n" + linkEn, "Silenciar L\n" + linkEs},
        {"muteRButton", Kind::tooltip, "Mute R\n" + linkEn, "Silenciar R\n" + linkEs},
        {"muteMidButton", Kind::tooltip, "Mute mid\n" + linkEn, "Silenciar mid\n" + linkEs},
        {"muteSideButton", Kind::tooltip, "Mute side\n" + linkEn, "Silenciar side\n" + linkEs},
        {"monoButton", Kind::tooltip, "Mono (L+R sum)", "Mono (suma L+R)"},
        {"bypassButton", Kind::tooltip, "Bypass", "Bypass"},
        {"graphicButton", Kind::tooltip, "Open/close analyser", "Abrir/cerrar analyser"},
        {"meterL", Kind::tooltip, meterEn, meterEs},
        {"meterR", Kind::tooltip, meterEn, meterEs},
        {"slotAButton", Kind::tooltip, "Slot A", "Slot A"},
        {"slotBButton", Kind::tooltip, "Slot B", "Slot B"},
        {"slotCButton", Kind::tooltip, "Slot C", "Slot C"},
        {"copyToAButton", Kind::tooltip, "Copy current settings to slot A", "Copiar configuracion actual al slot A"},
        {"helpButton", Kind::tooltip, "Open help panel", "Abrir panel de ayuda"},
    };
    for (const char* knob : {"gainLKnob", "gainRKnob", "panLKnob", "panRKnob", "delayLKnob", "delayRKnob", "apFcLKnob",
                             "apFcRKnob", "apPhaseLKnob", "apPhaseRKnob", "apQLKnob", "apQRKnob", "midGainKnob",
                             "sideGainKnob", "asymmetryKnob", "rotationKnob"})
        rows.push_back({knob, Kind::tooltip, knobEn + "\n" + linkEn, knobEs + "\n" + linkEs});
    return rows;
}

struct HelpLanguageFixture : EditorFixture
{
    juce::String shown(const TextRow& row) const
    {
        auto& c = probe->component(row.component);
        switch (row.kind)
        {
        case Kind::name:
            return dynamic_cast<OrlintKnob&>(c).getTitle();
        case Kind::label:
            return dynamic_cast<BivoButton&>(c).labelText;
        case Kind::tooltip:
            return dynamic_cast<juce::TooltipClient&>(c).getTooltip();
        }
        return {};
    }

    void expectLanguage(bool spanish) const
    {
        for (const auto& row : languageRows())
            EXPECT_EQ(shown(row), spanish ? row.spanish : row.english)
                << row.component << " kind " << (int)row.kind << (spanish ? " in Spanish" : " in English");
        auto& panel = probe->helpPanel();
        EXPECT_EQ(panel.espanolToggle.getToggleState(), spanish);
        EXPECT_EQ(panel.textView.getText(), BivarroEditorTexts::helpText(spanish));
        EXPECT_EQ(probe->spanishShown(), spanish);
    }

    void clickEspanol(bool on) const
    {
        probe->helpPanel().espanolToggle.setToggleState(on, juce::sendNotificationSync);
    }

    void clickTooltips(bool on) const
    {
        probe->helpPanel().tooltipsToggle.setToggleState(on, juce::sendNotificationSync);
    }
};
} // namespace

TEST_F(HelpLanguageFixture, EspanolSwitchReplacesEveryTextEachWayOnce)
{
    // A new English editor shows the descriptive tips it was built with.
    EXPECT_EQ(probe->button("graphic").getTooltip(), "Open/close Analyser");
    EXPECT_EQ(probe->header("help").getTooltip(), "Help & shortcuts");
    EXPECT_EQ(probe->knob("gainL").getTooltip(), "Gain L (-inf to +48 dB)");
    EXPECT_EQ(probe->knob("monoMakerInt").getTitle(), "Intensity");
    EXPECT_TRUE(probe->meter(true).getTooltip().isEmpty());
    EXPECT_FALSE(probe->spanishShown());

    auto& panel = probe->helpPanel();
    int calls = 0;
    const auto forward = panel.onLanguageToggled;
    panel.onLanguageToggled = [&](bool s)
    {
        ++calls;
        forward(s);
    };

    for (const bool spanish : {true, false, true})
    {
        calls = 0;
        clickEspanol(spanish);
        EXPECT_EQ(calls, 1) << "switching the texts must not click the switch again";
        expectLanguage(spanish);
        EXPECT_EQ(processor.settings.languageSpanish.load(), spanish);
        EXPECT_EQ(panel.tooltipsToggle.getButtonText(), "Tooltips");
        EXPECT_EQ(panel.espanolToggle.getButtonText(), "Espanol");
    }
}

TEST_F(HelpLanguageFixture, HelpTextsHaveTheirSectionsAndEndWithALineBreak)
{
    const struct
    {
        int line;
        const char* english;
        const char* spanish;
    } fixedLines[] = {
        {0, "Bivarro", "Bivarro"},
        {1, "Tool for adjusting and shaping stereo audio.", "Herramienta para ajustar y moldear audios en estereo."},
        {3, "Shortcuts", "Atajos"},
        {4, "Shift + drag: Precision mode", "Shift + arrastrar: Modo precision"},
        {5, "Scroll wheel: Change value by steps", "Rueda del raton: Cambia el valor por pasos"},
        {6, "Double click: Type value manually", "Doble click: Escribe el valor manualmente"},
        {7, "Ctrl + double click: Reset to default", "Ctrl + doble click: Reinicia al valor predeterminado"},
        {8, "Shift + double click: Link (gold)", "Shift + doble click: Enlace (Link) dorado"},
        {9, "Alt + double click: Inverted link (violet)", "Alt + doble click: Enlace (Link) invertido violeta"},
        {10, "Alt + right click: Meter settings", "Alt + click derecho: Configuracion de medidores"},
        {11, "Shift + click: Hold peak value mode", "Shift + click: Sostenimiento del valor pico"},
    };
    // Headings in order, each after an empty line, with the paragraph lengths under them.
    const struct
    {
        const char* english;
        const char* spanish;
        int paragraphLines;
    } sections[] = {
        {"All-pass filter (APF)", "All-pass filter (APF)", 4},
        {"Phase knob", "El potenciometro Fase", 2},
        {"Frequency", "Frecuencia", 3},
        {"1st order (shelf)", "1er orden (shelf)", 1},
        {"2nd order (bell)", "2do orden (bell)", 3},
        {"Asymmetry", "Asymmetry", 6},
        {"Rotation", "Rotation", 6},
        {"A/B/C", "A/B/C", 2},
    };

    for (const bool spanish : {false, true})
    {
        const auto& text = BivarroEditorTexts::helpText(spanish);
        ASSERT_TRUE(text.endsWith("\n"));
        const auto lines = juce::StringArray::fromLines(text.dropLastCharacters(1));
        for (const auto& f : fixedLines)
            EXPECT_EQ(lines[f.line], spanish ? f.spanish : f.english) << f.line;

        int at = 12;
        for (const auto& s : sections)
        {
            EXPECT_TRUE(lines[at].isEmpty()) << at;
            EXPECT_EQ(lines[at + 1], spanish ? s.spanish : s.english);
            for (int i = 0; i < s.paragraphLines; ++i)
                EXPECT_FALSE(lines[at + 2 + i].isEmpty()) << s.english << " line " << i;
            at += 2 + s.paragraphLines;
        }
        EXPECT_EQ(lines[at - 2], spanish ? "A, B, C: Cambia entre 3 snapshots" : "A, B, C: Switch between 3 snapshots");
        EXPECT_EQ(lines[at - 1],
                  spanish ? "->A: Copia la configuracion actual al slot A" : "->A: Copy current settings to slot A");
        EXPECT_TRUE(lines[at].isEmpty());
        EXPECT_EQ(lines[at + 1], "Orlintz Engineer - Bivarro v2.0.0");
        EXPECT_EQ(lines.size(), at + 2);
    }
}

TEST_F(HelpLanguageFixture, AnOpenAnalyserWindowFollowsTheLanguage)
{
    probe->button("graphic").onToggle(true);
    ASSERT_NE(probe->analyserWindow(), nullptr);
    clickEspanol(true);
    EXPECT_EQ(probe->analyserWindow()->getName(), juce::String::fromUTF8("Analizador \xe2\x80\x94 Bivarro"));
    clickEspanol(false);
    EXPECT_EQ(probe->analyserWindow()->getName(), juce::String::fromUTF8("Analyser \xe2\x80\x94 Bivarro"));
}

TEST_F(HelpLanguageFixture, LanguageIsSavedWithTheStateAndANewEditorOpensInIt)
{
    clickEspanol(true);
    close();

    juce::MemoryBlock saved;
    processor.getStateInformation(saved);
    BivarroAudioProcessor restored;
    restored.setStateInformation(saved.getData(), (int)saved.getSize());
    ASSERT_TRUE(restored.settings.languageSpanish.load());

    // The editor must go before the processor it was made for.
    const juce::ScopeGuard closeFirst{[this] { close(); }};
    editor = std::make_unique<BivarroAudioProcessorEditor>(restored);
    probe = std::make_unique<BivarroEditorProbe>(*editor);
    expectLanguage(true);
    auto& panel = probe->helpPanel();
    EXPECT_TRUE(panel.spanish);
    EXPECT_EQ(panel.tooltipsToggle.getButtonText(), "Mostrar Tooltips");

    editor->setTopLeftPosition(600, 100);
    probe->header("help").onClick();
    ASSERT_NE(probe->helpWindow(), nullptr);
    EXPECT_EQ(probe->helpWindow()->getName(), "Ayuda");
    EXPECT_EQ(panel.textView.getText(), BivarroEditorTexts::helpText(true));

    clickEspanol(false);
    expectLanguage(false);
    EXPECT_EQ(panel.tooltipsToggle.getButtonText(), "Tooltips");
    EXPECT_EQ(probe->helpWindow()->getName(), "Help");
    EXPECT_FALSE(restored.settings.languageSpanish.load());
}

TEST_F(HelpLanguageFixture, HelpPanelLayout)
{
    expectHelpPanelLayout(probe->helpPanel());
}

TEST_F(HelpLanguageFixture, TooltipWindowLivesExactlyWhileTooltipsAreOnAndIntoTheNextEditor)
{
    EXPECT_EQ(probe->tooltipWindow(), nullptr);
    EXPECT_FALSE(probe->tooltipsShown());

    clickTooltips(true);
    ASSERT_NE(probe->tooltipWindow(), nullptr);
    EXPECT_EQ(probe->tooltipWindow()->getParentComponent(), editor.get());
    EXPECT_EQ(&probe->tooltipWindow()->getLookAndFeel(), &probe->tooltipLaf());
    EXPECT_TRUE(processor.settings.tooltipsEnabled.load());

    clickTooltips(false);
    EXPECT_EQ(probe->tooltipWindow(), nullptr);
    EXPECT_FALSE(processor.settings.tooltipsEnabled.load());

    clickTooltips(true);
    close();
    open();
    ASSERT_NE(probe->tooltipWindow(), nullptr) << "the next editor opens with tooltips on";
    EXPECT_EQ(probe->tooltipWindow()->getParentComponent(), editor.get());
    EXPECT_EQ(&probe->tooltipWindow()->getLookAndFeel(), &probe->tooltipLaf());
    EXPECT_TRUE(probe->tooltipsShown());
    EXPECT_TRUE(probe->helpPanel().tooltipsToggle.getToggleState());

    // A restored project with tooltips off opens without a tooltip window.
    clickTooltips(false);
    juce::MemoryBlock saved;
    processor.getStateInformation(saved);
    close();
    BivarroAudioProcessor restored;
    restored.setStateInformation(saved.getData(), (int)saved.getSize());
    BivarroAudioProcessorEditor other(restored);
    EXPECT_EQ(BivarroEditorProbe(other).tooltipWindow(), nullptr);
}

TEST_F(HelpLanguageFixture, HelpButtonShowsTheWindowLeftOfTheEditorAndHidesIt)
{
    auto& help = probe->header("help");
    const struct
    {
        int x, y;
    } places[] = {{700, 50}, {900, 80}, {400, 0}};

    HelpWindow* window = nullptr;
    for (const auto& p : places)
    {
        editor->setTopLeftPosition(p.x, p.y);
        help.onClick();
        ASSERT_NE(probe->helpWindow(), nullptr);
        if (window == nullptr)
            window = probe->helpWindow();
        EXPECT_EQ(probe->helpWindow(), window) << "the window is made once";
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(probe->helpPanel().isVisible());
        EXPECT_EQ(window->getContentComponent(), &probe->helpPanel());
        EXPECT_EQ(window->getBounds().getWidth(), 340);
        EXPECT_EQ(window->getHeight(), 426);
        expectPanelFillsHelpWindow(*window, probe->helpPanel());
        const auto r = editor->getScreenBounds();
        EXPECT_EQ(window->getX(), r.getX() - 344) << p.x;
        EXPECT_EQ(window->getY(), r.getY() + (r.getHeight() - 426) / 2) << p.x;
        EXPECT_EQ(window->getName(), "Help");

        help.onClick();
        EXPECT_FALSE(window->isVisible()) << "a second press hides it";
        help.onClick();
        EXPECT_TRUE(window->isVisible());
        window->closeButtonPressed();
        EXPECT_FALSE(window->isVisible()) << "the close button hides it";
        EXPECT_EQ(probe->helpWindow(), window);
    }

    // It never takes the keyboard from the host.
    EXPECT_NE(window->getDesktopWindowStyleFlags() & juce::ComponentPeer::windowIgnoresKeyPresses, 0);
    ASSERT_NE(window->getPeer(), nullptr);
    EXPECT_NE(window->getPeer()->getStyleFlags() & juce::ComponentPeer::windowIgnoresKeyPresses, 0);
    EXPECT_FALSE(window->getWantsKeyboardFocus());
    EXPECT_FALSE(window->isUsingNativeTitleBar());
    EXPECT_FALSE(window->isResizable());
    EXPECT_EQ(window->getBackgroundColour(), juce::Colour(0xff191919));

    // The switch shows the tooltip state whenever the window is shown.
    clickTooltips(true);
    probe->helpPanel().tooltipsToggle.setToggleState(false, juce::dontSendNotification);
    help.onClick();
    EXPECT_TRUE(probe->helpPanel().tooltipsToggle.getToggleState());

    // The title follows the language while shown.
    clickEspanol(true);
    EXPECT_EQ(window->getName(), "Ayuda");
    close();
}

TEST_F(HelpLanguageFixture, EveryTipShowsWhereThePointerRests)
{
    OnDesktop shown(*editor, {200, 100});
    clickTooltips(true);
    // Away from slot A, so that "Copy A" is shown.
    probe->header("B").onClick();
    ASSERT_TRUE(probe->header("copyA").isVisible());
    for (bool spanish : {true, false})
    {
        clickEspanol(spanish);
        for (const auto& row : languageRows())
        {
            if (row.kind == Kind::tooltip)
            {
                EXPECT_EQ(tipAtCentreOf(probe->component(row.component)), spanish ? row.spanish : row.english)
                    << row.component << (spanish ? " in Spanish" : " in English");
            }
        }
    }
}

TEST_F(HelpLanguageFixture, HelpWindowStaysOnTheDisplay)
{
    auto& help = probe->header("help");
    expectHelpWindowStaysOnDisplay(
        *editor, [&] { help.onClick(); }, [&] { return probe->helpWindow(); });
}

TEST_F(HelpLanguageFixture, Snapshots)
{
    for (const bool spanish : {false, true})
    {
        if (spanish)
            clickEspanol(true);
        editor->setTopLeftPosition(600, 100);
        probe->header("help").onClick();
        auto* window = probe->helpWindow();
        ASSERT_NE(window, nullptr);
        knobtest::runMessageLoop(50);
        const auto lang = juce::String(spanish ? "es" : "en");
        writeHelpWindowSnapshots(*window, "bivarro-help-window-" + lang);
        writePng(snapshotOf(probe->helpPanel()), "bivarro-help-panel-" + lang);
        probe->header("help").onClick();
    }

    // A Spanish editor as it opens.
    close();
    open();
    for (int i = 0; i < 40; ++i)
        probe->tick();
    knobtest::runMessageLoop(50);
    writePng(render(), "bivarro-editor-380-es");

    // Its help window, whose tooltip switch has the longer caption.
    probe->header("help").onClick();
    ASSERT_NE(probe->helpWindow(), nullptr);
    knobtest::runMessageLoop(50);
    writePng(snapshotOf(*probe->helpWindow()), "bivarro-help-window-es-at-opening");
}
