#pragma once

#include "core/plot/PlotGrid.h"

#include <array>
#include <complex>

// One point of a complex response: the transfer value and its derivative with respect to the
// angular frequency (per rad/s). Carrying the derivative along makes phase and group delay of
// cascades and sums exact instead of differentiating on the coarse plot grid.
struct ComplexPoint {
    std::complex<double> value{1.0, 0.0};
    std::complex<double> slope{0.0, 0.0};
};

// A complex response at PlotFrequencies; a value-initialised one is unity (0 dB, 0 degrees,
// no delay) at every point.
using ComplexResponse = std::array<ComplexPoint, PlotPointCount>;

// The response followed by another one: the product, point by point.
void Cascade(ComplexResponse& response, const ComplexResponse& by);
// The sum of two responses, point by point (two signals adding in the air).
void Accumulate(ComplexResponse& sum, const ComplexResponse& term);
// Multiplies by a real factor (a gain; a negative factor inverts the polarity).
void Scale(ComplexResponse& response, double factor);
// Follows the response by a pure time delay: phase -2 pi f seconds.
void Delay(ComplexResponse& response, double seconds);

// Level in dB; -infinity for an exact zero only.
double LevelDb(const ComplexPoint& point);
// Phase in degrees, wrapped to (-180, 180]; 0 for an exact zero.
double PhaseDegrees(const ComplexPoint& point);
// Group delay -d(phase)/d(omega) in milliseconds; NaN for an exact zero, where it is undefined.
double GroupDelayMs(const ComplexPoint& point);

// What the graph and the command-line tool show of a response, point by point.
struct ResponseTraces {
    std::array<double, PlotPointCount> levelDb{};
    std::array<double, PlotPointCount> phaseDegrees{};
    std::array<double, PlotPointCount> groupDelayMs{};
};
ResponseTraces TracesOf(const ComplexResponse& response);
