#include "core/curves/CrossoverResponse.h"

#include <cmath>

namespace {

enum { LinkwitzRiley = 0, Bessel = 1, Butterworth = 2 };
enum { Slope12 = 0, Slope18 = 1, Slope24 = 2, Slope48 = 3 };

using Damping = std::array<double, 4>;

// Damping values d0..d3 per slope; the 18 dB rows start with the first-order value.
constexpr std::array<Damping, 4> kLinkwitzRiley = {{
    {1.0, 0.0, 0.0, 0.0},
    {1.0, 0.70422535211, 0.0, 0.0},
    {0.70422535211, 0.70422535211, 0.0, 0.0},
    {0.92592592593, 0.3731343218, 0.92592592593, 0.3731343218},
}};
constexpr std::array<Damping, 4> kButterworthHighPass = {{
    {0.70422535, 0.0, 0.0, 0.0},
    {1.0, 0.5, 0.0, 0.0},
    {0.92592593, 0.3816793923, 0.0, 0.0},
    {0.9803912618, 0.83333333, 0.55555556, 0.1953125},
}};
constexpr std::array<Damping, 4> kButterworthLowPass = {{
    {0.70422535, 0.0, 0.0, 0.0},
    {1.0, 0.5, 0.0, 0.0},
    {0.92592593, 0.3816793923, 0.0, 0.0},
    {0.98039216, 0.83333333, 0.55555556, 0.1953125},
}};
constexpr std::array<Damping, 4> kBesselHighPass = {{
    {0.70422535, 0.0, 0.0, 0.0},
    {0.756, 0.72463768, 0.0, 0.0},
    {0.96153846, 0.6172839402, 0.0, 0.0},
    {0.98039216, 0.89285714, 0.70422535, 0.40650406},
}};
// The Bessel high-pass is designed this much below the set frequency.
constexpr std::array<double, 4> kBesselHighPassDivisor = {1.2683112435, 1.2854981442, 1.5006420029,
                                                          1.679120141};

// Bessel low-pass sections 1 / (q s^2 + p s + 1) as pairs (p, q), and their design divisor.
struct BesselPair {
    double p = 0.0;
    double q = 0.0;
};
constexpr std::array<std::array<BesselPair, 4>, 4> kBesselLowPass = {{
    {{{1.0, 0.3333333248}}},
    {{{0.5693712514, 0.1548124484}, {0.4306288415, 0.0}}},
    {{{0.369, 0.08785877448}, {0.6278294952, 0.109408}}},
    {{{0.1172356824, 0.02064747928},
      {0.2265166739, 0.02592739454},
      {0.3067559, 0.02946832228},
      {0.3494916166, 0.03127225749}}},
}};
constexpr std::array<double, 4> kBesselLowPassDivisor = {1.3616541287, 1.75567236868, 2.1139176749,
                                                         3.17961723751};

bool ValidDesign(int crossoverType, int slope) {
    return crossoverType >= 0 && crossoverType <= 2 && slope >= 0 && slope <= 3;
}

double DesignAngle(double hz) {
    return hz * 6.544985e-05;
}

// Cascade of second-order sections from damping values (and the first-order section that
// replaces the first one at 18 dB per octave).
CrossoverSections DampedSections(bool highPass, double hz, const Damping& damping, int slope) {
    const double w0 = DesignAngle(hz);
    const double c = std::cos(w0);
    const double sn = std::sin(w0);
    const double t = std::tan(w0 / 2.0);
    CrossoverSections sections{};
    for (int k = 0; k < 4; ++k) {
        const double d = damping[k];
        if (d == 0.0) {
            continue; // neutral
        }
        if (k == 0 && slope == Slope18) {
            sections[k] = highPass ? NormaliseBiquad(1.0, -1.0, 0.0, d * t + 1.0, d * t - 1.0, 0.0)
                                   : NormaliseBiquad(t, t, 0.0, t + d, t - d, 0.0);
            continue;
        }
        const double alpha = sn * d;
        if (highPass) {
            sections[k] = NormaliseBiquad((1.0 + c) / 2.0, -(1.0 + c), (1.0 + c) / 2.0, 1.0 + alpha,
                                          -2.0 * c, 1.0 - alpha);
        } else {
            sections[k] = NormaliseBiquad((1.0 - c) / 2.0, 1.0 - c, (1.0 - c) / 2.0, 1.0 + alpha,
                                          -2.0 * c, 1.0 - alpha);
        }
    }
    return sections;
}

CrossoverSections BesselLowPassSections(double hz, int slope) {
    const double t = std::tan(DesignAngle(hz) / 2.0);
    const double tt = t * t;
    CrossoverSections sections{};
    for (int k = 0; k < 4; ++k) {
        const BesselPair& pair = kBesselLowPass[slope][k];
        if (pair.p == 0.0) {
            continue; // neutral
        }
        sections[k] = NormaliseBiquad(tt, 2.0 * tt, tt, pair.p * t + tt + pair.q,
                                      2.0 * tt - 2.0 * pair.q, tt - pair.p * t + pair.q);
    }
    return sections;
}

ResponseCurve CascadeResponse(const CrossoverSections& sections) {
    ResponseCurve out{};
    for (int i = 0; i < PlotPointCount; ++i) {
        const double w = CurveTwoPi * PlotFrequencies[i] / 96000.0;
        double sum = 0.0;
        for (const Biquad& s : sections) {
            sum += BiquadLevelDb(s, w);
        }
        out[i] = sum;
    }
    return out;
}

} // namespace

CrossoverSections HighPassSections(int hz, int crossoverType, int slope) {
    if (!ValidDesign(crossoverType, slope)) {
        return {};
    }
    switch (crossoverType) {
    case LinkwitzRiley:
        return DampedSections(true, hz, kLinkwitzRiley[slope], slope);
    case Bessel:
        return DampedSections(true, hz / kBesselHighPassDivisor[slope], kBesselHighPass[slope],
                              slope);
    default:
        return DampedSections(true, hz, kButterworthHighPass[slope], slope);
    }
}

CrossoverSections LowPassSections(int hz, int crossoverType, int slope) {
    if (!ValidDesign(crossoverType, slope)) {
        return {};
    }
    switch (crossoverType) {
    case LinkwitzRiley:
        return DampedSections(false, hz, kLinkwitzRiley[slope], slope);
    case Bessel:
        return BesselLowPassSections(hz / kBesselLowPassDivisor[slope], slope);
    default:
        return DampedSections(false, hz, kButterworthLowPass[slope], slope);
    }
}

ResponseCurve HighPassResponse(int hz, int crossoverType, int slope) {
    return CascadeResponse(HighPassSections(hz, crossoverType, slope));
}

ResponseCurve LowPassResponse(int hz, int crossoverType, int slope) {
    return CascadeResponse(LowPassSections(hz, crossoverType, slope));
}
