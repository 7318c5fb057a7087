#include "core/curves/EqResponse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

int NearestPoint(double hz) {
    int best = 0;
    for (int i = 1; i < PlotPointCount; ++i) {
        if (std::abs(std::log(PlotFrequencies[i] / hz)) <
            std::abs(std::log(PlotFrequencies[best] / hz))) {
            best = i;
        }
    }
    return best;
}

int PeakIndex(const ResponseCurve& r) {
    return static_cast<int>(std::max_element(r.begin(), r.end()) - r.begin());
}

// Level at an arbitrary frequency on the peaking band's evaluation scale.
double PeakingLevelAt(int hz, double gain, double octaves, double at) {
    return BiquadLevelDb(PeakingBiquad(hz, gain, octaves), CurveTwoPi * at / 192000.0);
}

TEST(CurvesPeaking, PeaksAtItsGainAndFrequency) {
    const ResponseCurve r = PeakingResponse(1000, 12.0, 1.0);
    EXPECT_EQ(PeakIndex(r), NearestPoint(1000.0));
    EXPECT_NEAR(PeakingLevelAt(1000, 12.0, 1.0, 1000.0), 12.0, 1e-6);
    EXPECT_NEAR(r[PeakIndex(r)], 12.0, 0.2);
    EXPECT_NEAR(r[0], 0.0, 0.05);
    EXPECT_NEAR(r[240], 0.0, 0.1);
    // A cut mirrors the boost.
    const ResponseCurve cut = PeakingResponse(1000, -12.0, 1.0);
    for (int i = 0; i < PlotPointCount; ++i) {
        EXPECT_NEAR(cut[i], -r[i], 1e-9) << "point " << i;
    }
}

TEST(CurvesPeaking, BandwidthSetsTheHalfGainEdges) {
    // The bandwidth enters the design without the usual halving, so the half-gain points
    // of a one-octave band lie one octave either side of the centre (where the bandwidth
    // handles are drawn).
    const double low = PeakingLevelAt(1000, 12.0, 1.0, 500.0);
    const double high = PeakingLevelAt(1000, 12.0, 1.0, 2000.0);
    EXPECT_NEAR(low, 6.0, 0.3);
    EXPECT_NEAR(high, 6.0, 0.3);
    // A narrower band is lower at the same distance from the centre.
    EXPECT_LT(PeakingLevelAt(1000, 12.0, 0.3, 2000.0), high - 3.0);
}

TEST(CurvesPeaking, ZeroGainIsFlat) {
    for (double v : PeakingResponse(1000, 0.0, 1.0)) {
        EXPECT_NEAR(v, 0.0, 1e-12);
    }
}

TEST(CurvesShelf, LowShelfApproachesItsGainBelowTheCorner) {
    for (int slope : {0, 1}) {
        const ResponseCurve r = ShelfResponse(false, 1000, 6.0, slope);
        EXPECT_NEAR(r[0], 6.0, 0.1) << "slope " << slope;
        EXPECT_NEAR(r[240], 0.0, 0.1) << "slope " << slope;
        for (int i = 1; i < PlotPointCount; ++i) {
            EXPECT_LE(r[i], r[i - 1] + 0.2) << "slope " << slope << " point " << i;
        }
    }
}

TEST(CurvesShelf, HighShelfApproachesItsGainAboveTheCorner) {
    for (int slope : {0, 1}) {
        const ResponseCurve r = ShelfResponse(true, 1000, 6.0, slope);
        EXPECT_NEAR(r[0], 0.0, 0.1) << "slope " << slope;
        EXPECT_NEAR(r[240], 6.0, 0.3) << "slope " << slope;
        const ResponseCurve cut = ShelfResponse(true, 1000, -6.0, slope);
        EXPECT_NEAR(cut[240], -6.0, 0.3) << "slope " << slope;
    }
}

TEST(CurvesShelf, SlopeOneIsSteeperAndCornerFactorsApply) {
    // The 12 dB shelf changes faster around its corner than the 6 dB shelf.
    const ResponseCurve gentle = ShelfResponse(false, 1000, 12.0, 0);
    const ResponseCurve steep = ShelfResponse(false, 1000, 12.0, 1);
    const int a = NearestPoint(500.0);
    const int b = NearestPoint(2000.0);
    EXPECT_GT(steep[a] - steep[b], gentle[a] - gentle[b]);
    // The low shelf of slope 0 is designed at twice the set frequency: its half-gain point
    // lies near 2 kHz, not 1 kHz.
    const int half = NearestPoint(2000.0);
    EXPECT_NEAR(gentle[half], 6.0, 1.5);
}

TEST(CurvesShelf, ZeroGainIsNeutral) {
    for (bool high : {false, true}) {
        for (int slope : {0, 1}) {
            for (double v : ShelfResponse(high, 1000, 0.0, slope)) {
                EXPECT_EQ(v, 0.0);
            }
        }
    }
}

} // namespace
