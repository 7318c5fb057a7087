#pragma once

#include "core/curves/ComplexResponse.h"

class CAudio_Channel;
class CFilter;

// Multiplies the complex response of one filter section into response, under the same rules as
// its drawn magnitude: a flat band, an open crossover filter and an unknown type leave it alone.
void CascadeSection(ComplexResponse& response, const CFilter& section);

// The channel's whole response: the sections its curve sums (the EQ bands of an input, every
// section of an output), its gain, polarity and delay. Its level is the drawn curve plus the
// channel gain. Muting is not part of it (see SumOfOutputs).
ComplexResponse ChannelResponse(const CAudio_Channel& channel);

// The same followed by the measured driver the channel feeds, when there is one.
ComplexResponse ChannelResponse(const CAudio_Channel& channel, const ComplexResponse* driver);
