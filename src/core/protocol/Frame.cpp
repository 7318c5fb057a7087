#include "core/protocol/Frame.h"

#include "core/protocol/SendData.h"

#include <algorithm>

namespace Protocol {

std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum ^= bytes[i];
    }
    return sum;
}

std::vector<std::uint8_t> BuildFrame(const FrameHeader& header,
                                     const std::vector<std::uint8_t>& payload) {
    const std::size_t length = std::min(payload.size(), MaxPayload);
    std::vector<std::uint8_t> frame;
    frame.reserve(length + FrameOverhead);
    frame.push_back(StartByte);
    frame.push_back(header.code);
    frame.push_back(header.deviceId);
    frame.push_back(header.program);
    frame.push_back(header.group);
    frame.push_back(header.channel);
    frame.push_back(header.block);
    frame.push_back(0);
    frame.push_back(static_cast<std::uint8_t>(length));
    frame.insert(frame.end(), payload.begin(), payload.begin() + static_cast<long>(length));
    frame.push_back(Checksum(frame.data() + OffsetCode, HeaderSize - 1 + length));
    frame.push_back(EndByte);
    return frame;
}

std::unique_ptr<SendData> MakeRecord(const FrameHeader& header,
                                     const std::vector<std::uint8_t>& payload) {
    auto record = std::make_unique<SendData>();
    record->SetData(BuildFrame(header, payload));
    return record;
}

bool ValidateFrame(const std::uint8_t* buffer, std::size_t n) {
    if (buffer == nullptr || n < FrameOverhead) {
        return false;
    }
    if (n != static_cast<std::size_t>(buffer[OffsetLength]) + FrameOverhead) {
        return false;
    }
    if (buffer[n - 1] != EndByte) {
        return false;
    }
    return buffer[n - 2] == Checksum(buffer + OffsetCode, n - 3);
}

std::optional<FrameView> ParseFrame(const std::uint8_t* buffer, std::size_t n) {
    if (buffer == nullptr || n < FrameOverhead || buffer[OffsetStart] != StartByte) {
        return std::nullopt;
    }
    const std::size_t frameLength = static_cast<std::size_t>(buffer[OffsetLength]) + FrameOverhead;
    if (frameLength > n || !ValidateFrame(buffer, frameLength)) {
        return std::nullopt;
    }
    FrameView view;
    view.header.code = buffer[OffsetCode];
    view.header.deviceId = buffer[OffsetDeviceId];
    view.header.program = buffer[OffsetProgram];
    view.header.group = buffer[OffsetGroup];
    view.header.channel = buffer[OffsetChannel];
    view.header.block = buffer[OffsetBlock];
    view.length = buffer[OffsetLength];
    view.payload = buffer + OffsetPayload;
    return view;
}

void AppendWord(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

} // namespace Protocol
