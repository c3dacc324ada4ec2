#include "gainpair/ovrel/OvrelAudioProcessorEditor.h"

#include "gainpair/ui/EditorScale.h"
#include "gainpair/ui/GainEditorFrame.h"
#include "gainpair/ui/OCols.h"
#include "gainpair/ui/SmallComboLAF.h"
#include "widgets/OrzFonts.h"
#include "widgets/OrzSig.h"

#include <cmath>

namespace
{
namespace OCols = gainpair::OCols;

const juce::Colour captionColour{0xffcccccc};
const juce::Colour gainColour{0xffdaa520};
const juce::Colour compensationColour{0xff9b59b6};
const juce::Colour pulseColour{0xffdaa520};
const juce::String bypassedText{"Bypassed\nGain + Compensation"};

// x rounded to the nearest integer, ties away from zero.
int R(float x)
{
    return (int)std::lround(x);
}

juce::String joinLines(std::initializer_list<const char*> lines)
{
    juce::String text;
    for (auto* line : lines)
        text << juce::String::fromUTF8(line) << "\n";
    return text;
}

juce::String dbText(float db)
{
    // A value read from shared memory may be anything; a non-number shows as no compensation.
    return juce::String(std::isfinite(db) ? db : 0.0f, 1) + " dB";
}

struct Texts
{
    const char* compensation;
    const char* titleTip;
    const char* linkTip;
    const char* knobTip;
    const char* bypassTip;
    const char* linkBoxTip;
    const char* meterTip;
    const char* helpTip;
};

const Texts english{"Compensation:",
                    "Input gain with automatic compensation",
                    "Connect plugins with the same ID",
                    "Shift + drag: Precision mode\nScroll wheel: Change value by steps\nDouble click: Type value "
                    "manually\nCtrl + double click: Reset to default",
                    "Bypasses gain and compensation",
                    "Connect all plugins with the same ID",
                    "Alt + right click: Settings\nShift + click: Hold peak value",
                    "Open help panel"};

const Texts spanish{"Compensacion:",
                    "Ganancia de entrada con compensacion automatica",
                    "Enlaza plugins con el mismo ID",
                    "Shift + arrastrar: Modo precision\nRueda del raton: Cambia el valor por pasos\nDoble click: "
                    "Escribe el valor manualmente\nCtrl + doble click: Reinicia al valor predeterminado",
                    "Desactiva la ganancia y la compensacion",
                    "Enlaza todos los plugins con el mismo ID",
                    "Alt + click derecho: Configuraciones\nShift + click: Sostenimiento del valor pico",
                    "Abrir panel de ayuda"};
} // namespace

const juce::String& OvrelAudioProcessorEditor::helpTextEnglish()
{
    static const juce::String text = joinLines({"Ovrel",
                                                "Place Ovrel before and Undrel after",
                                                "any plugin in your chain.",
                                                "Ovrel adjusts the input signal and Undrel",
                                                "automatically compensates the original level.",
                                                "Both plugins must share the same Link ID.",
                                                "",
                                                "Shortcuts",
                                                "Shift + drag: Precision mode",
                                                "Scroll wheel: Change value by steps",
                                                "Double click: Type value manually",
                                                "Ctrl + double click: Reset to default",
                                                "Alt + right click: Meter settings",
                                                "Shift + click: Hold peak value mode",
                                                "",
                                                "Controls",
                                                "Bypass: Bypasses gain and compensation",
                                                "Link ID: Connect with Undrel plugin",
                                                "Master M/S: Controls all instances with same ID",
                                                "Green slave: Receives values from Master",
                                                "Red slave: Waiting for Master",
                                                "",
                                                "Orlintz Engineer - Ovrel v2.0.0"});
    return text;
}

