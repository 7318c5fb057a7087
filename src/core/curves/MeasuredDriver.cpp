#include "core/curves/MeasuredDriver.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Radians, each step from one point to the next taken as the shorter way round.
std::vector<double> UnwrappedRadians(const std::vector<double>& degrees) {
    std::vector<double> radians(degrees.size());
    double previous = 0.0; // the point before, unwrapped, in degrees
    for (std::size_t k = 0; k < degrees.size(); ++k) {
        double unwrapped = degrees[k];
        if (k > 0) {
            unwrapped -= 360.0 * std::round((unwrapped - previous) / 360.0);
        }
        previous = unwrapped;
        radians[k] = unwrapped * kPi / 180.0;
    }
    return radians;
}

} // namespace

DriverOnGrid DriverResponse(const MeasuredDriver& driver) {
    DriverOnGrid grid;
    const std::vector<double>& hz = driver.hz;
    if (hz.empty()) {
        grid.firstCovered = PlotPointCount;
        grid.lastCovered = -1;
        return grid;
    }
    const bool withPhase = driver.phaseDegrees.size() == hz.size();
    const std::vector<double> phase =
        withPhase ? UnwrappedRadians(driver.phaseDegrees) : std::vector<double>(hz.size(), 0.0);
    const double dbToNeper = std::log(10.0) / 20.0;

    grid.firstCovered = PlotPointCount;
    grid.lastCovered = -1;
    for (std::size_t i = 0; i < grid.response.size(); ++i) {
        const double f = PlotFrequencies[i];
        double level = 0.0;
        double radians = 0.0;
        double levelSlope = 0.0; // dB per unit of ln f
        double phaseSlope = 0.0; // radians per unit of ln f
        if (f <= hz.front()) {
            level = driver.levelDb.front();
            radians = phase.front();
        } else if (f >= hz.back()) {
            level = driver.levelDb.back();
            radians = phase.back();
        } else {
            // The segment hz[k] <= f < hz[k + 1].
            const std::size_t k =
                static_cast<std::size_t>(std::upper_bound(hz.begin(), hz.end(), f) - hz.begin()) -
                1;
            const double span = std::log(hz[k + 1] / hz[k]);
            const double t = std::log(f / hz[k]) / span;
            levelSlope = (driver.levelDb[k + 1] - driver.levelDb[k]) / span;
            phaseSlope = (phase[k + 1] - phase[k]) / span;
            level = driver.levelDb[k] + t * (driver.levelDb[k + 1] - driver.levelDb[k]);
            radians = phase[k] + t * (phase[k + 1] - phase[k]);
        }
        if (f >= hz.front() && f <= hz.back()) {
            grid.firstCovered = std::min(grid.firstCovered, static_cast<int>(i));
            grid.lastCovered = static_cast<int>(i);
        }
        const std::complex<double> value = std::polar(std::pow(10.0, level / 20.0), radians);
        // d/d omega = (1 / omega) d/d ln f
        const double omega = 2.0 * kPi * f;
        grid.response[i].value = value;
        grid.response[i].slope =
            value * std::complex<double>(dbToNeper * levelSlope, phaseSlope) / omega;
    }
    return grid;
}
