#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Receive side of a simulated processor: collects the bytes arriving on the line, in whatever
// pieces they come, into frames. It synchronises on the start byte 0xB1, waits for the length the
// header declares and hands out every candidate frame, marked as valid or not (end byte and
// checksum). After a rejected candidate only its start byte is dropped and the search goes on
// from the next byte, so a stray 0xB1 in line noise cannot swallow the frame that follows.
class SimFrameReader {
public:
    struct Frame {
        std::vector<std::uint8_t> bytes; // start byte to end byte
        bool valid = false;
    };

    std::vector<Frame> Feed(const std::uint8_t* data, std::size_t count);

    // A gap on the line ends whatever was being collected: the bytes held are searched once
    // more for frames that start after the first start byte, then dropped.
    std::vector<Frame> Expire();
    void Reset() { m_buffer.clear(); }
    // True while some bytes of a frame have arrived but not all of them.
    bool HasPartialFrame() const { return !m_buffer.empty(); }

private:
    std::vector<std::uint8_t> m_buffer; // starts with 0xB1 when not empty
};
