#include "sim/SimFaults.h"

#include "core/protocol/ProtocolCodes.h"
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
    std::string note;
    if (IsNth(m_count, m_faults.corruptChecksumEvery)) {
        sent[sent.size() - 2] ^= 0x5A;
        note = "checksum corrupted";
    }
    if (IsNth(m_count, m_faults.corruptEndEvery)) {
        sent.back() = 0x55;
        note += note.empty() ? "end byte corrupted" : ", end byte corrupted";
    }
    if (m_faults.lateMs > 0) {
        note += (note.empty() ? "" : ", ") + std::to_string(m_faults.lateMs) + " ms late";
    }
    AddPieces(bursts, std::max(0, m_faults.lateMs), sent, note);
    if (m_faults.doubleAck && Protocol::IsAck(frame[Protocol::OffsetCode])) {
        AddPieces(bursts, m_faults.doubleAckGapMs, sent, "Ack repeated");
    }
    if (m_faults.doubleReply && frame[Protocol::OffsetCode] == Protocol::DataReply) {
        AddPieces(bursts, m_faults.doubleReplyGapMs, sent, "data reply repeated");
    }
    if (m_faults.noiseBytes > 0) {
        std::uniform_int_distribution<int> byte(0, 255);
        SimBurst noise;
        noise.delayMs = m_faults.noiseGapMs;
        noise.note = std::to_string(m_faults.noiseBytes) + " noise bytes";
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
                                 const std::vector<std::uint8_t>& frame,
                                 const std::string& note) const {
    const std::vector<std::uint8_t> bytes = SimDevice::WithPreamble(frame);
    const std::size_t size =
        m_faults.splitSize > 0 ? static_cast<std::size_t>(m_faults.splitSize) : bytes.size();
    for (std::size_t at = 0; at < bytes.size(); at += size) {
        SimBurst piece;
        piece.delayMs = at == 0 ? delayMs : m_faults.splitGapMs;
        const std::size_t end = std::min(bytes.size(), at + size);
        piece.bytes.assign(bytes.begin() + static_cast<long>(at),
                           bytes.begin() + static_cast<long>(end));
        if (at == 0) {
            piece.frame = frame;
            piece.note = note;
            if (end < bytes.size()) {
                const std::size_t pieces = (bytes.size() + size - 1) / size;
                piece.note += (note.empty() ? "" : ", ") + std::string("in ") +
                              std::to_string(pieces) + " pieces";
            }
        }
        bursts.push_back(std::move(piece));
    }
}
