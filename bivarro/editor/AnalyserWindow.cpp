#include "bivarro/editor/AnalyserWindow.h"

#include "bivarro/editor/OCols.h"
#include "widgets/WindowPlacement.h"

#include <algorithm>

namespace OCols = Bivarro::OCols;

namespace
{
const juce::Colour gold{0xffdaa520};
const juce::Colour paneFill{0xff1a1a1a};

juce::Font boldFont(float height)
{
    return juce::Font(juce::FontOptions(height, juce::Font::bold));
}

void drawText(juce::Graphics& g, const juce::String& text, juce::Rectangle<float> area, juce::Justification j)
{
    g.drawText(text, area, j, true);
}

int minWidthFor(bool open)
{
    return open ? AnalyserWindow::openDesignWidth : AnalyserWindow::mainDesignWidth;
}

constexpr int minHeight = AnalyserWindow::titleBarHeight + AnalyserWindow::designHeight;

} // namespace

//==============================================================================
class AnalyserWindow::RootComp : public juce::Component
{
public:
    explicit RootComp(AnalyserWindow& w) : window(w) {}

    void paint(juce::Graphics& g) override { g.fillAll(paneFill); }

    void resized() override
    {
        const int w = getWidth(), h = getHeight();
        const float s = static_cast<float>(w) / static_cast<float>(minWidthFor(window.cfgOpen));
        const int mainW = juce::roundToInt(static_cast<float>(mainDesignWidth) * s);
        window.scopePane.setBounds(0, 0, mainW, h);
        if (window.cfgOpen)
            window.panel.setBounds(mainW, 0, w - mainW, h);
        else
            window.panel.setBounds(w, 0, juce::roundToInt(static_cast<float>(panelDesignWidth) * s), h);
        const int gearW = juce::roundToInt(24.0f * s);
        window.gearButton.setBounds(mainW - gearW - juce::roundToInt(4.0f * s), juce::roundToInt(4.0f * s), gearW,
                                    juce::roundToInt(20.0f * s));
    }

private:
    AnalyserWindow& window;
};

//==============================================================================
AnalyserWindow::AnalyserWindow(BivarroAudioProcessor& p)
    : juce::DocumentWindow({}, OCols::bg, juce::DocumentWindow::closeButton, true), processor(p)
{
    // Everything saved is read before the window changes its own size or position.
    auto& s = processor.settings;
    settings.restoreFrom(s);
    const bool savedCfgOpen = s.analyserCfgOpen.load();
    const int savedX = s.analyserWinX.load(), savedY = s.analyserWinY.load();
    const int savedW = s.analyserWinW.load(), savedH = s.analyserWinH.load();

    setUsingNativeTitleBar(false);
    setTitleBarHeight(titleBarHeight);
    setResizable(true, true);
    applyResizeLimits();

    buildContent();

    panel.updateModeBtnState();
    panel.updateReleaseScopeRange();
    panel.setKnobsFromMembers();
    updateCoefficients();
    panel.updateWindowBtnStates();

    if (savedCfgOpen)
        toggleConfigPanel();

    placeFromSavedBounds(savedX, savedY, savedW, savedH);

    setVisible(true);
    setAlwaysOnTop(settings.alwaysOnTop);

    measurement.start(processor.outputScope(), processor.inputScope());
    startTimer(16);

    constructed = true;
    moved();
    resized();
}

AnalyserWindow::~AnalyserWindow()
{
    stopTimer();
    gearButton.onClick = nullptr;
    clearContentComponent();
}

void AnalyserWindow::buildContent()
{
    auto root = std::make_unique<RootComp>(*this);

    panel.onModeChanged = [this] { scopePane.repaint(); };
    panel.onReleaseChanged = [this] { updateCoefficients(); };
    panel.onAlwaysOnTopChanged = [this] { setAlwaysOnTop(settings.alwaysOnTop); };
    panel.buildConfigPanel(texts());

    gearButton.setButtonText(juce::String::fromUTF8("\xe2\x9a\x99"));
    gearButton.setColour(juce::TextButton::buttonColourId, juce::Colour(0xff2a2a2a));
    gearButton.setColour(juce::TextButton::buttonOnColourId, gold);
    gearButton.setColour(juce::TextButton::textColourOffId, gold);
    gearButton.setColour(juce::TextButton::textColourOnId, juce::Colours::black);
    gearButton.onClick = [this] { toggleConfigPanel(); };

    root->addAndMakeVisible(scopePane);
    root->addAndMakeVisible(gearButton);
    root->addChildComponent(panel);
    for (juce::Component* c : {static_cast<juce::Component*>(&scopePane), static_cast<juce::Component*>(&panel),
                               static_cast<juce::Component*>(&gearButton), static_cast<juce::Component*>(root.get())})
        c->setWantsKeyboardFocus(false);
    setWantsKeyboardFocus(false);

    root->setSize(mainDesignWidth, designHeight);
    setContentOwned(root.release(), true);
}

void AnalyserWindow::updateCoefficients()
{
    settings.updateCoefficients();
    measurement.meter.setCoefficients(settings.coefCorr, settings.coefPan);
}

void AnalyserWindow::applyResizeLimits()
{
    const int minW = minWidthFor(cfgOpen);
    setResizeLimits(minW, minHeight, juce::roundToInt(1.5f * static_cast<float>(minW)),
                    juce::roundToInt(1.5f * static_cast<float>(minHeight)));
    getConstrainer()->setFixedAspectRatio(static_cast<double>(minW) / static_cast<double>(minHeight));
}

