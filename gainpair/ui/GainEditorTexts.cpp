#include "gainpair/ui/GainEditorTexts.h"

#include "gainpair/ui/ProductLinks.h"

#include <cmath>

namespace gainpair::GainEditorTexts
{
namespace
{
struct SharedTexts
{
    const char* compensation;
    const char* linkTip;
    const char* knobTip;
    const char* linkBoxTip;
    const char* meterTip;
    const char* helpTip;
};

const SharedTexts english{"Compensation:",
                          "Connect plugins with the same ID",
                          "Shift + drag: Precision mode\nScroll wheel: Change value by steps\nDouble click: Type "
                          "value manually\nCtrl + double click: Reset to default",
                          "Connect all plugins with the same ID",
                          "Alt + right click: Settings\nShift + click: Hold peak value",
                          "Open help panel"};

const SharedTexts spanish{"Compensacion:",
                          "Enlaza plugins con el mismo ID",
                          "Shift + arrastrar: Modo precision\nRueda del raton: Cambia el valor por pasos\nDoble "
                          "click: Escribe el valor manualmente\nCtrl + doble click: Reinicia al valor predeterminado",
                          "Enlaza todos los plugins con el mismo ID",
                          "Alt + click derecho: Configuraciones\nShift + click: Sostenimiento del valor pico",
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
    t.knob.setTooltip(shared.knobTip);
    t.bypassButton.setTooltip(isSpanish ? own.bypassSpanish : own.bypassEnglish);
    t.linkIdBox.setTooltip(shared.linkBoxTip);
    t.meter.tooltipText = shared.meterTip;
    t.helpButton.setTooltip(shared.helpTip);
}

juce::String joinLines(std::initializer_list<const char*> lines)
{
    juce::String text;
    for (auto* line : lines)
        text << juce::String::fromUTF8(line) << "\n";
    return text;
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

juce::String dbText(float db)
{
    return juce::String(std::isfinite(db) ? db : 0.0f, 1) + " dB";
}
} // namespace gainpair::GainEditorTexts
