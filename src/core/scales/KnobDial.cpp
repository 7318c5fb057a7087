#include "core/scales/KnobDial.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

} // namespace

double KnobAngleOfPosition(int position, int minimum, int maximum) {
    const int span = maximum - minimum;
    const double swept =
        span > 0 ? static_cast<double>(std::clamp(position, minimum, maximum) - minimum) *
                       KnobSweep / span
                 : 0.0;
    return std::fmod(swept + KnobMinimumAngle, 360.0);
}

int KnobPositionOfAngle(double angle, int minimum, int maximum) {
    // Angles from 240 on count from the minimum at 245; angles up to 120 continue past 0.
    // The dead sector between them splits at the bottom towards the nearer end.
    const double swept =
        std::clamp(angle >= 180.0 ? angle - KnobMinimumAngle : angle + 360.0 - KnobMinimumAngle,
                   0.0, KnobSweep);
    const int span = std::max(0, maximum - minimum);
    return minimum + static_cast<int>(std::lround(swept * span / KnobSweep));
}

double KnobAngleOfPoint(double dx, double dy) {
    const double degrees = std::atan2(dx, -dy) * 180.0 / kPi;
    return degrees < 0.0 ? degrees + 360.0 : degrees;
}

bool InKnobDeadSector(double dx, double dy) {
    return dy > 0.5 * std::hypot(dx, dy);
}