const juce::String& OvrelAudioProcessorEditor::helpTextSpanish()
{
    static const juce::String text = joinLines({"Ovrel",
                                                "Coloca Ovrel antes y Undrel despues",
                                                "de cualquier plugin en tu cadena.",
                                                "Ovrel ajusta la senal de entrada y Undrel",
                                                "compensa el nivel original automaticamente.",
                                                "Ambos plugins deben compartir el mismo Link ID.",
                                                "",
                                                "Atajos",
                                                "Shift + arrastrar: Modo precision",
                                                "Rueda del raton: Cambia el valor por pasos",
                                                "Doble click: Escribe el valor manualmente",
                                                "Ctrl + doble click: Reinicia al valor predeterminado",
                                                "Alt + click derecho: Configuracion de medidores",
                                                "Shift + click: Activa el modo sostenimiento (Hold) del valor pico",
                                                "",
                                                "Controles",
                                                "Bypass: Desactiva ganancia y compensacion",
                                                "Link ID: Enlaza plugins con el mismo ID",
                                                "Maestro M/S: Controla todos del mismo ID",
                                                "Esclavo verde: Recibe valores del Maestro",
                                                "Esclavo rojo: En espera del Maestro",
                                                "",
                                                "Orlintz Engineer - Ovrel v2.0.0"});
    return text;
}

juce::Path OvrelAudioProcessorEditor::powerSymbol()
{
    juce::Path p;
    p.startNewSubPath(12.0f + 8.1f * std::sin(0.6f), 12.0f - 8.1f * std::cos(0.6f));
    for (float a = 0.65f; a < 5.6831856f; a += 0.05f)
        p.lineTo(12.0f + 8.1f * std::sin(a), 12.0f - 8.1f * std::cos(a));
    p.lineTo(7.4263983f, 5.314781f);
    p.startNewSubPath(12.0f, 3.0f);
    p.lineTo(12.0f, 11.1f);
    return p;
}

OvrelAudioProcessorEditor::BadgeColours OvrelAudioProcessorEditor::badgeFor(LinkRole role)
{
    switch (role)
    {
    case LinkRole::Master:
        return {juce::Colour(0xffd4a017), juce::Colour(0xff2a2210), "M"};
    case LinkRole::Slave:
        return {juce::Colour(0xff4caf50), juce::Colour(0xff1a2a1a), "S"};
    case LinkRole::Waiting:
        return {juce::Colour(0xffcc2222), juce::Colour(0xff2a2020), "S"};
    case LinkRole::Alone:
        break;
    }
    return {};
}

