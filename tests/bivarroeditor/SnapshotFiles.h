#pragma once

#include <gtest/gtest.h>

#include <juce_gui_basics/juce_gui_basics.h>

// Editor snapshots go beside the tests in the build folder (the tests run from <build>/tests).
inline juce::File snapshotFolder()
{
    return juce::File::getSpecialLocation(juce::File::currentExecutableFile)
        .getParentDirectory()
        .getParentDirectory()
        .getChildFile("snapshots");
}

inline void writePng(const juce::Image& img, const juce::String& name)
{
    const auto folder = snapshotFolder();
    ASSERT_TRUE(folder.createDirectory());
    auto file = folder.getChildFile(name);
    file.deleteFile();
    juce::FileOutputStream out(file);
    ASSERT_TRUE(out.openedOk());
    ASSERT_TRUE(juce::PNGImageFormat().writeImageToStream(img, out));
}
