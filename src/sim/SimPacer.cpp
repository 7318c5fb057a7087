#include "sim/SimPacer.h"

#include <algorithm>

SimPacer::SimPacer(bool fast, const SimFaults& faults, Clock::time_point now)
    : m_fast(fast), m_faults(faults), m_lineFree(now), m_inputDone(now), m_lastReceived(now) {}

SimPacer::Clock::duration SimPacer::ByteTime() const {
    return m_fast ? Clock::duration::zero()
                  : std::chrono::duration_cast<Clock::duration>(kByteTime);
}

void SimPacer::Received(std::size_t count, Clock::time_point now) {
    m_lastReceived = now;
    // A terminal hands over at once what a real line delivers byte by byte: the device has a
    // frame only once its last byte would have come in.
    m_inputDone = std::max(m_inputDone, m_lastReceived) + ByteTime() * static_cast<long>(count);
}

bool SimPacer::Schedule(const std::vector<std::uint8_t>& frame, Clock::duration delay,
                        Clock::time_point now) {
    const std::vector<SimBurst> bursts = m_faults.Shape(frame);
    if (bursts.empty()) {
        return false;
    }
    const auto received = std::max(now, m_inputDone);
    const Clock::duration turnaround =
        m_fast ? Clock::duration::zero() : std::chrono::duration_cast<Clock::duration>(kTurnaround);
    auto at = std::max(received + turnaround, m_lineFree) + delay;
    for (const SimBurst& burst : bursts) {
        Outgoing out;
        at += std::chrono::milliseconds(burst.delayMs);
        out.start = at;
        out.bytes = burst.bytes;
        out.frame = burst.frame;
        out.note = burst.note;
        at += ByteTime() * static_cast<long>(out.bytes.size());
        m_out.push_back(std::move(out));
    }
    m_lineFree = at;
    return true;
}

void SimPacer::Sent(std::size_t count) {
    Outgoing& head = m_out.front();
    head.sent += count;
    if (head.sent >= head.bytes.size()) {
        m_out.pop_front();
    }
}

std::size_t SimPacer::DueBytes(Clock::time_point now) const {
    const Outgoing& head = m_out.front();
    if (now < head.start) {
        return 0;
    }
    std::size_t due = head.bytes.size() - head.sent;
    if (!m_fast) {
        const auto elapsed = now - head.start;
        const auto paced = static_cast<std::size_t>(elapsed / ByteTime()) + 1;
        due = std::min(due, paced > head.sent ? paced - head.sent : 0);
    }
    return due;
}

SimPacer::Clock::time_point SimPacer::NextDue() const {
    const Outgoing& head = m_out.front();
    return head.start + ByteTime() * static_cast<long>(head.sent);
}
