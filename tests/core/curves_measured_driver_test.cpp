// A measured driver carried onto the plot frequencies: interpolated over log frequency, phase
// unwrapped, the end values held outside the measured range.

#include "core/curves/MeasuredDriver.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(CurvesMeasuredDriver, LevelAndPhaseAreInterpolatedOverLogFrequency) {
    // Level and phase that are straight lines over log frequency come back exactly, with the
    // slope of that line as derivative.
    MeasuredDriver driver;
    for (const double hz : {15.0, 40.0, 300.0, 2500.0, 24000.0}) {
        driver.hz.push_back(hz);
        driver.levelDb.push_back(80.0 + 6.0 * std::log2(hz / 1000.0));
        driver.phaseDegrees.push_back(30.0 * std::log2(hz / 1000.0));
    }
    const DriverOnGrid grid = DriverResponse(driver);
    EXPECT_EQ(PlotFrequencies[static_cast<std::size_t>(grid.firstCovered)] >= 15.0, true);
    EXPECT_LT(PlotFrequencies[static_cast<std::size_t>(grid.firstCovered) - 1], 15.0);
    EXPECT_LE(PlotFrequencies[static_cast<std::size_t>(grid.lastCovered)], 24000.0);
    EXPECT_GT(PlotFrequencies[static_cast<std::size_t>(grid.lastCovered) + 1], 24000.0);
    for (int i = grid.firstCovered; i <= grid.lastCovered; ++i) {
        const double f = PlotFrequencies[static_cast<std::size_t>(i)];
        const ComplexPoint& p = grid.response[static_cast<std::size_t>(i)];
        ASSERT_NEAR(LevelDb(p), 80.0 + 6.0 * std::log2(f / 1000.0), 1e-9) << f;
        ASSERT_NEAR(std::remainder(PhaseDegrees(p) - 30.0 * std::log2(f / 1000.0), 360.0), 0.0,
                    1e-9)
            << f;
        // phase = 30 log2(f / 1000) degrees: d phase / d omega = 30 / (ln 2 * 2 pi f) degrees
        const double expectedMs = -30.0 / std::log(2.0) / (2.0 * kPi * f) * kPi / 180.0 * 1000.0;
        ASSERT_NEAR(GroupDelayMs(p), expectedMs, 1e-9) << f;
    }
    // Outside the measured range the end values are held, without group delay.
    for (int i = 0; i < PlotPointCount; ++i) {
        if (i >= grid.firstCovered && i <= grid.lastCovered) {
            continue;
        }
        const bool below = i < grid.firstCovered;
        const ComplexPoint& p = grid.response[static_cast<std::size_t>(i)];
        ASSERT_NEAR(LevelDb(p), below ? driver.levelDb.front() : driver.levelDb.back(), 1e-9);
        const double held = below ? driver.phaseDegrees.front() : driver.phaseDegrees.back();
        ASSERT_NEAR(std::remainder(PhaseDegrees(p) - held, 360.0), 0.0, 1e-9);
        ASSERT_EQ(GroupDelayMs(p), 0.0);
    }
}

TEST(CurvesMeasuredDriver, WrappedPhaseOfADelayIsUnwrappedIntoItsGroupDelay) {
    // A driver 2 ms away, measured every 1/96 octave (the phase turns less than half a turn
    // from point to point up to 20 kHz) with the phase wrapped to (-180, 180].
    MeasuredDriver driver;
    for (double hz = 20.0; hz <= 20000.0; hz *= std::pow(2.0, 1.0 / 96.0)) {
        driver.hz.push_back(hz);
        driver.levelDb.push_back(90.0);
        driver.phaseDegrees.push_back(std::remainder(-360.0 * hz * 0.002, 360.0));
    }
    const DriverOnGrid grid = DriverResponse(driver);
    for (int i = grid.firstCovered; i <= grid.lastCovered; ++i) {
        const double f = PlotFrequencies[static_cast<std::size_t>(i)];
        ASSERT_NEAR(GroupDelayMs(grid.response[static_cast<std::size_t>(i)]), 2.0, 0.02) << f;
    }
}

TEST(CurvesMeasuredDriver, WithoutPhaseOnlyTheLevelIsTaken) {
    const DriverOnGrid grid = DriverResponse(MeasuredDriver{{100.0, 1000.0}, {70.0, 90.0}, {}});
    const ComplexPoint& p = grid.response[120]; // 539 Hz
    EXPECT_NEAR(LevelDb(p), 70.0 + 20.0 * std::log10(539.0 / 100.0), 1e-9);
    EXPECT_EQ(PhaseDegrees(p), 0.0);
    EXPECT_EQ(GroupDelayMs(p), 0.0);
}

} // namespace
