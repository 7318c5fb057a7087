#pragma once

#include "core/model/ChannelRoute.h"
#include "core/model/OutData.h"

// The eight output channels of a program, created with their names "1".."8", colours and
// indices.
class CAudio_OutRoute : public ChannelRoute<CAudio_OutData, 8> {
public:
    CAudio_OutRoute();
};
