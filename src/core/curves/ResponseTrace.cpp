#include "core/curves/ResponseTrace.h"

#include "core/plot/Truncation.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::array<ResponseAxisLabel, AxisLabelCount> kMagnitudeLabels = {
    {{20, "+20"}, {10, "+10"}, {0, "0dB"}, {-10, "-10"}, {-20, "-20"}, {-30, "-30"}, {-40, "-40"}}};
constexpr std::array<ResponseAxisLabel, AxisLabelCount> kPhaseLabels = {{{180, "+180"},
                                                                         {120, "+120"},
                                                                         {60, "+60"},
                                                                         {0, "0\xB0"},
                                                                         {-60, "-60"},
                                                                         {-120, "-120"},
                                                                         {-180, "-180"}}};
constexpr std::array<ResponseAxisLabel, AxisLabelCount> kGroupDelayLabels = {
    {{25, "25"}, {20, "20"}, {15, "15"}, {10, "10"}, {5, "5"}, {0, "0ms"}, {-5, "-5"}}};

// A jump of more than this between neighbouring points is a wrap of the phase, not a slope.
constexpr double kPhaseWrapDegrees = 180.0;

double ValueOf(const ComplexPoint& point, ResponseView view) {
    switch (view) {
    case ResponseView::Phase:
        return PhaseDegrees(point);
    case ResponseView::GroupDelay:
        return GroupDelayMs(point);
    case ResponseView::Magnitude:
    default:
        return LevelDb(point);
    }
}

} // namespace

const std::array<ResponseAxisLabel, AxisLabelCount>& AxisLabels(ResponseView view) {
    switch (view) {
    case ResponseView::Phase:
        return kPhaseLabels;
    case ResponseView::GroupDelay:
        return kGroupDelayLabels;
    case ResponseView::Magnitude:
    default:
        return kMagnitudeLabels;
    }
}

int ValueToY(ResponseView view, double value, int height) {
    if (view == ResponseView::Magnitude) {
        return std::clamp(DbToY(value, height), -height, 2 * height);
    }
    const auto& labels = AxisLabels(view);
    const double top = labels.front().value;
    const double bottom = labels.back().value;
    const double y = (top - value) / (top - bottom) * height;
    return TruncToInt(std::clamp(y, -1.0 * height, 2.0 * height) + 0.5);
}

Trace TraceOf(const ComplexResponse& response, ResponseView view, int width, int height) {
    Trace trace;
    double previous = 0.0;
    for (int i = 0; i < PlotPointCount; ++i) {
        const double value = ValueOf(response[static_cast<std::size_t>(i)], view);
        TracePoint& p = trace[static_cast<std::size_t>(i)];
        p.valid = !std::isnan(value);
        p.point = CPoint(FreqToX(PlotFrequencies[static_cast<std::size_t>(i)], width),
                         p.valid ? ValueToY(view, value, height) : 0);
        const bool previousValid = i > 0 && trace[static_cast<std::size_t>(i) - 1].valid;
        p.gapBefore =
            !p.valid || !previousValid ||
            (view == ResponseView::Phase && std::abs(value - previous) > kPhaseWrapDegrees);
        previous = value;
    }
    return trace;
}
