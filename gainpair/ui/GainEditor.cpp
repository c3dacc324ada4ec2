#include "gainpair/ui/GainEditor.h"

#include "gainpair/common/GainPairParameters.h"
#include "gainpair/ui/EditorScale.h"
#include "gainpair/ui/GainEditorFrame.h"
#include "gainpair/ui/OCols.h"
#include "gainpair/ui/SmallComboLAF.h"
#include "widgets/OrzFonts.h"

#include <initializer_list>

namespace gainpair
{
namespace
{
// How long the pointer rests on a control before its tip shows.
constexpr int tooltipDelayMs = 1600;

const juce::Colour gainColour{0xffdaa520};
const juce::Colour compensationColour{0xff9b59b6};

void dressLinkId(juce::Label& label, juce::ComboBox& box)
{
    label.setText("Link ID", juce::dontSendNotification);
    label.setFont(OrzFonts::font(10.0f, true));
    label.setColour(juce::Label::textColourId, juce::Colour(0xff909090));

    for (int id = 1; id <= 50; ++id)
        box.addItem(juce::String(id), id);
    box.setLookAndFeel(&smallComboLAF());
    box.setColour(juce::ComboBox::backgroundColourId, juce::Colour(0xff1a1a1a));
    box.setColour(juce::ComboBox::outlineColourId, juce::Colour(0xff3a3a3a));
}

// The "?" button and the transparent zones over the painted logo and captions.
void dressHeaderButtons(juce::TextButton& help, std::initializer_list<juce::TextButton*> zones, juce::LookAndFeel& look)
{
    help.setLookAndFeel(&look);
    help.setColour(juce::TextButton::buttonColourId, juce::Colour(0xff2a2a2a));
    help.setColour(juce::TextButton::textColourOffId, juce::Colour(0xffbbbbbb));
    help.setColour(juce::TextButton::textColourOnId, juce::Colours::black);
    help.setColour(juce::TextButton::buttonOnColourId, OCols::accentHi);
    for (auto* zone : zones)
    {
        zone->setButtonText({});
        zone->setLookAndFeel(&look);
        zone->setColour(juce::TextButton::buttonColourId, juce::Colours::transparentBlack);
        zone->setColour(juce::TextButton::buttonOnColourId, juce::Colours::transparentBlack);
    }
}

// "Ovrel:" with its value in gold, and the compensation caption with its value in violet.
void dressValueLabels(juce::Label& gainCaption, juce::Label& gainValue, juce::Label& compensationCaption,
                      juce::Label& compensationValue)
{
    gainCaption.setText("Ovrel:", juce::dontSendNotification);
    for (auto* caption : {&gainCaption, &compensationCaption})
    {
        caption->setFont(OrzFonts::font(11.0f, true));
        caption->setColour(juce::Label::textColourId, juce::Colour(0xffcccccc));
    }
    for (auto* value : {&gainValue, &compensationValue})
    {
        value->setText("0.0 dB", juce::dontSendNotification);
        value->setFont(OrzFonts::font(16.0f, true));
        value->setJustificationType(juce::Justification::centredRight);
    }
    gainValue.setColour(juce::Label::textColourId, gainColour);
    compensationValue.setColour(juce::Label::textColourId, compensationColour);
}

// The red bypass text near the bottom; clicks pass through it.
void dressStatusLabel(juce::Label& label)
{
    label.setFont(OrzFonts::font(11.0f, true));
    label.setJustificationType(juce::Justification::centred);
    label.setColour(juce::Label::textColourId, juce::Colour(0xffff3333));
    label.setInterceptsMouseClicks(false, false);
}
} // namespace

GainEditor::GainEditor(juce::AudioProcessor& owner, juce::AudioProcessorValueTreeState& state,
                       GainPairEditorSettings& editorSettings, const std::atomic<float>* bypassParameter,
                       const Face& faceShown)
    : juce::AudioProcessorEditor(owner), apvts(state), helpPanel(faceShown.helpEnglish, faceShown.helpSpanish),
      settings(editorSettings), bypassParam(bypassParameter), face(faceShown)
{
    setResizable(true, true);
    setResizeLimits(minSide, minSide, maxSide, maxSide);
    getConstrainer()->setFixedAspectRatio(1.0);

    dressLinkId(linkIdLabel, linkIdBox);
    if (auto* p = apvts.getParameter(GainPairParameterIds::linkId))
        linkIdAttachment = std::make_unique<juce::ComboBoxParameterAttachment>(*p, linkIdBox, apvts.undoManager);

    knob.plainTypedEntry = true;
    knob.setRange(face.knobMinimum, face.knobMaximum, face.knobInterval);
    knob.setDoubleClickReturnValue(true, 0.0);
    knob.setParamName(face.knobName);
    if (auto* p = apvts.getParameter(face.knobParameter))
        knobAttachment = std::make_unique<juce::SliderParameterAttachment>(*p, knob, apvts.undoManager);

    bypassButton.setShape(GainEditorFrame::powerSymbol(), false, true, true);
    bypassButton.setClickingTogglesState(true);
    if (auto* p = apvts.getParameter(GainPairParameterIds::bypass))
        bypassAttachment = std::make_unique<juce::ButtonParameterAttachment>(*p, bypassButton, apvts.undoManager);

    dressStatusLabel(statusLabel);

    meter.closeOnOutsideClick = false;
    meter.adaptivePeakInset = true;
    meter.setScaleSide(face.meterScaleSide);
    meter.setHoldEnabled(settings.meterHold.load(std::memory_order_acquire));
    meter.onSettingsChanged = [this](float attack, float release, float rmsWindow, float brightness)
    { syncMeterParams(attack, release, rmsWindow, brightness); };
    meter.onHoldChanged = [this](bool on) { settings.meterHold.store(on, std::memory_order_release); };

    helpButton.onClick = [this]
    { HelpWindow::toggle(helpWindow, helpPanel, *this, tooltipsShown, HelpWindow::Focus::takes); };
    logoButton.onClick = [this]
    {
        if (openUrl)
            openUrl(ProductLinks::productPage(face.name));
    };
    dressHeaderButtons(helpButton, {&logoButton, &titleTipZone, &linkTipZone}, headerButtonLaf);

    helpPanel.onTooltipsToggled = [this](bool on) { setTooltipsEnabled(on); };
    helpPanel.onLanguageToggled = [this](bool on) { setLanguageSpanish(on); };

    dressValueLabels(gainCaption, gainValueLabel, compensationCaption, compensationValueLabel);

    for (juce::Component* c : std::initializer_list<juce::Component*>{
             &linkIdLabel, &linkIdBox, &knob, &bypassButton, &statusLabel, &meter, &helpButton, &logoButton,
             &titleTipZone, &linkTipZone, &gainCaption, &gainValueLabel, &compensationCaption, &compensationValueLabel})
        addAndMakeVisible(*c);
}

GainEditor::~GainEditor()
{
    stopTimer();
    // A gesture still open must reach the host while the attachment exists.
    knob.finishGestures();

    if (helpWindow != nullptr)
    {
        helpWindow->setVisible(false);
        helpWindow.reset();
    }
    SmallTooltipLAF::switchWindow(tooltipWindow, *this, tooltipLaf, false, tooltipDelayMs);

    helpButton.onClick = nullptr;
    meter.onSettingsChanged = nullptr;
    meter.onHoldChanged = nullptr;
    helpPanel.onTooltipsToggled = nullptr;
    helpPanel.onLanguageToggled = nullptr;
    // The looks go before the controls that use them.
    for (juce::Component* c :
         std::initializer_list<juce::Component*>{&linkIdBox, &logoButton, &titleTipZone, &linkTipZone, &helpButton})
        c->setLookAndFeel(nullptr);
}

void GainEditor::open()
{
    // Laid out once at the size the resize limits gave, as the width stored may be that size.
    readyToLayOut = true;
    resized();

    setTooltipsEnabled(settings.tooltipsOn.load(std::memory_order_acquire));
    setLanguageSpanish(settings.isSpanish.load(std::memory_order_acquire));

    const float scale = storedScale();
    if (!juce::exactlyEqual(scale, 1.0f))
        scaler.apply(scale);

    fullyBuilt = true;

    const int side = juce::jlimit(minSide, maxSide, settings.editorWidth.load(std::memory_order_acquire));
    setBounds(getX(), getY(), side, side);

    painted.lamp = lampColour();
    startTimer(timerIntervalMs);
}

bool GainEditor::bypassOn() const
{
    return bypassParam != nullptr && bypassParam->load(std::memory_order_acquire) > 0.5f;
}

float GainEditor::storedScale() const
{
    return EditorScale::usable(settings.uiScale.load(std::memory_order_acquire));
}

void GainEditor::showValues(float gainDb, float compensationDb)
{
    gainReadout.show(gainDb);
    compensationReadout.show(compensationDb);
}

void GainEditor::setScaleFactor(float newScale)
{
    juce::AudioProcessorEditor::setScaleFactor(scaler.takeHostScale(newScale));
    scaler.reapply(storedScale());
}

void GainEditor::resized()
{
    surface.invalidate();
    if (!readyToLayOut)
        return;

    const int w = getWidth();
    if (fullyBuilt)
        settings.editorWidth.store(GainEditorLayout::sideFor(w, getHeight()), std::memory_order_release);

    const GainEditorLayout layout(w, getHeight());
    layout.placeHeader(helpButton, linkIdLabel, linkIdBox, logoButton, titleTipZone, linkTipZone);
    layout.placeValues(gainCaption, gainValueLabel, compensationCaption, compensationValueLabel);
    statusLabel.setBounds(layout.status);
    knobBounds = layout.knob;
    layOut(layout);
}

void GainEditor::timerCallback()
{
    showProcessorState();
    scaler.follow(storedScale());
    repaintWhatChanged();
}

void GainEditor::repaintWhatChanged()
{
    // Labels, knobs and meter repaint themselves when their contents change; the editor repaints only
    // the parts it paints itself.
    const auto lamp = lampColour();
    if (lamp != painted.lamp)
        repaint(bypassButton.getBounds().expanded(4));

    const bool pulsesShown = pulsesInSight();
    if (pulsesShown || painted.pulsesShown)
        repaint(GainEditorFrame::pulseStrip(knobBounds, getWidth()));

    painted = {lamp, pulsesShown};
}

void GainEditor::paint(juce::Graphics& g)
{
    // Surface and cards change only with the layout; the meter asks for its part on every tick.
    surface.draw(g, getWidth(), getHeight(),
                 [this](juce::Graphics& sg)
                 {
                     GainEditorFrame::paint(sg, getWidth(), getHeight(), face.name);
                     GainEditorFrame::paintCards(sg, knobBounds, gainCaption.getBounds(), gainValueLabel.getWidth());
                 });
    // Stroking the symbol costs even where it is clipped away, as when only the meter is repainted.
    if (g.clipRegionIntersects(bypassButton.getBounds().expanded(4)))
        GainEditorFrame::paintLamp(g, bypassButton.getPosition(), GainEditorLayout::scaleFor(getWidth(), getHeight()),
                                   lampColour());
}

void GainEditor::setTooltipsEnabled(bool on)
{
    tooltipsShown = on;
    settings.tooltipsOn.store(on, std::memory_order_release);
    SmallTooltipLAF::switchWindow(tooltipWindow, *this, tooltipLaf, on, tooltipDelayMs);
}

void GainEditor::setLanguageSpanish(bool isSpanish)
{
    settings.isSpanish.store(isSpanish, std::memory_order_release);
    GainEditorTexts::apply(isSpanish, face.name, face.tips,
                           {helpPanel, helpWindow.get(), logoButton, compensationCaption, titleTipZone, linkTipZone,
                            knob, bypassButton, linkIdBox, meter, helpButton});
}

void GainEditor::syncMeterParams(float attackMs, float releaseMs, float rmsWindowMs, float brightness)
{
    meter.applySettings(attackMs, releaseMs, rmsWindowMs, brightness);
}
} // namespace gainpair
