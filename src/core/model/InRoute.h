#pragma once

#include "core/model/ChannelRoute.h"
#include "core/model/InData.h"

// The four input channels of a program, created with their names "A".."D", colours and
// indices.
class CAudio_InRoute : public ChannelRoute<CAudio_InData, 4> {
public:
    CAudio_InRoute();
};
