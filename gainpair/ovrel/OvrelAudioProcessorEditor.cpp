#include "gainpair/ovrel/OvrelAudioProcessorEditor.h"

#include "gainpair/ui/EditorScale.h"
#include "gainpair/ui/GainEditorFrame.h"
#include "gainpair/ui/GainEditorLayout.h"
#include "gainpair/ui/GainEditorSetup.h"
#include "gainpair/ui/GainEditorTexts.h"
#include "widgets/OrzFonts.h"

#include <cmath>

namespace
{
namespace Texts = gainpair::GainEditorTexts;

const juce::Colour gainColour{0xffdaa520};
const juce::Colour pulseColour{0xffdaa520};
const juce::String bypassedText{"Bypassed\nGain + Compensation"};

const Texts::OwnTips ownTips{"Input gain with automatic compensation",
                             "Ganancia de entrada con compensacion automatica", "Bypasses gain and compensation",
                             "Desactiva la ganancia y la compensacion"};
} // namespace

const juce::String& OvrelAudioProcessorEditor::helpTextEnglish()
{
    static const juce::String text =
        Texts::joinLines({
            "Ovrel",
            "Place Ovrel before and Undrel after",
            "any plugin in your chain.",
            "Ovrel adjusts the input signal and Undrel",
            "automatically compensates the original level.",
            "Both plugins must share the same Link ID.",
            "",
        }) +
        Texts::shortcutLines(false) +
        Texts::joinLines({"Controls", "Bypass: Bypasses gain and compensation", "Link ID: Connect with Undrel plugin",
                          "Master M/S: Controls all instances with same ID", "Green slave: Receives values from Master",
                          "Red slave: Waiting for Master", "", "Orlintz Engineer - Ovrel v2.0.0"});
    return text;
}

const juce::String& OvrelAudioProcessorEditor::helpTextSpanish()
{
    static const juce::String text =
        Texts::joinLines({
            "Ovrel",
            "Coloca Ovrel antes y Undrel despues",
            "de cualquier plugin en tu cadena.",
            "Ovrel ajusta la senal de entrada y Undrel",
            "compensa el nivel original automaticamente.",
            "Ambos plugins deben compartir el mismo Link ID.",
            "",
        }) +
        Texts::shortcutLines(true) +
        Texts::joinLines({"Controles", "Bypass: Desactiva ganancia y compensacion",
                          "Link ID: Enlaza plugins con el mismo ID", "Maestro M/S: Controla todos del mismo ID",
                          "Esclavo verde: Recibe valores del Maestro", "Esclavo rojo: En espera del Maestro", "",
                          "Orlintz Engineer - Ovrel v2.0.0"});
    return text;
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

    gainpair::GainEditorSetup::linkIdControls(linkIdLabel, linkIdBox);
    addAndMakeVisible(linkIdLabel);
    addAndMakeVisible(linkIdBox);
    if (auto* p = apvts.getParameter(GainPairParameterIds::linkId))
        linkIdAttachment = std::make_unique<juce::ComboBoxParameterAttachment>(*p, linkIdBox, apvts.undoManager);

    gainKnob.plainTypedEntry = true;
    gainKnob.setRange(-48.0, 48.0, 0.01);
    gainKnob.setDoubleClickReturnValue(true, 0.0);
    gainKnob.setParamName("Gain");
    gainKnob.linked = true;
    addAndMakeVisible(gainKnob);
    if (auto* p = apvts.getParameter(GainPairParameterIds::gain))
    {
        gainAttachment = std::make_unique<juce::SliderParameterAttachment>(*p, gainKnob, apvts.undoManager);
    }

    bypassButton.setShape(gainpair::GainEditorFrame::powerSymbol(), false, true, true);
    bypassButton.setClickingTogglesState(true);
    addAndMakeVisible(bypassButton);
    if (auto* p = apvts.getParameter(GainPairParameterIds::bypass))
        bypassAttachment = std::make_unique<juce::ButtonParameterAttachment>(*p, bypassButton, apvts.undoManager);

    gainpair::GainEditorSetup::statusLabel(statusLabel);
    addAndMakeVisible(statusLabel);

    instanceLetterLabel.setFont(OrzFonts::font(9.0f, true));
    instanceLetterLabel.setJustificationType(juce::Justification::centred);
    instanceLetterLabel.setColour(juce::Label::textColourId, juce::Colour(0xff808080));
    instanceLetterLabel.setInterceptsMouseClicks(false, false);
    addAndMakeVisible(instanceLetterLabel);

    gainpair::GainEditorSetup::meter(inputMeter, 0, processor.editorSettings.meterHold.load(std::memory_order_acquire));
    inputMeter.onSettingsChanged = [this](float attack, float release, float rmsWindow, float brightness)
    { syncMeterParams(attack, release, rmsWindow, brightness); };
    inputMeter.onHoldChanged = [this](bool on)
    { processor.editorSettings.meterHold.store(on, std::memory_order_release); };
    addAndMakeVisible(inputMeter);

    helpButton.onClick = [this]
    { HelpWindow::toggle(helpWindow, helpPanel, *this, tooltipsShown, HelpWindow::Focus::takes); };
    logoButton.onClick = [this]
    {
        if (openUrl)
            openUrl(gainpair::ProductLinks::productPage("Ovrel"));
    };

    gainpair::GainEditorSetup::headerButtons(helpButton, {&logoButton, &titleTipZone, &linkTipZone}, headerButtonLaf);
    for (auto* button : {&helpButton, &logoButton, &titleTipZone, &linkTipZone})
        addAndMakeVisible(*button);

    helpPanel.onTooltipsToggled = [this](bool on) { setTooltipsEnabled(on); };
    helpPanel.onLanguageToggled = [this](bool on) { setLanguageSpanish(on); };

    setTooltipsEnabled(processor.editorSettings.tooltipsOn.load(std::memory_order_acquire));
    setLanguageSpanish(processor.editorSettings.isSpanish.load(std::memory_order_acquire));

    const float scale = storedScale();
    if (!juce::exactlyEqual(scale, 1.0f))
        scaler.apply(scale);

    gainpair::GainEditorSetup::valueLabels(gainCaption, gainValueLabel, gainColour, compensationCaption,
                                           compensationValueLabel);
    for (auto* label : {&gainCaption, &gainValueLabel, &compensationCaption, &compensationValueLabel})
        addAndMakeVisible(*label);

    roleTipZone.addMouseListener(this, false);
    addChildComponent(roleTipZone);

    fullyBuilt = true;

    outPulses.startFrom(gainDb());
    inPulses.startFrom(gainDb());

    const int side =
        juce::jlimit(minSide, maxSide, processor.editorSettings.editorWidth.load(std::memory_order_acquire));
    setBounds(getX(), getY(), side, side);

    painted.bypass = bypassOn();
    startTimer(timerIntervalMs);
}

