#pragma once

#include <array>
#include <cstdint>
#include <string>

class CArchive;

// The fixed-layout form of one program: what the device delivers for a stored program, what the
// document keeps for each of the thirty stored programs and what a bank file holds. Values are
// the device's indices, read with the device type of whoever uses the image.

// One EQ band. In a bank file the gain index comes before the frequency.
struct BandImage {
    std::uint16_t frequency = 0; // Hz
    std::uint16_t gain = 0;      // gain index; 300 is 0 dB (a flat band)
    std::uint16_t bandwidth = 0; // bandwidth index in the device type's steps
    std::uint8_t shelfSlope = 0; // 0 = 6 dB, 1 = 12 dB
    std::uint8_t type = 0;       // 0 peaking, 1 low shelf, 2 high shelf

    void Serialize(CArchive& ar);
    bool operator==(const BandImage& other) const;
    bool operator!=(const BandImage& other) const { return !(*this == other); }
};

// The high-pass or the low-pass filter of a channel.
struct CrossoverImage {
    std::uint16_t frequency = 0; // Hz
    std::uint8_t type = 0;       // 0 "L_R", 1 "Bessel", 2 "BTWorth"
    std::uint8_t slope = 0;      // 0..3 = 12, 18, 24, 48 dB per octave

    void Serialize(CArchive& ar);
    bool operator==(const CrossoverImage& other) const;
    bool operator!=(const CrossoverImage& other) const { return !(*this == other); }
};

struct InputImage {
    static constexpr int kBandCount = 8;

    std::array<BandImage, kBandCount> bands{};
    std::uint8_t on = 0;
    std::uint8_t polarity = 0;
    std::uint16_t delay = 0; // delay index
    std::uint16_t gain = 0;  // gain index
    std::uint8_t auxFlag = 0;
    std::uint8_t auxValue = 0;
    std::string name;
    CrossoverImage highPass;
    CrossoverImage lowPass;
    std::uint8_t gateThreshold = 0;
    std::uint8_t gateOff = 0;

    // Bank file record: bands, levels, crossovers, gate, then the name.
    void Serialize(CArchive& ar);
    bool operator==(const InputImage& other) const;
    bool operator!=(const InputImage& other) const { return !(*this == other); }
};

struct OutputImage {
    static constexpr int kBandCount = 6;

    std::array<BandImage, kBandCount> bands{};
    std::uint8_t on = 0;
    std::uint8_t polarity = 0;
    std::uint16_t delay = 0; // delay index
    std::uint16_t gain = 0;  // gain index
    std::uint8_t sourceMask = 0;
    std::uint8_t reserved = 0; // kept as read, always written as 0
    CrossoverImage highPass;
    CrossoverImage lowPass;
    std::uint16_t limitThreshold = 0;
    std::uint8_t attack = 0;
    std::uint8_t release = 0;
    std::uint8_t clipLimit = 0;
    std::uint8_t ratio = 0;
    std::uint8_t mode = 0;   // 0 limiter, 1 compressor
    std::uint8_t timing = 0; // 0 manual, 1 automatic
    std::string name;

    // Bank file record: bands, levels, crossovers, dynamics, then the name.
    void Serialize(CArchive& ar);
    bool operator==(const OutputImage& other) const;
    bool operator!=(const OutputImage& other) const { return !(*this == other); }
};

struct ProgramImage {
    static constexpr int kInputCount = 4;
    static constexpr int kOutputCount = 8;

    std::array<InputImage, kInputCount> inputs{};
    std::array<OutputImage, kOutputCount> outputs{};
    std::string name;

    // Bank file record: the name, then the four inputs and the eight outputs.
    void Serialize(CArchive& ar);
    bool operator==(const ProgramImage& other) const;
    bool operator!=(const ProgramImage& other) const { return !(*this == other); }
};
