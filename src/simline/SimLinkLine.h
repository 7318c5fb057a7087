#pragma once

#include "line/LinkLine.h"
#include "sim/SimLine.h"
#include "sim/SimPacer.h"

#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// A frame on a simulated line: in (from the PC to the devices) or out (an answer), as
// sonvex-sim logs it.
struct SimLinkFrame {
    bool in = true;
    std::vector<std::uint8_t> bytes;
};

// How a SimLinkLine answers: at once (fast) or at 9600 baud, with the faults of the line.
struct SimLinkOptions {
    bool fast = false;
    SimFaults faults;
};

// The simulated processors of a SimLine on a line inside the process, in place of a serial port
// with sonvex-sim on a pseudo-terminal. What is written reaches the devices at once; their
// answers come back shaped by the line's faults and paced as sonvex-sim paces them (SimPacer:
// at once on a fast line, at 9600 baud otherwise), through the event loop of the thread that
// owns the line, like a serial port's. What the devices send while the line is closed is lost.
class SimLinkLine : public LinkLine {
    Q_OBJECT

public:
    using Options = SimLinkOptions;

    // The devices stay the caller's and must outlive the line.
    explicit SimLinkLine(SimLine& devices, const Options& options = {}, QObject* parent = nullptr);
    ~SimLinkLine() override;

    bool IsOpen() const override { return m_open; }
    // Any name opens while the devices are plugged in (Unplug).
    LineStatus Open(const std::string& device) override;
    LineStatus Setup(int baudRate, int dataBits, Parity parity, int stopBits) override;
    LineStatus SetupHandshakingOff() override;
    LineStatus SetMask(LineEvents eventMask) override;
    LineStatus Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
              int timeoutMs) override;
    LineStatus Read(std::uint8_t* buffer, std::size_t length, std::size_t& received,
             int timeoutMs) override;
    LineStatus Close() override;

    // The name of the last open.
    const std::string& Name() const { return m_name; }
    // Called with every frame that comes in and goes out, in order (the line's frame log).
    using FrameObserver = std::function<void(const SimLinkFrame&)>;
    void SetFrameObserver(FrameObserver observer) { m_observer = std::move(observer); }

    // The line's device goes away (an adapter pulled out): an open line closes itself and tells
    // with lineLost, a write fails until then, and the line does not open again until Plug.
    void Unplug();
    void Plug() { m_plugged = true; }

private:
    void Answer(const std::vector<SimExchange>& exchanges);
    // Moves the answer bytes that are due into the receive buffer and waits for the next ones.
    void SendDue();
    void ExpirePartialFrame();
    void Notify(LineEvents events);
    void DeliverEvents();
    void DeliverLost();
    void Log(bool in, const std::vector<std::uint8_t>& frame);

    SimLine& m_devices;
    SimPacer m_pacer;
    QTimer m_output;
    QTimer m_frameGap;
    std::deque<std::uint8_t> m_received;
    FrameObserver m_observer;
    std::string m_name;
    bool m_open = false;
    bool m_plugged = true;
    bool m_lost = false;
    LineEvents m_eventMask;
    LineEvents m_pendingBits;
    bool m_deliveryQueued = false;
};
