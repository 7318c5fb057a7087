#pragma once

#include "core/curves/Biquad.h"
#include "core/plot/PlotGrid.h"

#include <array>

using ResponseCurve = std::array<double, PlotPointCount>;

// Peaking band at frequency hz, gain dB and bandwidth in octaves.
Biquad PeakingBiquad(int hz, double gainDb, double octaves);
// Shelving band; slope 0 = "6dB", 1 = "12dB" (anything else is taken as 0).
Biquad ShelfBiquad(bool highShelf, int hz, double gainDb, int slope);

// Magnitude responses in dB at PlotFrequencies.
ResponseCurve PeakingResponse(int hz, double gainDb, double octaves);
ResponseCurve ShelfResponse(bool highShelf, int hz, double gainDb, int slope);
