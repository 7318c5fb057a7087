#include "core/curves/CrossoverResponse.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

enum { LR = 0, BES = 1, BTW = 2 };

double LevelAt(const CrossoverSections& sections, double hz) {
    double sum = 0.0;
    for (const Biquad& s : sections) {
        sum += BiquadLevelDb(s, CurveTwoPi * hz / 96000.0);
    }
    return sum;
}

double HighPassAt(int hz, int type, int slope, double at) {
    return LevelAt(HighPassSections(hz, type, slope), at);
}

double LowPassAt(int hz, int type, int slope, double at) {
    return LevelAt(LowPassSections(hz, type, slope), at);
}

// Frequency below (high-pass) or above (low-pass) 1 kHz where the level crosses target.
double Crossing(bool highPass, int type, int slope, double target) {
    double lo = 10.0;
    double hi = 30000.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = std::sqrt(lo * hi);
        const double level =
            highPass ? HighPassAt(1000, type, slope, mid) : LowPassAt(1000, type, slope, mid);
        // The high-pass rises with frequency, the low-pass falls.
        if ((level < target) == highPass) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return std::sqrt(lo * hi);
}

TEST(CurvesCrossover, CornerLevelsOfTheFamilies) {
    struct Case {
        bool highPass;
        int type;
        int slope;
        double level; // at 1 kHz for a 1 kHz filter
        double tolerance;
    };
    // The 48 dB "L_R" damping values put its corner at -5.6 dB rather than -6.
    const Case cases[] = {
        {true, BTW, 0, -3.0, 0.1},  {false, BTW, 0, -3.0, 0.1}, {true, LR, 0, -6.0, 0.1},
        {false, LR, 2, -6.0, 0.1},  {true, LR, 2, -6.0, 0.1},   {true, BTW, 2, -3.0, 0.2},
        {false, BTW, 1, -3.0, 0.1}, {true, LR, 1, -6.0, 0.1},   {true, LR, 3, -5.6, 0.1},
        {false, BTW, 3, -3.0, 0.2},
    };
    for (const Case& c : cases) {
        const double level = c.highPass ? HighPassAt(1000, c.type, c.slope, 1000.0)
                                        : LowPassAt(1000, c.type, c.slope, 1000.0);
        EXPECT_NEAR(level, c.level, c.tolerance)
            << (c.highPass ? "high" : "low") << "-pass type " << c.type << " slope " << c.slope;
    }
}

TEST(CurvesCrossover, SlopesPerOctaveFarFromTheCorner) {
    const double perOctave[] = {12.0, 18.0, 24.0, 48.0};
    for (int type : {LR, BES, BTW}) {
        for (int slope = 0; slope < 4; ++slope) {
            const double hpDrop =
                HighPassAt(1000, type, slope, 40.0) - HighPassAt(1000, type, slope, 20.0);
            EXPECT_NEAR(hpDrop, perOctave[slope], 0.5)
                << "high-pass type " << type << " slope " << slope;
            const double lpDrop =
                LowPassAt(1000, type, slope, 4000.0) - LowPassAt(1000, type, slope, 8000.0);
            EXPECT_NEAR(lpDrop, perOctave[slope], 1.5)
                << "low-pass type " << type << " slope " << slope;
            // Pass band stays near 0 dB.
            EXPECT_NEAR(HighPassAt(1000, type, slope, 20000.0), 0.0, 0.2);
            EXPECT_NEAR(LowPassAt(1000, type, slope, 20.0), 0.0, 0.2);
        }
    }
}

TEST(CurvesCrossover, BesselHighPassIsDesignedBelowTheSetFrequency) {
    // Butterworth damping at 1000 / 1.2683112435 Hz: -3 dB near 790 Hz.
    EXPECT_NEAR(Crossing(true, BES, 0, -3.0), 1000.0 / 1.2683112435, 5.0);
    EXPECT_NEAR(HighPassAt(1000, BES, 0, 1000.0 / 1.2683112435), -3.0, 0.1);
}

TEST(CurvesCrossover, BesselLowPassKeepsItsPassBandFlat) {
    // The low-pass divisors put the -3 dB point close to the set frequency.
    for (int slope = 0; slope < 4; ++slope) {
        const double corner = Crossing(false, BES, slope, -3.0);
        EXPECT_GT(corner, 700.0) << "slope " << slope;
        EXPECT_LT(corner, 1400.0) << "slope " << slope;
    }
}

TEST(CurvesCrossover, CurveIsTheCascadeAtThePlotFrequencies) {
    const ResponseCurve hp = HighPassResponse(1000, BTW, 2);
    const ResponseCurve lp = LowPassResponse(1000, BES, 1);
    for (int i = 0; i < PlotPointCount; ++i) {
        EXPECT_DOUBLE_EQ(hp[i], HighPassAt(1000, BTW, 2, PlotFrequencies[i]));
        EXPECT_DOUBLE_EQ(lp[i], LowPassAt(1000, BES, 1, PlotFrequencies[i]));
        EXPECT_TRUE(std::isfinite(hp[i]) && std::isfinite(lp[i])) << "point " << i;
    }
}

TEST(CurvesCrossover, UnknownDesignsAreNeutral) {
    for (double v : HighPassResponse(1000, 3, 0)) {
        EXPECT_EQ(v, 0.0);
    }
    for (double v : LowPassResponse(1000, 0, 4)) {
        EXPECT_EQ(v, 0.0);
    }
}

} // namespace
