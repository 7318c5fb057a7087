#include "core/protocol/FrameAssembler.h"

#include "core/protocol/ProtocolCodes.h"

#include <algorithm>

std::vector<FrameAssembler::Frame> FrameAssembler::Feed(const std::uint8_t* bytes,
                                                        std::size_t count) {
    std::vector<Frame> frames;
    if (bytes == nullptr) {
        return frames;
    }
    for (std::size_t used = 0; used < count;) {
        used += Step(bytes + used, count - used, frames);
    }
    return frames;
}

std::size_t FrameAssembler::Step(const std::uint8_t* bytes, std::size_t count,
                                 std::vector<Frame>& frames) {
    std::size_t at = 0;
    if (!m_synced) {
        for (; at < count; ++at) {
            const std::uint8_t byte = bytes[at];
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
            return count;
        }
    }

    while (at < count) {
        // Up to the length byte first, then exactly the rest of the frame: what follows belongs
        // to the next frame.
        const std::size_t wanted =
            m_expected == 0 ? Protocol::HeaderSize - m_count : m_expected - m_count;
        const std::size_t taken = std::min(count - at, wanted);
        std::copy_n(bytes + at, taken, m_frame.begin() + static_cast<std::ptrdiff_t>(m_count));
        m_count += taken;
        at += taken;
        if (m_expected == 0 && m_count == Protocol::HeaderSize) {
            m_expected = m_frame[Protocol::OffsetLength] + Protocol::FrameOverhead;
            if (m_expected > kBufferSize) {
                Reset();
                return at;
            }
        }
        if (m_expected != 0 && m_count == m_expected) {
            frames.emplace_back(m_frame.begin(),
                                m_frame.begin() + static_cast<std::ptrdiff_t>(m_expected));
            Reset();
            return at;
        }
    }
    return at;
}

void FrameAssembler::Reset() {
    m_count = 0;
    m_expected = 0;
    m_synced = false;
    m_previousFF = false;
}