OvrelAudioProcessorEditor::OvrelAudioProcessorEditor(OvrelAudioProcessor& owner,
                                                     juce::AudioProcessorValueTreeState& state)
    : juce::AudioProcessorEditor(owner), processor(owner), apvts(state)
{
    setResizable(true, true);
    setResizeLimits(minSide, minSide, maxSide, maxSide);
    getConstrainer()->setFixedAspectRatio(1.0);

    linkIdLabel.setText("Link ID", juce::dontSendNotification);
    linkIdLabel.setFont(OrzFonts::font(10.0f, true));
    linkIdLabel.setColour(juce::Label::textColourId, juce::Colour(0xff909090));
    addAndMakeVisible(linkIdLabel);

    for (int id = 1; id <= 50; ++id)
        linkIdBox.addItem(juce::String(id), id);
    linkIdBox.setLookAndFeel(&gainpair::smallComboLAF());
    linkIdBox.setColour(juce::ComboBox::backgroundColourId, juce::Colour(0xff1a1a1a));
    linkIdBox.setColour(juce::ComboBox::outlineColourId, juce::Colour(0xff3a3a3a));
    addAndMakeVisible(linkIdBox);
    if (auto* p = apvts.getParameter("linkID"))
        linkIdAttachment = std::make_unique<juce::ComboBoxParameterAttachment>(*p, linkIdBox, apvts.undoManager);

    gainKnob.plainTypedEntry = true;
    gainKnob.setRange(-48.0, 48.0, 0.01);
    gainKnob.setDoubleClickReturnValue(true, 0.0);
    gainKnob.setParamName("Gain");
    gainKnob.linked = true;
    addAndMakeVisible(gainKnob);
    if (auto* p = apvts.getParameter("gain"))
    {
        gainGestures = std::make_unique<gainpair::KnobGestureReporter>(gainKnob, *p);
        gainAttachment = std::make_unique<juce::SliderParameterAttachment>(*p, gainKnob, apvts.undoManager);
    }

    bypassButton.setShape(powerSymbol(), false, true, true);
    bypassButton.setClickingTogglesState(true);
    addAndMakeVisible(bypassButton);
    if (auto* p = apvts.getParameter("bypass"))
        bypassAttachment = std::make_unique<juce::ButtonParameterAttachment>(*p, bypassButton, apvts.undoManager);

    statusLabel.setFont(OrzFonts::font(11.0f, true));
    statusLabel.setJustificationType(juce::Justification::centred);
    statusLabel.setColour(juce::Label::textColourId, juce::Colour(0xffff3333));
    statusLabel.setInterceptsMouseClicks(false, false);
    addAndMakeVisible(statusLabel);

    instanceLetterLabel.setFont(OrzFonts::font(9.0f, true));
    instanceLetterLabel.setJustificationType(juce::Justification::centred);
    instanceLetterLabel.setColour(juce::Label::textColourId, juce::Colour(0xff808080));
    instanceLetterLabel.setInterceptsMouseClicks(false, false);
    addAndMakeVisible(instanceLetterLabel);

    inputMeter.closeOnOutsideClick = false;
    inputMeter.adaptivePeakInset = true;
    inputMeter.setScaleSide(0);
    inputMeter.onSettingsChanged = [this](float attack, float release, float rmsWindow, float brightness)
    { syncMeterParams(attack, release, rmsWindow, brightness); };
    addAndMakeVisible(inputMeter);
    inputMeter.setHoldEnabled(processor.meterHold.load(std::memory_order_acquire));
    inputMeter.onHoldChanged = [this](bool on) { processor.meterHold.store(on, std::memory_order_release); };

    helpButton.onClick = [this] { HelpWindow::toggle(helpWindow, helpPanel, *this, tooltipsShown); };
    logoButton.onClick = [this]
    {
        if (openUrl)
            openUrl(gainpair::ProductLinks::productPage("Ovrel"));
    };

    helpButton.setLookAndFeel(&headerButtonLaf);
    helpButton.setColour(juce::TextButton::buttonColourId, juce::Colour(0xff2a2a2a));
    helpButton.setColour(juce::TextButton::textColourOffId, juce::Colour(0xffbbbbbb));
    helpButton.setColour(juce::TextButton::textColourOnId, juce::Colours::black);
    helpButton.setColour(juce::TextButton::buttonOnColourId, OCols::accentHi);
    addAndMakeVisible(helpButton);
    for (auto* zone : {&logoButton, &titleTipZone, &linkTipZone})
    {
        zone->setButtonText({});
        zone->setLookAndFeel(&headerButtonLaf);
        zone->setColour(juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
        zone->setColour(juce::TextButton::buttonOnColourId, juce::Colours::transparentBlack);
        addAndMakeVisible(*zone);
    }

    helpPanel.onTooltipsToggled = [this](bool on) { setTooltipsEnabled(on); };
    helpPanel.onLanguageToggled = [this](bool on) { setLanguageSpanish(on); };

    setTooltipsEnabled(processor.tooltipsOn.load(std::memory_order_acquire));
    setLanguageSpanish(processor.isSpanish.load(std::memory_order_acquire));

    const float scale = gainpair::EditorScale::usable(processor.uiScale.load(std::memory_order_acquire));
    if (!juce::exactlyEqual(scale, 1.0f))
        applyUiScale(scale);

    gainCaption.setText("Ovrel:", juce::dontSendNotification);
    gainCaption.setFont(OrzFonts::font(11.0f, true));
    gainCaption.setColour(juce::Label::textColourId, captionColour);
    gainValueLabel.setText("0.0 dB", juce::dontSendNotification);
    gainValueLabel.setFont(OrzFonts::font(16.0f, true));
    gainValueLabel.setJustificationType(juce::Justification::centredRight);
    gainValueLabel.setColour(juce::Label::textColourId, gainColour);
    compensationCaption.setFont(OrzFonts::font(11.0f, true));
    compensationCaption.setColour(juce::Label::textColourId, captionColour);
    compensationValueLabel.setText("0.0 dB", juce::dontSendNotification);
    compensationValueLabel.setFont(OrzFonts::font(16.0f, true));
    compensationValueLabel.setJustificationType(juce::Justification::centredRight);
    compensationValueLabel.setColour(juce::Label::textColourId, compensationColour);
    for (auto* label : {&gainCaption, &gainValueLabel, &compensationCaption, &compensationValueLabel})
        addAndMakeVisible(*label);

    fullyBuilt = true;

    outPulses.startFrom(gainDb());
    inPulses.startFrom(gainDb());

    const int side = juce::jlimit(minSide, maxSide, processor.editorWidth.load(std::memory_order_acquire));
    setBounds(getX(), getY(), side, side);

    painted.bypass = bypassOn();
    startTimer(timerIntervalMs);
}

OvrelAudioProcessorEditor::~OvrelAudioProcessorEditor()
{
    stopTimer();
    if (helpWindow != nullptr)
    {
        helpWindow->setVisible(false);
        helpWindow.reset();
    }
    gainpair::SmallTooltipLAF::switchWindow(tooltipWindow, *this, tooltipLaf, false);

    // Ends a gesture the host still thinks is running and clears the knob's callbacks.
    gainGestures.reset();
    helpButton.onClick = nullptr;
    inputMeter.onSettingsChanged = nullptr;
    inputMeter.onHoldChanged = nullptr;
    helpPanel.onTooltipsToggled = nullptr;
    helpPanel.onLanguageToggled = nullptr;
    for (juce::Component* c :
         std::initializer_list<juce::Component*>{&linkIdBox, &logoButton, &titleTipZone, &linkTipZone, &helpButton})
        c->setLookAndFeel(nullptr);
}

bool OvrelAudioProcessorEditor::bypassOn() const
{
    return processor.bypassParam != nullptr && processor.bypassParam->load(std::memory_order_acquire) > 0.5f;
}

float OvrelAudioProcessorEditor::gainDb() const
{
    return processor.gainParam != nullptr ? processor.gainParam->load(std::memory_order_acquire) : 0.0f;
}

LinkRole OvrelAudioProcessorEditor::role() const
{
    const int r = processor.linkRole.load(std::memory_order_acquire);
    return r >= 0 && r <= 3 ? static_cast<LinkRole>(r) : LinkRole::Alone;
}

void OvrelAudioProcessorEditor::applyUiScale(float scale)
{
    setTransform(juce::AffineTransform::scale(scale * hostScale));
    setBounds(getX(), getY(), gainpair::EditorScale::logicalSide, gainpair::EditorScale::logicalSide);
}

void OvrelAudioProcessorEditor::setScaleFactor(float newScale)
{
    hostScale = std::isfinite(newScale) && newScale > 0.0f ? newScale : 1.0f;
    juce::AudioProcessorEditor::setScaleFactor(hostScale);
    const float scale = gainpair::EditorScale::usable(processor.uiScale.load(std::memory_order_acquire));
    if (!juce::exactlyEqual(scale, 1.0f))
        setTransform(juce::AffineTransform::scale(scale * hostScale));
}

void OvrelAudioProcessorEditor::resized()
{
    const int w = getWidth();
    const int h = getHeight();
    const float s = (float)w / 300.0f;

    if (fullyBuilt)
        processor.editorWidth.store(w, std::memory_order_release);

    const int k = R(36.0f * s);
    const int K = R(130.0f * s);
    const int knobHeight = K + R(27.0f * s);
    const int ky = R(76.0f * s) + (h - R(76.0f * s) - knobHeight - 58) / 2 + 30;
    const int a = R(50.0f * s);
    const int b = R(88.0f * s);
    const int r = R(22.0f * s);
    const int x0 = (w - (a + b)) / 2;
    const int y0 = ky - 2 * r - 12;
    const int badgeSide = R(32.0f * s);

    helpButton.setBounds(w - 22, 7, 18, 16);
    linkIdLabel.setBounds(w - 152, 7, 50, 16);
    linkIdBox.setBounds(w - 100, 5, 48, 20);
    logoButton.setBounds(4, 6, 20, 18);
    titleTipZone.setBounds(28, 0, 120, 30);
    linkTipZone.setBounds(w - 152, 5, 50, 20);
    inputMeter.setBounds(4, 34, R(60.0f * s), h - 66);
    bypassButton.setBounds(w - k - 16, 38, k, k);
    roleBadgeBounds = {(float)(w - badgeSide - 16), (float)(k + 42), (float)badgeSide, (float)R(26.0f * s)};
    instanceLetterLabel.setBounds(w - badgeSide - 16, k + R(42.0f * s) + 30, badgeSide + 4, 14);
    gainKnob.setBounds((w - K) / 2, ky, K, knobHeight);

    gainCaption.setMinimumHorizontalScale(1.0f);
    compensationCaption.setMinimumHorizontalScale(1.0f);
    gainCaption.setFont(OrzFonts::font(11.0f * s, true));
    compensationCaption.setFont(OrzFonts::font(11.0f * s, true));
    gainValueLabel.setFont(OrzFonts::font(16.0f * s, true));
    compensationValueLabel.setFont(OrzFonts::font(16.0f * s, true));
    gainCaption.setBounds(x0, y0, b, r);
    gainValueLabel.setBounds(x0 + b, y0, a, r);
    compensationCaption.setBounds(x0, y0 + r, b, r);
    compensationValueLabel.setBounds(x0 + b, y0 + r, a, r);
    statusLabel.setBounds(0, h - 58, w, 26);
}

void OvrelAudioProcessorEditor::mouseDown(const juce::MouseEvent& e)
{
    const auto pos = e.getPosition().toFloat();
    if (processor.multiInstance.load(std::memory_order_acquire) && roleBadgeBounds.contains(pos) &&
        role() != LinkRole::Master)
        processor.requestMaster.store(true, std::memory_order_relaxed);
}

void OvrelAudioProcessorEditor::updateInstanceLetter(LinkRole current)
{
    if (!processor.multiInstance.load(std::memory_order_acquire))
    {
        instanceLetterLabel.setVisible(false);
        return;
    }

    juce::Colour colour{0xff808080};
    const char* tip = "";
    switch (current)
    {
    case LinkRole::Waiting:
        colour = juce::Colour(0xffcc2222);
        tip = "Esclavo en espera del Maestro";
        break;
    case LinkRole::Slave:
        colour = juce::Colour(0xff4caf50);
        tip = "Este plugin recibe los valores del plugin Maestro";
        break;
    case LinkRole::Master:
        colour = juce::Colour(0xffd4a017);
        tip = "Este plugin es el Maestro de todos los que tengan el mismo ID";
        break;
    case LinkRole::Alone:
        break;
    }

    const char letter = processor.instanceLetter.load(std::memory_order_acquire);
    instanceLetterLabel.setText(letter != 0 ? juce::String::charToString((juce::juce_wchar)(juce::uint8)letter)
                                            : juce::String(),
                                juce::dontSendNotification);
    instanceLetterLabel.setColour(juce::Label::textColourId, colour);
    instanceLetterLabel.setTooltip(tip);
    instanceLetterLabel.setVisible(true);
}

void OvrelAudioProcessorEditor::timerCallback()
{
    inputMeter.pushLevels(processor.inputPeakDb.load(std::memory_order_acquire),
                          processor.inputRmsDb.load(std::memory_order_acquire));

    const bool bypass = bypassOn();
    const float gain = gainDb();
    float comp = 0.0f;
    if (auto* block = processor.gainLink.getBlock())
        comp = block->compensationDb.load(std::memory_order_acquire);

    gainValueLabel.setText(dbText(gain), juce::dontSendNotification);
    compensationValueLabel.setText(dbText(comp), juce::dontSendNotification);

    const auto current = role();
    const bool slave = current == LinkRole::Slave;
    gainKnob.setInterceptsMouseClicks(!slave, !slave);
    gainKnob.setAlpha(slave ? 0.45f : 1.0f);

    statusLabel.setText(bypass ? bypassedText : juce::String(), juce::dontSendNotification);
    updateInstanceLetter(current);

    const float target = gainpair::EditorScale::usable(processor.uiScale.load(std::memory_order_acquire));
    const float shown = getTransform().isIdentity() ? 1.0f : gainpair::EditorScale::of(getTransform()) / hostScale;
    if (std::abs(target - shown) > 0.01f)
        applyUiScale(target);

    outPulses.follow(gain);
    if (slave)
        inPulses.follow(processor.shownGain.load(std::memory_order_acquire));
    else
        inPulses.clear();
    outPulses.step();
    inPulses.step();

    repaintWhatChanged(current, bypass);
}

juce::Rectangle<int> OvrelAudioProcessorEditor::pulseStrip() const
{
    const auto knob = gainKnob.getBounds().toFloat();
    const float cy = knob.getY() + knob.getHeight() * 0.35f;
    return juce::Rectangle<float>(0.0f, cy - 3.0f, (float)getWidth(), 6.0f).getSmallestIntegerContainer();
}

void OvrelAudioProcessorEditor::repaintWhatChanged(LinkRole current, bool bypass)
{
    // Labels, knob and meter repaint themselves when their contents change; the editor repaints only
    // the parts it paints itself.
    if (bypass != painted.bypass)
        repaint(bypassButton.getBounds().expanded(4));

    const bool badgeShown = processor.multiInstance.load(std::memory_order_acquire) && current != LinkRole::Alone;
    if (badgeShown != painted.badgeShown || (badgeShown && current != painted.role))
        repaint(roleBadgeBounds.getSmallestIntegerContainer().expanded(2));

    const bool pulsesShown = outPulses.count() > 0 || inPulses.count() > 0;
    if (pulsesShown || painted.pulsesShown)
        repaint(pulseStrip());

    painted = {bypass, badgeShown, current, pulsesShown};
}

void OvrelAudioProcessorEditor::paint(juce::Graphics& g)
{
    const int w = getWidth();
    const float s = (float)w / 300.0f;
    gainpair::GainEditorFrame::paint(g, w, getHeight(), "Ovrel");

    const auto bx = (float)bypassButton.getX();
    const auto by = (float)bypassButton.getY();
    g.setColour(bypassOn() ? juce::Colour(0xffff8800) : juce::Colour(0xff6abf69));
    g.strokePath(powerSymbol(),
                 juce::PathStrokeType(2.5f * s, juce::PathStrokeType::mitered, juce::PathStrokeType::butt),
                 juce::AffineTransform::scale(s, s).translated(bx + 8.0f * s, by + 8.0f * s));

    drawCards(g);

    if (processor.multiInstance.load(std::memory_order_acquire))
        drawRoleBadge(g, role());
}

void OvrelAudioProcessorEditor::drawCards(juce::Graphics& g)
{
    // The gain-pair card style (rounder, lighter, caller's outline alpha) is fixed by this plug-in's build.
    const auto knob = gainKnob.getBounds().toFloat();
    OrzSig::drawElevatedCard(
        g, {knob.getX() - 15.0f, knob.getY() - 4.0f, knob.getWidth() + 30.0f, knob.getHeight() - 22.0f}, 0.65f, 0.0f);

    const auto caption = gainCaption.getBounds().toFloat();
    OrzSig::drawElevatedCard(g,
                             {caption.getX() - 10.0f, caption.getY() - 4.0f,
                              caption.getWidth() + (float)gainValueLabel.getWidth() + 20.0f,
                              2.0f * caption.getHeight() + 8.0f},
                             0.35f, 0.0f);
}

void OvrelAudioProcessorEditor::drawRoleBadge(juce::Graphics& g, LinkRole current)
{
    const auto badge = badgeFor(current);
    if (badge.letter.isEmpty())
        return;

    const float s = (float)getWidth() / 300.0f;
    const auto r = roleBadgeBounds;
    g.setColour(badge.fill);
    g.fillRoundedRectangle(r, 4.0f);
    g.setColour(badge.outline);
    g.drawRoundedRectangle(r, 4.0f, 1.5f);

    float ty = r.getY();
    if (current == LinkRole::Master)
    {
        const float cx = r.getX() + r.getWidth() / 2.0f;
        const float top = r.getY() + 3.0f * s;
        juce::Path crown;
        crown.startNewSubPath(cx - 5.0f * s, top + 5.0f * s);
        crown.lineTo(cx - 5.0f * s, top);
        crown.lineTo(cx - 1.5f * s, top + 2.5f * s);
        crown.lineTo(cx, top - s);
        crown.lineTo(cx + 1.5f * s, top + 2.5f * s);
        crown.lineTo(cx + 5.0f * s, top);
        crown.lineTo(cx + 5.0f * s, top + 5.0f * s);
        crown.closeSubPath();
        g.setColour(badge.outline.withAlpha((juce::uint8)0xe6));
        g.fillPath(crown);
        ty = r.getY() + 7.0f * s;
    }

    g.setColour(badge.outline);
    g.setFont(OrzFonts::font(juce::jmax(11.0f * s, 9.0f), true));
    g.drawText(badge.letter, juce::Rectangle<float>(r.getX(), ty, r.getWidth(), juce::jmax(r.getBottom() - ty, 0.0f)),
               juce::Justification::centred, true);
}

void OvrelAudioProcessorEditor::paintOverChildren(juce::Graphics& g)
{
    if (outPulses.count() <= 0 && inPulses.count() <= 0)
        return;

    const auto knob = gainKnob.getBounds().toFloat();
    const float cx = knob.getX() + knob.getWidth() * 0.5f;
    const float cy = knob.getY() + knob.getHeight() * 0.35f;
    for (int i = 0; i < outPulses.count(); ++i)
        gainpair::GainEditorFrame::paintPulse(g, outPulses.phase(i), {cx, cy}, {(float)getWidth(), cy}, pulseColour);
    for (int i = 0; i < inPulses.count(); ++i)
        if (inPulses.phase(i) >= 0.0f)
            gainpair::GainEditorFrame::paintPulse(g, inPulses.phase(i), {0.0f, cy}, {cx, cy}, pulseColour);
}

void OvrelAudioProcessorEditor::setTooltipsEnabled(bool on)
{
    tooltipsShown = on;
    processor.tooltipsOn.store(on, std::memory_order_release);
    gainpair::SmallTooltipLAF::switchWindow(tooltipWindow, *this, tooltipLaf, on);
}

void OvrelAudioProcessorEditor::setLanguageSpanish(bool isSpanish)
{
    processor.isSpanish.store(isSpanish, std::memory_order_release);
    helpPanel.setSpanish(isSpanish);
    if (helpWindow != nullptr)
        helpWindow->setName(HelpWindow::titleFor(isSpanish));
    logoButton.setTooltip(gainpair::ProductLinks::logoTooltip("Ovrel"));

    const auto& t = isSpanish ? spanish : english;
    compensationCaption.setText(t.compensation, juce::dontSendNotification);
    titleTipZone.setTooltip(t.titleTip);
    linkTipZone.setTooltip(t.linkTip);
    gainKnob.setTooltip(t.knobTip);
    bypassButton.setTooltip(t.bypassTip);
    linkIdBox.setTooltip(t.linkBoxTip);
    inputMeter.tooltipText = t.meterTip;
    helpButton.setTooltip(t.helpTip);
}

void OvrelAudioProcessorEditor::syncMeterParams(float attackMs, float releaseMs, float rmsWindowMs, float brightness)
{
    inputMeter.applySettings(attackMs, releaseMs, rmsWindowMs, brightness);
}
