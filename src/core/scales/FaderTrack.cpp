#include "core/scales/FaderTrack.h"

#include <algorithm>
#include <cmath>

int FaderTrack::Usable() const {
    return std::max(0, length - startMargin - endMargin - thumbLength);
}

int FaderTrack::FirstCentre() const {
    return startMargin + thumbLength / 2;
}

int FaderTrack::Clamp(int position) const {
    return std::clamp(position, minimum, std::max(minimum, maximum));
}

int FaderTrack::CentreOf(int position) const {
    const int span = maximum - minimum;
    if (span <= 0) {
        return FirstCentre();
    }
    const double fraction = static_cast<double>(Clamp(position) - minimum) / span;
    return FirstCentre() + static_cast<int>(std::lround(fraction * Usable()));
}

int FaderTrack::ClampCentre(int centre) const {
    return std::clamp(centre, FirstCentre(), FirstCentre() + Usable());
}

int FaderTrack::PositionAt(int centre) const {
    const int usable = Usable();
    if (usable == 0) {
        return Clamp(minimum);
    }
    const double fraction = static_cast<double>(centre - FirstCentre()) / usable;
    return Clamp(minimum + static_cast<int>(std::lround(fraction * (maximum - minimum))));
}
