#pragma once

#include <string>

// The display modes of the numeric edit fields: how a step value is shown as text and how
// typed text is converted back to a step value. The rules per parameter come from
// ParameterValues.h; this file only picks the rule of each mode and applies the field's own
// range, step and offset.

namespace DisplayMode {
constexpr int DelayMs = 0;             // 4x8 delay, ms
constexpr int DelayMeters = 1;         // 4x8 delay as metres
constexpr int DelayFeet = 2;           // 4x8 delay as feet
constexpr int EqFrequency = 4;         // EQ band frequency, Hz; "OFF" leaves the value alone
constexpr int Attack = 5;              // attack, 0.3 .. 0.9 then 1 .. 100 ms
constexpr int OwnerText = 6;           // release: the owner writes the text itself
constexpr int BandwidthFine = 7;       // octaves, 0.01 steps
constexpr int HighPassFrequency = 8;   // Hz
constexpr int LowPassFrequency = 9;    // Hz
constexpr int Linear = 10;             // value * step - offset, one decimal
constexpr int QFine = 11;              // Q of the 296-entry table
constexpr int DelayMsCompact = 12;     // 3x6 and 2x4 delay, ms
constexpr int DelayMetersCompact = 13; // 3x6 and 2x4 delay as metres
constexpr int DelayFeetCompact = 14;   // 3x6 and 2x4 delay as feet
constexpr int QCoarse = 15;            // Q of the 60-entry table
constexpr int BandwidthCoarse = 16;    // octaves, 0.05 steps
constexpr int CrossoverSlope = 17;     // "12", "18", "24", "48"
constexpr int Ratio = 18;              // "1:1" .. "1:maximum"
} // namespace DisplayMode

// Everything a numeric edit needs to show and read its value.
struct DisplayFormat {
    int mode = DisplayMode::DelayMs;
    int minimum = 0;
    int maximum = 0;
    double step = 0.0;   // display units per step (linear mode)
    double offset = 0.0; // subtracted after scaling (linear mode)
    int temperature = 0; // degrees C, for the distance modes
};

// How a commit (the field losing the focus) treats the typed text in a mode.
enum class CommitRule {
    // Converted only when the operator changed the text; the changed mark stays set.
    DelayKeepsModified,
    // Converted only when the operator changed the text; the changed mark is cleared.
    DistanceClearsModified,
    // Always read and range-checked; stored, shown again and reported to the owner only
    // when the operator changed the text. The changed mark stays set.
    AlwaysChecked,
    // The text is not converted (owner text, slope, ratio).
    None,
};

CommitRule CommitRuleOf(int mode);
// True for the frequency modes, which store the typed number even when the operator did
// not change the text.
bool StoresUnmodifiedText(int mode);

// Text of value in the format's mode. Empty for the owner-text mode and unknown modes.
std::string FormatDisplayValue(const DisplayFormat& format, int value);

struct ParsedDisplayValue {
    int value = 0;           // the value to keep: the converted one, or the current one
    bool outOfRange = false; // the typed value lay outside the accepted range ("Out of Range")
    bool isNumber = true;    // false when the text holds no number; value is then the current one
};

// Converts typed text to a value of the format, clamped to the accepted range and to
// [minimum, maximum]. The text of the current value reads back as the current value, so
// converting a field whose text was not changed never moves it. "OFF" in the frequency modes
// and attack text between 0.9 and 1 keep the current value. Modes without a conversion
// return the current value.
ParsedDisplayValue ParseDisplayText(const DisplayFormat& format, const std::string& text,
                                    int currentValue);