// Saved bounds are never trusted: a size outside the limits is brought within them, and a
// position whose title bar lies on no display is dropped.
void AnalyserWindow::placeFromSavedBounds(int savedX, int savedY, int savedW, int savedH)
{
    const int minW = minWidthFor(cfgOpen);
    if (savedW >= 1 && savedH >= 1)
        setSize(std::clamp(savedW, minW, juce::roundToInt(1.5f * static_cast<float>(minW))),
                std::clamp(savedH, minHeight, juce::roundToInt(1.5f * static_cast<float>(minHeight))));
    else
        centreWithSize(minW, minHeight);

    if (savedX < 0 || savedY < 0)
        return;
    const juce::Point<int> grip{savedX + titleBarHeight, savedY + titleBarHeight / 2};
    for (const auto& display : juce::Desktop::getInstance().getDisplays().displays)
        if (display.totalArea.contains(grip))
        {
            setTopLeftPosition(savedX, savedY);
            return;
        }
}

void AnalyserWindow::showBeside(juce::Rectangle<int> pluginScreenBounds)
{
    if (settings.snapToPlugin)
        setTopLeftPosition(WindowPlacement::besideOnDisplay(pluginScreenBounds, getWidth(), getHeight(),
                                                            WindowPlacement::Side::right));
    setVisible(true);
    toFront(false);
}

void AnalyserWindow::toggleConfigPanel()
{
    cfgOpen = !cfgOpen;
    panel.setVisible(cfgOpen);

    const float oldW = static_cast<float>(getWidth());
    applyResizeLimits();
    const int minW = minWidthFor(cfgOpen);
    const int newW = juce::roundToInt(oldW / static_cast<float>(minWidthFor(!cfgOpen)) * static_cast<float>(minW));
    const int newH =
        juce::roundToInt(static_cast<float>(minHeight) * static_cast<float>(newW) / static_cast<float>(minW));
    setSize(newW, newH);

    gearButton.setColour(juce::TextButton::buttonColourId, cfgOpen ? gold : juce::Colour(0xff2a2a2a));
    gearButton.setColour(juce::TextButton::textColourOffId, cfgOpen ? juce::Colours::black : gold);
    repaint();
}

void AnalyserWindow::setAnalyserSpanish(bool spanish)
{
    inSpanish = spanish;
    setName(texts().windowName);
    panel.rebuild(texts());
    repaint();
}

//==============================================================================
void AnalyserWindow::resized()
{
    juce::DocumentWindow::resized();
    if (constructed && getContentComponent() != nullptr)
    {
        processor.settings.analyserWinW.store(getWidth());
        processor.settings.analyserWinH.store(getHeight());
    }
}

void AnalyserWindow::moved()
{
    juce::DocumentWindow::moved();
    if (constructed)
    {
        processor.settings.analyserWinX.store(getX());
        processor.settings.analyserWinY.store(getY());
    }
}

void AnalyserWindow::activeWindowStatusChanged() {}

int AnalyserWindow::getDesktopWindowStyleFlags() const
{
    return juce::DocumentWindow::getDesktopWindowStyleFlags() | juce::ComponentPeer::windowIgnoresKeyPresses;
}

void AnalyserWindow::closeButtonPressed()
{
    setVisible(false);
    if (onClose)
        onClose();
}

void AnalyserWindow::timerCallback()
{
    measurement.tick(processor.outputScope(), processor.inputScope(), settings.coefScope, settings.dotDensity);
    scopePane.repaintChangedParts();
    settings.storeInto(processor.settings);
    processor.settings.analyserCfgOpen.store(cfgOpen);
}

//==============================================================================
void AnalyserWindow::paint(juce::Graphics& g)
{
    const int th = getTitleBarHeight();
    const auto w = static_cast<float>(getWidth());
    const auto thf = static_cast<float>(th);

    const auto darkened = [](juce::Colour c, float by)
    {
        return juce::Colour::fromFloatRGBA(c.getFloatRed() / by, c.getFloatGreen() / by, c.getFloatBlue() / by,
                                           c.getFloatAlpha());
    };
    g.setGradientFill(
        juce::ColourGradient(darkened(OCols::bg, 1.5f), 0.0f, 0.0f, darkened(OCols::bg, 1.2f), 0.0f, thf, false));
    g.fillRect(0.0f, 0.0f, w, thf);
    g.setColour(OCols::accent);
    g.fillRect(0.0f, thf - 1.0f, w, 1.0f);

    const int y0 = (th - 18) / 2;
    const juce::Rectangle<float> badge{8.0f, static_cast<float>(y0), 20.0f, 18.0f};
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xffe2b953), 8.0f, static_cast<float>(y0),
                                           juce::Colour(0xff9b7516), 28.0f, static_cast<float>(y0 + 18), false));
    g.fillRoundedRectangle(badge, 3.0f);
    g.setColour(juce::Colour(0x99000000));
    g.setFont(boldFont(8.5f));
    drawText(g, "Orz", badge, juce::Justification::centred);

    g.setColour(OCols::textLt);
    g.setFont(boldFont(12.0f));
    drawText(g, texts().title, {34.0f, 0.0f, w - 78.0f, thf}, juce::Justification::centredLeft);
}
