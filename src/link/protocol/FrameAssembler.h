#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Collects the bytes of received reads into one frame. While hunting it looks for a 0xFF
// followed by the start byte 0xB1 (any number of 0xFF may come first, and the pair may be split
// between reads); once synced it collects bytes until the length the frame declares (byte 8 + 11)
// is in. The frame is then handed over, the assembler goes back to hunting and the rest of that
// read is dropped. A declared length that does not fit the buffer drops the assembly, so the
// buffer can never be overrun and a bad length never blocks the receiver.
class FrameAssembler {
public:
    static constexpr std::size_t kBufferSize = 150;

    // Examines the bytes of one read. Returns the complete frame (start byte to end byte, not yet
    // checked) when its last byte has arrived.
    std::optional<std::vector<std::uint8_t>> Take(const std::uint8_t* bytes, std::size_t count);

    // Drops what has been collected and hunts for the next 0xFF 0xB1.
    void Reset();

    bool IsSynced() const { return m_synced; }
    bool IsPreviousFF() const { return m_previousFF; }
    std::size_t GetReceivedCount() const { return m_count; }
    // L + 11 of the frame being collected; 0 until its length byte has arrived.
    std::size_t GetExpectedLength() const { return m_expected; }

private:
    std::array<std::uint8_t, kBufferSize> m_frame{};
    std::size_t m_count = 0;
    std::size_t m_expected = 0;
    bool m_synced = false;
    bool m_previousFF = false;
};
