#pragma once

#include "sim/SimDevice.h"
#include "sim/SimFrameReader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// One exchange on a simulated line: a frame that arrived and what was answered to it.
struct SimExchange {
    std::vector<std::uint8_t> request; // start byte to end byte, as received
    bool valid = false;                // passed the frame check
    int responderId = 0;               // ID of the device that answered (before the frame), or 0
    std::vector<std::vector<std::uint8_t>> replies; // answer frames, without preamble
    bool forgotten = false; // a write acknowledged but not kept (SetForgetEvery)
    bool collided = false;  // devices sharing the ID answered together (SimLine::Collide)
};

// A serial line with several simulated processors on it. Every device hears every frame; the
// one whose ID the frame carries answers, the others keep quiet. When devices share an ID every
// one of them takes the frame and answers at the same moment: their answers collide on the line
// and arrive as one frame of the answer's length whose payload and checksum are garbled
// (Collide), so the frame check fails where the answer is due.
class SimLine {
public:
    // Adds a device and returns it; the line owns it.
    SimDevice& Add(int id, int type);
    std::size_t DeviceCount() const { return m_devices.size(); }
    SimDevice& Device(std::size_t index) { return *m_devices.at(index); }
    const SimDevice& Device(std::size_t index) const { return *m_devices.at(index); }
    // Two answers sent at the same time, as the PC receives them: the header of the first (both
    // devices send the same bytes there, far enough in step), the rest of the frame the
    // wired-AND of both with the second a few bits behind, and a checksum that does not match.
    static std::vector<std::uint8_t> Collide(const std::vector<std::uint8_t>& first,
                                             const std::vector<std::uint8_t>& second);
    // The (first) device answering to an ID, or nullptr.
    SimDevice* FindById(int id);

    // Bytes from the PC in; one exchange per complete frame, in order.
    std::vector<SimExchange> Feed(const std::uint8_t* data, std::size_t count);
    // A silent gap on the line ends a partly received frame (see SimFrameReader::Expire).
    std::vector<SimExchange> Expire();
    bool HasPartialFrame() const { return m_reader.HasPartialFrame(); }
    // Every Nth write request a device handles (counted over the whole line from 1) is
    // answered as usual but not kept; 0 keeps every write.
    void SetForgetEvery(int every) { m_forgetEvery = every; }

private:
    std::vector<SimExchange> Answer(std::vector<SimFrameReader::Frame> frames);

    std::vector<std::unique_ptr<SimDevice>> m_devices;
    SimFrameReader m_reader;
    int m_forgetEvery = 0;
    long m_writes = 0;
};
