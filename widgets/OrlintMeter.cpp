#include "widgets/OrlintMeter.h"

#include "widgets/OrlintMeterSettingsOverlay.h"
#include "widgets/OrlintMeterSettingsPanel.h"
#include "widgets/OrzFonts.h"

#include <cmath>

const juce::Colour OrlintMeter::kColBg{0xff161616};
const juce::Colour OrlintMeter::kColBorder{0xff3a3a3a};
const juce::Colour OrlintMeter::kColAccent{0xffdaa520};
const juce::Colour OrlintMeter::kColTextDim{0xff666666};
const juce::Colour OrlintMeter::kColGreen{0xff4caf50};
const juce::Colour OrlintMeter::kColYellow{0xfff9a825};
const juce::Colour OrlintMeter::kColOrange{0xffef6c00};
const juce::Colour OrlintMeter::kColRed{0xffe53935};

namespace
{
constexpr int kTickMs = 16;
constexpr float kSilenceDb = -99.0f;
constexpr double kHoldMs = 3000.0;
constexpr float kFadeStep = 1.0f / 30.0f;
constexpr int kPanelSize = 160;
constexpr int kPanelMargin = 162;
constexpr int kMarks[] = {-36, -24, -18, -12, -6, 0};

// Silence (and anything that is not a finite number) is -99; the bar starts at -98, so nothing
// between the two is drawn, and the top of the range is +3.
float clampLevel(float db)
{
    if (!std::isfinite(db) || db <= kSilenceDb)
        return kSilenceDb;
    return juce::jlimit(-98.0f, 3.0f, db);
}

// Like jlimit, but a value that is not a number takes the lower bound instead of passing through.
float clampSetting(float v, float lo, float hi)
{
    return v >= lo ? juce::jmin(v, hi) : lo;
}

float fraction(float v)
{
    return juce::jlimit(0.0f, 1.0f, v);
}
} // namespace

//==============================================================================
OrlintMeter::OrlintMeter()
{
    setOpaque(false);
    startTimer(kTickMs);
}

OrlintMeter::~OrlintMeter()
{
    stopTimer();
    if ((settingsPanel != nullptr || settingsOverlay != nullptr) && getParentComponent() != nullptr)
    {
        getParentComponent()->removeChildComponent(settingsOverlay.get());
        getParentComponent()->removeChildComponent(settingsPanel.get());
    }
    settingsOverlay.reset();
    settingsPanel.reset();
}

float OrlintMeter::coefFromMs(float ms)
{
    // Written as "not above 0" so that NaN also counts as instant instead of poisoning the levels.
    if (!(ms > 0.0f))
        return 1.0f;
    return 1.0f - std::exp(-1.0f / (ms * 0.001f * 60.0f));
}

void OrlintMeter::setClock(std::function<double()> newClock)
{
    clock = std::move(newClock);
}

//==============================================================================
void OrlintMeter::pushLevels(float newPeakDb, float newRmsDb)
{
    const float p = clampLevel(newPeakDb);
    const float r = clampLevel(newRmsDb);
    const float shownPeak = peakDb, shownRms = rmsDb, shownHeld = heldPeakDb, shownHoldAlpha = holdAlpha;

    peakDb += (p - peakDb) * (p > peakDb ? attackCoef : releaseCoef);
    rmsDb += (r - rmsDb) * (r > rmsDb ? rmsRiseCoef : rmsFallCoef);
    hasNewLevels = true;

    // The hold follows the raw input so that short peaks the ballistics smooth away still show.
    if (holdEnabled)
    {
        if (p > heldPeakDb)
            heldPeakDb = p;
    }
    else if (p > heldPeakDb || heldPeakDb <= kSilenceDb)
    {
        heldPeakDb = p;
        holdTimeMs = clock();
        holdAlpha = 1.0f;
        holdFading = false;
    }

    // Repaint only when something shown moved: a meter fed steady silence draws nothing, which
    // keeps an idle editor cheap.
    if (!juce::exactlyEqual(peakDb, shownPeak) || !juce::exactlyEqual(rmsDb, shownRms) ||
        !juce::exactlyEqual(heldPeakDb, shownHeld) || !juce::exactlyEqual(holdAlpha, shownHoldAlpha))
        needsRepaint = true;

    startTicksIfNeeded(true);
}

