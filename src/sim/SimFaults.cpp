#include "sim/SimFaults.h"

#include "link/protocol/ProtocolCodes.h"
#include "sim/SimDevice.h"

#include <algorithm>

namespace {

bool IsNth(long count, int every) {
    return every > 0 && count % every == 0;
}

} // namespace

std::vector<SimBurst> SimFaultInjector::Shape(const std::vector<std::uint8_t>& frame) {
    std::vector<SimBurst> bursts;
    ++m_count;
    if (m_faults.silent || IsNth(m_count, m_faults.dropEvery) ||
        frame.size() < Protocol::FrameOverhead) {
        return bursts;
    }
    std::vector<std::uint8_t> sent = frame;
    if (IsNth(m_count, m_faults.corruptChecksumEvery)) {
        sent[sent.size() - 2] ^= 0x5A;
    }
    if (IsNth(m_count, m_faults.corruptEndEvery)) {
        sent.back() = 0x55;
    }
    const std::vector<std::uint8_t> line = SimDevice::WithPreamble(sent);
    AddPieces(bursts, std::max(0, m_faults.lateMs), line);
    if (m_faults.doubleAck && Protocol::IsAck(frame[Protocol::OffsetCode])) {
        AddPieces(bursts, m_faults.doubleAckGapMs, line);
    }
    if (m_faults.noiseBytes > 0) {
        std::uniform_int_distribution<int> byte(0, 255);
        SimBurst noise;
        noise.delayMs = m_faults.noiseGapMs;
        while (noise.bytes.size() < static_cast<std::size_t>(m_faults.noiseBytes)) {
            const auto value = static_cast<std::uint8_t>(byte(m_random));
            // Noise must not look like the start of a frame.
            if (value != Protocol::PreambleByte && value != Protocol::StartByte) {
                noise.bytes.push_back(value);
            }
        }
        bursts.push_back(std::move(noise));
    }
    return bursts;
}

void SimFaultInjector::AddPieces(std::vector<SimBurst>& bursts, int delayMs,
                                 const std::vector<std::uint8_t>& bytes) const {
    const std::size_t size =
        m_faults.splitSize > 0 ? static_cast<std::size_t>(m_faults.splitSize) : bytes.size();
    for (std::size_t at = 0; at < bytes.size(); at += size) {
        SimBurst piece;
        piece.delayMs = at == 0 ? delayMs : m_faults.splitGapMs;
        const std::size_t end = std::min(bytes.size(), at + size);
        piece.bytes.assign(bytes.begin() + static_cast<long>(at),
                           bytes.begin() + static_cast<long>(end));
        bursts.push_back(std::move(piece));
    }
}
