#include "bivarro/editor/AnalyserWindow.h"
#include "bivarroeditor/EditorFixture.h"
#include "support/EditorSnapshots.h"
#include "support/TooltipLookup.h"
#include "widgets/KnobTestKit.h"

#include <cmath>
#include <limits>

// Read access to the window's state and panel controls, for tests only.
struct AnalyserWindowProbe
{
    explicit AnalyserWindowProbe(AnalyserWindow& w) : win(w) {}

    void tick() const { win.timerCallback(); }
    bool cfgOpen() const { return win.cfgOpen; }
    int scopeMode() const { return win.settings.scopeMode; }
    float relScope() const { return win.settings.relScope; }
    float coefScope() const { return win.settings.coefScope; }
    float correlation() const { return win.measurement.meter.correlation(); }
    float panorama() const { return win.measurement.meter.panorama(); }
    size_t outPoints() const { return win.measurement.outPoints.points().size(); }
    size_t inPoints() const { return win.measurement.inPoints.points().size(); }
    juce::TextButton& gear() const { return win.gearButton; }
    juce::TextButton& dots() const { return win.panel.dotsButton; }
    juce::TextButton& envelope() const { return win.panel.envelopeButton; }
    juce::TextButton& snap() const { return win.panel.snapButton; }
    juce::TextButton& onTop() const { return win.panel.onTopButton; }
    OrlintKnob& release() const { return win.panel.releaseKnob; }
    OrlintKnob& density() const { return win.panel.densityKnob; }
    OrlintKnob& zoom() const { return win.panel.zoomKnob; }
    OrlintKnob& triangle() const { return win.panel.triangleKnob; }
    OrlintKnob& relCorr() const { return win.panel.relCorrKnob; }
    OrlintKnob& relPan() const { return win.panel.relPanKnob; }
    juce::StringArray captions() const
    {
        juce::StringArray texts;
        for (auto* l : win.panel.labels)
            texts.add(l->getText());
        return texts;
    }
    juce::Component& cfgPane() const { return win.panel; }
    juce::Component& scopePane() const { return win.scopePane; }
    ReadingsBars::Readings readings() const { return {correlation(), panorama()}; }
    static juce::RectangleList<int> changedParts(int w, int h, ReadingsBars::Readings before,
                                                 ReadingsBars::Readings now)
    {
        return AnalyserScopePane::changedParts(w, h, before, now);
    }

    // The vectorscope as plain graphics calls draw it: the grid, one filled rectangle per dot, the wedge.
    void drawVectorscopeDirectly(juce::Graphics& g, int width, int scopeH) const
    {
        auto& scope = win.scopePane.vectorscope;
        Vectorscope::drawGrid(g, {0, 0, width, scopeH});
        const float cx = (float)width / 2.0f, R = (float)width / 2.0f - 14.0f, cy = (float)scopeH - 4.0f;
        const auto cloud = [&](const PointCloud& c, juce::Colour colour, float brightness)
        {
            std::vector<float> ls, rs, as;
            for (const auto& p : c.points())
            {
                ls.push_back(p.l);
                rs.push_back(p.r);
                as.push_back(p.alpha);
            }
            scope.drawScopePoints(g, ls, rs, as, cx, cy, R, win.settings.zoom, colour, brightness);
        };
        juce::Graphics::ScopedSaveState saved(g);
        g.reduceClipRegion(0, 0, width, scopeH);
        cloud(win.measurement.inPoints, juce::Colour(0xffbbbbbb), win.settings.inputBright);
        cloud(win.measurement.outPoints, juce::Colour(0xffdaa520), win.settings.outputBright);
        scope.drawWedge(g, cx, cy, R);
    }

    juce::Image vectorscopeThroughGraphics(int width, int scopeH) const
    {
        juce::Image image(juce::Image::ARGB, width, scopeH, true);
        juce::Graphics g(image);
        drawVectorscopeDirectly(g, width, scopeH);
        return image;
    }

    // The whole scope pane drawn directly, with no cached image, at scale device pixels per point.
    juce::Image scopePaneDirectly(float scale) const
    {
        const auto& pane = scopePane();
        const int w = pane.getWidth(), h = pane.getHeight(), scopeH = std::min(w / 2 + 4, h - 72);
        return drawnAtScale(w, h, scale,
                            [&](juce::Graphics& g)
                            {
                                drawVectorscopeDirectly(g, w, scopeH);
                                ReadingsBars::paintDirect(g, w, h, scopeH, readings());
                            });
    }

    // The scope pane as the window paints it, at scale device pixels per point.
    juce::Image scopePaneAsPainted(float scale) const
    {
        auto& pane = scopePane();
        return drawnAtScale(pane.getWidth(), pane.getHeight(), scale,
                            [&](juce::Graphics& g) { pane.paintEntireComponent(g, true); });
    }

