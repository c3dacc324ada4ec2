#include "gainpair/ui/HelpWindow.h"

namespace gainpair
{
const juce::Colour HelpWindow::background{0xff191919};

HelpWindow::HelpWindow(HelpPanel& panel) : juce::DocumentWindow("Help", background, juce::DocumentWindow::closeButton)
{
    setUsingNativeTitleBar(false);
    setTitleBarHeight(titleBarHeight);
    setResizable(false, false);
    panel.setBounds(0, 0, HelpPanel::preferredWidth, HelpPanel::preferredHeight);
    setContentNonOwned(&panel, true);
    setSize(HelpPanel::preferredWidth, titleBarHeight + HelpPanel::preferredHeight);
    addToDesktop();
}

HelpWindow::~HelpWindow()
{
    clearContentComponent();
}

void HelpWindow::closeButtonPressed()
{
    setVisible(false);
}

void HelpWindow::toggle(std::unique_ptr<HelpWindow>& window, HelpPanel& panel, juce::Component& editor,
                        bool tooltipsShown)
{
    if (window == nullptr)
        window = std::make_unique<HelpWindow>(panel);
    else if (window->isVisible())
    {
        window->setVisible(false);
        return;
    }

    panel.tooltipsToggle.setToggleState(tooltipsShown, juce::dontSendNotification);
    panel.setSpanish(panel.spanish);
    panel.setVisible(true);

    // Left of the plug-in window, vertically centred on it; nothing keeps it on the screen.
    const auto r = editor.getTopLevelComponent()->getScreenBounds();
    window->setTopLeftPosition(r.getX() - window->getWidth() - 4, r.getY() + (r.getHeight() - window->getHeight()) / 2);

    window->setVisible(true);
    window->toFront(true);
    window->setName(titleFor(panel.spanish));
}
} // namespace gainpair
