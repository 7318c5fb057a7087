#pragma once

#include "core/curves/ComplexResponse.h"

#include <vector>

// A measured driver: frequency (Hz, strictly rising), level (dB) and, when the measurement has
// it, phase (degrees, as measured: wrapped or not).
struct MeasuredDriver {
    std::vector<double> hz;
    std::vector<double> levelDb;
    std::vector<double> phaseDegrees; // empty: no phase measured
};

// The measurement carried onto the plot frequencies: level and unwrapped phase interpolated
// linearly over log frequency (the derivative is that of the interpolation). Below the first
// and above the last measured frequency the end values are held (level and phase constant, so
// no group delay there); firstCovered..lastCovered are the plot points inside the measured
// range (firstCovered > lastCovered when none is). Without a measured phase the phase is 0.
struct DriverOnGrid {
    ComplexResponse response{};
    int firstCovered = 0;
    int lastCovered = PlotPointCount - 1;
};
// driver must hold at least one point with rising frequencies (as ReadMeasurement gives it).
DriverOnGrid DriverResponse(const MeasuredDriver& driver);
