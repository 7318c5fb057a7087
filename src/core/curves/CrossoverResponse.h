#pragma once

#include "core/curves/Biquad.h"
#include "core/curves/EqResponse.h"

#include <array>

// A crossover filter is a cascade of up to four biquad sections (neutral where unused).
using CrossoverSections = std::array<Biquad, 4>;

// crossoverType: 0 "L_R", 1 "Bessel", 2 "BTWorth"; slope: 0..3 = 12, 18, 24, 48 dB/oct.
// Values outside these ranges give neutral sections.
CrossoverSections HighPassSections(int hz, int crossoverType, int slope);
CrossoverSections LowPassSections(int hz, int crossoverType, int slope);

// Summed level in dB of the cascade at PlotFrequencies.
ResponseCurve HighPassResponse(int hz, int crossoverType, int slope);
ResponseCurve LowPassResponse(int hz, int crossoverType, int slope);
