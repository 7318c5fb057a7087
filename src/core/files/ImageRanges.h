#pragma once

#include "core/files/ProgramImage.h"

// A program image holds whatever a device reported or a bank file carried. These give it back
// with every number limited to the ranges of a device type's model (the flags on, polarity and
// aux flag become 0 or 1); values inside the ranges are kept as they are. The gate-off flag, the
// source mask, the aux value, mode, timing and the names are taken as they come.
BandImage WithinRanges(BandImage band, int deviceType);
CrossoverImage WithinRanges(CrossoverImage crossover);
InputImage WithinRanges(InputImage input, int deviceType);
OutputImage WithinRanges(OutputImage output, int deviceType);
