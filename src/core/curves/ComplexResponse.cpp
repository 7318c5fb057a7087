#include "core/curves/ComplexResponse.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.14159265358979323846;

} // namespace

void Cascade(ComplexResponse& response, const ComplexResponse& by) {
    for (std::size_t i = 0; i < response.size(); ++i) {
        ComplexPoint& p = response[i];
        const ComplexPoint& q = by[i];
        p.slope = p.slope * q.value + p.value * q.slope;
        p.value *= q.value;
    }
}

void Accumulate(ComplexResponse& sum, const ComplexResponse& term) {
    for (std::size_t i = 0; i < sum.size(); ++i) {
        sum[i].value += term[i].value;
        sum[i].slope += term[i].slope;
    }
}

void Scale(ComplexResponse& response, double factor) {
    for (ComplexPoint& p : response) {
        p.value *= factor;
        p.slope *= factor;
    }
}

void Delay(ComplexResponse& response, double seconds) {
    if (seconds == 0.0) {
        return;
    }
    for (std::size_t i = 0; i < response.size(); ++i) {
        const double omega = 2.0 * kPi * PlotFrequencies[i];
        const std::complex<double> d = std::polar(1.0, -omega * seconds);
        ComplexPoint& p = response[i];
        // d(value d)/d omega = slope d + value (-j seconds) d
        p.slope = (p.slope + p.value * std::complex<double>(0.0, -seconds)) * d;
        p.value *= d;
    }
}

double LevelDb(const ComplexPoint& point) {
    const double magnitude = std::abs(point.value);
    if (magnitude == 0.0) {
        return -std::numeric_limits<double>::infinity();
    }
    return 20.0 * std::log10(magnitude);
}

double PhaseDegrees(const ComplexPoint& point) {
    const double degrees = std::arg(point.value) * 180.0 / kPi;
    // arg gives [-pi, pi]; -180 is the same angle as +180.
    return degrees <= -180.0 ? degrees + 360.0 : degrees;
}

double GroupDelayMs(const ComplexPoint& point) {
    const double power = std::norm(point.value);
    if (power == 0.0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    // d(phase)/d omega = Im(slope / value) = Im(slope conj(value)) / |value|^2
    const double phaseSlope = (point.slope * std::conj(point.value)).imag() / power;
    return -phaseSlope * 1000.0;
}

ResponseTraces TracesOf(const ComplexResponse& response) {
    ResponseTraces traces;
    for (std::size_t i = 0; i < response.size(); ++i) {
        traces.levelDb[i] = LevelDb(response[i]);
        traces.phaseDegrees[i] = PhaseDegrees(response[i]);
        traces.groupDelayMs[i] = GroupDelayMs(response[i]);
    }
    return traces;
}
