#pragma once

#include "core/curves/Biquad.h"
#include "core/curves/ComplexResponse.h"

#include <complex>

// Complex responses of the filter sections, from the very biquads whose levels the drawn curves
// sum, so phase and magnitude always belong together. The crossover sections are the bilinear
// transforms of the analog prototypes of their family and order (an "L_R" of order 2n is a
// squared "BTWorth" of order n).

// The angle a biquad is evaluated at for a plot frequency: shelves and crossovers run at the
// base rate (2 pi f / 96000), peaking bands at twice that rate (half the angle).
enum class CurveRate { Base, Doubled };

// Value and derivative d/dw of a section on the unit circle at angle w (radians per sample).
ComplexPoint BiquadPoint(const Biquad& section, double w);

// Multiplies the section's response into response at every plot frequency.
void CascadeBiquad(ComplexResponse& response, const Biquad& section, CurveRate rate);

// The same for the EQ band designs and the crossover cascades (arguments as in EqResponse.h and
// CrossoverResponse.h).
void CascadePeaking(ComplexResponse& response, int hz, double gainDb, double octaves);
void CascadeShelf(ComplexResponse& response, bool highShelf, int hz, double gainDb, int slope);
void CascadeHighPass(ComplexResponse& response, int hz, int crossoverType, int slope);
void CascadeLowPass(ComplexResponse& response, int hz, int crossoverType, int slope);
