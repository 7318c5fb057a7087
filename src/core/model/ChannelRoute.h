#pragma once

#include "core/plot/Geometry.h"

#include <array>
#include <cstdint>
#include <memory>

// The fixed set of Count channels of one kind in a program (CAudio_InRoute, CAudio_OutRoute).
// Element i is channel i; the set never changes. The constructor creates every channel with its
// defaults, then gives it its initial colour, its name (which marks the name changed) and its
// index.
template <typename Channel, int Count> class ChannelRoute {
public:
    static constexpr int kCount = Count;

    int GetSize() const { return kCount; }
    // Channel i (0..kCount - 1), or nullptr outside that range.
    Channel* GetAt(int index) { return Contains(index) ? m_channels[index].get() : nullptr; }
    const Channel* GetAt(int index) const {
        return Contains(index) ? m_channels[index].get() : nullptr;
    }

protected:
    struct InitialChannel {
        const char* name;
        COLORREF color;
    };

    explicit ChannelRoute(const std::array<InitialChannel, Count>& initial) {
        for (int i = 0; i < kCount; ++i) {
            auto channel = std::make_unique<Channel>();
            channel->SetColor(initial[i].color);
            channel->SetName(initial[i].name);
            channel->SetChannelIndex(static_cast<std::uint8_t>(i));
            m_channels[i] = std::move(channel);
        }
    }

private:
    static bool Contains(int index) { return index >= 0 && index < kCount; }

    std::array<std::unique_ptr<Channel>, Count> m_channels;
};