// Mirrors what timerCallback can do: fall, repaint, start the fade, fade. Levels above silence keep
// the timer going even while fed, because only a tick notices that the feed has stopped.
bool OrlintMeter::tickCanChangeAnything() const
{
    const bool fadeCanStart = !holdEnabled && heldPeakDb > kSilenceDb && !holdFading && holdTimeMs > 0.0;
    const bool fadeRuns = !holdEnabled && holdFading && holdAlpha > 0.0f;
    return needsRepaint || peakDb > kSilenceDb || rmsDb > kSilenceDb || fadeCanStart || fadeRuns;
}

void OrlintMeter::startTicksIfNeeded(bool fed)
{
    // Two timers of the same period started at different moments wake the process separately for
    // ever. Started (or restarted) from inside the owner's tick, the meter's countdown equals the
    // owner's, and both ticks come with the same timer message.
    if (isTimerRunning() ? fed && !tickingInStep : tickCanChangeAnything())
    {
        startTimer(kTickMs);
        tickingInStep = fed;
    }
}

void OrlintMeter::timerCallback()
{
    if (!isVisible())
        return;

    bool changed = needsRepaint;
    needsRepaint = false;

    // The owner stopped feeding levels: let the bars fall on their own.
    if (!hasNewLevels)
    {
        const auto fall = [&changed](float& db, float coef)
        {
            if (db <= kSilenceDb)
                return;
            db += (kSilenceDb - db) * coef * 0.05f;
            if (db < -98.5f)
                db = kSilenceDb;
            changed = true;
        };
        fall(peakDb, releaseCoef);
        fall(rmsDb, rmsFallCoef);
    }
    hasNewLevels = false;

    if (!holdEnabled && heldPeakDb > kSilenceDb && !holdFading && holdTimeMs > 0.0 && clock() - holdTimeMs >= kHoldMs)
    {
        holdFading = true;
        changed = true;
    }

    if (!holdEnabled && holdFading && holdAlpha > 0.0f)
    {
        holdAlpha -= kFadeStep;
        if (holdAlpha <= 0.0f)
        {
            holdAlpha = 0.0f;
            holdFading = false;
            heldPeakDb = kSilenceDb;
        }
        changed = true;
    }

    if (changed)
        repaintChangedParts();

    // Nothing left that a tick could move: sleep until a feed or a gesture brings work.
    if (!tickCanChangeAnything())
        stopTimer();
}

// Rows of the bar in whole pixels: the scale rows lit from rowTop down, the tail rows from tailRowTop.
int OrlintMeter::rowTop(float db) const
{
    const int span = (int)innerRect.getHeight() - 16;
    const int base = (int)innerRect.getY() + 7 + span;
    return base - (int)(fraction((db + 48.0f) / 48.0f) * (float)span);
}

int OrlintMeter::tailRowTop(float db) const
{
    const int base = (int)innerRect.getY() + 7 + (int)innerRect.getHeight() - 16;
    return base + 9 - (int)(8.0f * fraction((db + 98.0f) / 50.0f));
}

OrlintMeter::BarLook OrlintMeter::barLook() const
{
    return {rowTop(peakDb), tailRowTop(peakDb), rowTop(rmsDb), tailRowTop(rmsDb), peakDb > 0.0f, rmsDb > 0.0f};
}

OrlintMeter::MarkerLook OrlintMeter::markerLook() const
{
    if (heldPeakDb <= kSilenceDb || holdAlpha <= 0.0f)
        return {0.0f, 0.0f, false};
    return {dbToY(heldPeakDb), holdAlpha, holdEnabled};
}

OrlintMeter::ReadoutLook OrlintMeter::readoutLook() const
{
    return {heldPeakDb, holdEnabled, heldPeakDb > kSilenceDb && holdAlpha > 0.0f};
}

