#include "bivarro/editor/AnalyserWindow.h"

#include "bivarro/editor/OCols.h"
#include "bivarro/editor/VectorscopeMapping.h"
#include "bivarro/processor/BivarroParameters.h"
#include "widgets/WindowPlacement.h"

#include <algorithm>
#include <cmath>

namespace OCols = Bivarro::OCols;
namespace ID = BivarroParameters::ID;

namespace
{
const juce::Colour gold{0xffdaa520};
const juce::Colour paneFill{0xff1a1a1a};
const juce::Colour boxOutline{0xff2e2e2e};
const juce::Colour gridColour{0xff5e5e5e};

juce::Font boldFont(float height)
{
    return juce::Font(juce::FontOptions(height, juce::Font::bold));
}

juce::Font plainFont(float height)
{
    return juce::Font(juce::FontOptions(height));
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
class AnalyserWindow::MainComp : public juce::Component
{
public:
    // It paints every pixel it covers, so the repaint of every tick never reaches the content below.
    explicit MainComp(AnalyserWindow& w) : window(w) { setOpaque(true); }
    void paint(juce::Graphics& g) override { window.paintMain(g, getWidth(), getHeight()); }

private:
    AnalyserWindow& window;
};

// The panel is laid out once in its design space and scaled as a whole to its current size.
class AnalyserWindow::CfgComp : public juce::Component
{
public:
    explicit CfgComp(AnalyserWindow& w) : window(w) {}

    void paint(juce::Graphics& g) override
    {
        g.fillAll(juce::Colour(0xff222222));
        g.setColour(juce::Colour(0xff3a3a3a));
        g.drawLine(0.0f, 0.0f, 0.0f, static_cast<float>(getHeight()), 1.0f);
    }

    void resized() override
    {
        if (window.panelRebuilt)
        {
            baseBounds.clear();
            baseFontHeights.clear();
            window.panelRebuilt = false;
            if (getNumChildComponents() > 0)
                capture();
        }
        else if (!captured && getNumChildComponents() > 0)
        {
            capture();
        }

        if (getNumChildComponents() != static_cast<int>(baseBounds.size()))
            return;
        const float s = std::min(static_cast<float>(getWidth()) / static_cast<float>(panelDesignWidth),
                                 static_cast<float>(getHeight()) / static_cast<float>(designHeight));
        for (int i = 0; i < getNumChildComponents(); ++i)
        {
            const auto& r = baseBounds[static_cast<size_t>(i)];
            auto* child = getChildComponent(i);
            child->setBounds(juce::roundToInt(s * static_cast<float>(r.getX())),
                             juce::roundToInt(s * static_cast<float>(r.getY())),
                             juce::roundToInt(s * static_cast<float>(r.getWidth())),
                             juce::roundToInt(s * static_cast<float>(r.getHeight())));
            const float h0 = baseFontHeights[static_cast<size_t>(i)];
            if (auto* label = dynamic_cast<juce::Label*>(child); label != nullptr && h0 > 0.0f)
                label->setFont(label->getFont().withHeight(s * h0));
        }
    }

private:
    void capture()
    {
        for (auto* child : getChildren())
        {
            baseBounds.push_back(child->getBounds());
            auto* label = dynamic_cast<juce::Label*>(child);
            baseFontHeights.push_back(label != nullptr ? label->getFont().getHeight() : 0.0f);
        }
        captured = true;
    }

    AnalyserWindow& window;
    std::vector<juce::Rectangle<int>> baseBounds;
    std::vector<float> baseFontHeights;
    bool captured = false;
};

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
        if (window.mainComp != nullptr)
            window.mainComp->setBounds(0, 0, mainW, h);
        if (window.cfgComp != nullptr)
        {
            if (window.cfgOpen)
                window.cfgComp->setBounds(mainW, 0, w - mainW, h);
            else
                window.cfgComp->setBounds(w, 0, juce::roundToInt(static_cast<float>(panelDesignWidth) * s), h);
        }
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
    readSettings();
    const bool savedCfgOpen = s.analyserCfgOpen.load();
    const int savedX = s.analyserWinX.load(), savedY = s.analyserWinY.load();
    const int savedW = s.analyserWinW.load(), savedH = s.analyserWinH.load();

    setUsingNativeTitleBar(false);
    setTitleBarHeight(titleBarHeight);
    setResizable(true, true);
    applyResizeLimits();

    buildContent();

    updateModeBtnState();
    updateReleaseScopeRange();
    setKnobsFromMembers();
    updateCoefficients();
    updateWindowBtnStates();

    if (savedCfgOpen)
        toggleConfigPanel();

    placeFromSavedBounds(savedX, savedY, savedW, savedH);

    setVisible(true);
    setAlwaysOnTop(alwaysOnTop);

    measurement.start(processor.outputScope(), processor.inputScope());
    startTimer(16);

    constructed = true;
    moved();
    resized();
}

AnalyserWindow::~AnalyserWindow()
{
    stopTimer();
    for (auto* b : {&gearButton, &dotsButton, &envelopeButton, &snapButton, &onTopButton})
        b->onClick = nullptr;
    labels.clear(true);
    clearContentComponent();
}

void AnalyserWindow::readSettings()
{
    const auto& s = processor.settings;
    // Restored settings are limited already; the window keeps its own members valid regardless.
    const auto within = [](float v, float lo, float hi, float fallback)
    { return std::isfinite(v) ? std::clamp(v, lo, hi) : fallback; };
    scopeMode = s.analyserScopeMode.load() == 1 ? 1 : 0;
    zoom = within(s.analyserZoom.load(), 0.5f, 4.0f, 1.0f);
    relScope = within(s.analyserRelScope.load(), 0.05f, 5.0f, 0.15f);
    relCorr = within(s.analyserRelCorr.load(), 0.05f, 2.0f, 0.15f);
    relPan = within(s.analyserRelPan.load(), 0.05f, 2.0f, 0.15f);
    triangleAlpha = within(s.analyserTriangleAlpha.load(), 0.0f, 0.5f, 0.15f);
    dotDensity = within(s.analyserDotDensity.load(), 0.1f, 2.0f, 1.0f);
    inputBright = within(s.analyserInputBright.load(), 0.05f, 1.0f, 0.3f);
    outputBright = within(s.analyserOutputBright.load(), 0.1f, 1.0f, 0.88f);
    snapToPlugin = s.analyserSnapToPlugin.load();
    alwaysOnTop = s.analyserAlwaysOnTop.load();
}

void AnalyserWindow::buildContent()
{
    auto root = std::make_unique<RootComp>(*this);
    auto main = std::make_unique<MainComp>(*this);
    auto cfg = std::make_unique<CfgComp>(*this);
    mainComp = main.get();
    cfgComp = cfg.get();

    buildConfigPanel();

    gearButton.setButtonText(juce::String::fromUTF8("\xe2\x9a\x99"));
    gearButton.setColour(juce::TextButton::buttonColourId, juce::Colour(0xff2a2a2a));
    gearButton.setColour(juce::TextButton::buttonOnColourId, gold);
    gearButton.setColour(juce::TextButton::textColourOffId, gold);
    gearButton.setColour(juce::TextButton::textColourOnId, juce::Colours::black);
    gearButton.onClick = [this] { toggleConfigPanel(); };

    // The root owns both panes as children that die with it.
    root->addAndMakeVisible(main.release());
    root->addAndMakeVisible(gearButton);
    root->addChildComponent(cfg.release());
    for (juce::Component* c : {static_cast<juce::Component*>(mainComp), static_cast<juce::Component*>(cfgComp),
                               static_cast<juce::Component*>(&gearButton), static_cast<juce::Component*>(root.get())})
        c->setWantsKeyboardFocus(false);
    setWantsKeyboardFocus(false);

    root->setSize(mainDesignWidth, designHeight);
    setContentOwned(root.release(), true);
}

void AnalyserWindow::buildConfigPanel()
{
    if (cfgComp == nullptr)
        return;
    const auto& t = texts();

    labels.clear(true);
    const struct
    {
        const juce::String& text;
        float height;
        juce::uint32 colour;
        int x, y, w;
    } captions[] = {{t.heading, 11.0f, 0xffdaa520, 0, 8, 190},
                    {t.scopeSection, 9.5f, 0xffaaaaaa, 8, 29, 182},
                    {t.readingsSection, 9.5f, 0xffaaaaaa, 8, 202, 182},
                    {t.windowSection, 9.5f, 0xffaaaaaa, 8, 363, 182}};
    for (const auto& c : captions)
    {
        auto* label = labels.add(new juce::Label({}, c.text));
        label->setFont(boldFont(c.height));
        label->setColour(juce::Label::textColourId, juce::Colour(c.colour));
        label->setColour(juce::Label::backgroundColourId, juce::Colours::transparentBlack);
        label->setBounds(c.x, c.y, c.w, 13);
        cfgComp->addAndMakeVisible(label);
    }

    const struct
    {
        juce::TextButton& button;
        const juce::String& text;
        juce::Rectangle<int> bounds;
    } buttons[] = {{dotsButton, t.dots, {8, 44, 85, 18}},
                   {envelopeButton, t.envelope, {97, 44, 85, 18}},
                   {snapButton, t.snap, {8, 378, 85, 16}},
                   {onTopButton, t.onTop, {97, 378, 85, 16}}};
    for (const auto& b : buttons)
    {
        b.button.setButtonText(b.text);
        b.button.setClickingTogglesState(false);
        b.button.setWantsKeyboardFocus(false);
        b.button.setColour(juce::TextButton::buttonOnColourId, juce::Colour(0xffb8860b));
        b.button.setColour(juce::TextButton::textColourOnId, juce::Colours::black);
        setButtonLook(b.button, false);
        b.button.setBounds(b.bounds);
        cfgComp->addAndMakeVisible(b.button);
    }
    updateModeBtnState();
    setButtonLook(snapButton, snapToPlugin);
    setButtonLook(onTopButton, alwaysOnTop);
    snapButton.setTooltip(t.snapTip);
    onTopButton.setTooltip(t.onTopTip);

    const struct
    {
        OrlintKnob& knob;
        const juce::String& name;
        double min, max, interval, def;
        float value;
        int x, y;
    } knobs[] = {{zoomKnob, t.zoom, 0.5, 4.0, 0.05, 1.0, zoom, 7, 66},
                 {releaseKnob, t.release, 0.05, 1.0, 0.01, 0.15, relScope, 70, 66},
                 {densityKnob, t.density, 0.1, 2.0, 0.05, 1.0, dotDensity, 133, 66},
                 {inBrightKnob, t.inBright, 0.05, 1.0, 0.01, 0.3, inputBright, 7, 134},
                 {outBrightKnob, t.outBright, 0.1, 1.0, 0.01, 0.88, outputBright, 70, 134},
                 {triangleKnob, t.triangle, 0.0, 0.5, 0.01, 0.15, triangleAlpha, 133, 134},
                 {relCorrKnob, t.relCorr, 0.05, 2.0, 0.05, 0.15, relCorr, 23, 217},
                 {relPanKnob, t.relPan, 0.05, 2.0, 0.05, 0.15, relPan, 118, 217}};
    for (const auto& k : knobs)
    {
        k.knob.setParamName(k.name);
        k.knob.setRange(k.min, k.max, k.interval);
        k.knob.setValue(k.value, juce::dontSendNotification);
        k.knob.setDoubleClickReturnValue(true, k.def);
        k.knob.fontScale = 1.0f;
        k.knob.continuousDrag = true;
        k.knob.setBounds(k.x, k.y, 48, 64);
        k.knob.setWantsKeyboardFocus(false);
        cfgComp->addAndMakeVisible(k.knob);
    }
    densityKnob.setVisible(scopeMode == 0);

    auto& s = processor.settings;
    const auto value = [](const OrlintKnob& k) { return static_cast<float>(k.getValue()); };
    dotsButton.onClick = [this]
    {
        scopeMode = 0;
        updateModeBtnState();
        updateReleaseScopeRange();
    };
    envelopeButton.onClick = [this]
    {
        scopeMode = 1;
        updateModeBtnState();
        updateReleaseScopeRange();
    };
    zoomKnob.onValueChange = [this, value] { zoom = value(zoomKnob); };
    releaseKnob.onValueChange = [this, value]
    {
        relScope = value(releaseKnob);
        updateCoefficients();
    };
    relCorrKnob.onValueChange = [this, value]
    {
        relCorr = value(relCorrKnob);
        updateCoefficients();
    };
    relPanKnob.onValueChange = [this, value]
    {
        relPan = value(relPanKnob);
        updateCoefficients();
    };
    densityKnob.onValueChange = [this, value, &s]
    {
        dotDensity = value(densityKnob);
        s.analyserDotDensity.store(dotDensity);
    };
    inBrightKnob.onValueChange = [this, value, &s]
    {
        inputBright = value(inBrightKnob);
        s.analyserInputBright.store(inputBright);
    };
    outBrightKnob.onValueChange = [this, value, &s]
    {
        outputBright = value(outBrightKnob);
        s.analyserOutputBright.store(outputBright);
    };
    triangleKnob.onValueChange = [this, value, &s]
    {
        triangleAlpha = value(triangleKnob);
        s.analyserTriangleAlpha.store(triangleAlpha);
    };
    snapButton.onClick = [this, &s]
    {
        snapToPlugin = !snapToPlugin;
        s.analyserSnapToPlugin.store(snapToPlugin);
        updateWindowBtnStates();
    };
    onTopButton.onClick = [this, &s]
    {
        alwaysOnTop = !alwaysOnTop;
        s.analyserAlwaysOnTop.store(alwaysOnTop);
        setAlwaysOnTop(alwaysOnTop);
        updateWindowBtnStates();
    };
}

void AnalyserWindow::setButtonLook(juce::TextButton& b, bool on)
{
    b.setColour(juce::TextButton::buttonColourId, on ? juce::Colour(0xffb8860b) : juce::Colour(0xff2a2a2a));
    b.setColour(juce::TextButton::textColourOffId, on ? juce::Colours::black : juce::Colour(0xffaaaaaa));
}

void AnalyserWindow::updateModeBtnState()
{
    setButtonLook(dotsButton, scopeMode == 0);
    setButtonLook(envelopeButton, scopeMode == 1);
    densityKnob.setVisible(scopeMode == 0);
    if (mainComp != nullptr)
        mainComp->repaint();
}

void AnalyserWindow::updateWindowBtnStates()
{
    setButtonLook(snapButton, snapToPlugin);
    setButtonLook(onTopButton, alwaysOnTop);
}

// Envelopes need a longer memory than dots, so each mode has its own release range.
void AnalyserWindow::updateReleaseScopeRange()
{
    if (scopeMode == 1)
    {
        releaseKnob.setRange(1.0, 5.0, 0.05);
        releaseKnob.setDoubleClickReturnValue(true, 1.5);
        if (relScope < 1.0f)
        {
            relScope = 1.5f;
            releaseKnob.setValue(1.5, juce::sendNotificationSync);
        }
        else
        {
            releaseKnob.setValue(relScope, juce::dontSendNotification);
        }
    }
    else
    {
        releaseKnob.setRange(0.05, 1.0, 0.01);
        releaseKnob.setDoubleClickReturnValue(true, 0.15);
        if (relScope > 1.0f)
        {
            relScope = 0.15f;
            releaseKnob.setValue(0.15, juce::sendNotificationSync);
        }
        else
        {
            releaseKnob.setValue(relScope, juce::dontSendNotification);
        }
    }
}

void AnalyserWindow::updateCoefficients()
{
    coefScope = AnalyserMeasurement::releaseCoefficient(relScope);
    coefCorr = AnalyserMeasurement::releaseCoefficient(relCorr);
    coefPan = AnalyserMeasurement::releaseCoefficient(relPan);
    measurement.meter.setCoefficients(coefCorr, coefPan);
}

void AnalyserWindow::setKnobsFromMembers()
{
    zoomKnob.setValue(zoom, juce::dontSendNotification);
    releaseKnob.setValue(relScope, juce::dontSendNotification);
    densityKnob.setValue(dotDensity, juce::dontSendNotification);
    inBrightKnob.setValue(inputBright, juce::dontSendNotification);
    outBrightKnob.setValue(outputBright, juce::dontSendNotification);
    triangleKnob.setValue(triangleAlpha, juce::dontSendNotification);
    relCorrKnob.setValue(relCorr, juce::dontSendNotification);
    relPanKnob.setValue(relPan, juce::dontSendNotification);
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
    if (snapToPlugin)
        setTopLeftPosition(WindowPlacement::besideOnDisplay(pluginScreenBounds, getWidth(), getHeight(),
                                                            WindowPlacement::Side::right));
    setVisible(true);
    toFront(false);
}

void AnalyserWindow::toggleConfigPanel()
{
    cfgOpen = !cfgOpen;
    if (cfgComp != nullptr)
        cfgComp->setVisible(cfgOpen);

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

    if (cfgComp != nullptr)
    {
        labels.clear(true);
        cfgComp->removeAllChildren();
        panelRebuilt = true;
        buildConfigPanel();
        updateReleaseScopeRange();
        setKnobsFromMembers();
        updateModeBtnState();
        updateWindowBtnStates();
        cfgComp->resized();
    }
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
    measurement.tick(processor.outputScope(), processor.inputScope(), coefScope, dotDensity);

    if (mainComp != nullptr)
        repaintChangedParts();

    auto& s = processor.settings;
    s.analyserScopeMode.store(scopeMode == 1 ? 1 : 0);
    s.analyserZoom.store(zoom);
    s.analyserRelScope.store(relScope);
    s.analyserRelCorr.store(relCorr);
    s.analyserRelPan.store(relPan);
    s.analyserCfgOpen.store(cfgOpen);
    s.analyserDotDensity.store(dotDensity);
    s.analyserInputBright.store(inputBright);
    s.analyserOutputBright.store(outputBright);
}

void AnalyserWindow::repaintChangedParts()
{
    const Readings now{measurement.meter.correlation(), measurement.meter.panorama()};
    for (const auto& r : changedParts(mainComp->getWidth(), mainComp->getHeight(), shown, now))
        mainComp->repaint(r);
    shown = now;
}

// Only what a tick can change: the half-disc that holds the clouds, the wedge and the envelope, as
// a few bands that follow its arc, and the parts of the readings that moved. Any other change
// (size, mode, settings panel) repaints the whole pane through its own path.
juce::RectangleList<int> AnalyserWindow::changedParts(int width, int height, Readings before, Readings now)
{
    juce::RectangleList<int> parts;
    const int scopeH = std::min(width / 2 + 4, height - 72);
    if (width <= 0 || height <= 0 || scopeH <= 0)
        return parts;

    // Everything that moves lies within R + 2 px of the centre; only the wedge, turned past the base
    // line, reaches below it, down to the scope's bottom edge.
    const float cx = static_cast<float>(width) / 2.0f, cy = static_cast<float>(scopeH) - 4.0f;
    const float reach = static_cast<float>(width) / 2.0f - 14.0f + 2.0f;
    constexpr int bands = 6;
    const float top = cy - reach, bottom = static_cast<float>(scopeH);
    for (int i = 0; i < bands; ++i)
    {
        const float y0 = top + (bottom - top) * static_cast<float>(i) / bands;
        const float y1 = top + (bottom - top) * static_cast<float>(i + 1) / bands;
        const float below = std::max(0.0f, cy - y1);
        const float halfWidth = std::sqrt(std::max(0.0f, reach * reach - below * below)) + 1.0f;
        parts.addWithoutMerging(juce::Rectangle<float>(cx - halfWidth, y0, 2.0f * halfWidth, y1 - y0)
                                    .getSmallestIntegerContainer()
                                    .getIntersection({0, 0, width, scopeH}));
    }

    ReadingsBars::addChangedParts(parts, width, scopeH, before, now);
    return parts;
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

void AnalyserWindow::paintMain(juce::Graphics& g, int width, int height)
{
    const int scopeH = std::min(width / 2 + 4, height - 72);
    drawVectorscope(g, {0, 0, width, scopeH});
    readingsBars.paint(g, width, height, scopeH, {measurement.meter.correlation(), measurement.meter.panorama()});
}

void AnalyserWindow::drawGrid(juce::Graphics& g, juce::Rectangle<int> area)
{
    g.setColour(paneFill);
    g.fillRect(area);

    const auto X = static_cast<float>(area.getX()), Y = static_cast<float>(area.getY());
    const auto W = static_cast<float>(area.getWidth()), H = static_cast<float>(area.getHeight());
    const float cx = X + W / 2.0f, R = W / 2.0f - 14.0f, cy = Y + H - 4.0f;
    const auto trunc = [](float v) { return static_cast<float>(static_cast<int>(v)); };

    g.setColour(gridColour);
    for (const auto& [k, stroke] : {std::pair{0.25f, 0.5f}, {0.5f, 0.5f}, {0.75f, 0.5f}, {1.0f, 1.0f}})
    {
        const float r = k * R;
        juce::Path arc;
        arc.startNewSubPath(cx - r, cy);
        for (int i = 1; i <= 64; ++i)
        {
            const float a = juce::degreesToRadians((2.0f * static_cast<float>(i) / 64.0f - 1.0f) * 90.0f);
            arc.lineTo(cx + r * std::sin(a), cy - r * std::cos(a));
        }
        g.strokePath(arc, juce::PathStrokeType(stroke));
    }

    g.setFont(plainFont(8.5f));
    g.setColour(juce::Colour(0x73daa520));
    for (const auto& [k, text] : {std::pair{0.25f, "-45"}, {0.5f, "-30"}, {0.75f, "-15"}, {1.0f, "0"}})
        drawText(g, text, {trunc(cx + 2.0f), trunc(cy - k * R - 1.0f), 22.0f, 10.0f}, juce::Justification::centredLeft);

    constexpr float diagonal = 0.70710677f;
    g.setColour(gridColour);
    g.drawLine(cx, cy, cx - R, cy, 0.9f);
    g.drawLine(cx, cy, cx, cy - R, 0.9f);
    g.drawLine(cx, cy, cx + R, cy, 0.9f);
    g.drawLine(cx, cy, cx - diagonal * R, cy - diagonal * R, 0.4f);
    g.drawLine(cx, cy, cx + diagonal * R, cy - diagonal * R, 0.4f);
    g.setColour(juce::Colour(0xff787878));
    g.drawLine(cx - R, cy, cx + R, cy, 0.9f);

    g.setFont(boldFont(11.0f));
    g.setColour(juce::Colour(0xbfdaa520));
    drawText(g, "L", {trunc(cx - R - 14.0f), trunc(cy - R / 2.0f), 13.0f, 13.0f}, juce::Justification::centredRight);
    drawText(g, "R", {trunc(cx + R + 1.0f), trunc(cy - R / 2.0f), 13.0f, 13.0f}, juce::Justification::centredLeft);
    drawText(g, "C", {trunc(cx - 6.0f), trunc(Y + 1.0f), 13.0f, 13.0f}, juce::Justification::centred);

    g.setColour(boxOutline);
    g.drawRect(area, 1);
}

void AnalyserWindow::drawVectorscope(juce::Graphics& g, juce::Rectangle<int> area)
{
    if (area.isEmpty())
        return;
    // The grid changes only with the pane's size and the display's scale; the clouds over it
    // change every tick.
    const float scale = SurfaceCache::pixelScale(g);
    const auto& grid = gridCache.imageAt(scale, area.getWidth(), area.getHeight(),
                                         [&](juce::Graphics& cg) { drawGrid(cg, area.withZeroOrigin()); });

    const auto X = static_cast<float>(area.getX()), Y = static_cast<float>(area.getY());
    const auto W = static_cast<float>(area.getWidth()), H = static_cast<float>(area.getHeight());
    const float cx = X + W / 2.0f, R = W / 2.0f - 14.0f, cy = Y + H - 4.0f;

    juce::Graphics::ScopedSaveState saved(g);
    g.reduceClipRegion(area);
    if (scopeMode == 0)
    {
        // Dots land in a copy of the grid, which then reaches the pane as one opaque image.
        dotLayer.begin(grid, {X, Y}, scale);
        drawCloud(g, measurement.inPoints, cx, cy, R, juce::Colour(0xffbbbbbb), inputBright);
        drawCloud(g, measurement.outPoints, cx, cy, R, gold, outputBright);
        SurfaceCache::drawImage(g, dotLayer.end(), scale, area.getPosition().toFloat());
    }
    else
    {
        SurfaceCache::drawImage(g, grid, scale, area.getPosition().toFloat());
        drawCloud(g, measurement.inPoints, cx, cy, R, juce::Colour(0xffbbbbbb), inputBright);
        drawCloud(g, measurement.outPoints, cx, cy, R, gold, outputBright);
    }
    drawWedge(g, cx, cy, R);
}

void AnalyserWindow::drawCloud(juce::Graphics& g, const PointCloud& cloud, float cx, float cy, float radius,
                               juce::Colour colour, float brightness)
{
    drawLs.clear();
    drawRs.clear();
    drawAlphas.clear();
    for (const auto& p : cloud.points())
    {
        drawLs.push_back(p.l);
        drawRs.push_back(p.r);
        drawAlphas.push_back(p.alpha);
    }
    drawScopePoints(g, drawLs, drawRs, drawAlphas, cx, cy, radius, zoom, colour, brightness);
}

void AnalyserWindow::drawScopePoints(juce::Graphics& g, const std::vector<float>& ls, const std::vector<float>& rs,
                                     const std::vector<float>& alphas, float cx, float cy, float radius,
                                     float zoomFactor, juce::Colour colour, float brightness)
{
    if (ls.empty() || rs.size() < ls.size() || (scopeMode != 0 && scopeMode != 1))
        return;
    const bool useAlphas = alphas.size() == ls.size();

    if (scopeMode == 0)
    {
        drawXs.resize(ls.size());
        drawYs.resize(ls.size());
        VectorscopeMapping::placeAll(ls.data(), rs.data(), static_cast<int>(ls.size()), zoomFactor, cx, cy, radius,
                                     drawXs.data(), drawYs.data());
        for (size_t i = 0; i < ls.size(); ++i)
        {
            const float m = (ls[i] + rs[i]) * 0.5f, s = (rs[i] - ls[i]) * 0.5f;
            const float g0 = std::sqrt(m * m + s * s);
            if (!(g0 >= 1.0e-6f) || !std::isfinite(g0))
                continue;
            const juce::Point<float> pos{drawXs[i], drawYs[i]};
            float a = (4.0f * g0 + 0.25f) * brightness * (useAlphas ? alphas[i] : 1.0f);
            a = a < 0.03f ? 0.03f : std::min(a, brightness);
            if (dotLayer.isOpen())
            {
                dotLayer.add(pos.x, pos.y, 1.8f, colour, a);
            }
            else
            {
                g.setColour(colour.withAlpha(a));
                g.fillRect(pos.x - 0.9f, pos.y - 0.9f, 1.8f, 1.8f);
            }
        }
        return;
    }

    std::array<float, 180> bins{};
    for (size_t i = 0; i < ls.size(); ++i)
    {
        const float mag = std::sqrt(ls[i] * ls[i] + rs[i] * rs[i]);
        if (!(mag >= 1.0e-6f) || !std::isfinite(mag))
            continue;
        const auto pos = VectorscopeMapping::place(ls[i], rs[i], zoomFactor, cx, cy, radius);
        const float v = cy - pos.y;
        const float u = pos.x - cx;
        if (v < 0.0f)
            continue;
        const int bin = VectorscopeMapping::envelopeBin(u, v);
        bins[static_cast<size_t>(bin)] =
            std::max(bins[static_cast<size_t>(bin)], std::sqrt(u * u + v * v) * (useAlphas ? alphas[i] : 1.0f));
    }

    juce::Path envelope;
    envelope.startNewSubPath(cx - radius, cy);
    for (int i = 0; i < 180; ++i)
    {
        const float a = juce::degreesToRadians((static_cast<float>(i) + 0.5f) / 180.0f * 180.0f - 90.0f);
        const float q = bins[static_cast<size_t>(i)] > 0.0f ? bins[static_cast<size_t>(i)] : 2.0f;
        envelope.lineTo(cx + q * std::sin(a), cy - q * std::cos(a));
    }
    envelope.lineTo(cx + radius, cy);
    envelope.closeSubPath();
    g.setColour(colour.withAlpha(brightness * 0.15f));
    g.fillPath(envelope);
    g.setColour(colour.withAlpha(brightness * 0.72f));
    g.strokePath(envelope, juce::PathStrokeType(1.2f));
}

void AnalyserWindow::drawWedge(juce::Graphics& g, float cx, float cy, float radius)
{
    const auto raw = [this](const char* id) { return processor.apvts.getRawParameterValue(id)->load(); };
    const float rotation = raw(ID::rotation);
    const auto wedge = VectorscopeMapping::wedge(raw(ID::width), rotation, raw(ID::asymmetry));
    const float r = 0.85f * radius;
    const auto edge = [&](float degrees, float length)
    {
        const float phi = juce::degreesToRadians(degrees);
        return juce::Point<float>{cx + length * r * std::sin(phi), cy - length * r * std::cos(phi)};
    };

    juce::Path triangle;
    triangle.addTriangle({cx, cy}, edge(wedge.leftAngle, wedge.leftLength), edge(wedge.rightAngle, wedge.rightLength));
    g.setColour(juce::Colour(0xff7b3dc8).withAlpha(triangleAlpha));
    g.fillPath(triangle);

    const float s = VectorscopeMapping::outlineAlpha(triangleAlpha);
    g.setColour(gold.withAlpha(s));
    g.strokePath(triangle, juce::PathStrokeType(1.3f));
    const auto tip = edge(rotation, 1.0f);
    g.setColour(juce::Colour(0xff9b59b6).withAlpha(s));
    g.drawLine(cx, cy, tip.x, tip.y, 1.3f);
}