    template <typename Paint> static juce::Image drawnAtScale(int w, int h, float scale, Paint paint)
    {
        juce::Image image(juce::Image::RGB, juce::roundToInt((float)w * scale), juce::roundToInt((float)h * scale),
                          true);
        juce::Graphics g(image);
        g.addTransform(juce::AffineTransform::scale(scale));
        paint(g);
        return image;
    }

    AnalyserWindow& win;
};

namespace
{
constexpr int titleBar = AnalyserWindow::titleBarHeight;

// Every analyser window on the desktop.
std::vector<AnalyserWindow*> analyserWindows()
{
    std::vector<AnalyserWindow*> found;
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* w = dynamic_cast<AnalyserWindow*>(desktop.getComponent(i)))
            found.push_back(w);
    return found;
}

// A click through the button's own asynchronous path, run to its end before the test goes on.
void click(juce::Button& b)
{
    b.triggerClick();
    ASSERT_TRUE(knobtest::deliverPostedMessages());
}

void click(BivoButton& b)
{
    b.mouseDown(knobtest::eventAt(b, 0, knobtest::none));
    b.mouseUp(knobtest::eventAt(b, 0, knobtest::none));
}

// Feeds the processor blocks of a stereo signal, as a host would.
struct SignalSource
{
    explicit SignalSource(BivarroAudioProcessor& p) : processor(p) { processor.prepareToPlay(48000.0, 512); }

    template <typename F> void play(int blocks, F sample)
    {
        juce::AudioBuffer<float> buffer(2, 512);
        juce::MidiBuffer midi;
        for (int b = 0; b < blocks; ++b)
        {
            for (int i = 0; i < 512; ++i, ++n)
            {
                const auto [l, r] = sample(n);
                buffer.setSample(0, i, l);
                buffer.setSample(1, i, r);
            }
            processor.processBlock(buffer, midi);
        }
    }

    BivarroAudioProcessor& processor;
    int n = 0;
};

std::pair<float, float> mono(int n)
{
    const float s = 0.5f * std::sin(0.031f * (float)n);
    return {s, s};
}

std::pair<float, float> inverted(int n)
{
    const float s = 0.5f * std::sin(0.031f * (float)n);
    return {s, -s};
}

// A wide, slightly right-leaning stereo signal.
std::pair<float, float> wide(int n)
{
    return {0.4f * std::sin(0.031f * (float)n), 0.5f * std::sin(0.027f * (float)n + 0.7f)};
}

struct AnalyserLifetime : EditorFixture
{
    BivoButton& graphic() const { return probe->button("graphic"); }
};

struct AnalyserWindowFixture : ::testing::Test
{
    void open()
    {
        window = std::make_unique<AnalyserWindow>(processor);
        probe = std::make_unique<AnalyserWindowProbe>(*window);
    }

    void TearDown() override
    {
        probe.reset();
        window.reset();
    }

    BivarroAudioProcessor processor;
    std::unique_ptr<AnalyserWindow> window;
    std::unique_ptr<AnalyserWindowProbe> probe;
};
} // namespace

TEST_F(AnalyserLifetime, GraphicButtonCreatesOnceThenHidesAndShowsTheSameWindow)
{
    ASSERT_TRUE(analyserWindows().empty());
    editor->setTopLeftPosition(100, 50);

    click(graphic());
    auto windows = analyserWindows();
    ASSERT_EQ(windows.size(), 1u);
    auto* window = windows.front();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isAlwaysOnTop());
    // Snapped 4 px right of the editor and centred on it vertically.
    EXPECT_EQ(window->getBounds(), juce::Rectangle<int>(100 + 380 + 4, 50 + (editor->getHeight() - 426) / 2, 600, 426));
    probe->tick();
    EXPECT_TRUE(processor.settings.analyserOpen.load());

    click(graphic());
    EXPECT_FALSE(window->isVisible());
    probe->tick();
    EXPECT_FALSE(processor.settings.analyserOpen.load());

    editor->setTopLeftPosition(0, 0);
    click(graphic());
    ASSERT_EQ(analyserWindows(), std::vector<AnalyserWindow*>{window});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->getPosition(), juce::Point<int>(384, (editor->getHeight() - 426) / 2));
}