juce::Rectangle<int> OrlintMeter::markerArea(const MarkerLook& look) const
{
    if (look.alpha <= 0.0f)
        return {};
    return juce::Rectangle<float>(barRect.getX(), look.y - 2.0f, barRect.getWidth(), 4.0f)
        .getSmallestIntegerContainer();
}

void OrlintMeter::repaintAll()
{
    repaint();
    shownBar = barLook();
    shownMarker = markerLook();
    shownReadout = readoutLook();
}

void OrlintMeter::repaintChangedParts()
{
    const auto bar = barLook();
    const auto marker = markerLook();
    const auto readout = readoutLook();
    if (!layoutValid)
        repaint();
    else
    {
        if (!(bar == shownBar))
            repaint(barRect.getSmallestIntegerContainer());
        else if (!(marker == shownMarker))
            repaint(markerArea(marker).getUnion(markerArea(shownMarker)));
        if (!(readout == shownReadout))
            repaint(readoutRect.getSmallestIntegerContainer());
    }
    shownBar = bar;
    shownMarker = marker;
    shownReadout = readout;
}

//==============================================================================
void OrlintMeter::mouseDown(const juce::MouseEvent& e)
{
    const auto& mods = e.mods;

    if (mods.isAltDown() && mods.isRightButtonDown())
    {
        toggleSettingsPanel();
        return;
    }

    if (mods.isShiftDown())
    {
        if (holdEnabled)
        {
            // Leaving hold keeps the value lit for the usual hold time before it fades.
            holdEnabled = false;
            holdTimeMs = clock();
        }
        else
        {
            holdEnabled = true;
            heldPeakDb = peakDb;
            holdTimeMs = 0.0;
        }
        holdAlpha = 1.0f;
        holdFading = false;

        if (onHoldChanged)
            onHoldChanged(holdEnabled);
        repaintAll();
        startTicksIfNeeded(false);
        return;
    }

    const auto pos = e.position;
    if (pos.x >= readoutRect.getX() && pos.y >= readoutRect.getY() && pos.x < readoutRect.getRight() &&
        pos.y < readoutRect.getBottom())
    {
        heldPeakDb = kSilenceDb;
        holdAlpha = 0.0f;
        holdTimeMs = 0.0;
        holdFading = false;
        repaintAll();
    }
}

//==============================================================================
void OrlintMeter::applySettings(float newAttackMs, float newReleaseMs, float newRmsWindowMs, float newBrightness)
{
    attackMs = newAttackMs;
    attackCoef = coefFromMs(newAttackMs);
    releaseMs = newReleaseMs;
    releaseCoef = coefFromMs(newReleaseMs);
    setRmsWindow(newRmsWindowMs);
    brightness = clampSetting(newBrightness, 1.0f, 100.0f);
    repaintAll();
}

void OrlintMeter::setRmsWindow(float windowMs)
{
    rmsWindowMs = clampSetting(windowMs, 50.0f, 1000.0f);
    // The RMS rises about six times faster than it falls.
    rmsRiseCoef = coefFromMs(0.167f * rmsWindowMs);
    rmsFallCoef = coefFromMs(rmsWindowMs);
}

void OrlintMeter::setHoldEnabled(bool on)
{
    holdEnabled = on;
    holdAlpha = on ? 1.0f : 0.0f;
    holdFading = false;
    if (on)
        holdTimeMs = 0.0;
    repaintAll();
    startTicksIfNeeded(false);
}

void OrlintMeter::setScaleSide(int side)
{
    scaleSide = side;
    updateLayout();
    repaintAll();
}

void OrlintMeter::setChannelLabel(const juce::String& text)
{
    channelLabel = text;
    repaintAll();
}

void OrlintMeter::resized()
{
    updateLayout();
    repaintAll();
    if (settingsPanel != nullptr)
        placeSettingsPanel();
}

juce::String OrlintMeter::getTooltip()
{
    return tooltipText;
}

//==============================================================================
void OrlintMeter::toggleSettingsPanel()
{
    if (settingsPanel != nullptr)
        closeSettingsPanel();
    else
        openSettingsPanel();
}

