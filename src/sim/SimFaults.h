#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

// Faults a simulated line can put on the answers of its devices. "Every Nth" counts the
// answer frames of the whole line from 1; 0 turns a fault off.
struct SimFaults {
    bool silent = false;          // answer nothing at all
    int dropEvery = 0;            // leave out every Nth answer
    int corruptChecksumEvery = 0; // flip the checksum byte of every Nth answer
    int corruptEndEvery = 0;      // replace the end byte of every Nth answer
    int noiseBytes = 0;           // random bytes sent after every answer (never 0xFF or 0xB1)
    int lateMs = 0;               // extra delay before every answer
    int splitSize = 0;            // send answers in pieces of this many bytes
    int splitGapMs = 2;           // pause between the pieces
    bool doubleAck = false;       // send every Ack twice, the second one a little later
    int doubleAckGapMs = 30;      // pause before the repeated Ack
    int noiseGapMs = 5;           // pause between an answer and the noise after it
    bool doubleReply = false;     // send every data reply twice, the second one a little later
    int doubleReplyGapMs = 30;    // pause before the repeated data reply
    // Acknowledge every Nth write (counted over the whole line from 1) as usual but keep
    // nothing of it, like a device that lost what it was sent. Applied by SimLine.
    int forgetEvery = 0;
};

// A piece of line output: wait delayMs after the previous piece has gone out, then send bytes.
// The first piece of every answer also carries the frame as sent (for the frame log) and a note
// naming the faults applied to it; noise carries only its note.
struct SimBurst {
    int delayMs = 0;
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint8_t> frame;
    std::string note;
};

// Turns answer frames into what actually goes on the line under the chosen faults.
class SimFaultInjector {
public:
    explicit SimFaultInjector(const SimFaults& faults = {}, unsigned seed = 1)
        : m_faults(faults), m_random(seed) {}

    // The bursts for one answer frame (start byte to end byte); each answer gets its preamble.
    std::vector<SimBurst> Shape(const std::vector<std::uint8_t>& frame);
    const SimFaults& Faults() const { return m_faults; }

private:
    void AddPieces(std::vector<SimBurst>& bursts, int delayMs,
                   const std::vector<std::uint8_t>& frame, const std::string& note) const;

    SimFaults m_faults;
    std::minstd_rand m_random;
    long m_count = 0;
};
