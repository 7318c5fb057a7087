#pragma once

#include "sim/SimFaults.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The timing of a simulated line as a processor on a 9600 baud 8N1 line keeps it, in both
// directions: what the PC writes comes in at that rate, a frame is answered a short turnaround
// after its last byte would have come in, and every answer takes its time on the line, one after
// the other. A fast line does all of it at once. The answers are shaped with the line's faults on
// the way in. The pacer only keeps time; whoever serves the line asks it which bytes are due.
class SimPacer {
public:
    using Clock = std::chrono::steady_clock;

    // 10 bits per byte at 9600 baud.
    static constexpr auto kByteTime = std::chrono::nanoseconds(1000000000LL * 10 / 9600);
    // What a processor needs to start answering after the last byte of a frame.
    static constexpr auto kTurnaround = std::chrono::milliseconds(3);
    // A gap this long ends a partly received frame.
    static constexpr auto kFrameGap = std::chrono::milliseconds(100);
    // Pause before a second message sent in answer to one frame.
    static constexpr auto kFollowUpGap = std::chrono::milliseconds(20);

    // A burst of answer bytes waiting to go out from start on, at the line's rate.
    struct Outgoing {
        Clock::time_point start;
        std::vector<std::uint8_t> bytes;
        std::size_t sent = 0;
        std::vector<std::uint8_t> frame; // the frame as sent, on its first burst (for a log)
        std::string note;                // the faults applied to it
    };

    SimPacer(bool fast, const SimFaults& faults, Clock::time_point now = Clock::now());

    bool IsFast() const { return m_fast; }
    // Time of one byte on the line; zero on a fast line.
    Clock::duration ByteTime() const;

    // count bytes from the PC were taken at now.
    void Received(std::size_t count, Clock::time_point now);
    Clock::time_point LastReceived() const { return m_lastReceived; }
    // A partly received frame has waited for its next byte long enough to be given up.
    bool FrameGapPassed(Clock::time_point now) const { return now - m_lastReceived >= kFrameGap; }

    // Queues one answer frame (start byte to end byte) with the line's faults, delay after the
    // line is free and the frame answered has come in. False when the faults leave it out.
    bool Schedule(const std::vector<std::uint8_t>& frame, Clock::duration delay,
                  Clock::time_point now);

    bool HasOutput() const { return !m_out.empty(); }
    Outgoing& Head() { return m_out.front(); }
    const Outgoing& Head() const { return m_out.front(); }
    // Marks count more bytes of the head as gone; the head leaves when all have.
    void Sent(std::size_t count);
    void ClearOutput() { m_out.clear(); }
    // Bytes of the head due by now (0 before its start); on a paced line one byte per byte time
    // from its start, on a fast line all of them.
    std::size_t DueBytes(Clock::time_point now) const;
    // When the head's next byte is due; the head must exist.
    Clock::time_point NextDue() const;

private:
    bool m_fast;
    SimFaultInjector m_faults;
    std::deque<Outgoing> m_out;
    Clock::time_point m_lineFree;  // the device's output is on the line until then
    Clock::time_point m_inputDone; // what the PC wrote has come in at 9600 baud by then
    Clock::time_point m_lastReceived;
};
