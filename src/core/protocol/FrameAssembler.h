#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Collects the bytes of received reads into one frame. While hunting it looks for a 0xFF
// followed by the start byte 0xB1 (any number of 0xFF may come first, and the pair may be split
// between reads); once synced it collects bytes until the length the frame declares (byte 8 + 11)
// is in. The frame is then handed over and the assembler hunts again in the rest of the read, so
// a read that holds several frames yields every one of them, in order. A declared length that
// does not fit the buffer drops the assembly, so the buffer can never be overrun and a bad length
// never blocks the receiver.
class FrameAssembler {
public:
    static constexpr std::size_t kBufferSize = 150;

    using Frame = std::vector<std::uint8_t>;

    // Examines the bytes of one read. Returns every frame (start byte to end byte, not yet
    // checked) whose last byte arrived with them, in the order they came; the start of a frame
    // still incomplete stays collected for the next read.
    std::vector<Frame> Feed(const std::uint8_t* bytes, std::size_t count);

    // Drops what has been collected and hunts for the next 0xFF 0xB1.
    void Reset();

    bool IsSynced() const { return m_synced; }
    bool IsPreviousFF() const { return m_previousFF; }
    std::size_t GetReceivedCount() const { return m_count; }
    // L + 11 of the frame being collected; 0 until its length byte has arrived.
    std::size_t GetExpectedLength() const { return m_expected; }

private:
    // Hunts or collects from the front of bytes until one frame is complete (appended to frames)
    // or the bytes run out; returns how many bytes it used.
    std::size_t Step(const std::uint8_t* bytes, std::size_t count, std::vector<Frame>& frames);

    std::array<std::uint8_t, kBufferSize> m_frame{};
    std::size_t m_count = 0;
    std::size_t m_expected = 0;
    bool m_synced = false;
    bool m_previousFF = false;
};
