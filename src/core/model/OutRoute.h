#pragma once

#include "core/model/OutData.h"

#include <array>
#include <memory>

// The eight output channels of a program, created with their names "1".."8", colours and
// indices. Element i is channel i; the set never changes.
class CAudio_OutRoute {
public:
    static constexpr int kCount = 8;

    CAudio_OutRoute();

    int GetSize() const { return kCount; }
    // Channel i (0..7), or nullptr outside that range.
    CAudio_OutData* GetAt(int index);
    const CAudio_OutData* GetAt(int index) const;

private:
    std::array<std::unique_ptr<CAudio_OutData>, kCount> m_channels;
};
