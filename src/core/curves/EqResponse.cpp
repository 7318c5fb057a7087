#include "core/curves/EqResponse.h"

#include <cmath>

Biquad PeakingBiquad(int hz, double gainDb, double octaves) {
    const double a = std::pow(10.0, gainDb / 40.0);
    const double w0 = hz * 3.2724925e-05;
    const double alpha = std::sin(w0) * std::sinh(CurveLn2 * octaves * w0 / std::sin(w0));
    const double c = std::cos(w0);
    return NormaliseBiquad(1.0 + alpha * a, -2.0 * c, 1.0 - alpha * a, 1.0 + alpha / a, -2.0 * c,
                           1.0 - alpha / a);
}

Biquad ShelfBiquad(bool highShelf, int hz, double gainDb, int slope) {
    if (gainDb == 0.0) {
        return {};
    }
    // Corner factor and shelf slope S per type and slope.
    const bool steep = slope == 1;
    double factor = 0.0;
    if (highShelf) {
        factor = steep ? 0.76923076923 : 0.4545454546;
    } else {
        factor = steep ? 1.2727272727 : 2.0;
    }
    const double s = steep ? 1.3 : 0.5;

    const double a = std::pow(10.0, gainDb / 40.0);
    const double w0 = hz * 6.544985e-05 * factor;
    const double c = std::cos(w0);
    const double alpha = std::sin(w0) / 2.0 * std::sqrt((1.0 / s - 1.0) * (a + 1.0 / a) + 2.0);
    const double beta = 2.0 * std::sqrt(a) * alpha;

    if (highShelf) {
        const double d = (a + 1) - (a - 1) * c + beta;
        Biquad q;
        q.a1 = 2.0 * ((a - 1) - (a + 1) * c) / d;
        q.a2 = ((a + 1) - (a - 1) * c - beta) / d;
        q.b0 = a * ((a + 1) + (a - 1) * c + beta) / d;
        q.b1 = -2.0 * a * ((a - 1) + (a + 1) * c) / d;
        q.b2 = a * ((a + 1) + (a - 1) * c - beta) / d;
        return q;
    }
    const double d = (a + 1) + (a - 1) * c + beta;
    Biquad q;
    q.a1 = -2.0 * ((a - 1) + (a + 1) * c) / d;
    q.a2 = ((a + 1) + (a - 1) * c - beta) / d;
    q.b0 = a * ((a + 1) - (a - 1) * c + beta) / d;
    q.b1 = 2.0 * a * ((a - 1) - (a + 1) * c) / d;
    q.b2 = a * ((a + 1) - (a - 1) * c - beta) / d;
    return q;
}

ResponseCurve PeakingResponse(int hz, double gainDb, double octaves) {
    const Biquad q = PeakingBiquad(hz, gainDb, octaves);
    ResponseCurve out{};
    for (int i = 0; i < PlotPointCount; ++i) {
        // The peaking design runs at twice the shelf rate, so its angle is halved.
        const double w = CurveTwoPi * PlotFrequencies[i] / 96000.0 * 0.5;
        out[i] = BiquadLevelDb(q, w);
    }
    return out;
}

ResponseCurve ShelfResponse(bool highShelf, int hz, double gainDb, int slope) {
    const Biquad q = ShelfBiquad(highShelf, hz, gainDb, slope);
    ResponseCurve out{};
    for (int i = 0; i < PlotPointCount; ++i) {
        out[i] = BiquadLevelDb(q, CurveTwoPi * PlotFrequencies[i] / 96000.0);
    }
    return out;
}