void OrlintMeter::openSettingsPanel()
{
    settingsPanel = std::make_unique<SettingsPanel>(*this);
    placeSettingsPanel();

    auto* parent = getParentComponent();
    if (parent == nullptr)
    {
        addAndMakeVisible(*settingsPanel);
        return;
    }

    if (closeOnOutsideClick)
    {
        settingsOverlay = std::make_unique<SettingsOverlay>(*this);
        settingsOverlay->setBounds(0, 0, parent->getWidth(), parent->getHeight());
        parent->addAndMakeVisible(*settingsOverlay);
        parent->addAndMakeVisible(*settingsPanel);
        settingsPanel->toFront(false);
    }
    else
    {
        parent->addAndMakeVisible(*settingsPanel);
    }
}

void OrlintMeter::closeSettingsPanel()
{
    if (settingsPanel == nullptr)
        return;

    if (auto* parent = getParentComponent())
    {
        if (settingsOverlay != nullptr)
        {
            parent->removeChildComponent(settingsOverlay.get());
            settingsOverlay.reset();
        }
        parent->removeChildComponent(settingsPanel.get());
    }
    else
    {
        removeChildComponent(settingsPanel.get());
    }
    settingsPanel.reset();
}

void OrlintMeter::placeSettingsPanel()
{
    if (auto* parent = getParentComponent())
    {
        const int x = juce::jmin(parent->getWidth() - kPanelMargin, getRight() + 4);
        const int y = juce::jmax(2, juce::jmin(parent->getHeight() - kPanelMargin, getY()));
        settingsPanel->setBounds(x, y, kPanelSize, kPanelSize);
    }
    else
    {
        settingsPanel->setBounds(getWidth() + 4, 0, kPanelSize, kPanelSize);
    }
}

//==============================================================================
// From the top: label strip, bar, readout; the scale strip beside the bar. A meter too small for a bar
// keeps its previous rectangles, marked stale.
void OrlintMeter::updateLayout()
{
    layoutValid = false;
    const int w = getWidth();
    const int h = getHeight();
    if (w <= 3 || h <= 19)
        return;

    const float sw = scaleSide != 2 ? 20.0f : 0.0f;
    const float bw = (float)w - sw - 4.0f;
    const float bh = (float)h - 39.0f;
    const float bx = scaleSide == 0 ? 22.0f : 2.0f;
    if (bw <= 0.0f || bh <= 0.0f)
        return;

    labelRect = {bx, 0.0f, bw, 14.0f};
    barRect = {bx, 16.0f, bw, bh};
    readoutRect = {bx, 16.0f + bh + 2.0f, bw, 19.0f};
    scaleRect = {scaleSide == 0 ? 0.0f : bx + bw + 2.0f, 16.0f, sw, bh};
    innerRect = {bx + 2.0f, 18.0f, bw - 4.0f, bh - 4.0f};
    layoutValid = true;
}

float OrlintMeter::dbToY(float db) const
{
    if (!layoutValid)
        return barRect.getY() + barRect.getHeight() / 2.0f;

    const float zeroY = innerRect.getY() + 7.0f;
    const float span = innerRect.getHeight() - 16.0f;
    if (db >= 0.0f)
        return zeroY - 2.0f * db;
    if (db > -48.0f)
        return zeroY - span * db / 48.0f;
    return zeroY + span;
}

