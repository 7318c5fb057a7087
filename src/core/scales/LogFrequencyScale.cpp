#include "core/scales/LogFrequencyScale.h"

#include "core/plot/Truncation.h"

#include <algorithm>
#include <cmath>

namespace {

double LogBase() {
    static const double base = std::pow(3000.0, 1.0 / LogFrequencySteps);
    return base;
}

} // namespace

int LogStepToFrequency(int k) {
    return TruncToInt(10.0 * std::pow(LogBase(), k));
}

int FrequencyToLogStep(int hz) {
    const int tens = hz / 10;
    if (tens <= 1) {
        return 0; // ln 1 is 0; below 10 Hz there is no logarithm to take
    }
    return TruncToInt(std::log(static_cast<double>(tens)) / std::log(LogBase()));
}

int FaderFrequency(int position, int maximum) {
    return LogStepToFrequency(maximum - position);
}

int FaderPositionOfFrequency(int hz, int minimum, int maximum) {
    // Computed in double so a huge frequency cannot overflow the subtraction.
    const double position = static_cast<double>(maximum) - FrequencyToLogStep(hz);
    return static_cast<int>(std::clamp(position, static_cast<double>(minimum),
                                       static_cast<double>(std::max(minimum, maximum))));
}

int KnobFrequency(int position) {
    return LogStepToFrequency(position);
}

int KnobPositionOfFrequency(int hz, int minimum, int maximum) {
    return std::clamp(FrequencyToLogStep(hz), minimum, std::max(minimum, maximum));
}
