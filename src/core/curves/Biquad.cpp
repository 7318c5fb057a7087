#include "core/curves/Biquad.h"

#include <cmath>

double BiquadLevelDb(const Biquad& s, double w) {
    const double c = std::cos(w);
    const double sn = std::sin(w);
    const double nr = s.b0 * c + s.b1 + s.b2 * c;
    const double ni = s.b0 * sn - s.b2 * sn;
    const double dr = c + s.a1 + s.a2 * c;
    const double di = sn - s.a2 * sn;
    return 20.0 * std::log10(std::sqrt((nr * nr + ni * ni) / (dr * dr + di * di)));
}

Biquad NormaliseBiquad(double b0, double b1, double b2, double a0, double a1, double a2) {
    if (a0 == 0.0) {
        a0 = 1e-10;
    }
    return {b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}
