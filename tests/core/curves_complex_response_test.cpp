// Complex responses of the filter sections: their levels are the drawn magnitudes, their
// phases and group delays the known values of the filter families, and the point operations
// (cascade, sum, gain, delay) keep value and derivative together.

#include "core/curves/ComplexResponse.h"
#include "core/curves/CrossoverResponse.h"
#include "core/curves/EqResponse.h"
#include "core/curves/SectionResponses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
enum { LR = 0, BES = 1, BTW = 2 };
// PlotFrequencies[120] is a whole number of hertz, so a filter can be designed right on it.
constexpr int kOnGrid = 539;
constexpr std::size_t kOnGridPoint = 120;

void ExpectLevelsEqual(const ComplexResponse& complex, const ResponseCurve& magnitude,
                       const std::string& what) {
    for (std::size_t i = 0; i < complex.size(); ++i) {
        ASSERT_NEAR(LevelDb(complex[i]), magnitude[i], 0.01) << what << " at point " << i;
    }
}

// Angular distance in degrees, whatever the wrapping.
double AngleBetween(double a, double b) {
    return std::abs(std::remainder(a - b, 360.0));
}

TEST(CurvesComplexResponse, CrossoverLevelsAreTheDrawnMagnitudesForEveryFamilyAndSlope) {
    const int frequencies[] = {11, 20, 57, 100, kOnGrid, 1000, 2500, 8000, 15000, 29999};
    for (int type = LR; type <= BTW; ++type) {
        for (int slope = 0; slope <= 3; ++slope) {
            for (const int hz : frequencies) {
                const std::string what = "type " + std::to_string(type) + " slope " +
                                         std::to_string(slope) + " at " + std::to_string(hz);
                ComplexResponse highPass{};
                CascadeHighPass(highPass, hz, type, slope);
                ExpectLevelsEqual(highPass, HighPassResponse(hz, type, slope), "high-pass " + what);
                ComplexResponse lowPass{};
                CascadeLowPass(lowPass, hz, type, slope);
                ExpectLevelsEqual(lowPass, LowPassResponse(hz, type, slope), "low-pass " + what);
            }
        }
    }
}

TEST(CurvesComplexResponse, EqBandLevelsAreTheDrawnMagnitudes) {
    const int frequencies[] = {10, 40, 250, 1000, 6300, 20000, 30000};
    const double gains[] = {-30.0, -12.5, -0.1, 0.0, 3.0, 15.0};
    for (const int hz : frequencies) {
        for (const double gain : gains) {
            for (const double octaves : {0.05, 0.33, 1.0, 2.0, 3.0}) {
                ComplexResponse peak{};
                CascadePeaking(peak, hz, gain, octaves);
                ExpectLevelsEqual(peak, PeakingResponse(hz, gain, octaves),
                                  "peak " + std::to_string(hz) + " Hz " + std::to_string(gain) +
                                      " dB " + std::to_string(octaves) + " oct");
            }
            for (const bool high : {false, true}) {
                for (const int slope : {0, 1}) {
                    ComplexResponse shelf{};
                    CascadeShelf(shelf, high, hz, gain, slope);
                    ExpectLevelsEqual(shelf, ShelfResponse(high, hz, gain, slope),
                                      std::string(high ? "high" : "low") + " shelf " +
                                          std::to_string(hz) + " Hz " + std::to_string(gain) +
                                          " dB slope " + std::to_string(slope));
                }
            }
        }
    }
}

TEST(CurvesComplexResponse, PhaseAtTheCornerIsTheFamilysKnownValue) {
    struct Case {
        const char* what;
        bool highPass;
        int type;
        int slope;
        double degrees;
    };
    const Case cases[] = {
        {"L_R 24 low-pass", false, LR, 2, -180.0},
        {"L_R 24 high-pass", true, LR, 2, 180.0},
        {"L_R 12 low-pass", false, LR, 0, -90.0},
        {"BTWorth 12 low-pass", false, BTW, 0, -90.0},
        {"BTWorth 12 high-pass", true, BTW, 0, 90.0},
        {"L_R 48 low-pass", false, LR, 3, 0.0},
        {"BTWorth 24 low-pass", false, BTW, 2, -180.0},
    };
    for (const Case& c : cases) {
        ComplexResponse response{};
        if (c.highPass) {
            CascadeHighPass(response, kOnGrid, c.type, c.slope);
        } else {
            CascadeLowPass(response, kOnGrid, c.type, c.slope);
        }
        const double phase = PhaseDegrees(response[kOnGridPoint]);
        EXPECT_LT(AngleBetween(phase, c.degrees), 0.01) << c.what << ": " << phase;
        EXPECT_GT(phase, -180.0) << c.what;
        EXPECT_LE(phase, 180.0) << c.what;
    }
    // A peaking band is real at its centre, boost or cut.
    for (const double gain : {-12.0, 6.0}) {
        ComplexResponse peak{};
        CascadePeaking(peak, kOnGrid, gain, 1.0);
        EXPECT_NEAR(PhaseDegrees(peak[kOnGridPoint]), 0.0, 0.01) << gain;
        EXPECT_NEAR(LevelDb(peak[kOnGridPoint]), gain, 0.01) << gain;
    }
}

