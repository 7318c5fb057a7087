#include "core/model/OutRoute.h"

namespace {

struct InitialChannel {
    const char* name;
    COLORREF color;
};

constexpr InitialChannel kInitialOutputs[CAudio_OutRoute::kCount] = {
    {"1", RGB(6, 100, 221)},   {"2", RGB(255, 0, 255)},   {"3", RGB(255, 255, 196)},
    {"4", RGB(255, 128, 128)}, {"5", RGB(128, 255, 255)}, {"6", RGB(128, 128, 255)},
    {"7", RGB(255, 128, 192)}, {"8", RGB(255, 128, 64)},
};

} // namespace

CAudio_OutRoute::CAudio_OutRoute() {
    for (int i = 0; i < kCount; ++i) {
        auto channel = std::make_unique<CAudio_OutData>();
        channel->SetColor(kInitialOutputs[i].color);
        channel->SetName(kInitialOutputs[i].name);
        channel->SetChannelIndex(static_cast<std::uint8_t>(i));
        m_channels[i] = std::move(channel);
    }
}

CAudio_OutData* CAudio_OutRoute::GetAt(int index) {
    return index >= 0 && index < kCount ? m_channels[index].get() : nullptr;
}

const CAudio_OutData* CAudio_OutRoute::GetAt(int index) const {
    return index >= 0 && index < kCount ? m_channels[index].get() : nullptr;
}
