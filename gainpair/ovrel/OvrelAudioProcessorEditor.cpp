#include "gainpair/ovrel/OvrelAudioProcessorEditor.h"

#include "gainpair/ui/GainEditorFrame.h"
#include "gainpair/ui/GainEditorLayout.h"
#include "gainpair/ui/GainEditorTexts.h"
#include "widgets/OrzFonts.h"

namespace
{
namespace Texts = gainpair::GainEditorTexts;

const juce::Colour pulseColour{0xffdaa520};
const juce::String bypassedText{"Bypassed\nGain + Compensation"};

const Texts::OwnTips ownTips{"Input gain with automatic compensation",
                             "Ganancia de entrada con compensacion automatica", "Bypasses gain and compensation",
                             "Desactiva la ganancia y la compensacion"};

const Texts::HelpLine helpIntroduction[] = {
    {"Place Ovrel before and Undrel after", "Coloca Ovrel antes y Undrel despues"},
    {"any plugin in your chain.", "de cualquier plugin en tu cadena."},
    {"Ovrel adjusts the input signal and Undrel", "Ovrel ajusta la senal de entrada y Undrel"},
    {"automatically compensates the original level.", "compensa el nivel original automaticamente."},
    {"Both plugins must share the same Link ID.", "Ambos plugins deben compartir el mismo Link ID."},
};

const Texts::HelpLine helpControls[] = {
    {"Controls", "Controles"},
    {"Bypass: Bypasses gain and compensation", "Bypass: Desactiva ganancia y compensacion"},
    {"Link ID: Connect with Undrel plugin", "Link ID: Enlaza plugins con el mismo ID"},
    {"Master M/S: Controls all instances with same ID", "Maestro M/S: Controla todos del mismo ID"},
    {"Green slave: Receives values from Master", "Esclavo verde: Recibe valores del Maestro"},
    {"Red slave: Waiting for Master", "Esclavo rojo: En espera del Maestro"},
};
} // namespace

const juce::String& OvrelAudioProcessorEditor::helpTextEnglish()
{
    static const juce::String text = Texts::helpText(false, "Ovrel", helpIntroduction, helpControls);
    return text;
}

const juce::String& OvrelAudioProcessorEditor::helpTextSpanish()
{
    static const juce::String text = Texts::helpText(true, "Ovrel", helpIntroduction, helpControls);
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
    : gainpair::GainEditor(owner, state, owner.editorSettings, owner.bypassParam,
                           {"Ovrel", helpTextEnglish(), helpTextSpanish(), ownTips, GainPairParameterIds::gain, "Gain",
                            -48.0, 48.0, 0.01, 0}),
      processor(owner)
{
    gainKnob.linked = true;

    instanceLetterLabel.setFont(OrzFonts::font(9.0f, true));
    instanceLetterLabel.setJustificationType(juce::Justification::centred);
    instanceLetterLabel.setColour(juce::Label::textColourId, juce::Colour(0xff808080));
    instanceLetterLabel.setInterceptsMouseClicks(false, false);
    addAndMakeVisible(instanceLetterLabel);

    roleTipZone.addMouseListener(this, false);
    addChildComponent(roleTipZone);

    outPulses.startFrom(gainDb());
    inPulses.startFrom(gainDb());

    open();
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

juce::Colour OvrelAudioProcessorEditor::lampColour() const
{
    return bypassOn() ? juce::Colour(0xffff8800) : juce::Colour(0xff6abf69);
}

bool OvrelAudioProcessorEditor::pulsesInSight() const
{
    return outPulses.inSight() || inPulses.inSight();
}

void OvrelAudioProcessorEditor::layOut(const gainpair::GainEditorLayout& layout)
{
    const int w = getWidth();
    const int k = layout.bypassSide;
    const int badgeSide = gainpair::GainEditorLayout::R(32.0f * layout.s);
    inputMeter.setBounds(layout.meterAt(4));
    bypassButton.setBounds(w - k - 16, 38, k, k);
    roleBadgeBounds = {(float)(w - badgeSide - 16), (float)(k + 42), (float)badgeSide,
                       (float)gainpair::GainEditorLayout::R(26.0f * layout.s)};
    instanceLetterLabel.setBounds(w - badgeSide - 16, k + gainpair::GainEditorLayout::R(42.0f * layout.s) + 30,
                                  badgeSide + 4, 14);
    roleTipZone.setBounds(roleBadgeBounds.getSmallestIntegerContainer().getUnion(instanceLetterLabel.getBounds()));
    gainKnob.setBounds(layout.knob);
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

void OvrelAudioProcessorEditor::showProcessorState()
{
    inputMeter.pushLevels(processor.inputPeakDb.load(std::memory_order_acquire),
                          processor.inputRmsDb.load(std::memory_order_acquire));

    const float gain = gainDb();
    float comp = 0.0f;
    if (auto* block = processor.gainLink.getBlock())
        comp = block->compensationDb.load(std::memory_order_acquire);
    showValues(gain, comp);

    const auto current = role();
    const bool slave = current == LinkRole::Slave;
    gainKnob.setInterceptsMouseClicks(!slave, !slave);
    gainKnob.setAlpha(slave ? 0.45f : 1.0f);

    statusLabel.setText(bypassOn() ? bypassedText : juce::String(), juce::dontSendNotification);
    updateInstanceLetter(current);
    repaintBadgeIfChanged(current);

    outPulses.follow(gain);
    if (slave)
        inPulses.follow(processor.shownGain.load(std::memory_order_acquire));
    else
        inPulses.clear();
    outPulses.step();
    inPulses.step();
}

void OvrelAudioProcessorEditor::repaintBadgeIfChanged(LinkRole current)
{
    const bool shown = processor.multiInstance.load(std::memory_order_acquire) && current != LinkRole::Alone;
    if (shown != badgePainted.shown || (shown && current != badgePainted.role))
        repaint(roleBadgeBounds.getSmallestIntegerContainer().expanded(2));
    badgePainted = {shown, current};
}

void OvrelAudioProcessorEditor::paint(juce::Graphics& g)
{
    gainpair::GainEditor::paint(g);
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
    // Out from the knob's centre to the right edge, and in from the left edge to it.
    const auto target = gainpair::GainEditorFrame::pulseTarget(gainKnob.getBounds());
    gainpair::GainEditorFrame::paintPulses(g, outPulses, target, {(float)getWidth(), target.y}, pulseColour);
    gainpair::GainEditorFrame::paintPulses(g, inPulses, {0.0f, target.y}, target, pulseColour);
}
