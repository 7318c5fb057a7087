#pragma once

#include "core/curves/ComplexResponse.h"
#include "core/plot/Geometry.h"
#include "core/plot/PlotGrid.h"

#include <array>

// What the response graph's vertical axis shows. Every view spans the same twelve grid steps
// of the plot, with a labelled line every second step.
enum class ResponseView { Magnitude = 0, Phase = 1, GroupDelay = 2 };

constexpr int ResponseViewCount = 3;
constexpr int AxisLabelCount = 7;

struct ResponseAxisLabel {
    double value;
    const char* text;
};

// The labelled lines of view's axis, top to bottom: +20 .. -40 dB, +180 .. -180 degrees,
// 25 .. -5 ms.
const std::array<ResponseAxisLabel, AxisLabelCount>& AxisLabels(ResponseView view);
// Plot y of value in view (the top label maps to 0, the bottom one to height); far off values
// are held a plot height beyond either end.
int ValueToY(ResponseView view, double value, int height);

// A response as the graph draws it in one view: plot pixels (no margins) at the plot
// frequencies. A point with gapBefore set is not joined to the one before it: the phase
// wrapped between them, or either has no value (the group delay of an exact zero).
struct TracePoint {
    CPoint point;
    bool valid = true;
    bool gapBefore = false;
};
using Trace = std::array<TracePoint, PlotPointCount>;
Trace TraceOf(const ComplexResponse& response, ResponseView view, int width, int height);
