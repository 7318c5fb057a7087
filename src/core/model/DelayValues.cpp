// The delay values of ParameterValues.h: milliseconds and the distances sound travels in them.
#include "core/model/ParameterValues.h"

#include "core/model/NumberText.h"
#include "core/model/TypedValues.h"
#include "core/model/ValueTables.h"

namespace {

// Delay bounds of the two encodings.
constexpr int kFineDelayKnee = 9616;          // last index of the 0.0104 ms steps
constexpr double kFineDelayKneeMs = 100.0064; // its delay
constexpr double kFineDelayMaxMs = 1000.0034; // delay of the last index
constexpr int kCompactDelayKnee = 475;        // last index of the 0.021 ms steps
constexpr double kCompactDelayKneeMs = 9.996; // typed values above go to the 1 ms steps
constexpr double kCompactDelayMaxMs = 999.0;

// Typed delay in ms to the index, clamped to the index range without a report.
int MsToDelayIndex(double ms, int deviceType) {
    const IndexRange range = DelayRange(deviceType);
    int index = 0;
    if (!(ms >= 0.0)) {
        return range.min;
    }
    if (UsesCompactRules(deviceType)) {
        if (ms > kCompactDelayMaxMs) {
            return range.max;
        }
        index = ms <= kCompactDelayKneeMs ? TruncToInt(ms / 0.021 + 0.5)
                                          : TruncToInt(ms - kCompactDelayKneeMs + 476);
    } else {
        if (ms > kFineDelayMaxMs) {
            return range.max;
        }
        index = ms <= kFineDelayKneeMs ? TruncToInt(ms / 0.0104 + 0.0005)
                                       : TruncTypedSteps((ms - kFineDelayKneeMs) / 0.021 + 9616);
    }
    return range.Clamp(index);
}

// Typed distance to the index: unitsPerMeter is 1 for metres, 3.2808 for feet; maxDistance is
// the accepted limit in the same unit.
TypedIndex DistanceToDelay(double distance, double maxDistance, double unitsPerMeter,
                           int deviceType, int temperature) {
    TypedIndex result;
    result.inRange = KeepTypedWithin(distance, 0.0, maxDistance);
    const double ms =
        distance / unitsPerMeter * 1000.0 / SpeedOfSoundInput(temperature, deviceType);
    result.index = MsToDelayIndex(ms, deviceType);
    return result;
}

std::string DistanceText(double value, int index, int deviceType) {
    if (UsesCompactRules(deviceType)) {
        return FixedText(value, index > kCompactDelayKnee ? 1 : 3);
    }
    return FixedText(value, 4);
}

} // namespace

// ---- Delay ----

IndexRange DelayRange(int deviceType) {
    return UsesCompactRules(deviceType) ? IndexRange{0, 1465} : IndexRange{0, 52473};
}

double MaxDelayMs(int deviceType) {
    return UsesCompactRules(deviceType) ? kCompactDelayMaxMs : kFineDelayMaxMs;
}

double DelayIndexToMs(int index, int deviceType) {
    if (UsesCompactRules(deviceType)) {
        return index <= kCompactDelayKnee ? index * 0.021 : index - 476 + 10.0;
    }
    return index <= kFineDelayKnee ? index * 0.0104
                                   : kFineDelayKneeMs + (index - kFineDelayKnee) * 0.021;
}

std::string DelayEditText(int index, int deviceType) {
    const double ms = DelayIndexToMs(index, deviceType);
    if (UsesCompactRules(deviceType)) {
        // 10 ms and more is exactly the indices above the knee.
        return FixedText(ms, index > kCompactDelayKnee ? 1 : 3);
    }
    // 1000.0034 ms is reached exactly at the last index; comparing indices avoids
    // depending on the rounding of the sum.
    return FixedText(ms, index >= DelayRange(deviceType).max ? 0 : 4);
}

std::string DelayText(int index, int deviceType) {
    return DelayEditText(index, deviceType) + "ms";
}

TypedIndex DelayFromMs(double ms, int deviceType) {
    const IndexRange range = DelayRange(deviceType);
    if (!(ms >= 0.0)) {
        return {range.min, false};
    }
    if (!UsesCompactRules(deviceType) && ms == 1000.0) {
        ms = kFineDelayMaxMs;
    }
    if (ms > MaxDelayMs(deviceType)) {
        return {range.max, false};
    }
    return {MsToDelayIndex(ms, deviceType), true};
}

// ---- Distance ----

double SpeedOfSoundDisplay(int temperature) {
    return 331.0 + 0.6 * temperature;
}

double SpeedOfSoundInput(int temperature, int deviceType) {
    return (UsesCompactRules(deviceType) ? 331.0 : 331.4) + 0.6 * temperature;
}

double DelayIndexToMeters(int index, int deviceType, int temperature) {
    return SpeedOfSoundDisplay(temperature) * DelayIndexToMs(index, deviceType) / 1000.0;
}

double DelayIndexToFeet(int index, int deviceType, int temperature) {
    return DelayIndexToMeters(index, deviceType, temperature) * 3.28;
}

std::string DelayMetersText(int index, int deviceType, int temperature) {
    return DistanceText(DelayIndexToMeters(index, deviceType, temperature), index, deviceType);
}

std::string DelayFeetText(int index, int deviceType, int temperature) {
    return DistanceText(DelayIndexToFeet(index, deviceType, temperature), index, deviceType);
}

double MaxDelayMeters(int deviceType, int temperature) {
    return SpeedOfSoundInput(temperature, deviceType) / 1000.0 * MaxDelayMs(deviceType);
}

double MaxDelayFeet(int deviceType, int temperature) {
    return MaxDelayMeters(deviceType, temperature) * (UsesCompactRules(deviceType) ? 3.28 : 3.2808);
}

TypedIndex DelayFromMeters(double meters, int deviceType, int temperature) {
    return DistanceToDelay(meters, MaxDelayMeters(deviceType, temperature), 1.0, deviceType,
                           temperature);
}

TypedIndex DelayFromFeet(double feet, int deviceType, int temperature) {
    return DistanceToDelay(feet, MaxDelayFeet(deviceType, temperature), 3.2808, deviceType,
                           temperature);
}
