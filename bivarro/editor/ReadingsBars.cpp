#include "bivarro/editor/ReadingsBars.h"

#include <algorithm>
#include <cmath>

namespace
{
const juce::Colour gold{0xffdaa520};
const juce::Colour paneFill{0xff1a1a1a};
const juce::Colour boxOutline{0xff2e2e2e};
const juce::Colour scaleColour{0xa6daa520};

float trunc(float v) noexcept
{
    return static_cast<float>(static_cast<int>(v));
}

void drawText(juce::Graphics& g, const juce::String& text, juce::Rectangle<float> area, juce::Justification j)
{
    g.drawText(text, area, j, true);
}

juce::Rectangle<float> markerBounds(float x, float y)
{
    return {x - 1.5f, y - 3.0f, 3.0f, 15.6f};
}

void drawCentreLabel(juce::Graphics& g, const juce::String& text, juce::Rectangle<float> box)
{
    g.setFont(juce::FontOptions(10.0f));
    g.setColour(scaleColour);
    drawText(g, text, box, juce::Justification::centred);
}
} // namespace

// Where the bars' parts lie in a pane of the given width, below a vectorscope scopeH high.
struct ReadingsBars::Geometry
{
    Geometry(int width, int scopeH)
        : W(static_cast<float>(width)), top(static_cast<float>(scopeH)), trackW(W - 60.0f), xc(30.0f + trackW / 2.0f)
    {
    }

    float valueX(float v) const noexcept { return 30.0f + (v + 1.0f) / 2.0f * trackW; }
    float trackY(bool correlation) const noexcept { return top + (correlation ? 20.0f : 56.0f); }
    float boxY(bool correlation) const noexcept { return top + (correlation ? 4.0f : 40.0f); }

    // The box of the centre label ("0" or "C") above a track at y.
    juce::Rectangle<float> centreLabel(float y) const noexcept
    {
        return {trunc(xc) - 7.0f, trunc(y - 13.0f), 14.0f, 12.0f};
    }
    juce::Rectangle<float> correlationText() const noexcept { return {trunc(W - 34.0f), top + 6.0f, 30.0f, 11.0f}; }

    const float W, top, trackW, xc;
};

void ReadingsBars::paint(juce::Graphics& g, int width, int height, int scopeH, Readings shown)
{
    const juce::Rectangle<int> area{0, std::max(0, scopeH), width, height - std::max(0, scopeH)};
    if (area.isEmpty())
        return;
    const Geometry geo(width, scopeH);
    if (backgroundTop != scopeH)
        background.invalidate();
    backgroundTop = scopeH;
    background.draw(g, area,
                    [&](juce::Graphics& bg)
                    {
                        bg.setOrigin(0, -area.getY());
                        drawBackground(bg, geo, height);
                    });

    for (const bool correlation : {true, false})
    {
        const float value = correlation ? shown.correlation : shown.panorama;
        drawValue(g, geo, correlation, value);

        // The centre label lies over the marker where the two meet; the rest of it is in the cached
        // background already, so it is drawn again only inside the marker.
        const float y = geo.trackY(correlation);
        const auto marker = markerBounds(geo.valueX(value), y);
        const auto label = geo.centreLabel(y);
        if (marker.intersects(label))
        {
            juce::Graphics::ScopedSaveState saved(g);
            g.reduceClipRegion(marker.getSmallestIntegerContainer());
            drawCentreLabel(g, correlation ? "0" : "C", label);
        }
        if (correlation)
            drawCorrelationText(g, geo, value);
    }
}

void ReadingsBars::paintDirect(juce::Graphics& g, int width, int height, int scopeH, Readings shown)
{
    const Geometry geo(width, scopeH);
    g.setColour(paneFill);
    g.fillRect(0, scopeH, width, height - scopeH);
    for (const bool correlation : {true, false})
    {
        drawTrack(g, geo, correlation);
        drawValue(g, geo, correlation, correlation ? shown.correlation : shown.panorama);
        drawScale(g, geo, correlation);
        if (correlation)
            drawCorrelationText(g, geo, shown.correlation);
    }
}

void ReadingsBars::drawBackground(juce::Graphics& g, const Geometry& geo, int height)
{
    g.setColour(paneFill);
    g.fillRect(0.0f, geo.top, geo.W, static_cast<float>(height) - geo.top);
    for (const bool correlation : {true, false})
    {
        drawTrack(g, geo, correlation);
        drawScale(g, geo, correlation);
    }
}

