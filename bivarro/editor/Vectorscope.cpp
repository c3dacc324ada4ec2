#include "bivarro/editor/Vectorscope.h"

#include "bivarro/editor/VectorscopeMapping.h"
#include "bivarro/processor/BivarroParameters.h"

#include <algorithm>
#include <array>
#include <cmath>

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
} // namespace

Vectorscope::Vectorscope(const AnalyserSettings& s, const juce::AudioProcessorValueTreeState& p)
    : settings(s), parameters(p)
{
}

void Vectorscope::drawGrid(juce::Graphics& g, juce::Rectangle<int> area)
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

void Vectorscope::drawVectorscope(juce::Graphics& g, juce::Rectangle<int> area, const PointCloud& input,
                                  const PointCloud& output)
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
    if (settings.scopeMode == 0)
    {
        // Dots land in a copy of the grid, which then reaches the pane as one opaque image.
        dotLayer.begin(grid, {X, Y}, scale);
        drawCloud(g, input, cx, cy, R, juce::Colour(0xffbbbbbb), settings.inputBright);
        drawCloud(g, output, cx, cy, R, gold, settings.outputBright);
        SurfaceCache::drawImage(g, dotLayer.end(), scale, area.getPosition().toFloat());
    }
    else
    {
        SurfaceCache::drawImage(g, grid, scale, area.getPosition().toFloat());
        drawCloud(g, input, cx, cy, R, juce::Colour(0xffbbbbbb), settings.inputBright);
        drawCloud(g, output, cx, cy, R, gold, settings.outputBright);
    }
    drawWedge(g, cx, cy, R);
}

void Vectorscope::drawCloud(juce::Graphics& g, const PointCloud& cloud, float cx, float cy, float radius,
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
    drawScopePoints(g, drawLs, drawRs, drawAlphas, cx, cy, radius, settings.zoom, colour, brightness);
}

void Vectorscope::drawScopePoints(juce::Graphics& g, const std::vector<float>& ls, const std::vector<float>& rs,
                                  const std::vector<float>& alphas, float cx, float cy, float radius, float zoomFactor,
                                  juce::Colour colour, float brightness)
{
    if (ls.empty() || rs.size() < ls.size() || (settings.scopeMode != 0 && settings.scopeMode != 1))
        return;
    const bool useAlphas = alphas.size() == ls.size();

    if (settings.scopeMode == 0)
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

void Vectorscope::drawWedge(juce::Graphics& g, float cx, float cy, float radius)
{
    const auto raw = [this](const char* id) { return parameters.getRawParameterValue(id)->load(); };
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
    g.setColour(juce::Colour(0xff7b3dc8).withAlpha(settings.triangleAlpha));
    g.fillPath(triangle);

    const float s = VectorscopeMapping::outlineAlpha(settings.triangleAlpha);
    g.setColour(gold.withAlpha(s));
    g.strokePath(triangle, juce::PathStrokeType(1.3f));
    const auto tip = edge(rotation, 1.0f);
    g.setColour(juce::Colour(0xff9b59b6).withAlpha(s));
    g.drawLine(cx, cy, tip.x, tip.y, 1.3f);
}
