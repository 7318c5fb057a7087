#pragma once

#include "core/model/InData.h"

#include <array>
#include <memory>

// The four input channels of a program, created with their names "A".."D", colours and
// indices. Element i is channel i; the set never changes.
class CAudio_InRoute {
public:
    static constexpr int kCount = 4;

    CAudio_InRoute();

    int GetSize() const { return kCount; }
    // Channel i (0..3), or nullptr outside that range.
    CAudio_InData* GetAt(int index);
    const CAudio_InData* GetAt(int index) const;

private:
    std::array<std::unique_ptr<CAudio_InData>, kCount> m_channels;
};