// A bar's box and its empty track.
void ReadingsBars::drawTrack(juce::Graphics& g, const Geometry& geo, bool correlation)
{
    const float boxY = geo.boxY(correlation);
    g.setColour(paneFill);
    g.fillRect(0.0f, boxY, geo.W, 32.0f);
    g.setColour(boxOutline);
    g.drawRect(juce::Rectangle<float>(0.0f, boxY, geo.W, 32.0f), 1.0f);

    const float y = geo.trackY(correlation);
    if (correlation)
    {
        juce::ColourGradient track(juce::Colour(0xffe53935), 30.0f, y, juce::Colour(0xff4caf50), geo.W - 30.0f, y,
                                   false);
        track.addColour(0.5, juce::Colour(0x99daa520));
        g.setGradientFill(track);
        g.fillRect(30.0f, y, geo.trackW, 9.6f);
        g.setColour(juce::Colour(0xaa000000));
    }
    else
    {
        g.setColour(juce::Colour(0xff505050));
    }
    g.fillRect(30.0f, y, geo.trackW, 9.6f);
}

// The segment from the centre to the value, and the marker at the value.
void ReadingsBars::drawValue(juce::Graphics& g, const Geometry& geo, bool correlation, float value)
{
    const float y = geo.trackY(correlation);
    const float x = geo.valueX(value);
    if (correlation)
        g.setColour((value >= 0.0f ? juce::Colour(0xff4caf50).interpolatedWith(gold, 1.0f - value)
                                   : juce::Colour(0xffe53935).interpolatedWith(gold, 1.0f + value))
                        .withAlpha(static_cast<juce::uint8>(0xcc)));
    else
        g.setColour(juce::Colour(0xb8daa520));
    g.fillRect(std::min(x, geo.xc), y, std::abs(x - geo.xc), 9.6f);
    g.setColour(gold);
    g.fillRect(markerBounds(x, y));
}

// The labels along a track and the bar's caption.
void ReadingsBars::drawScale(juce::Graphics& g, const Geometry& geo, bool correlation)
{
    const float y = geo.trackY(correlation);
    g.setFont(juce::FontOptions(10.0f));
    g.setColour(scaleColour);
    if (correlation)
    {
        drawText(g, "-1", {8.0f, trunc(y), 20.0f, 9.0f}, juce::Justification::centredRight);
        drawCentreLabel(g, "0", geo.centreLabel(y));
        drawText(g, "+1", {trunc(geo.W - 28.0f), trunc(y), 20.0f, 9.0f}, juce::Justification::centredLeft);
    }
    else
    {
        drawText(g, "L", {14.0f, trunc(y), 14.0f, 9.0f}, juce::Justification::centredRight);
        drawCentreLabel(g, "C", geo.centreLabel(y));
        drawText(g, "R", {trunc(geo.W - 28.0f), trunc(y), 14.0f, 9.0f}, juce::Justification::centredLeft);
    }
    g.setFont(juce::FontOptions(9.0f));
    g.setColour(juce::Colour(0x8cdaa520));
    if (correlation)
        drawText(g, "CORR", {3.0f, geo.top + 6.0f, 32.0f, 11.0f}, juce::Justification::centredLeft);
    else
        drawText(g, "PAN", {3.0f, geo.top + 42.0f, 28.0f, 11.0f}, juce::Justification::centredLeft);
}

void ReadingsBars::drawCorrelationText(juce::Graphics& g, const Geometry& geo, float correlation)
{
    g.setFont(juce::FontOptions(9.0f));
    g.setColour(gold);
    drawText(g, juce::String(correlation, 2), geo.correlationText(), juce::Justification::centredRight);
}

// A reading's segment runs from the centre to its marker: the span between the old and the new
// marker, with the marker's width, covers every pixel that changed; the value text too.
void ReadingsBars::addChangedParts(juce::RectangleList<int>& parts, int width, int scopeH, Readings before,
                                   Readings now)
{
    const Geometry geo(width, scopeH);
    const auto track = [&](float was, float is, float y)
    {
        if (juce::exactlyEqual(was, is))
            return;
        const float x0 = std::min({geo.valueX(was), geo.valueX(is), geo.xc});
        const float x1 = std::max({geo.valueX(was), geo.valueX(is), geo.xc});
        parts.addWithoutMerging(
            juce::Rectangle<float>(x0 - 3.0f, y - 4.0f, x1 - x0 + 6.0f, 18.0f).getSmallestIntegerContainer());
    };
    track(before.correlation, now.correlation, geo.trackY(true));
    track(before.panorama, now.panorama, geo.trackY(false));
    if (juce::String(before.correlation, 2) != juce::String(now.correlation, 2))
        parts.addWithoutMerging(geo.correlationText().getSmallestIntegerContainer());
}
