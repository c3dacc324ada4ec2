#include "widgets/HelpWindow.h"

const juce::Colour HelpWindow::background{0xff191919};

HelpWindow::HelpWindow(HelpPanel& panel, Focus f)
    : juce::DocumentWindow("Help", background, juce::DocumentWindow::closeButton, false), focus(f)
{
    setUsingNativeTitleBar(false);
    setTitleBarHeight(titleBarHeight);
    setResizable(false, false);
    setWantsKeyboardFocus(focus == Focus::takes);
    panel.setBounds(0, 0, HelpPanel::preferredWidth, HelpPanel::preferredHeight);
    setContentNonOwned(&panel, true);
    setSize(HelpPanel::preferredWidth, titleBarHeight + HelpPanel::preferredHeight);
    // Only now, so that the peer gets this class's style flags.
    addToDesktop();
}

HelpWindow::~HelpWindow()
{
    clearContentComponent();
}

void HelpWindow::activeWindowStatusChanged()
{
    if (focus == Focus::takes)
        juce::DocumentWindow::activeWindowStatusChanged();
}

int HelpWindow::getDesktopWindowStyleFlags() const
{
    const int flags = juce::DocumentWindow::getDesktopWindowStyleFlags();
    return focus == Focus::never ? flags | juce::ComponentPeer::windowIgnoresKeyPresses : flags;
}

void HelpWindow::closeButtonPressed()
{
    setVisible(false);
}

void HelpWindow::toggle(std::unique_ptr<HelpWindow>& window, HelpPanel& panel, juce::Component& editor,
                        bool tooltipsShown, Focus focus)
{
    if (window == nullptr)
        window = std::make_unique<HelpWindow>(panel, focus);
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
    window->toFront(window->focus == Focus::takes);
    window->setName(titleFor(panel.spanish));
}