void OrlintMeter::paint(juce::Graphics& g)
{
    // A tick repaints only the part that changed: the parts outside it are not drawn at all.
    const auto shows = [&g, this](juce::Rectangle<float> area)
    { return !layoutValid || g.clipRegionIntersects(area.getSmallestIntegerContainer()); };

    if (channelLabel.isNotEmpty() && shows(labelRect))
    {
        g.setFont(OrzFonts::font(9.0f));
        g.setColour(kColTextDim);
        g.drawText(channelLabel, labelRect, juce::Justification::centred, false);
    }

    if (shows(barRect))
        paintBar(g);

    if (heldPeakDb > kSilenceDb && holdAlpha > 0.0f)
    {
        const float y = dbToY(heldPeakDb);
        const auto colour = holdEnabled ? kColAccent : juce::Colours::white;
        g.setColour(colour.withAlpha(holdEnabled ? holdAlpha : 0.85f * holdAlpha));
        g.fillRect(juce::Rectangle<float>(barRect.getX() + 1.0f, y - 1.0f, barRect.getWidth() - 2.0f, 2.0f));
        g.setColour(colour.withAlpha(0.25f * holdAlpha));
        g.fillRect(juce::Rectangle<float>(barRect.getX() + 1.0f, y - 2.0f, barRect.getWidth() - 2.0f, 4.0f));
    }

    if (scaleSide != 2 &&
        shows(scaleRect.withLeft(juce::jmin(scaleRect.getX(), barRect.getRight())).expanded(0.0f, 1.0f)))
        drawScale(g);

    if (shows(readoutRect))
        drawReadout(g);
}

void OrlintMeter::paintBar(juce::Graphics& g)
{
    g.setColour(kColBg);
    g.fillRoundedRectangle(barRect, 3.0f);
    g.setColour(kColBorder);
    g.drawRoundedRectangle(barRect.getX() + 0.5f, barRect.getY() + 0.5f, juce::jmax(barRect.getWidth() - 1.0f, 0.0f),
                           juce::jmax(barRect.getHeight() - 1.0f, 0.0f), 3.0f, 1.0f);

    {
        // Scoped so the state is restored however short the meter is; only the drawing is conditional.
        const juce::Graphics::ScopedSaveState saved(g);
        g.reduceClipRegion(barRect.toNearestInt());

        const int ix = (int)innerRect.getX();
        const int iy = (int)innerRect.getY();
        const int iw = (int)innerRect.getWidth();
        const int ih = (int)innerRect.getHeight();

        if (ih > 16)
        {
            const int span = ih - 16;
            const int zeroY = iy + 7;
            const int base = zeroY + span;
            const int tailRows[] = {base + 7, base + 4, base + 1};

            const auto zoneColour = [zeroY, span](int y)
            {
                const float f = 1.0f - (float)(y - zeroY) / (float)span;
                if (f <= 0.625f)
                    return kColGreen;
                if (f <= 0.875f)
                    return kColYellow;
                return kColOrange;
            };
            const auto forRowsFrom = [base, zeroY](int top, auto&& fn)
            {
                for (int y = base - 2; y >= zeroY && y >= top; y -= 3)
                    fn(y);
            };
            const auto forTailRowsFrom = [&tailRows](int top, auto&& fn)
            {
                for (int y : tailRows)
                    if (y >= top)
                        fn(y);
            };
            const auto scaleTop = [this](float db) { return rowTop(db); };
            const auto tailTop = [this](float db) { return tailRowTop(db); };

            g.setColour(kColBg.darker(0.4f));
            g.fillRect(ix, iy, iw, ih);
            g.setColour(kColRed.withAlpha((juce::uint8)0x14));
            g.fillRect(ix, iy, iw, 6);
            g.setColour(juce::Colour(0xff2a2a2a));
            g.fillRect(ix, iy + 6, iw, 1);

            forRowsFrom(zeroY,
                        [&](int y)
                        {
                            g.setColour(zoneColour(y).withAlpha((juce::uint8)0x12));
                            g.fillRect(ix, y, iw, 2);
                        });
            g.setColour(kColGreen.withAlpha((juce::uint8)0x12));
            for (int y : tailRows)
                g.fillRect(ix, y, iw, 2);

            // The RMS value: a grey column across the whole inner width.
            g.setColour(juce::Colour(0xff454545));
            forRowsFrom(scaleTop(rmsDb), [&](int y) { g.fillRect(ix, y, iw, 2); });
            forTailRowsFrom(tailTop(rmsDb), [&](int y) { g.fillRect(ix, y, iw, 2); });
            if (rmsDb > 0.0f)
                g.fillRect(ix, iy, iw, 6);

            // The peak: a narrower coloured column over it.
            int inset = 5;
            if (adaptivePeakInset)
                inset = iw < 8 ? 1 : juce::jmin(iw / 8, 3);
            const int px = ix + inset;
            const int pw = iw - 2 * inset;
            const float a = brightness / 100.0f;

            const auto drawLit = [&](auto&& forEachRow, auto&& colourOf)
            {
                bool any = false;
                forEachRow([&any](int) { any = true; });
                if (a > 0.7f && any)
                {
                    const float glow = (a - 0.7f) / 0.3f;
                    const int s = (int)(4.0f * glow);
                    forEachRow(
                        [&](int y)
                        {
                            g.setColour(colourOf(y).withAlpha(0.22f * glow));
                            g.fillRect(px - 2 * s, y - 1, pw + 4 * s, 4);
                            g.setColour(colourOf(y).withAlpha(0.55f * glow));
                            g.fillRect(px - s, y, pw + 2 * s, 2);
                        });
                }
                forEachRow(
                    [&](int y)
                    {
                        g.setColour(colourOf(y).withAlpha(a));
                        g.fillRect(px, y, pw, 2);
                    });
            };

            const int peakTop = scaleTop(peakDb);
            drawLit([&](auto&& fn) { forRowsFrom(peakTop, fn); }, zoneColour);
            const int peakTailTop = tailTop(peakDb);
            drawLit([&](auto&& fn) { forTailRowsFrom(peakTailTop, fn); }, [](int) { return kColGreen; });

            if (peakDb > 0.0f)
            {
                g.setColour(kColRed.withAlpha(a));
                g.fillRect(px, iy, pw, 6);
            }
        }
    }
}

