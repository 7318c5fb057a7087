#pragma once

#include "core/plot/PlotGrid.h"
#include "core/plot/Truncation.h"

#include <array>

// The Q tables for both bandwidth resolutions. The plot grid and its pixel conversions, and the
// per-parameter index rules of ParameterValues.h, are included here so one include gives all
// value conversions.

constexpr int QTableFineSize = 296;
constexpr int QTableCoarseSize = 60;

// Q for 0.05 + 0.01 * i octave (device type 1), descending 28.852 .. 0.404.
extern const std::array<double, QTableFineSize> QTableFine;
// Q for 0.05 * (i + 1) octave (device types 2 and 3), descending 28.852 .. 0.404.
extern const std::array<double, QTableCoarseSize> QTableCoarse;

// Index of the first table entry not above q (295 when there is none).
int QToFineIndex(double q);
// Index of the first table entry not above q (59 when there is none).
int QToCoarseIndex(double q);

#include "core/model/ParameterValues.h"
