#include "core/curves/SectionResponses.h"

#include "core/curves/CrossoverResponse.h"
#include "core/curves/EqResponse.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBaseRate = 96000.0;

using Complex = std::complex<double>;

// e^-jw at every plot frequency for one rate, and dw/d omega (omega = 2 pi f in rad/s).
struct UnitCircle {
    std::array<Complex, PlotPointCount> z1{};
    std::array<Complex, PlotPointCount> z2{};
    double angleScale = 0.0;
};

double Angle(std::size_t i, CurveRate rate) {
    const double w = CurveTwoPi * PlotFrequencies[i] / kBaseRate;
    return rate == CurveRate::Doubled ? w * 0.5 : w;
}

UnitCircle MakeUnitCircle(CurveRate rate) {
    UnitCircle circle;
    for (std::size_t i = 0; i < circle.z1.size(); ++i) {
        circle.z1[i] = std::polar(1.0, -Angle(i, rate));
        circle.z2[i] = std::polar(1.0, -2.0 * Angle(i, rate));
    }
    circle.angleScale = CurveTwoPi / kBaseRate / (2.0 * kPi);
    if (rate == CurveRate::Doubled) {
        circle.angleScale *= 0.5;
    }
    return circle;
}

const UnitCircle& UnitCircleOf(CurveRate rate) {
    static const UnitCircle base = MakeUnitCircle(CurveRate::Base);
    static const UnitCircle doubled = MakeUnitCircle(CurveRate::Doubled);
    return rate == CurveRate::Doubled ? doubled : base;
}

// Plain complex product: the values here are finite, so the library's checks for infinities
// and NaN in every product (most of this code's time) are not needed.
Complex Mul(Complex a, Complex b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

bool IsNeutral(const Biquad& s) {
    return s.b0 == 1.0 && s.b1 == 0.0 && s.b2 == 0.0 && s.a1 == 0.0 && s.a2 == 0.0;
}

// H(z1) = (b0 + b1 z1 + b2 z1^2) / (1 + a1 z1 + a2 z1^2) with z1 = e^-jw, and dH/dw, where
// dz1/dw = -j z1: dH/dw = (dN - H dD) / D. One real division per point (1 / |D|^2).
ComplexPoint PointAt(const Biquad& s, Complex z1, Complex z2) {
    const Complex num = s.b0 + s.b1 * z1 + s.b2 * z2;
    const Complex den = 1.0 + s.a1 * z1 + s.a2 * z2;
    // -j (b1 z1 + 2 b2 z2) and the same for the denominator
    const Complex nz = s.b1 * z1 + 2.0 * s.b2 * z2;
    const Complex dz = s.a1 * z1 + 2.0 * s.a2 * z2;
    const Complex dNum(nz.imag(), -nz.real());
    const Complex dDen(dz.imag(), -dz.real());
    const Complex inverse = std::conj(den) / std::norm(den);
    const Complex value = Mul(num, inverse);
    return {value, Mul(dNum - Mul(value, dDen), inverse)};
}

void CascadeSections(ComplexResponse& response, const CrossoverSections& sections) {
    for (const Biquad& s : sections) {
        CascadeBiquad(response, s, CurveRate::Base);
    }
}

} // namespace

ComplexPoint BiquadPoint(const Biquad& section, double w) {
    return PointAt(section, std::polar(1.0, -w), std::polar(1.0, -2.0 * w));
}

void CascadeBiquad(ComplexResponse& response, const Biquad& section, CurveRate rate) {
    if (IsNeutral(section)) {
        return;
    }
    const UnitCircle& circle = UnitCircleOf(rate);
    for (std::size_t i = 0; i < response.size(); ++i) {
        const ComplexPoint q = PointAt(section, circle.z1[i], circle.z2[i]);
        const Complex slope = q.slope * circle.angleScale;
        ComplexPoint& p = response[i];
        p.slope = Mul(p.slope, q.value) + Mul(p.value, slope);
        p.value = Mul(p.value, q.value);
    }
}

void CascadePeaking(ComplexResponse& response, int hz, double gainDb, double octaves) {
    CascadeBiquad(response, PeakingBiquad(hz, gainDb, octaves), CurveRate::Doubled);
}

void CascadeShelf(ComplexResponse& response, bool highShelf, int hz, double gainDb, int slope) {
    CascadeBiquad(response, ShelfBiquad(highShelf, hz, gainDb, slope), CurveRate::Base);
}

void CascadeHighPass(ComplexResponse& response, int hz, int crossoverType, int slope) {
    CascadeSections(response, HighPassSections(hz, crossoverType, slope));
}

void CascadeLowPass(ComplexResponse& response, int hz, int crossoverType, int slope) {
    CascadeSections(response, LowPassSections(hz, crossoverType, slope));
}
