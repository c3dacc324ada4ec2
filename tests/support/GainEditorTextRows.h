#pragma once

// Texts a gain editor shows in English and Spanish, by the part that shows them.
struct GainEditorTextRow
{
    const char* name;
    const char* english;
    const char* spanish;
};

// The rows both gain editors share; "knob" is the knob the user turns.
inline const GainEditorTextRow sharedGainEditorTexts[] = {
    {"linkZone", "Connect plugins with the same ID", "Enlaza plugins con el mismo ID"},
    {"knob",
     "Shift + drag: Precision mode\nScroll wheel: Change value by steps\nDouble click: Type value manually\nCtrl + "
     "double click: Reset to default",
     "Shift + arrastrar: Modo precision\nRueda del raton: Cambia el valor por pasos\nDoble click: Escribe el valor "
     "manualmente\nCtrl + doble click: Reinicia al valor predeterminado"},
    {"linkBox", "Connect all plugins with the same ID", "Enlaza todos los plugins con el mismo ID"},
    {"meter", "Alt + right click: Settings\nShift + click: Hold peak value",
     "Alt + click derecho: Configuraciones\nShift + click: Sostenimiento del valor pico"},
    {"help", "Open help panel", "Abrir panel de ayuda"},
    {"compCaption", "Compensation:", "Compensacion:"},
};
