#pragma once

#include <array>
#include <cstdint>
#include <string>

// One program as a simulated processor holds it: every channel kept as the raw payload of a
// whole-channel frame (the bytes a whole-channel write carries and a channel read returns), so
// whatever the PC writes reads back exactly. The name keeps 8 characters, like the device.
struct SimProgram {
    static constexpr std::size_t kInputs = 4;
    static constexpr std::size_t kOutputs = 8;
    static constexpr std::size_t kInputBytes = 96;
    static constexpr std::size_t kOutputBytes = 80;
    static constexpr std::size_t kNameBytes = 8;

    using InputImage = std::array<std::uint8_t, kInputBytes>;
    using OutputImage = std::array<std::uint8_t, kOutputBytes>;

    std::array<InputImage, kInputs> inputs{};
    std::array<OutputImage, kOutputs> outputs{};
    std::array<std::uint8_t, kNameBytes> name{};

    // A fresh program: flat EQ bands spread over the audio range, 0 dB, no delay, open
    // crossovers, default gate and limiter, channels named "A".."D" and "1".."8".
    static SimProgram MakeDefault(const std::string& name);

    void SetName(const std::string& text);
    // The name with trailing spaces removed.
    std::string NameText() const;

    bool operator==(const SimProgram& other) const;
    bool operator!=(const SimProgram& other) const { return !(*this == other); }
};

// Byte positions inside the channel images (the whole-channel payload layout).
namespace SimLayout {
// Input channel (96 bytes).
constexpr std::size_t InBands = 0; // 8 bands of 8 bytes
constexpr std::size_t InBandCount = 8;
constexpr std::size_t InLevels = 64;    // on, polarity, gain (2), delay (2)
constexpr std::size_t InLevelsSize = 6; // the aux bytes 70, 71 are not part of a levels write
constexpr std::size_t InHighPass = 72;  // frequency (2), crossover type, slope
constexpr std::size_t InLowPass = 76;
constexpr std::size_t InGate = 80; // threshold, gate-off flag
constexpr std::size_t InName = 88;
// Output channel (80 bytes).
constexpr std::size_t OutBands = 0; // 6 bands of 8 bytes
constexpr std::size_t OutBandCount = 6;
constexpr std::size_t OutLevels = 48;    // on, polarity, gain (2), delay (2), source mask
constexpr std::size_t OutLevelsSize = 7; // byte 55 stays 0
constexpr std::size_t OutCrossover = 56; // high-pass then low-pass, 4 bytes each
constexpr std::size_t OutDynamics = 64;  // 8 bytes
constexpr std::size_t OutName = 72;
// Inside one band record (8 bytes).
constexpr std::size_t BandFrequency = 0;
constexpr std::size_t BandSlope = 6;
constexpr std::size_t BandType = 7;
// Crossover section inside a channel image (4 bytes).
constexpr std::size_t CrossoverSize = 4;
constexpr std::size_t CrossoverSlope = 3;
} // namespace SimLayout
