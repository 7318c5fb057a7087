#include "link/protocol/FrameAssembler.h"

#include "link/protocol/ProtocolCodes.h"

#include <algorithm>

std::optional<std::vector<std::uint8_t>> FrameAssembler::Take(const std::uint8_t* bytes,
                                                              std::size_t count) {
    if (bytes == nullptr || count == 0) {
        return std::nullopt;
    }
    std::size_t first = 0;
    if (!m_synced) {
        for (; first < count; ++first) {
            const std::uint8_t byte = bytes[first];
            if (m_previousFF) {
                if (byte == Protocol::StartByte) {
                    m_synced = true;
                    break;
                }
                if (byte != Protocol::PreambleByte) {
                    m_previousFF = false;
                }
            } else if (byte == Protocol::PreambleByte) {
                m_previousFF = true;
            }
        }
        if (!m_synced) {
            return std::nullopt;
        }
    }

    const std::size_t room = kBufferSize - m_count;
    const std::size_t taken = std::min(count - first, room);
    std::copy_n(bytes + first, taken, m_frame.begin() + static_cast<std::ptrdiff_t>(m_count));
    m_count += taken;

    if (m_count > Protocol::OffsetLength) {
        m_expected = m_frame[Protocol::OffsetLength] + Protocol::FrameOverhead;
        if (m_expected > kBufferSize) {
            Reset();
            return std::nullopt;
        }
    }
    if (m_expected == 0 || m_count < m_expected) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> frame(m_frame.begin(),
                                    m_frame.begin() + static_cast<std::ptrdiff_t>(m_expected));
    Reset();
    return frame;
}

void FrameAssembler::Reset() {
    m_count = 0;
    m_expected = 0;
    m_synced = false;
    m_previousFF = false;
}