TEST(CurvesComplexResponse, SectionDerivativeIsTheSlopeOfItsValue) {
    // Every design the filters use, differentiated numerically on the unit circle.
    std::vector<Biquad> sections{PeakingBiquad(1000, 9.0, 0.3), ShelfBiquad(false, 200, -6.0, 1),
                                 ShelfBiquad(true, 5000, 4.0, 0)};
    for (int type = LR; type <= BTW; ++type) {
        for (int slope = 0; slope <= 3; ++slope) {
            for (const Biquad& s : HighPassSections(800, type, slope)) {
                sections.push_back(s);
            }
            for (const Biquad& s : LowPassSections(800, type, slope)) {
                sections.push_back(s);
            }
        }
    }
    const double h = 1e-6;
    for (const Biquad& s : sections) {
        for (const double w : {0.002, 0.03, 0.05, 0.4, 1.5}) {
            const ComplexPoint p = BiquadPoint(s, w);
            const std::complex<double> numeric =
                (BiquadPoint(s, w + h).value - BiquadPoint(s, w - h).value) / (2.0 * h);
            EXPECT_LT(std::abs(p.slope - numeric), 1e-5 * (1.0 + std::abs(numeric)))
                << "w " << w << " b0 " << s.b0 << " a1 " << s.a1;
        }
    }
}

TEST(CurvesComplexResponse, GroupDelayOfKnownFiltersAndOfAPureDelay) {
    // A second-order section 1 / (s^2 + 2 d s + 1) delays 1 / (d omega_c) at its corner; the
    // L_R 24 is two of them with d = 0.70422535211, the BTWorth 12 one.
    const double omegaC = 2.0 * kPi * kOnGrid;
    ComplexResponse lr24{};
    CascadeLowPass(lr24, kOnGrid, LR, 2);
    EXPECT_NEAR(GroupDelayMs(lr24[kOnGridPoint]), 2.0 / (0.70422535211 * omegaC) * 1000.0,
                0.001 * 2.0 / (0.70422535211 * omegaC) * 1000.0);
    ComplexResponse btw12{};
    CascadeHighPass(btw12, kOnGrid, BTW, 0);
    EXPECT_NEAR(GroupDelayMs(btw12[kOnGridPoint]), 1.0 / (0.70422535 * omegaC) * 1000.0,
                0.001 / (0.70422535 * omegaC) * 1000.0);

    ComplexResponse delayed{};
    Delay(delayed, 0.0125);
    for (std::size_t i = 0; i < delayed.size(); ++i) {
        ASSERT_NEAR(GroupDelayMs(delayed[i]), 12.5, 1e-9) << i;
        ASSERT_NEAR(LevelDb(delayed[i]), 0.0, 1e-9) << i;
        const double expected = -360.0 * PlotFrequencies[i] * 0.0125;
        ASSERT_LT(AngleBetween(PhaseDegrees(delayed[i]), expected), 1e-6) << i;
    }
    // Group delays of a cascade add up, also with a delay after a filter.
    ComplexResponse both = lr24;
    Delay(both, 0.002);
    for (std::size_t i = 0; i < both.size(); ++i) {
        ASSERT_NEAR(GroupDelayMs(both[i]), GroupDelayMs(lr24[i]) + 2.0, 1e-9) << i;
    }
}

TEST(CurvesComplexResponse, PointOperationsAndTheExactNull) {
    ComplexResponse a{};
    CascadeLowPass(a, 2000, LR, 2);
    ComplexResponse b = a;
    Scale(b, -1.0);
    ComplexResponse sum = a;
    Accumulate(sum, b);
    const ResponseTraces nothing = TracesOf(sum);
    for (std::size_t i = 0; i < sum.size(); ++i) {
        ASSERT_TRUE(std::isinf(nothing.levelDb[i]) && nothing.levelDb[i] < 0.0) << i;
        ASSERT_EQ(nothing.phaseDegrees[i], 0.0) << i;
        ASSERT_TRUE(std::isnan(nothing.groupDelayMs[i])) << i;
    }

    // Two equal signals add 6.02 dB and keep phase and group delay; a cascade adds levels.
    ComplexResponse twice = a;
    Accumulate(twice, a);
    ComplexResponse squared = a;
    Cascade(squared, a);
    const ResponseTraces one = TracesOf(a);
    const ResponseTraces two = TracesOf(twice);
    const ResponseTraces sq = TracesOf(squared);
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_NEAR(two.levelDb[i], one.levelDb[i] + 20.0 * std::log10(2.0), 1e-9) << i;
        ASSERT_NEAR(two.groupDelayMs[i], one.groupDelayMs[i], 1e-9) << i;
        ASSERT_NEAR(sq.levelDb[i], 2.0 * one.levelDb[i], 1e-6) << i;
        ASSERT_NEAR(sq.groupDelayMs[i], 2.0 * one.groupDelayMs[i], 1e-9) << i;
        ASSERT_LT(AngleBetween(sq.phaseDegrees[i], 2.0 * one.phaseDegrees[i]), 1e-6) << i;
    }
}

} // namespace
