#pragma once

#include <cstddef>

// Byte layout of the channel payloads, the one description the encoders, the reply decoders
// and the simulated device all read. A whole-channel frame carries an input in 96 bytes and an
// output in 80; the single-block writes carry 8-byte pieces of the same records. Numbers are
// 16-bit little-endian.
namespace ChannelLayout {

// One EQ band record (8 bytes); inputs also send their crossover sections in this layout.
namespace Band {
constexpr std::size_t Frequency = 0; // Hz
constexpr std::size_t Gain = 2;      // EQ gain code: index + 300, 600 when flat
constexpr std::size_t Bandwidth = 4; // bandwidth code
constexpr std::size_t Slope = 6;     // shelf slope (or crossover slope)
constexpr std::size_t Type = 7;      // 0 PEQ, 1 low shelf, 2 high shelf (3, 4: crossovers)
constexpr std::size_t Size = 8;
} // namespace Band

// One crossover section inside a whole channel (4 bytes).
namespace Crossover {
constexpr std::size_t Frequency = 0;
constexpr std::size_t Type = 2; // 0 "L_R", 1 "Bessel", 2 "BTWorth"
constexpr std::size_t Slope = 3;
constexpr std::size_t Size = 4;
} // namespace Crossover

// The start of the levels block, alike on inputs and outputs, relative to its on flag.
namespace Levels {
constexpr std::size_t On = 0;
constexpr std::size_t Polarity = 1;
constexpr std::size_t Gain = 2;  // gain code
constexpr std::size_t Delay = 4; // delay index
} // namespace Levels

// Offset of band k inside a channel record.
constexpr std::size_t BandAt(int k) {
    return static_cast<std::size_t>(k) * Band::Size;
}

// Input channel (96 bytes).
namespace Input {
constexpr int BandCount = 8;
constexpr std::size_t On = 64;
constexpr std::size_t Polarity = On + Levels::Polarity;
constexpr std::size_t Gain = On + Levels::Gain;
constexpr std::size_t Delay = On + Levels::Delay;
constexpr std::size_t AuxFlag = 70;
constexpr std::size_t AuxValue = 71;
constexpr std::size_t Levels = On;        // the levels block: on .. the aux bytes
constexpr std::size_t LevelsWritten = 6;  // what a levels write changes (not the aux bytes)
constexpr std::size_t HighPass = 72;      // crossover section
constexpr std::size_t LowPass = 76;       // crossover section
constexpr std::size_t GateThreshold = 80; // the gate block starts here
constexpr std::size_t GateOff = 81;
constexpr std::size_t GateWritten = 2; // what a gate write changes
constexpr std::size_t Name = 88;       // 8 bytes
constexpr std::size_t Size = 96;
} // namespace Input

// Output channel (80 bytes).
namespace Output {
constexpr int BandCount = 6;
constexpr std::size_t On = 48;
constexpr std::size_t Polarity = On + Levels::Polarity;
constexpr std::size_t Gain = On + Levels::Gain;
constexpr std::size_t Delay = On + Levels::Delay;
constexpr std::size_t SourceMask = 54; // byte 55 stays 0
constexpr std::size_t Levels = On;     // the levels block: on .. source mask and its spare byte
constexpr std::size_t LevelsWritten = 7;
constexpr std::size_t HighPass = 56; // the crossover block: high-pass, then low-pass
constexpr std::size_t LowPass = 60;
constexpr std::size_t Dynamics = 64; // the dynamics block (8 bytes)
constexpr std::size_t LimitThreshold = 64;
constexpr std::size_t Attack = 66;
constexpr std::size_t Release = 67;
constexpr std::size_t ClipLimit = 68;
constexpr std::size_t Ratio = 69;
constexpr std::size_t Mode = 70;
constexpr std::size_t Timing = 71;
constexpr std::size_t Name = 72; // 8 bytes
constexpr std::size_t Size = 80;
} // namespace Output

} // namespace ChannelLayout