OvrelAudioProcessorEditor::~OvrelAudioProcessorEditor()
{
    stopTimer();
    // A gesture still open must reach the host while the attachment exists.
    gainKnob.finishGestures();
    gainpair::GainEditorSetup::closeHelpAndTips(helpWindow, tooltipWindow, *this, tooltipLaf, helpButton, helpPanel,
                                                inputMeter);
    gainpair::GainEditorSetup::releaseLooks({&linkIdBox, &logoButton, &titleTipZone, &linkTipZone, &helpButton});
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

float OvrelAudioProcessorEditor::storedScale() const
{
    return gainpair::EditorScale::usable(processor.editorSettings.uiScale.load(std::memory_order_acquire));
}

void OvrelAudioProcessorEditor::setScaleFactor(float newScale)
{
    juce::AudioProcessorEditor::setScaleFactor(scaler.takeHostScale(newScale));
    scaler.reapply(storedScale());
}

void OvrelAudioProcessorEditor::resized()
{
    surface.invalidate();
    const int w = getWidth();
    if (fullyBuilt)
        processor.editorSettings.editorWidth.store(gainpair::GainEditorLayout::sideFor(w, getHeight()),
                                                   std::memory_order_release);

    const gainpair::GainEditorLayout layout(w, getHeight());
    const int k = layout.bypassSide;
    const int badgeSide = gainpair::GainEditorLayout::R(32.0f * layout.s);
    layout.placeHeader(helpButton, linkIdLabel, linkIdBox, logoButton, titleTipZone, linkTipZone);
    inputMeter.setBounds(layout.meterAt(4));
    bypassButton.setBounds(w - k - 16, 38, k, k);
    roleBadgeBounds = {(float)(w - badgeSide - 16), (float)(k + 42), (float)badgeSide,
                       (float)gainpair::GainEditorLayout::R(26.0f * layout.s)};
    instanceLetterLabel.setBounds(w - badgeSide - 16, k + gainpair::GainEditorLayout::R(42.0f * layout.s) + 30,
                                  badgeSide + 4, 14);
    roleTipZone.setBounds(roleBadgeBounds.getSmallestIntegerContainer().getUnion(instanceLetterLabel.getBounds()));
    gainKnob.setBounds(layout.knob);
    layout.placeValues(gainCaption, gainValueLabel, compensationCaption, compensationValueLabel);
    statusLabel.setBounds(layout.status);
}

void OvrelAudioProcessorEditor::mouseDown(const juce::MouseEvent& e)
{
    // Presses also come from the role's tip zone.
    const auto pos = e.getEventRelativeTo(this).getPosition().toFloat();
    if (processor.multiInstance.load(std::memory_order_acquire) && roleBadgeBounds.contains(pos) &&
        role() != LinkRole::Master)
        processor.requestMaster.store(true, std::memory_order_relaxed);
}

void OvrelAudioProcessorEditor::updateInstanceLetter(LinkRole current)
{
    const LetterState now{processor.multiInstance.load(std::memory_order_acquire), current,
                          processor.instanceLetter.load(std::memory_order_acquire)};
    if (letterShown == now)
        return;
    letterShown = now;

    if (!now.multi)
    {
        instanceLetterLabel.setVisible(false);
        roleTipZone.setVisible(false);
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

    instanceLetterLabel.setText(now.letter != 0 ? juce::String::charToString((juce::juce_wchar)(juce::uint8)now.letter)
                                                : juce::String(),
                                juce::dontSendNotification);
    instanceLetterLabel.setColour(juce::Label::textColourId, colour);
    instanceLetterLabel.setTooltip(tip);
    instanceLetterLabel.setVisible(true);
    roleTipZone.setTooltip(tip);
    roleTipZone.setVisible(true);
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

    gainReadout.show(gain);
    compensationReadout.show(comp);

    const auto current = role();
    const bool slave = current == LinkRole::Slave;
    gainKnob.setInterceptsMouseClicks(!slave, !slave);
    gainKnob.setAlpha(slave ? 0.45f : 1.0f);

    statusLabel.setText(bypass ? bypassedText : juce::String(), juce::dontSendNotification);
    updateInstanceLetter(current);

    scaler.follow(storedScale());

    outPulses.follow(gain);
    if (slave)
        inPulses.follow(processor.shownGain.load(std::memory_order_acquire));
    else
        inPulses.clear();
    outPulses.step();
    inPulses.step();

    repaintWhatChanged(current, bypass);
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
        repaint(gainpair::GainEditorFrame::pulseStrip(gainKnob.getBounds(), getWidth()));

    painted = {bypass, badgeShown, current, pulsesShown};
}

void OvrelAudioProcessorEditor::paint(juce::Graphics& g)
{
    // Surface and cards change only with the layout; the meter asks for its part on every tick.
    surface.draw(g, getWidth(), getHeight(),
                 [this](juce::Graphics& sg)
                 {
                     gainpair::GainEditorFrame::paint(sg, getWidth(), getHeight(), "Ovrel");
                     gainpair::GainEditorFrame::paintCards(sg, gainKnob.getBounds(), gainCaption.getBounds(),
                                                           gainValueLabel.getWidth());
                 });
    // Stroking the symbol costs even where it is clipped away, as when only the meter is repainted.
    if (g.clipRegionIntersects(bypassButton.getBounds().expanded(4)))
        gainpair::GainEditorFrame::paintLamp(g, bypassButton.getPosition(),
                                             gainpair::GainEditorLayout::scaleFor(getWidth(), getHeight()),
                                             bypassOn() ? juce::Colour(0xffff8800) : juce::Colour(0xff6abf69));

    if (processor.multiInstance.load(std::memory_order_acquire) &&
        g.clipRegionIntersects(roleBadgeBounds.getSmallestIntegerContainer().expanded(2)))
        drawRoleBadge(g, role());
}

void OvrelAudioProcessorEditor::drawRoleBadge(juce::Graphics& g, LinkRole current)
{
    const auto badge = badgeFor(current);
    if (badge.letter.isEmpty())
        return;

    const float s = gainpair::GainEditorLayout::scaleFor(getWidth(), getHeight());
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

    const auto target = gainpair::GainEditorFrame::pulseTarget(gainKnob.getBounds());
    const float cx = target.x;
    const float cy = target.y;
    for (int i = 0; i < outPulses.count(); ++i)
        gainpair::GainEditorFrame::paintPulse(g, outPulses.phase(i), {cx, cy}, {(float)getWidth(), cy}, pulseColour);
    for (int i = 0; i < inPulses.count(); ++i)
        if (inPulses.phase(i) >= 0.0f)
            gainpair::GainEditorFrame::paintPulse(g, inPulses.phase(i), {0.0f, cy}, {cx, cy}, pulseColour);
}

void OvrelAudioProcessorEditor::setTooltipsEnabled(bool on)
{
    tooltipsShown = on;
    processor.editorSettings.tooltipsOn.store(on, std::memory_order_release);
    SmallTooltipLAF::switchWindow(tooltipWindow, *this, tooltipLaf, on, gainpair::GainEditorSetup::tooltipDelayMs);
}

void OvrelAudioProcessorEditor::setLanguageSpanish(bool isSpanish)
{
    processor.editorSettings.isSpanish.store(isSpanish, std::memory_order_release);
    Texts::apply(isSpanish, "Ovrel", ownTips,
                 {helpPanel, helpWindow.get(), logoButton, compensationCaption, titleTipZone, linkTipZone, gainKnob,
                  bypassButton, linkIdBox, inputMeter, helpButton});
}

void OvrelAudioProcessorEditor::syncMeterParams(float attackMs, float releaseMs, float rmsWindowMs, float brightness)
{
    inputMeter.applySettings(attackMs, releaseMs, rmsWindowMs, brightness);
}
