#pragma once

#include <juce_core/juce_core.h>

#include <vector>

// Two instances on one link ID can draw the same letter (built at the same moment in two
// processes, or more than 26 of them), and a master claim would then make both the master.
// The instance with the later token gives its letter up.
struct LetterClash
{
    struct Holder
    {
        juce::String token;
        char letter;
    };

    // The letter an instance should hold, given the live other instances of its link ID: its own,
    // unless an instance with an earlier token holds it too (or it has none); then the first letter
    // no other instance holds, or 0 (no letter) when all 26 are held.
    static char resolve(const juce::String& ownToken, char ownLetter, const std::vector<Holder>& others);

    // Tokens order by their wall-clock time, then by their two random numbers.
    static bool isEarlier(const juce::String& token, const juce::String& than);

    // "ovrel_<token>.lock" gives "<token>".
    static juce::String tokenOfLockFile(const juce::File& file);
};
