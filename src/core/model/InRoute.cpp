#include "core/model/InRoute.h"

namespace {

struct InitialChannel {
    const char* name;
    COLORREF color;
};

constexpr InitialChannel kInitialInputs[CAudio_InRoute::kCount] = {
    {"A", RGB(255, 0, 0)},
    {"B", RGB(255, 255, 0)},
    {"C", RGB(0, 255, 0)},
    {"D", RGB(34, 188, 211)},
};

} // namespace

CAudio_InRoute::CAudio_InRoute() {
    for (int i = 0; i < kCount; ++i) {
        auto channel = std::make_unique<CAudio_InData>();
        channel->SetColor(kInitialInputs[i].color);
        channel->SetName(kInitialInputs[i].name);
        channel->SetChannelIndex(static_cast<std::uint8_t>(i));
        m_channels[i] = std::move(channel);
    }
}

CAudio_InData* CAudio_InRoute::GetAt(int index) {
    return index >= 0 && index < kCount ? m_channels[index].get() : nullptr;
}

const CAudio_InData* CAudio_InRoute::GetAt(int index) const {
    return index >= 0 && index < kCount ? m_channels[index].get() : nullptr;
}