void OrlintMeter::drawScale(juce::Graphics& g)
{
    g.setFont(OrzFonts::font(9.0f));
    for (int mark : kMarks)
    {
        const float y = dbToY((float)mark);

        const float tickX = scaleSide == 1 ? barRect.getRight() + 1.0f : scaleRect.getRight() - 3.0f;
        g.setColour(juce::Colour(0xff555555));
        g.fillRect(juce::Rectangle<float>(tickX, y, 3.0f, 0.8f));

        const float textX = scaleSide == 1 ? barRect.getRight() + 4.0f : scaleRect.getX();
        const auto just = scaleSide == 1 ? juce::Justification::centredLeft : juce::Justification::centredRight;
        g.setColour(juce::Colour(0xffaaaaaa));
        g.drawText(juce::String(std::abs(mark)),
                   juce::Rectangle<float>(textX, y - 5.0f, scaleRect.getWidth() - 4.0f, 10.0f), just, false);
    }
}

juce::String OrlintMeter::readoutText(float heldDb)
{
    if (heldDb <= -98.95f)
        return "-inf";
    return (heldDb >= 0.0f ? "+" : "") + juce::String(heldDb, 1);
}

void OrlintMeter::drawReadout(juce::Graphics& g)
{
    g.setColour(kColBg);
    g.fillRoundedRectangle(readoutRect, 3.0f);

    const bool noHeld = heldPeakDb <= kSilenceDb;
    if (holdEnabled)
        g.setColour(kColAccent.withAlpha((juce::uint8)0x99));
    else
        g.setColour(juce::Colour(noHeld || holdAlpha <= 0.0f ? 0xff2a2a2a : 0xff3a3a3a));
    g.drawRoundedRectangle(readoutRect.getX() + 0.5f, readoutRect.getY() + 0.5f,
                           juce::jmax(readoutRect.getWidth() - 1.0f, 0.0f),
                           juce::jmax(readoutRect.getHeight() - 1.0f, 0.0f), 3.0f, 1.0f);

    if (heldPeakDb >= 0.0f)
        g.setColour(kColRed);
    else if (holdEnabled)
        g.setColour(kColAccent);
    else
        g.setColour(juce::Colour(noHeld ? 0xff666666 : 0xffe0e0e0));
    g.setFont(juce::FontOptions(9.5f));
    g.drawText(readoutText(heldPeakDb), readoutRect, juce::Justification::centred, false);
}
