#include "widgets/GestureTexts.h"

namespace GestureTexts
{
const juce::String& knob(bool spanish)
{
    static const juce::String english{"Shift + drag: Precision mode\nScroll wheel: Change value by steps\n"
                                      "Double click: Type value manually\nCtrl + double click: Reset to default"};
    static const juce::String spanishText{
        "Shift + arrastrar: Modo precision\nRueda del raton: Cambia el valor por pasos\n"
        "Doble click: Escribe el valor manualmente\nCtrl + doble click: Reinicia al valor predeterminado"};
    return spanish ? spanishText : english;
}

const juce::String& meter(bool spanish)
{
    static const juce::String english{"Alt + right click: Settings\nShift + click: Hold peak value"};
    static const juce::String spanishText{
        "Alt + click derecho: Configuraciones\nShift + click: Sostenimiento del valor pico"};
    return spanish ? spanishText : english;
}

juce::String joinLines(std::initializer_list<const char*> lines)
{
    juce::String text;
    for (auto* line : lines)
        text << juce::String::fromUTF8(line) << "\n";
    return text;
}
} // namespace GestureTexts
