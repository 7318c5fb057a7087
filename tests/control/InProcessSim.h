#pragma once

// Simulated processors on a line inside the test process, for the device control tests that
// need no pseudo-terminal: the devices, the line a session is built on and the frames it logged,
// in the form SimProcess gives them.

#include "common/LoggedFrame.h"

#include "control/LinkSetup.h"
#include "sim/SimLine.h"
#include "simline/SimLinkLine.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace controltest {

class InProcessSim {
public:
    struct Device {
        int id;
        int type;
    };

    explicit InProcessSim(std::vector<Device> devices, SimLinkLine::Options options = Fast())
        : m_options(std::move(options)) {
        for (const Device& device : devices) {
            m_devices.Add(device.id, device.type);
        }
    }

    static SimLinkLine::Options Fast() {
        SimLinkLine::Options options;
        options.fast = true;
        return options;
    }

    // What a session is built on: this line (made when the session is), and clock when given.
    // One session per simulation.
    LinkSetup Setup(std::unique_ptr<LinkClock> clock = nullptr) {
        LinkSetup setup;
        setup.makeLine = [this]() -> std::unique_ptr<LinkLine> {
            auto line = std::make_unique<SimLinkLine>(m_devices, m_options);
            line->SetFrameObserver(
                [this](const SimLinkFrame& frame) { m_frames.push_back(frame); });
            m_line = line.get();
            return line;
        };
        setup.clock = std::move(clock);
        return setup;
    }

    // The name the panel connects to; the simulated line opens under any name.
    static QString Port() { return QStringLiteral("sim-line"); }

    SimLine& Devices() { return m_devices; }
    // The line while the session built on it lives (its engine owns it); nullptr before.
    SimLinkLine* Line() const { return m_line; }

    // Every frame in and out so far, also after the session has gone.
    std::vector<simtest::LoggedFrame> Frames(std::size_t from = 0) const {
        std::vector<simtest::LoggedFrame> frames;
        for (std::size_t i = from; i < m_frames.size(); ++i) {
            const std::vector<std::uint8_t>& bytes = m_frames[i].bytes;
            frames.push_back({m_frames[i].in ? QStringLiteral("in") : QStringLiteral("out"),
                              QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                         static_cast<int>(bytes.size()))});
        }
        return frames;
    }

    std::vector<simtest::LoggedFrame> Received(std::size_t from = 0) const {
        std::vector<simtest::LoggedFrame> in;
        for (const simtest::LoggedFrame& frame : Frames(from)) {
            if (frame.direction == QLatin1String("in")) {
                in.push_back(frame);
            }
        }
        return in;
    }

private:
    SimLine m_devices;
    SimLinkLine::Options m_options;
    SimLinkLine* m_line = nullptr;
    std::vector<SimLinkFrame> m_frames;
};

} // namespace controltest
