#include "core/plot/PlotGrid.h"
#include "core/plot/Truncation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(PlotGrid, FollowsTheGeometricRuleAndEndsAt30kHz) {
    for (int i = 0; i < 240; ++i) {
        const double expected = std::round(10.0 * std::pow(1.0337844951, i) * 10.0) / 10.0;
        EXPECT_NEAR(PlotFrequencies[i], expected, 1e-9) << "point " << i;
    }
    EXPECT_EQ(PlotFrequencies[240], 30000.0);
    for (int i = 1; i < PlotPointCount; ++i) {
        EXPECT_LT(PlotFrequencies[i - 1], PlotFrequencies[i]) << "point " << i;
    }
    struct Row {
        int i;
        double hz;
    };
    const Row rows[] = {{0, 10.0},      {1, 10.3},     {24, 22.2},     {48, 49.3},
                        {72, 109.4},    {96, 242.8},   {120, 539.0},   {144, 1196.5},
                        {168, 2656.1},  {192, 5896.1}, {216, 13088.3}, {229, 20159.2},
                        {239, 28104.3}, {240, 30000.0}};
    for (const Row& r : rows) {
        EXPECT_DOUBLE_EQ(PlotFrequencies[r.i], r.hz) << "point " << r.i;
    }
}

TEST(PlotCoordinates, MapTheAxisEnds) {
    for (int size = 50; size <= 2000; ++size) {
        EXPECT_EQ(FreqToX(10.0, size), 0);
        EXPECT_EQ(FreqToX(30000.0, size), size);
        EXPECT_EQ(XToFreq(0, size), 10);
        EXPECT_EQ(XToFreq(size, size), 30000);
        EXPECT_EQ(DbToY(20.0, size), 0);
        EXPECT_EQ(DbToY(-40.0, size), size);
        EXPECT_DOUBLE_EQ(YToDb(0, size), 20.5);
        EXPECT_DOUBLE_EQ(YToDb(size, size), -40.5);
    }
    // Rounded to the nearest pixel on y, truncated on x.
    EXPECT_EQ(DbToY(0.0, 300), 100);
    EXPECT_EQ(DbToY(0.1, 300), 100);
    EXPECT_EQ(DbToY(-0.1, 300), 101);
    EXPECT_EQ(FreqToX(100.0, 600), 172); // 600 / 3.477 truncated
    EXPECT_EQ(XToFreq(172, 600), 99);
}

TEST(PlotCoordinates, StayDefinedForDegenerateInput) {
    EXPECT_EQ(XToFreq(10, 0), 10);
    EXPECT_DOUBLE_EQ(YToDb(10, 0), 20.5);
    EXPECT_EQ(FreqToX(0.0, 600), FreqToX(1.0, 600));
    EXPECT_EQ(DbToY(std::nan(""), 300), 0);
    EXPECT_EQ(TruncToInt(1e300), 2147483647);
    EXPECT_EQ(TruncToInt(-2.7), -2);
}

} // namespace
