#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// What the tooltip window shows for a pointer resting on a window: the tip of the component that
// the desktop's mouse finds under it. Like the mouse, the search starts at the top-level component
// of the window's peer and passes over every component that takes no clicks, landing on whatever
// lies beneath; a component that is no tooltip client shows nothing.
inline juce::Component* componentUnderPointer(juce::Component& onWindow, juce::Point<float> screenPos)
{
    auto* peer = onWindow.getPeer();
    if (peer == nullptr)
        return nullptr;
    auto& top = peer->getComponent();
    const auto local = top.getLocalPoint(nullptr, screenPos);
    return top.contains(local) ? top.getComponentAt(local) : nullptr;
}

inline juce::String tipUnderPointer(juce::Component& onWindow, juce::Point<float> screenPos)
{
    auto* found = componentUnderPointer(onWindow, screenPos);
    if (found == nullptr || found->isCurrentlyBlockedByAnotherModalComponent())
        return {};
    if (auto* client = dynamic_cast<juce::TooltipClient*>(found))
        return client->getTooltip();
    return {};
}

// The tip for a pointer at a point given in a component's own coordinates, by default its centre.
inline juce::String tipAt(juce::Component& c, juce::Point<float> local)
{
    return tipUnderPointer(c, c.localPointToGlobal(local));
}

inline juce::String tipAtCentreOf(juce::Component& c)
{
    return tipAt(c, c.getLocalBounds().toFloat().getCentre());
}

// A press and release at a point of a component on screen, delivered through its window's peer as
// the desktop delivers them: to whatever component the mouse finds under the pointer.
inline void clickThroughDesktop(juce::Component& c, juce::Point<float> local)
{
    auto* peer = c.getPeer();
    if (peer == nullptr)
        return;
    const auto pos = peer->globalToLocal(c.localPointToGlobal(local));
    const auto send = [&](juce::ModifierKeys mods, juce::int64 time)
    {
        peer->handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse, pos, mods,
                               juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                               time);
    };
    const auto now = juce::Time::currentTimeMillis();
    send({}, now);
    send(juce::ModifierKeys::leftButtonModifier, now + 1);
    send({}, now + 2);
}

// A top-level component put on the desktop at a place for as long as this lives, as a host shows
// an editor.
class OnDesktop
{
public:
    OnDesktop(juce::Component& c, juce::Point<int> topLeft) : comp(&c)
    {
        c.setTopLeftPosition(topLeft);
        c.addToDesktop(0);
        c.setVisible(true);
    }

    ~OnDesktop()
    {
        if (comp != nullptr && comp->isOnDesktop())
            comp->removeFromDesktop();
    }

private:
    juce::Component::SafePointer<juce::Component> comp;

    JUCE_DECLARE_NON_COPYABLE(OnDesktop)
};
