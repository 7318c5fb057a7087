#pragma once

#include "core/model/ValueTables.h"

// What the conversions of typed values to indices share.

// A typed value that is exactly a shown step can land a hair below that step after the
// binary arithmetic (-39.7 dB + 40 is 0.29999...); truncating it would give the step below,
// so the text shown for a step would not read back as that step. Values this close to the
// next whole step are taken as that step.
constexpr double kTypedStepTolerance = 1e-9;

inline int TruncTypedSteps(double steps) {
    return TruncToInt(steps + kTypedStepTolerance);
}

// Keeps a typed value inside lower..upper: false, with the value moved to the nearer end, when
// it was outside (a value that is not a number goes to lower).
inline bool KeepTypedWithin(double& value, double lower, double upper) {
    if (value > upper) {
        value = upper;
        return false;
    }
    if (!(value >= lower)) {
        value = lower;
        return false;
    }
    return true;
}
