#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <cmath>

// The host parameters' IDs, for the processors and their editors.
namespace GainPairParameterIds
{
inline constexpr const char* gain = "gain"; // Ovrel
inline constexpr const char* trim = "trim"; // Undrel
inline constexpr const char* linkId = "linkID";
inline constexpr const char* bypass = "bypass";
} // namespace GainPairParameterIds

// The host parameters of a gain plug-in, each declared once in its plug-in's table: a dB value,
// "linkID" and "bypass", in host order. The table gives the layout; an instance bound to the tree
// gives typed references and, for the audio thread, one snapshot of the raw values per block.
class GainPairParameters
{
public:
    enum class Kind
    {
        decibels,
        linkId,
        toggle
    };

    struct Row
    {
        const char* id;
        const char* name;
        Kind kind;
        float minimum, maximum, interval, defaultValue;
        // Shown after the value by the text function; the host is given no separate label.
        const char* unit;
    };

    // Host order: the dB parameter, the link ID, the bypass switch.
    using Table = std::array<Row, 3>;

    static constexpr Table ovrelTable{{
        {GainPairParameterIds::gain, "Gain", Kind::decibels, -48.0f, 48.0f, 0.01f, 0.0f, "dB"},
        {GainPairParameterIds::linkId, "Link ID", Kind::linkId, 1.0f, 50.0f, 1.0f, 1.0f, ""},
        {GainPairParameterIds::bypass, "Bypass", Kind::toggle, 0.0f, 1.0f, 1.0f, 0.0f, ""},
    }};

    static constexpr Table undrelTable{{
        {GainPairParameterIds::trim, "Trim", Kind::decibels, -12.0f, 12.0f, 0.1f, 0.0f, "dB"},
        {GainPairParameterIds::linkId, "Link ID", Kind::linkId, 1.0f, 50.0f, 1.0f, 1.0f, ""},
        {GainPairParameterIds::bypass, "Bypass", Kind::toggle, 0.0f, 1.0f, 1.0f, 0.0f, ""},
    }};

    static juce::AudioProcessorValueTreeState::ParameterLayout createLayout(const Table& table);

    // "-12.5 dB", "0.0 dB": one decimal whatever length the host asks for.
    static juce::String dbText(float value, const char* unit);

    // A gain read from a link block is used only when Ovrel could have set it: the block may come
    // from a damaged or foreign object.
    static bool isOvrelGain(float db) noexcept
    {
        const auto& gain = ovrelTable[0];
        return std::isfinite(db) && db >= gain.minimum && db <= gain.maximum;
    }

    // The tree must have been made from the same table.
    GainPairParameters(juce::AudioProcessorValueTreeState& apvts, const Table& table);

    struct Values
    {
        float decibels;
        int linkId;
        bool bypass;
    };

    // Audio thread, once per block: each raw value is read once, and one that is not finite (a host
    // may send anything) gives the last good value, so the block stays clean and is clean again
    // as soon as the value is sane.
    Values snapshot() noexcept
    {
        lastGood = read(lastGood);
        return lastGood;
    }

    // Any other thread: a value that is not finite gives the default.
    Values current() const noexcept;

    juce::AudioParameterFloat& decibels;
    juce::AudioParameterInt& linkId;
    juce::AudioParameterBool& bypass;

    // The raw values behind them, as the tree keeps them.
    std::atomic<float>& decibelsRaw;
    std::atomic<float>& linkIdRaw;
    std::atomic<float>& bypassRaw;

private:
    Values read(Values fallback) const noexcept
    {
        const float db = decibelsRaw.load(std::memory_order_relaxed);
        const float link = linkIdRaw.load(std::memory_order_relaxed);
        const float on = bypassRaw.load(std::memory_order_relaxed);
        return {std::isfinite(db) ? db : fallback.decibels,
                std::isfinite(link) ? static_cast<int>(link) : fallback.linkId,
                std::isfinite(on) ? on > 0.5f : fallback.bypass};
    }

    Values defaults;
    Values lastGood;
};
