#pragma once

#include "support/EditorSnapshots.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

// A window's picture as the screen keeps it: drawn whole once, then only the areas that the component
// and its children ask to have repainted are drawn again. After each step the kept picture is compared
// with a fresh drawing of the whole component, so a change that nobody asked to repaint shows up as
// stale pixels. Also tells whether a step asked for any repaint at all.
class KeptImage
{
public:
    explicit KeptImage(juce::Component& c, float displayScale = 1.0f) : comp(c), scale(displayScale)
    {
        comp.setVisible(true); // repaint requests of an invisible component go nowhere
        recorder = new Recorder;
        comp.setCachedComponentImage(recorder); // the component owns it
        kept = drawWhole();
        recorder->clear();
    }

    ~KeptImage() { comp.setCachedComponentImage(nullptr); }

    // The areas asked for since the last update, in the component's own coordinates.
    juce::RectangleList<int> requested() const
    {
        return recorder->all ? juce::RectangleList<int>(comp.getLocalBounds()) : recorder->areas;
    }

    bool anythingRequested() const { return recorder->all || !recorder->areas.isEmpty(); }

    // Draws the requested areas into the kept picture and compares it with a whole drawing: true
    // when they agree. On a mismatch, both pictures go into the snapshot folder under name.
    bool update(const juce::String& name)
    {
        auto areas = requested();
        areas.clipTo(comp.getLocalBounds());
        lastAreas = areas;
        recorder->clear();
        if (!areas.isEmpty())
        {
            juce::Graphics g(kept);
            auto scaled = areas;
            scaled.scaleAll(scale);
            for (const auto& r : scaled)
                kept.clear(r);
            g.reduceClipRegion(scaled);
            g.addTransform(juce::AffineTransform::scale(scale));
            comp.paintEntireComponent(g, true);
        }

        const auto whole = drawWhole();
        int stale = 0;
        juce::Rectangle<int> where;
        const juce::Image::BitmapData a(whole, juce::Image::BitmapData::readOnly);
        const juce::Image::BitmapData b(kept, juce::Image::BitmapData::readOnly);
        for (int y = 0; y < a.height; ++y)
        {
            const auto* rowA = reinterpret_cast<const juce::uint32*>(a.getLinePointer(y));
            const auto* rowB = reinterpret_cast<const juce::uint32*>(b.getLinePointer(y));
            for (int x = 0; x < a.width; ++x)
                if (rowA[x] != rowB[x] && differ(rowA[x], rowB[x]))
                {
                    ++stale;
                    where = where.getUnion(juce::Rectangle<int>(x, y, 1, 1));
                }
        }
        if (stale == 0)
            return true;

        ADD_FAILURE() << name << ": " << stale << " stale pixels within " << where.toString()
                      << " (image pixels at display scale " << scale << "); repainted " << describe(lastAreas);
        writePng(kept, "stale-" + name + "-kept.png");
        writePng(whole, "stale-" + name + "-whole.png");
        kept = whole; // one report per fault, not one per later step
        return false;
    }

private:
    class Recorder : public juce::CachedComponentImage
    {
    public:
        void paint(juce::Graphics&) override {}
        bool invalidateAll() override
        {
            all = true;
            return true;
        }
        bool invalidate(const juce::Rectangle<int>& area) override
        {
            areas.add(area);
            return true;
        }
        void releaseResources() override {}

        void clear()
        {
            all = false;
            areas.clear();
        }

        bool all = false;
        juce::RectangleList<int> areas;
    };

    // Anti-aliased edges that cross the edge of a repainted area may come out a level or two apart
    // from a whole drawing; anything missed by a repaint differs by more, and keeps differing as it
    // changes further.
    static bool differ(juce::uint32 p, juce::uint32 q)
    {
        for (int shift = 0; shift < 32; shift += 8)
            if (std::abs((int)((p >> shift) & 0xff) - (int)((q >> shift) & 0xff)) > 2)
                return true;
        return false;
    }

    static juce::String describe(const juce::RectangleList<int>& areas)
    {
        juce::StringArray parts;
        for (const auto& r : areas)
            parts.add(r.toString());
        return parts.isEmpty() ? juce::String("nothing") : parts.joinIntoString(" | ");
    }

    juce::Image drawWhole() const
    {
        juce::Image image(juce::Image::ARGB, juce::roundToInt((float)comp.getWidth() * scale),
                          juce::roundToInt((float)comp.getHeight() * scale), true);
        juce::Graphics g(image);
        g.addTransform(juce::AffineTransform::scale(scale));
        comp.paintEntireComponent(g, true);
        return image;
    }

    juce::Component& comp;
    float scale;
    Recorder* recorder = nullptr;
    juce::Image kept;
    juce::RectangleList<int> lastAreas;
};

// A change from outside a component and the ticks that follow it.
struct KeptImageMove
{
    std::function<void()> change;
    int ticks;
};

// Plays the moves on a component that open makes anew for each display scale (1 and 2), comparing
// the kept picture with a whole drawing after every tick.
inline void expectEachTickRepaintsWhatChanged(const juce::String& name, const std::vector<KeptImageMove>& moves,
                                              const std::function<juce::Component&()>& open,
                                              const std::function<void()>& tick)
{
    for (const float scale : {1.0f, 2.0f})
    {
        KeptImage kept(open(), scale);
        int step = 0;
        for (const auto& m : moves)
        {
            m.change();
            for (int t = 0; t < m.ticks; ++t)
            {
                tick();
                if (!kept.update(name + "-" + juce::String(++step) + "-x" + juce::String(scale)))
                    break;
            }
        }
    }
}
