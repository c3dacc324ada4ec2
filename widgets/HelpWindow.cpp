#include "widgets/HelpWindow.h"

#include "widgets/WindowPlacement.h"

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

// Without the framework's 1 px frame the panel gets all of the window below the title bar.
juce::BorderSize<int> HelpWindow::getBorderThickness() const
{
    return {};
}

void HelpWindow::activeWindowStatusChanged()
{
    if (focus == Focus::takes)
        juce::DocumentWindow::activeWindowStatusChanged();
}

int HelpWindow::getDesktopWindowStyleFlags() const
{
    const int base = juce::DocumentWindow::getDesktopWindowStyleFlags();
    return focus == Focus::never ? base | juce::ComponentPeer::windowIgnoresKeyPresses : base;
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

    window->setTopLeftPosition(WindowPlacement::besideOnDisplay(editor.getTopLevelComponent()->getScreenBounds(),
                                                                window->getWidth(), window->getHeight(),
                                                                WindowPlacement::Side::left));

    window->setVisible(true);
    window->toFront(window->focus == Focus::takes);
    window->setName(titleFor(panel.spanish));
}
