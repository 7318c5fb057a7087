#pragma once

#include "core/protocol/ProtocolCodes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class SendData;

namespace Protocol {

// Header bytes at offsets 1..6 of a frame (the reserved byte 7 is always 0 and the length byte 8
// follows the payload).
struct FrameHeader {
    std::uint8_t code = 0;
    std::uint8_t deviceId = 0;
    std::uint8_t program = 0;
    std::uint8_t group = 0;
    std::uint8_t channel = 0; // channel index, or the system item in group 3
    std::uint8_t block = 0;
};

// XOR of count bytes starting at bytes; a frame's checksum covers offsets 1 .. 8 + L.
std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t count);

// The complete frame (L + 11 bytes) for a header and payload. The payload must not be longer
// than MaxPayload bytes; a longer one is cut so that the length byte stays true.
std::vector<std::uint8_t> BuildFrame(const FrameHeader& header,
                                     const std::vector<std::uint8_t>& payload);

// A new command record carrying that frame, all send flags at their initial values.
std::unique_ptr<SendData> MakeRecord(const FrameHeader& header,
                                     const std::vector<std::uint8_t>& payload);

// True when buffer holds exactly one well-formed frame: n = buffer[8] + 11, the end byte is 0xAA
// and the checksum byte matches. The start byte is not looked at (receivers synchronise on it).
bool ValidateFrame(const std::uint8_t* buffer, std::size_t n);

// A checked frame seen in place: header fields and the payload inside the caller's buffer, which
// must outlive the view.
struct FrameView {
    FrameHeader header;
    std::size_t length = 0; // L
    const std::uint8_t* payload = nullptr;

    std::uint8_t PayloadByte(std::size_t i) const { return i < length ? payload[i] : 0; }
    // 16-bit little-endian number at payload offset i (0 beyond the payload).
    std::uint16_t PayloadWord(std::size_t i) const {
        return static_cast<std::uint16_t>(PayloadByte(i) | (PayloadByte(i + 1) << 8));
    }
};

// The view of a valid frame that starts at buffer[0]; nothing when ValidateFrame fails or the
// start byte is not 0xB1. Only the first buffer[8] + 11 bytes are used, so bytes that follow the
// frame in the buffer are allowed.
std::optional<FrameView> ParseFrame(const std::uint8_t* buffer, std::size_t n);

// Appends a 16-bit number low byte first.
void AppendWord(std::vector<std::uint8_t>& out, unsigned value);

} // namespace Protocol
