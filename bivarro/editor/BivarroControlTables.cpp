#include "bivarro/editor/BivarroControlTables.h"

#include "bivarro/editor/BivarroAudioProcessorEditor.h"
#include "bivarro/processor/BivarroParameters.h"

namespace ID = BivarroParameters::ID;

using Editor = BivarroAudioProcessorEditor;
using Links = BivarroEditorLinks;

const std::array<BivarroControlTables::Knob, 20>& BivarroControlTables::knobs()
{
    static const std::array<Knob, 20> rows{{
        {&Editor::gainLKnob, ID::gainL, "Gain", -100.0, 48.0, 0.1, 0.0, false, 1.0f, 0.0, "Gain L (-inf to +48 dB)"},
        {&Editor::panLKnob, ID::panL, "Pan", 0.0, 100.0, 0.1, 0.0, false, 1.0f, 0.0, "Pan L (0=left, 100=right)"},
        {&Editor::delayLKnob, ID::delayL, "Delay", 0.0, 50.0, 0.01, 0.0, false, 1.0f, 0.0, "Delay L (0-50 ms)"},
        {&Editor::apFcLKnob, ID::apFcL, "Freq", 1.0, 20000.0, 0.0, 1000.0, true, 0.85f, 0.0,
         "All-pass freq L (1 Hz-20 kHz)"},
        {&Editor::apPhaseLKnob, ID::apPhaseL, "Phase", 0.0, 180.0, 0.1, 0.0, false, 0.85f, 0.0,
         "All-pass phase L (0-180 deg)"},
        {&Editor::apQLKnob, ID::apQL, "Q", 0.1, 20.0, 0.01, 1.0, false, 0.85f, 0.0,
         "All-pass Q L (0.1-20, 2nd order only)"},
        {&Editor::gainRKnob, ID::gainR, "Gain", -100.0, 48.0, 0.1, 0.0, false, 1.0f, 0.0, "Gain R (-inf to +48 dB)"},
        {&Editor::panRKnob, ID::panR, "Pan", -100.0, 0.0, 0.1, 0.0, false, 1.0f, 0.0, "Pan R (-100=left, 0=right)"},
        {&Editor::delayRKnob, ID::delayR, "Delay", 0.0, 50.0, 0.01, 0.0, false, 1.0f, 0.0, "Delay R (0-50 ms)"},
        {&Editor::apFcRKnob, ID::apFcR, "Freq", 1.0, 20000.0, 0.0, 1000.0, true, 0.85f, 0.0,
         "All-pass freq R (1 Hz-20 kHz)"},
        {&Editor::apPhaseRKnob, ID::apPhaseR, "Phase", 0.0, 180.0, 0.1, 0.0, false, 0.85f, 0.0,
         "All-pass phase R (0-180 deg)"},
        {&Editor::apQRKnob, ID::apQR, "Q", 0.1, 20.0, 0.01, 1.0, false, 0.85f, 0.0,
         "All-pass Q R (0.1-20, 2nd order only)"},
        {&Editor::widthKnob, ID::width, "Width", 0.0, 500.0, 0.1, 100.0, false, 1.0f, 0.0,
         "Stereo width (0%=mono, 100%=normal, 500%=max)"},
        {&Editor::asymmetryKnob, ID::asymmetry, "Asymmetry", -90.0, 90.0, 0.1, 0.0, false, 1.0f, 0.0,
         "Asymmetry (-90 to +90 deg)"},
        {&Editor::rotationKnob, ID::rotation, "Rotation", -45.0, 45.0, 0.1, 0.0, false, 1.0f, 0.0,
         "Rotation (-45 to +45 deg)"},
        {&Editor::trimOutKnob, ID::trimOut, "Trim Out", -48.0, 24.0, 0.1, 0.0, false, 1.0f, 0.0,
         "Trim out (-48 to +24 dB)"},
        {&Editor::midGainKnob, ID::midGain, "Mid", -48.0, 24.0, 0.1, 0.0, false, 1.0f, 0.0, "Mid gain (-48 to +24 dB)"},
        {&Editor::sideGainKnob, ID::sideGain, "Side", -48.0, 24.0, 0.1, 0.0, false, 1.0f, 0.0,
         "Side gain (-48 to +24 dB)"},
        {&Editor::monoMakerFreqKnob, ID::monoMakerFreq, "Freq", 10.0, 4000.0, 0.0, 10.0, true, 0.85f, 0.0,
         "Bass Mono: crossover frequency (10-4000 Hz)"},
        {&Editor::monoMakerIntKnob, ID::monoMakerInt, "Intensity", 0.0, 100.0, 1.0, 0.0, false, 0.85f, 1.0,
         "Bass Mono: intensity (0%=off, 100%=full mono below freq)"},
    }};
    return rows;
}

