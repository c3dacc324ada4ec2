#pragma once

#include "support/EditorSnapshots.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <vector>

// Hosts size an editor as they see fit: the size it asked for, another shape, less or more. An
// editor must then draw whole, inside its window, with its header and footer bands whole.
struct HostGivenSize
{
    int w, h;
};

// For the square gain editors: the size one host gave on first opening, other shapes, and square
// ones within the limits.
inline constexpr HostGivenSize gainEditorHostSizes[] = {{392, 300}, {300, 392}, {700, 300},
                                                        {300, 700}, {520, 410}, {450, 450}};

// Every visible child lies inside the editor, either within the header band or between the header
// and the footer band; the resizer sits in the corner.
inline void expectChildrenInBands(const juce::Component& editor, int headerHeight, int footerHeight)
{
    const auto w = editor.getWidth();
    const auto h = editor.getHeight();
    for (auto* child : editor.getChildren())
    {
        if (!child->isVisible() || child->getBounds().isEmpty())
            continue;
        const auto b = child->getBounds();
        SCOPED_TRACE(child->getName() + " " + child->getComponentID() + " at " + b.toString());
        EXPECT_GE(b.getX(), 0);
        EXPECT_LE(b.getRight(), w);
        if (dynamic_cast<const juce::ResizableCornerComponent*>(child) != nullptr)
        {
            EXPECT_EQ(b.getBottomRight(), juce::Point<int>(w, h));
        }
        else if (b.getY() < headerHeight)
        {
            EXPECT_GE(b.getY(), 0);
            EXPECT_LE(b.getBottom(), headerHeight);
        }
        else
        {
            EXPECT_LE(b.getBottom(), h - footerHeight);
        }
    }
}

inline void expectApart(juce::Rectangle<int> a, juce::Rectangle<int> b)
{
    EXPECT_FALSE(a.intersects(b)) << a.toString() << " overlaps " << b.toString();
}

// Pictures at display scale 1 and 2, for people to look at.
inline void writeSnapshots(juce::Component& editor, const juce::String& name)
{
    writePng(editor.createComponentSnapshot(editor.getLocalBounds(), true, 1.0f), name);
    writePng(editor.createComponentSnapshot(editor.getLocalBounds(), true, 2.0f), name + "_x2");
}

// A square gain editor at each of gainEditorHostSizes: the bands whole, the readouts' card below the
// header line, the big knob centred and clear of the given controls; `check` adds what is the
// editor's own, and a snapshot of each size is written.
template <typename Tick, typename Check>
void expectGainEditorWholeAtHostSizes(juce::Component& editor, const juce::Component& knob,
                                      const juce::Component& firstCaption,
                                      const std::vector<const juce::Component*>& clearOfKnob, const juce::String& name,
                                      Tick tick, Check check)
{
    for (const auto& size : gainEditorHostSizes)
    {
        SCOPED_TRACE(juce::String(size.w) + " x " + juce::String(size.h));
        editor.setSize(size.w, size.h);
        tick();

        expectChildrenInBands(editor, 30, 28);
        EXPECT_GE(firstCaption.getY() - 4, 30) << "the readouts' card reaches into the header";
        EXPECT_NEAR(knob.getBounds().getCentreX(), size.w / 2, 1);
        for (auto* other : clearOfKnob)
            expectApart(knob.getBounds(), other->getBounds());
        check();

        writeSnapshots(editor, name + "_host_" + juce::String(size.w) + "x" + juce::String(size.h));
    }
}
