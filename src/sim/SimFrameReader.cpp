#include "sim/SimFrameReader.h"

#include "core/protocol/Frame.h"

#include <algorithm>

std::vector<SimFrameReader::Frame> SimFrameReader::Feed(const std::uint8_t* data,
                                                        std::size_t count) {
    std::vector<Frame> frames;
    if (count > 0) {
        m_buffer.insert(m_buffer.end(), data, data + count);
    }
    for (;;) {
        const auto start = std::find(m_buffer.begin(), m_buffer.end(), Protocol::StartByte);
        m_buffer.erase(m_buffer.begin(), start);
        if (m_buffer.size() < Protocol::HeaderSize) {
            return frames;
        }
        const std::size_t length = m_buffer[Protocol::OffsetLength] + Protocol::FrameOverhead;
        if (m_buffer.size() < length) {
            return frames;
        }
        Frame frame;
        frame.valid = Protocol::ValidateFrame(m_buffer.data(), length);
        if (frame.valid) {
            frame.bytes.assign(m_buffer.begin(), m_buffer.begin() + static_cast<long>(length));
            m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<long>(length));
        } else {
            frame.bytes.assign(m_buffer.begin(), m_buffer.begin() + static_cast<long>(length));
            m_buffer.erase(m_buffer.begin());
        }
        frames.push_back(std::move(frame));
    }
}

std::vector<SimFrameReader::Frame> SimFrameReader::Expire() {
    std::vector<Frame> frames;
    while (!m_buffer.empty()) {
        m_buffer.erase(m_buffer.begin());
        for (Frame& frame : Feed(nullptr, 0)) {
            frames.push_back(std::move(frame));
        }
    }
    return frames;
}