const std::array<BivarroControlTables::KnobPair, BivarroEditorLinks::numPairs>& BivarroControlTables::knobPairs()
{
    // lastA indexes the links' reference values, whose next entry is knob B's.
    static const std::array<KnobPair, Links::numPairs> rows{{
        {&Editor::gainLKnob, &Editor::gainRKnob, ID::gainL, ID::gainR, Links::Gain, 0},
        {&Editor::delayLKnob, &Editor::delayRKnob, ID::delayL, ID::delayR, Links::Delay, 2},
        {&Editor::apFcLKnob, &Editor::apFcRKnob, ID::apFcL, ID::apFcR, Links::Freq, 4},
        {&Editor::apPhaseLKnob, &Editor::apPhaseRKnob, ID::apPhaseL, ID::apPhaseR, Links::Phase, 6},
        {&Editor::apQLKnob, &Editor::apQRKnob, ID::apQL, ID::apQR, Links::Q, 14},
        {&Editor::panLKnob, &Editor::panRKnob, ID::panL, ID::panR, Links::Pan, 8},
        {&Editor::midGainKnob, &Editor::sideGainKnob, ID::midGain, ID::sideGain, Links::MidSide, 10},
        {&Editor::asymmetryKnob, &Editor::rotationKnob, ID::asymmetry, ID::rotation, Links::AsymRot, 12},
    }};
    return rows;
}

const std::array<BivarroControlTables::ButtonPair, 4>& BivarroControlTables::buttonPairs()
{
    static const std::array<ButtonPair, 4> rows{{
        {&Editor::orderLButton, &Editor::orderRButton, ID::apOrder2L, ID::apOrder2R, Links::Ord},
        {&Editor::polarityLButton, &Editor::polarityRButton, ID::polarityL, ID::polarityR, Links::Pol},
        {&Editor::muteLButton, &Editor::muteRButton, ID::muteL, ID::muteR, Links::MuteL},
        {&Editor::muteMidButton, &Editor::muteSideButton, ID::muteMid, ID::muteSide, Links::MuteSid},
    }};
    return rows;
}

const std::array<BivarroControlTables::LanguageRow<OrlintKnob>, 9>& BivarroControlTables::knobNames()
{
    static const std::array<LanguageRow<OrlintKnob>, 9> rows{{
        {&Editor::apPhaseLKnob, "Phase", "Fase"},
        {&Editor::apPhaseRKnob, "Phase", "Fase"},
        {&Editor::asymmetryKnob, "Asymmetry", "Asimetria"},
        {&Editor::rotationKnob, "Rotation", "Rotacion"},
        {&Editor::widthKnob, "Width", "Ancho"},
        {&Editor::apFcLKnob, "Freq", "Frec"},
        {&Editor::apFcRKnob, "Freq", "Frec"},
        {&Editor::monoMakerFreqKnob, "Freq", "Frec"},
        {&Editor::monoMakerIntKnob, "Intens", "Intens"},
    }};
    return rows;
}

const std::array<BivarroControlTables::LanguageRow<BivoButton>, 3>& BivarroControlTables::buttonLabels()
{
    static const std::array<LanguageRow<BivoButton>, 3> rows{{
        {&Editor::polarityLButton, "Polarity L", "Polaridad L"},
        {&Editor::polarityRButton, "Polarity R", "Polaridad R"},
        {&Editor::graphicButton, "Graphic", "Grafico"},
    }};
    return rows;
}

const std::array<BivarroControlTables::ButtonTip, 13>& BivarroControlTables::buttonTips()
{
    static const std::array<ButtonTip, 13> rows{{
        {&Editor::orderLButton, "APF order: 1st (shelf) / 2nd (bell)\n", "Orden APF: 1er (shelf) / 2do (bell)\n", true},
        {&Editor::orderRButton, "APF order: 1st (shelf) / 2nd (bell)\n", "Orden APF: 1er (shelf) / 2do (bell)\n", true},
        {&Editor::linkAllButton, "Link/Unlink all APF parameters (Freq, Phase, Q, Order)",
         "Enlazar/Desenlazar todos los par\xc3\xa1metros APF (Freq, Phase, Q, Orden)", false},
        {&Editor::inverseLinkAllButton, "Inverted link all APF parameters (Freq, Phase, Q, Order)",
         "Enlace invertido de todos los par\xc3\xa1metros APF (Freq, Phase, Q, Orden)", false},
        {&Editor::polarityLButton, "Invert polarity L\n", "Invertir polaridad L\n", true},
        {&Editor::polarityRButton, "Invert polarity R\n", "Invertir polaridad R\n", true},
        {&Editor::muteLButton, "Mute L\n", "Silenciar L\n", true},
        {&Editor::muteRButton, "Mute R\n", "Silenciar R\n", true},
        {&Editor::muteMidButton, "Mute mid\n", "Silenciar mid\n", true},
        {&Editor::muteSideButton, "Mute side\n", "Silenciar side\n", true},
        {&Editor::monoButton, "Mono (L+R sum)", "Mono (suma L+R)", false},
        {&Editor::bypassButton, "Bypass", "Bypass", false},
        {&Editor::graphicButton, "Open/close analyser", "Abrir/cerrar analyser", false},
    }};
    return rows;
}