// Beside the editor on its display: right of it, vertically centred, where there is room; otherwise
// left of it; otherwise pulled onto the display; moved up or down onto the display near its edges.
TEST_F(AnalyserLifetime, OpensBesideTheEditorAndStaysOnTheDisplay)
{
    const auto area = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
    const int w = editor->getWidth(), h = editor->getHeight();
    // The suite's virtual display is wide enough for the window on one side of the editor, not both.
    ASSERT_GE(area.getWidth(), w + 604);
    ASSERT_LT(area.getWidth(), w + 2 * 604);
    enum Expect
    {
        right,
        left,
        pulledIn
    };
    const struct
    {
        const char* where;
        juce::Point<int> editorAt;
        Expect x;
        bool centred;
        int y;
    } cases[] = {
        {"room on the right", area.getTopLeft() + juce::Point<int>(100, 50), right, true, 0},
        {"just room on the right", {area.getRight() - w - 604, area.getY() + 50}, right, true, 0},
        {"at the right edge", {area.getRight() - w, area.getY() + 50}, left, true, 0},
        {"just room on the left", area.getTopLeft() + juce::Point<int>(604, 50), left, true, 0},
        {"no room either side", {area.getRight() - w - 603, area.getY() + 50}, pulledIn, true, 0},
        {"no room either side, further left", area.getTopLeft() + juce::Point<int>(603, 50), pulledIn, true, 0},
        {"above the top", area.getTopLeft() + juce::Point<int>(100, -h / 2), right, false, area.getY()},
        {"below the bottom", {area.getX() + 100, area.getBottom() - h / 4}, right, false, area.getBottom() - 426},
    };
    for (const auto& c : cases)
    {
        editor->setTopLeftPosition(c.editorAt);
        click(graphic());
        auto* window = analyserWindows().at(0);
        ASSERT_TRUE(window->isVisible()) << c.where;
        const auto r = editor->getScreenBounds();
        const int x = c.x == right ? r.getRight() + 4 : c.x == left ? r.getX() - 604 : area.getRight() - 600;
        EXPECT_EQ(window->getPosition(), juce::Point<int>(x, c.centred ? r.getY() + (r.getHeight() - 426) / 2 : c.y))
            << c.where;
        EXPECT_TRUE(area.contains(window->getBounds())) << c.where << " " << window->getBounds().toString();
        click(graphic());
    }
}

