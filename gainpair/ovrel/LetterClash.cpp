#include "gainpair/ovrel/LetterClash.h"

#include <array>

namespace
{
std::array<juce::int64, 3> tokenNumbers(const juce::String& token)
{
    const auto parts = juce::StringArray::fromTokens(token, "_", "");
    std::array<juce::int64, 3> numbers{};
    for (int i = 0; i < 3 && i < parts.size(); ++i)
        numbers[static_cast<size_t>(i)] = parts[i].getLargeIntValue();
    return numbers;
}
} // namespace

bool LetterClash::isEarlier(const juce::String& token, const juce::String& than)
{
    return tokenNumbers(token) < tokenNumbers(than);
}

juce::String LetterClash::tokenOfLockFile(const juce::File& file)
{
    return file.getFileNameWithoutExtension().fromFirstOccurrenceOf("_", false, false);
}

char LetterClash::resolve(const juce::String& ownToken, char ownLetter, const std::vector<Holder>& others)
{
    bool clash = false;
    std::array<bool, 26> held{};
    for (const auto& other : others)
    {
        if (other.letter < 'A' || other.letter > 'Z')
            continue;
        held[static_cast<size_t>(other.letter - 'A')] = true;
        clash = clash || (other.letter == ownLetter && isEarlier(other.token, ownToken));
    }
    // An instance left without a letter takes one as soon as one is free.
    if (!clash && ownLetter != 0)
        return ownLetter;

    for (char c = 'A'; c <= 'Z'; ++c)
        if (!held[static_cast<size_t>(c - 'A')])
            return c;
    return 0;
}
