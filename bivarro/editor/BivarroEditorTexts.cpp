#include "bivarro/editor/BivarroEditorTexts.h"

#include "widgets/GestureTexts.h"

#include <cmath>

namespace BivarroEditorTexts
{
const juce::String& helpText(bool spanish)
{
    static const juce::String english = GestureTexts::joinLines({
                                            "Bivarro",
                                            "Tool for adjusting and shaping stereo audio.",
                                            "",
                                            "Shortcuts",
                                        }) +
                                        GestureTexts::knob(false) + "\n" +
                                        GestureTexts::joinLines({
                                            "Shift + double click: Link (gold)",
                                            "Alt + double click: Inverted link (violet)",
                                            "Alt + right click: Meter settings",
                                            "Shift + click: Hold peak value mode",
                                            "",
                                            "All-pass filter (APF)",
                                            "Shifts the phase without changing the volume or",
                                            "the frequency content. Use it to correct the",
                                            "phase alignment between L and R, or to alter",
                                            "the stereo image creatively.",
                                            "",
                                            "Phase knob",
                                            "How much phase rotation is applied at the",
                                            "selected frequency. 0 = off, 180 = max.",
                                            "",
                                            "Frequency",
                                            "The transition frequency. Frequencies below it",
                                            "are less affected; frequencies above it receive",
                                            "more rotation.",
                                            "",
                                            "1st order (shelf)",
                                            "A gradual transition across the spectrum.",
                                            "",
                                            "2nd order (bell)",
                                            "The transition is concentrated around Freq.",
                                            "Q sets how narrow or wide it is.",
                                            "Higher Q = more focused correction.",
                                            "",
                                            "Asymmetry",
                                            "Changes the volume balance between left and",
                                            "right while the centre image stays untouched.",
                                            "Positive values boost the right side and",
                                            "attenuate the left.",
                                            "Unlike Pan, it preserves the phantom centre.",
                                            "Range: -90 to +90 deg.",
                                            "",
                                            "Rotation",
                                            "Rotates the whole stereo field; positive values",
                                            "turn it to the right.",
                                            "Unlike Asymmetry, it moves the centre too.",
                                            "Useful for off-centre mixes or spatial",
                                            "effects.",
                                            "Range: -45 to +45 deg.",
                                            "",
                                            "A/B/C",
                                            "A, B, C: Switch between 3 snapshots",
                                            "->A: Copy current settings to slot A",
                                            "",
                                            "Orlintz Engineer - Bivarro v2.0.0",
                                        });
    static const juce::String spanishText = GestureTexts::joinLines({
                                                "Bivarro",
                                                "Herramienta para ajustar y moldear audios en estereo.",
                                                "",
                                                "Atajos",
                                            }) +
                                            GestureTexts::knob(true) + "\n" +
                                            GestureTexts::joinLines({
                                                "Shift + doble click: Enlace (Link) dorado",
                                                "Alt + doble click: Enlace (Link) invertido violeta",
                                                "Alt + click derecho: Configuracion de medidores",
                                                "Shift + click: Sostenimiento del valor pico",
                                                "",
                                                "All-pass filter (APF)",
                                                "Desplaza la fase sin cambiar el volumen ni el",
                                                "contenido de frecuencias. Sirve para corregir la",
                                                "alineacion de fase entre L y R, o para alterar",
                                                "la imagen estereo de forma creativa.",
                                                "",
                                                "El potenciometro Fase",
                                                "Cuanta rotacion de fase se aplica en la",
                                                "frecuencia seleccionada. 0 = apagado, 180 = max.",
                                                "",
                                                "Frecuencia",
                                                "La frecuencia de transicion. Las frecuencias por",
                                                "debajo se ven menos afectadas; las de arriba",
                                                "reciben mas rotacion.",
                                                "",
                                                "1er orden (shelf)",
                                                "Una transicion gradual a lo largo del espectro.",
                                                "",
                                                "2do orden (bell)",
                                                "La transicion se concentra alrededor de Frec.",
                                                "Q define que tan estrecha o ancha es.",
                                                "Q mas alto = correccion mas enfocada.",
                                                "",
                                                "Asymmetry",
                                                "Cambia el balance de volumen entre izquierda y",
                                                "derecha sin tocar la imagen central.",
                                                "Los valores positivos suben el lado derecho y",
                                                "atenuan el izquierdo.",
                                                "A diferencia de Pan, conserva el centro fantasma.",
                                                "Rango: -90 a +90 grados.",
                                                "",
                                                "Rotation",
                                                "Rota todo el campo estereo; los valores positivos",
                                                "lo giran hacia la derecha.",
                                                "A diferencia de Asymmetry, tambien mueve el centro.",
                                                "Util para mezclas descentradas o efectos",
                                                "espaciales.",
                                                "Rango: -45 a +45 grados.",
                                                "",
                                                "A/B/C",
                                                "A, B, C: Cambia entre 3 snapshots",
                                                "->A: Copia la configuracion actual al slot A",
                                                "",
                                                "Orlintz Engineer - Bivarro v2.0.0",
                                            });
    return spanish ? spanishText : english;
}

const juce::String& linkHelp(bool spanish)
{
    static const juce::String english{"Shift + double click: Link\nAlt + double click: Inverted link"};
    static const juce::String spanishText{
        "Shift + doble click: Enlace (Link)\nAlt + doble click: Enlace (Link) modo invertido"};
    return spanish ? spanishText : english;
}

namespace
{
const juce::String infinitySign = juce::String::fromUTF8("\xe2\x88\x9e");
} // namespace

juce::String gainTextFromValue(double value)
{
    if (value <= -99.9)
        return "-" + infinitySign;
    return juce::String(value, 1);
}

double gainValueFromText(const juce::String& text)
{
    if (text.containsIgnoreCase("inf") || text.contains(infinitySign))
        return -100.0;
    return text.getDoubleValue();
}

juce::String freqTextFromValue(double value)
{
    // The knob shows what its float parameter hands back, whose conversion to and from the normalised
    // position is not exactly invertible: 999.95 returns as 999.94989. Six significant digits give the
    // value as it was set.
    if (value > 0.0 && std::isfinite(value))
    {
        const auto scale = std::pow(10.0, 5 - (int)std::floor(std::log10(value)));
        value = std::round(value * scale) / scale;
    }
    if (value >= 999.95)
        return juce::String(value / 1000.0, 1) + "k";
    return juce::String(juce::roundToInt(value));
}

double freqValueFromText(const juce::String& text)
{
    if (text.endsWithIgnoreCase("k"))
        return text.dropLastCharacters(1).getDoubleValue() * 1000.0;
    return text.getDoubleValue();
}

} // namespace BivarroEditorTexts
