#pragma once

#include <array>

// The grid every curve display shares: 241 plot frequencies on a logarithmic axis from 10 Hz to
// 30 kHz, a level axis from +20 dB down to -40 dB, and the conversions between these values and
// graph pixels. x and y are pixels of the plot area, whose size is given as width and height;
// the graph control adds the margins below to reach its own pixels.

constexpr int PlotPointCount = 241;
constexpr int PlotLowestFrequency = 10;
constexpr int PlotHighestFrequency = 30000;

// Curve points are drawn this far right of and below the graph origin.
constexpr int GraphLeftMargin = 35;
constexpr int GraphTopMargin = 10;

// Frequency of curve point i, 10 Hz .. 30000 Hz, strictly ascending.
extern const std::array<double, PlotPointCount> PlotFrequencies;

// Graph x of a frequency: 10 Hz maps to 0 and 30000 Hz to width.
int FreqToX(double frequency, int width);
// Frequency in whole Hz at graph x.
int XToFreq(int x, int width);
// Graph y of a level: +20 dB maps to 0 and -40 dB to height.
int DbToY(double dB, int height);
// Level at graph y, pushed half a dB away from zero.
double YToDb(int y, int height);
