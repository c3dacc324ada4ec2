#include "gainpair/ui/GainEditorTexts.h"

#include "gainpair/ui/ProductLinks.h"
#include "widgets/GestureTexts.h"

#include <cmath>

namespace gainpair::GainEditorTexts
{
namespace
{
struct SharedTexts
{
    const char* compensation;
    const char* linkTip;
    const char* linkBoxTip;
    const char* helpTip;
};

const SharedTexts english{"Compensation:", "Connect plugins with the same ID", "Connect all plugins with the same ID",
                          "Open help panel"};

const SharedTexts spanish{"Compensacion:", "Enlaza plugins con el mismo ID", "Enlaza todos los plugins con el mismo ID",
                          "Abrir panel de ayuda"};
} // namespace

void apply(bool isSpanish, const juce::String& pluginName, const OwnTips& own, const Targets& t)
{
    t.helpPanel.setSpanish(isSpanish);
    if (t.helpWindow != nullptr)
        t.helpWindow->setName(HelpWindow::titleFor(isSpanish));
    t.logoButton.setTooltip(ProductLinks::logoTooltip(pluginName));

    const auto& shared = isSpanish ? spanish : english;
    t.compensationCaption.setText(shared.compensation, juce::dontSendNotification);
    t.titleTipZone.setTooltip(isSpanish ? own.titleSpanish : own.titleEnglish);
    t.linkTipZone.setTooltip(shared.linkTip);
    t.knob.setTooltip(GestureTexts::knob(isSpanish));
    t.bypassButton.setTooltip(isSpanish ? own.bypassSpanish : own.bypassEnglish);
    t.linkIdBox.setTooltip(shared.linkBoxTip);
    t.meter.tooltipText = GestureTexts::meter(isSpanish);
    t.helpButton.setTooltip(shared.helpTip);
}

juce::String shortcutLines(bool isSpanish)
{
    if (isSpanish)
        return joinLines({"Atajos", "Shift + arrastrar: Modo precision", "Rueda del raton: Cambia el valor por pasos",
                          "Doble click: Escribe el valor manualmente",
                          "Ctrl + doble click: Reinicia al valor predeterminado",
                          "Alt + click derecho: Configuracion de medidores",
                          "Shift + click: Activa el modo sostenimiento (Hold) del valor pico", ""});
    return joinLines({"Shortcuts", "Shift + drag: Precision mode", "Scroll wheel: Change value by steps",
                      "Double click: Type value manually", "Ctrl + double click: Reset to default",
                      "Alt + right click: Meter settings", "Shift + click: Hold peak value mode", ""});
}

juce::String helpText(bool isSpanish, const juce::String& pluginName, std::span<const HelpLine> introduction,
                      std::span<const HelpLine> controls)
{
    juce::String text = pluginName + "\n";
    const auto add = [&](std::span<const HelpLine> lines)
    {
        for (const auto& line : lines)
            text << juce::String::fromUTF8(isSpanish ? line.spanish : line.english) << "\n";
    };
    add(introduction);
    text << "\n" << shortcutLines(isSpanish);
    add(controls);
    return text + "\nOrlintz Engineer - " + pluginName + " v2.0.0\n";
}

juce::String dbText(float db)
{
    return juce::String(std::isfinite(db) ? db : 0.0f, 1) + " dB";
}
} // namespace gainpair::GainEditorTexts
