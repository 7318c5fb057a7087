#pragma once

#include <array>

// The fixed tables every curve display shares: the 241-point plot frequency grid,
// the Q tables for both bandwidth resolutions, and the conversions between physical
// values and graph pixels. The per-parameter index rules live in ParameterValues.h,
// which is included here so one include gives all value conversions.

constexpr int PlotPointCount = 241;
constexpr int QTableFineSize = 296;
constexpr int QTableCoarseSize = 60;

// Curve points are drawn this far right of and below the graph origin.
constexpr int GraphLeftMargin = 35;
constexpr int GraphTopMargin = 10;

// Frequency of curve point i, 10 Hz .. 30000 Hz, strictly ascending.
extern const std::array<double, PlotPointCount> PlotFrequencies;
// Q for 0.05 + 0.01 * i octave (device type 1), descending 28.852 .. 0.404.
extern const std::array<double, QTableFineSize> QTableFine;
// Q for 0.05 * (i + 1) octave (device types 2 and 3), descending 28.852 .. 0.404.
extern const std::array<double, QTableCoarseSize> QTableCoarse;

// Graph x of a frequency: 10 Hz maps to 0 and 30000 Hz to width.
int FreqToX(double frequency, int width);
// Frequency in whole Hz at graph x.
int XToFreq(int x, int width);
// Graph y of a level: +20 dB maps to 0 and -40 dB to height.
int DbToY(double dB, int height);
// Level at graph y, pushed half a dB away from zero.
double YToDb(int y, int height);

// Index of the first table entry not above q (295 when there is none).
int QToFineIndex(double q);
// Index of the first table entry not above q (59 when there is none).
int QToCoarseIndex(double q);

// Truncation toward zero that stays defined for NaN and values beyond the int range
// (NaN gives 0, the rest is clamped to the int range).
int TruncToInt(double value);

#include "core/model/ParameterValues.h"
