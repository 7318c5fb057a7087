#pragma once

#include "FrameLog.h"
#include "SimOptions.h"
#include "sim/SimLine.h"
#include "sim/SimPacer.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

// Serves a simulated line on the master side of a pseudo-terminal: reads what the PC writes,
// lets the devices answer, shapes the answers with the chosen faults and puts them on the line
// either at once (--fast) or paced like a 9600 baud 8N1 line, in both directions (SimPacer): a
// paced device answers a frame only once its bytes would have come in at that rate. With a
// listening socket it also serves one TCP connection at a time, raw, as a serial device server
// would: the devices hear the bytes of both, and the answers go to whichever spoke last.
class SimServer {
public:
    using Clock = SimPacer::Clock;

    SimServer(SimLine& line, const SimOptions& options, FrameLog& log);

    // Files that keep the devices' memory (one per device of the line, same order); empty to
    // keep nothing.
    void SetStateFiles(std::vector<std::string> paths) { m_stateFiles = std::move(paths); }
    // Writes the state of every device whose memory changed; false if a file failed.
    bool SaveStates();

    // A listening socket (non-blocking) whose connections reach the devices too; -1 for none.
    void SetListener(int fd) { m_listenFd = fd; }

    // Runs until stop becomes nonzero. Returns 0, or 1 after a line error.
    int Run(int masterFd, volatile std::sig_atomic_t& stop);

private:
    // Reads what fd holds; false when it is a connection that was closed.
    bool Receive(int fd);
    void Accept();
    void DropClient(const char* why);
    void Answer(const std::vector<SimExchange>& exchanges);
    void Schedule(const std::vector<std::uint8_t>& frame, Clock::duration delay);
    bool SendDue();
    int TimeoutMs() const;

    SimLine& m_line;
    const SimOptions& m_options;
    FrameLog& m_log;
    SimPacer m_pacer;
    Clock::time_point m_blockedSince;
    bool m_blocked = false;
    std::vector<std::string> m_stateFiles;
    int m_masterFd = -1;
    int m_listenFd = -1;
    int m_clientFd = -1;
    int m_outFd = -1; // where the answers go: the terminal or the connection, who spoke last
};
