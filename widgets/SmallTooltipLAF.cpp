#include "widgets/SmallTooltipLAF.h"

void SmallTooltipLAF::drawTooltip(juce::Graphics& g, const juce::String& text, int width, int height)
{
    g.setColour(juce::Colour(0xf0222222));
    g.fillRoundedRectangle(0.0f, 0.0f, (float)width, (float)height, 3.0f);
    g.setColour(juce::Colour(0xff555555));
    g.drawRoundedRectangle(0.5f, 0.5f, (float)width - 1.0f, (float)height - 1.0f, 3.0f, 0.5f);

    g.setColour(juce::Colour(0xffcccccc));
    g.setFont(juce::FontOptions(11.0f));
    g.drawFittedText(text, 6, 3, width - 12, height - 6, juce::Justification::centredLeft, 3, 0.0f);
}

void SmallTooltipLAF::switchWindow(std::unique_ptr<juce::TooltipWindow>& window, juce::Component& parent,
                                   juce::LookAndFeel& look, bool on, int delayMs)
{
    if (on && window == nullptr)
    {
        window = std::make_unique<juce::TooltipWindow>(&parent, delayMs);
        window->setLookAndFeel(&look);
    }
    else if (!on && window != nullptr)
    {
        window->setLookAndFeel(nullptr);
        window.reset();
    }
}
