#pragma once

#include "core/curves/ComplexResponse.h"

#include <vector>

class CAudio_Data;
class MeasuredDrivers;

// What one output of program sends into the air: its ChannelResponse followed by its measured
// driver when drivers has one for it. An index outside the program gives unity.
ComplexResponse OutputResponse(const CAudio_Data& program, int output,
                               const MeasuredDrivers* drivers = nullptr);

// The complex sum of the chosen outputs (0-based indices) of a loudspeaker, each with its
// filters, gain, polarity, delay and measured driver; a muted output adds nothing, and an index
// outside the program is skipped. No output at all gives an exact zero.
ComplexResponse SumOfOutputs(const CAudio_Data& program, const std::vector<int>& outputs,
                             const MeasuredDrivers* drivers = nullptr);
