#pragma once

#include "FrameLog.h"
#include "SimOptions.h"
#include "sim/SimFaults.h"
#include "sim/SimLine.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// Serves a simulated line on the master side of a pseudo-terminal: reads what the PC writes,
// lets the devices answer, shapes the answers with the chosen faults and puts them on the line
// either at once (--fast) or paced like a 9600 baud 8N1 line, in both directions: a paced device
// answers a frame only once its bytes would have come in at that rate.
class SimServer {
public:
    using Clock = std::chrono::steady_clock;

    SimServer(SimLine& line, const SimOptions& options, FrameLog& log);

    // Files that keep the devices' memory (one per device of the line, same order); empty to
    // keep nothing.
    void SetStateFiles(std::vector<std::string> paths) { m_stateFiles = std::move(paths); }
    // Writes the state of every device whose memory changed; false if a file failed.
    bool SaveStates();

    // Runs until stop becomes nonzero. Returns 0, or 1 after a line error.
    int Run(int masterFd, volatile std::sig_atomic_t& stop);

private:
    struct Outgoing {
        Clock::time_point start;
        std::vector<std::uint8_t> bytes;
        std::size_t sent = 0;
        std::vector<std::uint8_t> frame; // logged when the first byte goes out
        std::string note;
    };

    void Receive(int fd);
    void Answer(const std::vector<SimExchange>& exchanges);
    void Schedule(const std::vector<std::uint8_t>& frame, Clock::duration delay);
    bool SendDue(int fd);
    int TimeoutMs() const;
    Clock::duration ByteTime() const;

    SimLine& m_line;
    const SimOptions& m_options;
    FrameLog& m_log;
    SimFaultInjector m_faults;
    std::deque<Outgoing> m_out;
    Clock::time_point m_lineFree;  // the device's output is on the line until then
    Clock::time_point m_inputDone; // what the PC wrote has come in at 9600 baud by then
    Clock::time_point m_lastReceived;
    Clock::time_point m_blockedSince;
    bool m_blocked = false;
    std::vector<std::string> m_stateFiles;
};
