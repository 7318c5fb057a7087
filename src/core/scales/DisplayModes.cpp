#include "core/scales/DisplayModes.h"

#include "core/model/NumberText.h"
#include "core/model/ParameterValues.h"

#include <limits>

namespace {

// Device types whose encodings the fine and the compact modes use.
constexpr int kFineType = 1;
constexpr int kCompactType = 2;

// The integer of the text; "1000.7" reads 1000. Out-of-int values are pinned to the int
// limits so the range checks see them as too large or too small.
bool ReadInteger(const std::string& text, int& x) {
    long long wide = 0;
    if (!ReadLeadingInteger(text, wide)) {
        return false;
    }
    if (wide > std::numeric_limits<int>::max()) {
        x = std::numeric_limits<int>::max();
    } else if (wide < std::numeric_limits<int>::min()) {
        x = std::numeric_limits<int>::min();
    } else {
        x = static_cast<int>(wide);
    }
    return true;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// Typed number to the index of the mode's parameter, with its own range report.
TypedIndex ConvertNumber(const DisplayFormat& f, double x, int currentValue) {
    switch (f.mode) {
    case DisplayMode::DelayMs:
        return DelayFromMs(x, kFineType);
    case DisplayMode::DelayMeters:
        return DelayFromMeters(x, kFineType, f.temperature);
    case DisplayMode::DelayFeet:
        return DelayFromFeet(x, kFineType, f.temperature);
    case DisplayMode::DelayMsCompact:
        return DelayFromMs(x, kCompactType);
    case DisplayMode::DelayMetersCompact:
        return DelayFromMeters(x, kCompactType, f.temperature);
    case DisplayMode::DelayFeetCompact:
        return DelayFromFeet(x, kCompactType, f.temperature);
    case DisplayMode::Attack:
        return AttackFromMs(x, currentValue);
    case DisplayMode::BandwidthFine:
        return BandwidthFromTyped(x, kFineType);
    case DisplayMode::BandwidthCoarse:
        return BandwidthFromTyped(x, kCompactType);
    case DisplayMode::QFine:
        return QFromTyped(x, kFineType);
    case DisplayMode::QCoarse:
        return QFromTyped(x, kCompactType);
    case DisplayMode::Linear:
        return LinearFromTyped(x, f.step, f.offset, IndexRange{f.minimum, f.maximum});
    default:
        return {currentValue, true};
    }
}

bool IsFrequencyMode(int mode) {
    return mode == DisplayMode::EqFrequency || mode == DisplayMode::HighPassFrequency ||
           mode == DisplayMode::LowPassFrequency;
}

} // namespace

CommitRule CommitRuleOf(int mode) {
    switch (mode) {
    case DisplayMode::DelayMs:
    case DisplayMode::DelayMsCompact:
        return CommitRule::DelayKeepsModified;
    case DisplayMode::DelayMeters:
    case DisplayMode::DelayFeet:
    case DisplayMode::DelayMetersCompact:
    case DisplayMode::DelayFeetCompact:
        return CommitRule::DistanceClearsModified;
    case DisplayMode::EqFrequency:
    case DisplayMode::Attack:
    case DisplayMode::BandwidthFine:
    case DisplayMode::HighPassFrequency:
    case DisplayMode::LowPassFrequency:
    case DisplayMode::Linear:
    case DisplayMode::QFine:
    case DisplayMode::QCoarse:
    case DisplayMode::BandwidthCoarse:
        return CommitRule::AlwaysChecked;
    default:
        return CommitRule::None;
    }
}

bool StoresUnmodifiedText(int mode) {
    return IsFrequencyMode(mode);
}

std::string FormatDisplayValue(const DisplayFormat& f, int value) {
    switch (f.mode) {
    case DisplayMode::DelayMs:
        return DelayEditText(value, kFineType);
    case DisplayMode::DelayMeters:
        return DelayMetersText(value, kFineType, f.temperature);
    case DisplayMode::DelayFeet:
        return DelayFeetText(value, kFineType, f.temperature);
    case DisplayMode::DelayMsCompact:
        return DelayEditText(value, kCompactType);
    case DisplayMode::DelayMetersCompact:
        return DelayMetersText(value, kCompactType, f.temperature);
    case DisplayMode::DelayFeetCompact:
        return DelayFeetText(value, kCompactType, f.temperature);
    case DisplayMode::EqFrequency:
    case DisplayMode::HighPassFrequency:
    case DisplayMode::LowPassFrequency:
        return FrequencyText(value);
    case DisplayMode::Attack:
        return AttackText(value);
    case DisplayMode::BandwidthFine:
        return BandwidthText(BandwidthIndexToOctaves(value, kFineType));
    case DisplayMode::BandwidthCoarse:
        return BandwidthText(BandwidthIndexToOctaves(value, kCompactType));
    case DisplayMode::QFine:
        return QText(BandwidthIndexToQ(value, kFineType));
    case DisplayMode::QCoarse:
        return QText(BandwidthIndexToQ(value, kCompactType));
    case DisplayMode::Linear:
        return LinearText(value, f.step, f.offset);
    case DisplayMode::CrossoverSlope:
        return SlopeEditText(value);
    case DisplayMode::Ratio:
        return RatioText(value);
    default:
        return {};
    }
}

ParsedDisplayValue ParseDisplayText(const DisplayFormat& f, const std::string& text,
                                    int currentValue) {
    ParsedDisplayValue result;
    result.value = currentValue;
    if (CommitRuleOf(f.mode) == CommitRule::None) {
        return result;
    }
    const std::string typed = Trimmed(text);
    if (typed == FormatDisplayValue(f, currentValue)) {
        return result;
    }

    const IndexRange range{f.minimum, f.maximum};
    TypedIndex converted{currentValue, true};
    if (IsFrequencyMode(f.mode)) {
        if (typed == "OFF") {
            return result;
        }
        int hz = 0;
        if (!ReadInteger(typed, hz)) {
            result.isNumber = false;
            return result;
        }
        converted = FrequencyFromTyped(hz, f.minimum);
    } else {
        double x = 0.0;
        if (!ReadLeadingNumber(typed, x)) {
            result.isNumber = false;
            return result;
        }
        converted = ConvertNumber(f, x, currentValue);
    }
    // The field's own range bounds every mode, also where the parameter's range is wider.
    result.value = range.Clamp(converted.index);
    result.outOfRange = !converted.inRange || result.value != converted.index;
    return result;
}
