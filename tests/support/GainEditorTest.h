#pragma once

#include "gainpair/ui/ProductLinks.h"
#include "support/GainEditorTextRows.h"
#include "support/GainPairTest.h"
#include "support/HelpPanelLayout.h"
#include "support/TooltipLookup.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// One gain processor in its own sandbox and the editor a host would get from it. The processor's own
// timer is stopped so that what a test sets stays as set; tests tick the editor by hand. Addresses
// the logo button would open are collected instead.
template <typename Processor, typename Editor> class GainEditorTest : public GainPairTest<Processor>
{
protected:
    void SetUp() override
    {
        freshProcessor();
        launched = std::make_shared<std::vector<juce::URL>>();
    }

    void TearDown() override
    {
        editor.reset();
        proc.reset();
    }

    // The old processor goes first, so the new one never meets its lock file.
    void freshProcessor()
    {
        editor.reset();
        proc.reset();
        proc = this->makeProcessor();
        proc->stopTimer();
    }

    Editor& openEditor()
    {
        editor.reset();
        editor.reset(static_cast<Editor*>(proc->createEditor()));
        auto sink = launched;
        editor->openUrl = [sink](const juce::URL& url) { sink->push_back(url); };
        return *editor;
    }

    void tickEditor(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            editor->timerCallback();
    }

    // A saved width outside the limits is clamped, the resizer keeps the editor square, and the last
    // width is what the next editor opens with.
    void expectWidthLimitsAndMemory()
    {
        const struct
        {
            int saved, opened;
        } cases[] = {{250, 300}, {300, 300}, {450, 450}, {700, 700}, {900, 700}};
        for (const auto& c : cases)
        {
            proc->editorSettings.editorWidth.store(c.saved);
            auto& e = openEditor();
            EXPECT_EQ(e.getWidth(), c.opened) << c.saved;
            EXPECT_EQ(e.getHeight(), c.opened) << c.saved;
        }

        auto& e = openEditor();
        e.getConstrainer()->setBoundsForComponent(&e, {0, 0, 520, 410}, false, false, true, true);
        EXPECT_EQ(e.getWidth(), e.getHeight());
        e.getConstrainer()->setBoundsForComponent(&e, {0, 0, 1200, 1200}, false, false, true, true);
        EXPECT_EQ(e.getWidth(), 700);

        e.setSize(450, 450);
        EXPECT_EQ(proc->editorSettings.editorWidth.load(), 450);
        editor.reset();
        EXPECT_EQ(proc->editorSettings.editorWidth.load(), 450) << "closing writes nothing";
        EXPECT_EQ(openEditor().getWidth(), 450);
    }

    // A host's size of another shape ends in a consistent editor: what is stored is the side laid
    // out, so the next editor opens square at the size this one showed.
    void expectHostShapeStoresSideLaidOut()
    {
        auto& e = openEditor();
        e.setSize(392, 300);
        EXPECT_EQ(proc->editorSettings.editorWidth.load(), 300);
        e.setSize(360, 520);
        EXPECT_EQ(proc->editorSettings.editorWidth.load(), 360);
        auto& next = openEditor();
        EXPECT_EQ(next.getWidth(), 360);
        EXPECT_EQ(next.getHeight(), 360);
    }

    // The help panel's "Espanol" switch brings every text and the help window's title into Spanish and
    // back, and the processor keeps the choice; expectLanguage checks the editor's texts.
    template <typename Check> void expectEspanolToggleSwitches(Check expectLanguage)
    {
        auto& e = openEditor();
        expectLanguage(e, false);
        e.helpButton.onClick();
        ASSERT_NE(e.helpWindow, nullptr);
        EXPECT_EQ(e.helpWindow->getName(), "Help");
        EXPECT_EQ(e.helpWindow->getContentComponent(), &e.helpPanel);

        for (bool spanish : {true, false})
        {
            e.helpPanel.espanolToggle.setToggleState(spanish, juce::sendNotificationSync);
            expectLanguage(e, spanish);
            EXPECT_EQ(e.helpWindow->getName(), spanish ? "Ayuda" : "Help");
            EXPECT_EQ(proc->editorSettings.isSpanish.load(), spanish);
        }
    }

    // The help button's window holds the panel at its full size and opens wholly on the display.
    void expectHelpWindowFullAndOnTheDisplay()
    {
        auto& e = openEditor();
        e.helpButton.onClick();
        ASSERT_NE(e.helpWindow, nullptr);
        expectPanelFillsHelpWindow(*e.helpWindow, e.helpPanel);
        e.helpButton.onClick();
        expectHelpWindowStaysOnDisplay(
            e, [&] { e.helpButton.onClick(); }, [&] { return e.helpWindow.get(); });
    }

    // With the editor on screen, in both languages, each tooltip of the rows (the editor's own and the
    // shared ones) and the logo's shows where the pointer rests on its part; partNamed gives a row's
    // part, none for a row of another text.
    template <typename Rows, typename PartNamed>
    void expectTipsUnderPointer(Editor& e, const Rows& ownRows, PartNamed partNamed, const juce::String& pluginName)
    {
        e.setTooltipsEnabled(true);
        for (bool spanish : {false, true})
        {
            e.setLanguageSpanish(spanish);
            const auto check = [&](const auto& table)
            {
                for (const auto& row : table)
                {
                    if (auto* part = partNamed(e, row.name))
                    {
                        EXPECT_EQ(tipAtCentreOf(*part), spanish ? row.spanish : row.english) << row.name;
                    }
                }
            };
            check(ownRows);
            check(sharedGainEditorTexts);
            EXPECT_EQ(tipAtCentreOf(e.logoButton), gainpair::ProductLinks::logoTooltip(pluginName));
        }
    }

    // Pictures of the help window in both languages.
    void snapshotHelpWindows(const juce::String& prefix)
    {
        for (bool spanish : {false, true})
        {
            proc->editorSettings.isSpanish.store(spanish);
            auto& e = openEditor();
            e.helpButton.onClick();
            ASSERT_NE(e.helpWindow, nullptr);
            writeHelpWindowSnapshots(*e.helpWindow, prefix + (spanish ? "es" : "en"));
        }
    }

    std::unique_ptr<Processor> proc;
    std::unique_ptr<Editor> editor;
    std::shared_ptr<std::vector<juce::URL>> launched;
};
