#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

// Pictures of editors for people to look at, written into <build>/snapshots (the test programs
// live in <build>/tests).
inline juce::File snapshotFolder()
{
    auto folder = juce::File::getSpecialLocation(juce::File::currentExecutableFile)
                      .getParentDirectory()
                      .getParentDirectory()
                      .getChildFile("snapshots");
    folder.createDirectory();
    return folder;
}

inline void writePng(const juce::Image& image, const juce::String& name)
{
    const auto file = snapshotFolder().getChildFile(name.endsWith(".png") ? name : name + ".png");
    file.deleteFile();
    juce::FileOutputStream out(file);
    ASSERT_TRUE(out.openedOk()) << file.getFullPathName();
    juce::PNGImageFormat png;
    ASSERT_TRUE(png.writeImageToStream(image, out));
}

inline juce::Image snapshotOf(juce::Component& c)
{
    return c.createComponentSnapshot(c.getLocalBounds(), true, 1.0f);
}