TEST_F(AnalyserLifetime, CloseButtonHidesAndSwitchesTheButtonOffWithoutItsHandler)
{
    click(graphic());
    auto* window = analyserWindows().at(0);

    int handlerCalls = 0;
    auto handler = graphic().onToggle;
    graphic().onToggle = [&](bool on)
    {
        ++handlerCalls;
        handler(on);
    };
    window->closeButtonPressed();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(graphic().isOn);
    EXPECT_EQ(handlerCalls, 0);

    // A click opens the same window again.
    click(graphic());
    EXPECT_EQ(handlerCalls, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(analyserWindows().size(), 1u);
}

TEST_F(AnalyserLifetime, VisibilityOutlivesTheEditorAndTheWindowDiesWithIt)
{
    click(graphic());
    close();
    EXPECT_TRUE(analyserWindows().empty());
    EXPECT_TRUE(processor.settings.analyserOpen.load());

    open();
    EXPECT_TRUE(graphic().isOn);
    ASSERT_EQ(analyserWindows().size(), 1u);
    EXPECT_TRUE(analyserWindows().front()->isVisible());

    click(graphic());
    close();
    EXPECT_FALSE(processor.settings.analyserOpen.load());
    open();
    EXPECT_FALSE(graphic().isOn);
    EXPECT_TRUE(analyserWindows().empty());
}

TEST_F(AnalyserWindowFixture, SavedBoundsAreRestoredWithinLimitsAndOnADisplay)
{
    const auto display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
    const auto centred = [&](int w, int h) { return display.withSizeKeepingCentre(w, h); };
    const struct
    {
        const char* name;
        int x, y, w, h;
        bool cfgOpen;
        juce::Rectangle<int> expected;
    } cases[] = {
        {"nothing saved", -1, -1, 0, 0, false, centred(600, 426)},
        {"saved size and place", 100, 50, 750, 533, false, {100, 50, 750, 533}},
        {"size without place", -1, -1, 750, 533, false, {}},
        {"too large", 100, 50, 5000, 5000, false, {100, 50, 900, 639}},
        {"too small", 100, 50, 10, 10, false, {100, 50, 600, 426}},
        {"place on no display", 16000, 16000, 600, 426, false, {}},
        {"open panel without size", -1, -1, 0, 0, true, centred(790, 426)},
        {"open panel with size", 30, 40, 1000, 539, true, {30, 40, 1000, 539}},
        {"open panel, closed-panel size", 30, 40, 600, 426, true, {30, 40, 790, 426}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto& s = processor.settings;
        s.analyserSnapToPlugin = false;
        s.analyserWinX = c.x;
        s.analyserWinY = c.y;
        s.analyserWinW = c.w;
        s.analyserWinH = c.h;
        s.analyserCfgOpen = c.cfgOpen;
        open();
        if (c.expected.isEmpty())
        {
            EXPECT_TRUE(display.contains(window->getBounds().getTopLeft()));
            EXPECT_EQ(window->getWidth(), juce::jlimit(600, 900, c.w));
        }
        else
        {
            EXPECT_EQ(window->getBounds(), c.expected);
        }
        EXPECT_EQ(probe->cfgOpen(), c.cfgOpen);
        // What is saved now describes the window as it is, not a place it passed while being built.
        EXPECT_EQ(s.analyserWinX.load(), window->getX());
        EXPECT_EQ(s.analyserWinY.load(), window->getY());
        EXPECT_EQ(s.analyserWinW.load(), window->getWidth());
        EXPECT_EQ(s.analyserWinH.load(), window->getHeight());
        TearDown();
    }
}

TEST_F(AnalyserWindowFixture, MovesAndResizesAreSaved)
{
    open();
    window->setBounds(20, 30, 750, 533);
    EXPECT_EQ(processor.settings.analyserWinX.load(), 20);
    EXPECT_EQ(processor.settings.analyserWinY.load(), 30);
    EXPECT_EQ(processor.settings.analyserWinW.load(), 750);
    EXPECT_EQ(processor.settings.analyserWinH.load(), 533);
}

TEST_F(AnalyserWindowFixture, GearTogglesThePanelWithItsSizesAndLimits)
{
    open();
    auto* constrainer = window->getConstrainer();
    EXPECT_EQ(constrainer->getMinimumWidth(), 600);
    EXPECT_EQ(constrainer->getMaximumWidth(), 900);
    EXPECT_EQ(constrainer->getMaximumHeight(), 639);

    const struct
    {
        int startWidth, openWidth, openHeight;
    } cases[] = {{600, 790, 426}, {900, 1185, 639}, {750, 988, 533}};
    for (const auto& c : cases)
    {
        window->setSize(c.startWidth, juce::roundToInt(c.startWidth * 426.0f / 600.0f));
        const auto topLeft = window->getPosition();
        click(probe->gear());
        ASSERT_TRUE(probe->cfgOpen());
        EXPECT_TRUE(probe->cfgPane().isVisible());
        EXPECT_EQ(window->getWidth(), c.openWidth);
        EXPECT_EQ(window->getHeight(), c.openHeight);
        EXPECT_EQ(window->getPosition(), topLeft);
        EXPECT_EQ(constrainer->getMinimumWidth(), 790);
        EXPECT_EQ(constrainer->getMaximumWidth(), 1185);
        EXPECT_EQ(constrainer->getMinimumHeight(), 426);
        // The scope keeps its 600 share; the panel takes the rest.
        const int contentWidth = probe->cfgPane().getParentWidth();
        EXPECT_EQ(probe->cfgPane().getX(), juce::roundToInt(600.0f * contentWidth / 790.0f));
        EXPECT_EQ(probe->cfgPane().getRight(), contentWidth);

        click(probe->gear());
        EXPECT_FALSE(probe->cfgOpen());
        EXPECT_FALSE(probe->cfgPane().isVisible());
        EXPECT_EQ(window->getWidth(), juce::roundToInt(c.openWidth / 790.0f * 600.0f));
    }
}

TEST_F(AnalyserWindowFixture, ReleaseRangeFollowsTheMode)
{
    const struct
    {
        float saved;
        float inEnvelope, backInDots;
    } cases[] = {{0.15f, 1.5f, 0.15f}, {1.0f, 1.0f, 1.0f}, {0.5f, 1.5f, 0.15f}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.saved);
        // The last window's timer may have saved either mode before it closed.
        processor.settings.analyserScopeMode = 0;
        processor.settings.analyserRelScope = c.saved;
        open();
        EXPECT_FLOAT_EQ(probe->relScope(), c.saved);
        EXPECT_TRUE(probe->density().isVisible());

        click(probe->envelope());
        EXPECT_EQ(probe->scopeMode(), 1);
        EXPECT_FLOAT_EQ(probe->relScope(), c.inEnvelope);
        EXPECT_DOUBLE_EQ(probe->release().getMinimum(), 1.0);
        EXPECT_DOUBLE_EQ(probe->release().getMaximum(), 5.0);
        EXPECT_NEAR(probe->coefScope(), AnalyserMeasurement::releaseCoefficient(c.inEnvelope), 1e-6f);
        EXPECT_FALSE(probe->density().isVisible());
        EXPECT_EQ(probe->envelope().findColour(juce::TextButton::buttonColourId), juce::Colour(0xffb8860b));
        EXPECT_EQ(probe->dots().findColour(juce::TextButton::buttonColourId), juce::Colour(0xff2a2a2a));

        click(probe->dots());
        EXPECT_EQ(probe->scopeMode(), 0);
        EXPECT_FLOAT_EQ(probe->relScope(), c.backInDots);
        EXPECT_DOUBLE_EQ(probe->release().getMaximum(), 1.0);
        EXPECT_TRUE(probe->density().isVisible());
        TearDown();
    }
}

TEST_F(AnalyserWindowFixture, SettingsReachTheProcessor)
{
    open();
    auto& s = processor.settings;
    probe->zoom().setValue(2.0, juce::sendNotificationSync);
    probe->relCorr().setValue(1.0, juce::sendNotificationSync);
    probe->density().setValue(0.5, juce::sendNotificationSync);
    probe->triangle().setValue(0.4, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ(s.analyserDotDensity.load(), 0.5f); // at once
    EXPECT_FLOAT_EQ(s.analyserTriangleAlpha.load(), 0.4f);
    EXPECT_FLOAT_EQ(s.analyserZoom.load(), 1.0f); // on the next tick

    click(probe->envelope());
    click(probe->gear());
    click(probe->snap());
    click(probe->onTop());
    EXPECT_FALSE(s.analyserSnapToPlugin.load());
    EXPECT_FALSE(s.analyserAlwaysOnTop.load());
    EXPECT_FALSE(window->isAlwaysOnTop());

    probe->tick();
    EXPECT_FLOAT_EQ(s.analyserZoom.load(), 2.0f);
    EXPECT_FLOAT_EQ(s.analyserRelCorr.load(), 1.0f);
    EXPECT_FLOAT_EQ(s.analyserRelScope.load(), 1.5f);
    EXPECT_EQ(s.analyserScopeMode.load(), 1);
    EXPECT_TRUE(s.analyserCfgOpen.load());

    // A new window starts where this one stopped.
    TearDown();
    open();
    EXPECT_EQ(probe->scopeMode(), 1);
    EXPECT_TRUE(probe->cfgOpen());
    EXPECT_DOUBLE_EQ(probe->zoom().getValue(), 2.0);
    EXPECT_DOUBLE_EQ(probe->release().getValue(), 1.5);
    EXPECT_FALSE(window->isAlwaysOnTop());
}

TEST_F(AnalyserWindowFixture, CorrelationAndPanoramaEachFollowTheirOwnRelease)
{
    SignalSource source(processor);
    open();
    probe->relCorr().setValue(0.5, juce::sendNotificationSync);
    probe->relPan().setValue(1.25, juce::sendNotificationSync);
    // exp(-1 / (0.5 * 60)) and exp(-1 / (1.25 * 60)): the share of the old reading kept per tick.
    constexpr float keptCorr = 0.9672161f, keptPan = 0.9867552f;

    // The right channel at half the left's level: correlation 1, panorama (0.25 - 1) / 1.25.
    const auto halfRight = [](int n)
    {
        const float s = 0.5f * std::sin(0.031f * (float)n);
        return std::pair{s, 0.5f * s};
    };
    float corr = 0.0f, pan = 0.0f;
    for (int t = 0; t < 3; ++t)
    {
        source.play(1, halfRight);
        probe->tick();
        corr = keptCorr * corr + (1.0f - keptCorr) * 1.0f;
        pan = keptPan * pan + (1.0f - keptPan) * -0.6f;
        EXPECT_NEAR(probe->correlation(), corr, 2e-5f) << t;
        EXPECT_NEAR(probe->panorama(), pan, 2e-5f) << t;
    }

    // Silence: both fall back toward 0, each at its own rate.
    source.play(2, [](int) { return std::pair{0.0f, 0.0f}; });
    const auto before = probe->readings();
    probe->tick();
    EXPECT_NEAR(probe->correlation(), before.correlation * keptCorr, 1e-6f);
    EXPECT_NEAR(probe->panorama(), before.panorama * keptPan, 1e-6f);

    // Each release is saved and comes back on its own knob.
    EXPECT_FLOAT_EQ(processor.settings.analyserRelCorr.load(), 0.5f);
    EXPECT_FLOAT_EQ(processor.settings.analyserRelPan.load(), 1.25f);
    TearDown();
    open();
    EXPECT_DOUBLE_EQ(probe->relCorr().getValue(), 0.5);
    EXPECT_DOUBLE_EQ(probe->relPan().getValue(), 1.25);
    source.play(1, halfRight);
    probe->tick();
    EXPECT_NEAR(probe->correlation(), 1.0f - keptCorr, 2e-5f);
    EXPECT_NEAR(probe->panorama(), (1.0f - keptPan) * -0.6f, 2e-5f);
}

TEST_F(AnalyserWindowFixture, SpanishTextsKeepValuesAndScaling)
{
    processor.settings.analyserCfgOpen = true;
    open();
    window->setSize(1185, 639);
    click(probe->envelope());
    const auto releaseBounds = probe->release().getBounds();

    window->setAnalyserSpanish(true);
    EXPECT_EQ(window->getName(), juce::String::fromUTF8("Analizador \xe2\x80\x94 Bivarro"));
    EXPECT_EQ(probe->captions(),
              juce::StringArray({"Configuraciones", "Vectorscopio", "Correlacion / Panorama", "Ventana"}));
    EXPECT_EQ(probe->dots().getButtonText(), "Puntos");
    EXPECT_EQ(probe->envelope().getButtonText(), "Envolvente");
    EXPECT_EQ(probe->snap().getTooltip(), "Snap to Plugin: al abrir, posiciona la ventana al lado del plugin");
    EXPECT_EQ(probe->scopeMode(), 1);
    EXPECT_DOUBLE_EQ(probe->release().getValue(), 1.5);
    EXPECT_DOUBLE_EQ(probe->release().getMinimum(), 1.0);
    EXPECT_EQ(probe->release().getBounds(), releaseBounds);
    EXPECT_GT(releaseBounds.getWidth(), 48);

    window->setAnalyserSpanish(false);
    EXPECT_EQ(window->getName(), juce::String::fromUTF8("Analyser \xe2\x80\x94 Bivarro"));
    EXPECT_EQ(probe->captions(), juce::StringArray({"Settings", "Vectorscope", "Correlation / Panorama", "Window"}));
    EXPECT_TRUE(window->getDesktopWindowStyleFlags() & juce::ComponentPeer::windowIgnoresKeyPresses);
}

TEST_F(AnalyserWindowFixture, PanelTipsShowWhereThePointerRests)
{
    processor.settings.analyserCfgOpen = true;
    open();
    window->setTopLeftPosition(50, 50);
    for (int width : {790, 1185})
    {
        window->setSize(width, juce::roundToInt(426.0f * (float)width / 790.0f));
        for (bool spanish : {false, true})
        {
            window->setAnalyserSpanish(spanish);
            const auto& t = AnalyserTexts::forLanguage(spanish);
            EXPECT_EQ(tipAtCentreOf(probe->snap()), t.snapTip) << width;
            EXPECT_EQ(tipAtCentreOf(probe->onTop()), t.onTopTip) << width;
            EXPECT_EQ(tipAtCentreOf(probe->gear()), "") << width;
        }
    }
}

TEST_F(AnalyserWindowFixture, MeasuresTheProcessorsOutput)
{
    SignalSource source(processor);
    source.play(4, mono);
    open();
    probe->tick();
    EXPECT_EQ(probe->outPoints(), 0u); // only samples written after the window opened

    for (int t = 0; t < 120; ++t)
    {
        source.play(2, mono);
        probe->tick();
    }
    EXPECT_EQ(juce::String(probe->correlation(), 2), "1.00");
    EXPECT_NEAR(probe->panorama(), 0.0f, 1e-3f);
    EXPECT_GT(probe->outPoints(), 500u);
    EXPECT_GT(probe->inPoints(), 500u);
    EXPECT_LE(probe->outPoints(), 10240u);

    for (int t = 0; t < 120; ++t)
    {
        source.play(2, inverted);
        probe->tick();
    }
    EXPECT_EQ(juce::String(probe->correlation(), 2), "-1.00");

    // One infinite sample upstream leaves the readings finite.
    source.play(1,
                [](int n) {
                    return n % 512 == 100 ? std::pair{std::numeric_limits<float>::infinity(), 0.5f} : mono(n);
                });
    for (int t = 0; t < 3; ++t)
    {
        probe->tick();
        EXPECT_TRUE(std::isfinite(probe->correlation()));
        EXPECT_TRUE(std::isfinite(probe->panorama()));
    }
}

TEST_F(AnalyserWindowFixture, SnapshotsOfDotsAndEnvelopeWithThePanelClosedAndOpen)
{
    SignalSource source(processor);
    processor.settings.analyserSnapToPlugin = false;
    open();
    for (int t = 0; t < 30; ++t)
    {
        source.play(2, wide);
        probe->tick();
    }

    const auto shoot = [&](const juce::String& name)
    {
        EXPECT_TRUE(knobtest::deliverPostedMessages());
        const auto img = window->createComponentSnapshot(window->getLocalBounds(), true, 1.0f);
        writePng(img, name);
        return img;
    };

    auto img = shoot("bivarro-analyser-dots.png");
    ASSERT_EQ(img.getWidth(), 600);
    // Title bar: the accent rule along its bottom, the gold badge at its left.
    EXPECT_EQ(img.getPixelAt(300, titleBar - 1), juce::Colour(0xffb8860b));
    const auto badge = img.getPixelAt(12, titleBar / 2 + 4);
    EXPECT_GT(badge.getRed(), badge.getBlue() + 60);
    // Gold output points inside the half-disc.
    int goldPixels = 0;
    for (int y = titleBar; y < titleBar + 300; ++y)
        for (int x = 20; x < 580; ++x)
        {
            const auto c = img.getPixelAt(x, y);
            goldPixels += c.getRed() > c.getBlue() + 60 && c.getGreen() > c.getBlue() + 30 ? 1 : 0;
        }
    EXPECT_GT(goldPixels, 200);

    probe->envelope().triggerClick();
    shoot("bivarro-analyser-envelope.png");

    probe->gear().triggerClick();
    img = shoot("bivarro-analyser-envelope-panel.png");
    EXPECT_EQ(img.getWidth(), 790);
    // The panel's fill right of its left edge line.
    EXPECT_EQ(img.getPixelAt(785, 300), juce::Colour(0xff222222));

    probe->dots().triggerClick();
    window->setAnalyserSpanish(true);
    shoot("bivarro-analyser-dots-panel-es.png");
}

TEST_F(AnalyserWindowFixture, DotsFrameMatchesOneFilledRectanglePerDot)
{
    SignalSource source(processor);
    processor.settings.analyserSnapToPlugin = false;
    open();
    for (int t = 0; t < 40; ++t)
    {
        source.play(2, wide);
        probe->tick();
    }
    ASSERT_EQ(probe->scopeMode(), 0);
    ASSERT_GT(probe->outPoints(), 1000u);

    auto& pane = probe->scopePane();
    const int scopeH = std::min(pane.getWidth() / 2 + 4, pane.getHeight() - 72);
    const auto fast = pane.createComponentSnapshot(pane.getLocalBounds(), true, 1.0f);
    const auto reference = probe->vectorscopeThroughGraphics(pane.getWidth(), scopeH);
    writePng(fast, "bivarro-analyser-dots-frame.png");
    writePng(reference, "bivarro-analyser-dots-graphics.png");

    // Rounding differs per blend, so heavily overlapped pixels may drift a little; a dot a pixel
    // off, a wrong colour or a wrong blend shows far beyond that.
    int worst = 0;
    double total = 0.0;
    for (int y = 0; y < scopeH; ++y)
        for (int x = 0; x < pane.getWidth(); ++x)
        {
            const auto a = fast.getPixelAt(x, y), b = reference.getPixelAt(x, y);
            const int d = std::max({std::abs(a.getRed() - b.getRed()), std::abs(a.getGreen() - b.getGreen()),
                                    std::abs(a.getBlue() - b.getBlue())});
            worst = std::max(worst, d);
            total += d;
        }
    EXPECT_LE(worst, 12);
    EXPECT_LT(total / (scopeH * pane.getWidth()), 0.5);
}

// How far two drawings of the same rows differ: the worst channel difference, the mean, and how
// many pixels differ by more than a blend's rounding could explain.
struct Difference
{
    int worst = 0, beyondBlending = 0;
    double mean = 0.0;
};

Difference differenceOf(const juce::Image& a, const juce::Image& b, int fromRow, int toRow)
{
    Difference d;
    double total = 0.0;
    for (int y = fromRow; y < toRow; ++y)
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto p = a.getPixelAt(x, y), q = b.getPixelAt(x, y);
            const int channel = std::max({std::abs(p.getRed() - q.getRed()), std::abs(p.getGreen() - q.getGreen()),
                                          std::abs(p.getBlue() - q.getBlue())});
            d.worst = std::max(d.worst, channel);
            d.beyondBlending += channel > 32 ? 1 : 0;
            total += channel;
        }
    d.mean = total / std::max(1, (toRow - fromRow) * a.getWidth());
    return d;
}

// On a high-density display every cached image must hold a pixel per device pixel: the pane drawn
// through its caches matches the same pane drawn directly at the display's scale.
TEST(AnalyserDisplayScale, CachedPaneMatchesDirectDrawingAtEveryScale)
{
    const struct
    {
        const char* name;
        bool envelope, panelOpen;
    } setups[] = {
        {"dots, panel closed", false, false},
        {"envelope, panel closed", true, false},
        {"dots, panel open", false, true},
        {"envelope, panel open", true, true},
    };
    for (const auto& setup : setups)
        for (const float scale : {1.0f, 1.25f, 2.0f})
        {
            SCOPED_TRACE(juce::String(setup.name) + " at scale " + juce::String(scale));
            BivarroAudioProcessor processor;
            SignalSource source(processor);
            auto& s = processor.settings;
            s.analyserSnapToPlugin = false;
            s.analyserScopeMode = setup.envelope ? 1 : 0;
            s.analyserCfgOpen = setup.panelOpen;
            // With the panel open, a larger window whose pane is not the design size.
            s.analyserWinW = setup.panelOpen ? 1001 : 0;
            s.analyserWinH = setup.panelOpen ? 570 : 0;
            AnalyserWindow window(processor);
            AnalyserWindowProbe probe(window);
            for (int t = 0; t < 30; ++t)
            {
                source.play(2, wide);
                probe.tick();
            }
            ASSERT_GT(probe.outPoints(), 1000u);
            ASSERT_EQ(probe.cfgOpen(), setup.panelOpen);
            const auto& pane = probe.scopePane();

            const auto cached = probe.scopePaneAsPainted(scale);
            const auto direct = probe.scopePaneDirectly(scale);
            ASSERT_EQ(cached.getBounds(), direct.getBounds());
            if (juce::exactlyEqual(scale, 2.0f))
            {
                const auto name = juce::String("bivarro-analyser-scale2-") + (setup.envelope ? "envelope" : "dots") +
                                  (setup.panelOpen ? "-wide" : "");
                writePng(cached, name + ".png");
                writePng(direct, name + "-direct.png");
            }

            // Rounding differs per blend where dots overlap, as at scale 1; a cached image at the
            // wrong resolution blurs every line and letter far beyond that.
            const int scopeRows =
                juce::roundToInt((float)std::min(pane.getWidth() / 2 + 4, pane.getHeight() - 72) * scale);
            const auto scope = differenceOf(cached, direct, 0, scopeRows);
            const auto readings = differenceOf(cached, direct, scopeRows, cached.getHeight());
            EXPECT_LE(scope.worst, 12) << scope.beyondBlending << " scope pixels off by more than 32";
            EXPECT_LT(scope.mean, 0.5);
            EXPECT_LE(readings.worst, 12) << readings.beyondBlending << " readings pixels off by more than 32";
            EXPECT_LT(readings.mean, 0.5);
        }
}

TEST_F(AnalyserWindowFixture, ATicksRepaintCoversEveryPixelItChanges)
{
    const struct
    {
        const char* name;
        bool envelope;
        std::pair<float, float> (*before)(int);
        std::pair<float, float> (*after)(int);
        float rotationBefore = 0.0f, rotationAfter = 0.0f;
    } cases[] = {
        {"dots, wide to mono", false, wide, mono},
        {"dots, mono to opposite polarity", false, mono, inverted}, // the marker crosses the centre label
        {"envelope, wide to opposite polarity", true, wide, inverted},
        {"envelope, opposite polarity to wide", true, inverted, wide},
        // At full width a turned wedge reaches below the base line.
        {"dots, the wedge turned from left to right", false, wide, wide, -45.0f, 45.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        BivarroAudioProcessor fresh;
        SignalSource source(fresh);
        fresh.settings.analyserSnapToPlugin = false;
        fresh.settings.analyserScopeMode = c.envelope ? 1 : 0;
        const auto setParameter = [&](const char* id, float value)
        {
            auto* parameter = fresh.apvts.getParameter(id);
            parameter->setValueNotifyingHost(parameter->convertTo0to1(value));
        };
        setParameter("width", juce::approximatelyEqual(c.rotationBefore, c.rotationAfter) ? 100.0f : 500.0f);
        setParameter("rotation", c.rotationBefore);
        AnalyserWindow win(fresh);
        AnalyserWindowProbe p(win);
        for (int t = 0; t < 30; ++t)
        {
            source.play(2, c.before);
            p.tick();
        }
        auto& pane = p.scopePane();
        const auto before = pane.createComponentSnapshot(pane.getLocalBounds(), true, 1.0f);
        const auto readingsBefore = p.readings();
        setParameter("rotation", c.rotationAfter);
        for (int t = 0; t < 8; ++t)
        {
            source.play(2, c.after);
            p.tick();
        }
        const auto after = pane.createComponentSnapshot(pane.getLocalBounds(), true, 1.0f);
        const auto parts =
            AnalyserWindowProbe::changedParts(pane.getWidth(), pane.getHeight(), readingsBefore, p.readings());

        int changed = 0, outside = 0;
        for (int y = 0; y < pane.getHeight(); ++y)
            for (int x = 0; x < pane.getWidth(); ++x)
                if (before.getPixelAt(x, y) != after.getPixelAt(x, y))
                {
                    ++changed;
                    if (!parts.containsPoint({x, y}))
                        ADD_FAILURE() << "changed outside the repainted parts: " << x << "," << y << " (" << ++outside
                                      << ")";
                    if (outside > 5)
                        return;
                }
        EXPECT_GT(changed, 1000);
        // The corners above the half-disc are never repainted by a tick.
        EXPECT_FALSE(parts.containsPoint({2, 2}));
        EXPECT_FALSE(parts.containsPoint({pane.getWidth() - 3, 2}));
    }
}
