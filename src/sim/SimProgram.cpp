#include "sim/SimProgram.h"

#include "core/protocol/DeviceText.h"
#include "core/protocol/ProtocolCodes.h"

#include <algorithm>

namespace Band = ChannelLayout::Band;
namespace Crossover = ChannelLayout::Crossover;
namespace Input = ChannelLayout::Input;
namespace Output = ChannelLayout::Output;

namespace {

constexpr unsigned kFlatGainCode = 600;     // EQ band at 0 dB
constexpr unsigned kOneOctaveCode = 95;     // 1.00 octave, valid on every device type
constexpr unsigned kUnityGainCode = 1100;   // channel gain 0 dB on every device type
constexpr std::uint8_t kButterworth = 2;    // crossover type "BTWorth"
constexpr unsigned kOpenHighPass = 10;      // Hz
constexpr unsigned kOpenLowPass = 30000;    // Hz
constexpr std::uint8_t kGateThreshold = 60; // -60 dBu
constexpr unsigned kLimitThreshold = 400;   // +10 dBu
constexpr std::uint8_t kClipLimit = 20;     // 4.0

constexpr std::array<unsigned, 8> kInputBandHz = {40, 100, 250, 500, 1000, 2000, 4000, 8000};
constexpr std::array<unsigned, 6> kOutputBandHz = {63, 160, 400, 1000, 2500, 6300};

void PutWord(std::uint8_t* at, unsigned value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void PutBand(std::uint8_t* at, unsigned hz) {
    PutWord(at + Band::Frequency, hz);
    PutWord(at + Band::Gain, kFlatGainCode);
    PutWord(at + Band::Bandwidth, kOneOctaveCode);
    at[Band::Slope] = 0;
    at[Band::Type] = 0; // "PEQ"
}

void PutCrossover(std::uint8_t* at, unsigned hz) {
    PutWord(at + Crossover::Frequency, hz);
    at[Crossover::Type] = kButterworth;
    at[Crossover::Slope] = 0; // 12 dB
}

void PutText(std::uint8_t* at, std::size_t width, const std::string& text) {
    std::fill(at, at + width, static_cast<std::uint8_t>(' '));
    std::copy_n(text.begin(), std::min(width, text.size()), at);
}

} // namespace

SimProgram SimProgram::MakeDefault(const std::string& name) {
    SimProgram program;
    program.SetName(name);
    for (std::size_t i = 0; i < kInputs; ++i) {
        std::uint8_t* in = program.inputs[i].data();
        for (int b = 0; b < Input::BandCount; ++b) {
            PutBand(in + ChannelLayout::BandAt(b), kInputBandHz[static_cast<std::size_t>(b)]);
        }
        in[Input::On] = 1;
        in[Input::Polarity] = 0;
        PutWord(in + Input::Gain, kUnityGainCode);
        PutWord(in + Input::Delay, 0);
        PutCrossover(in + Input::HighPass, kOpenHighPass);
        PutCrossover(in + Input::LowPass, kOpenLowPass);
        in[Input::GateThreshold] = kGateThreshold;
        in[Input::GateOff] = 0;
        PutText(in + Input::Name, Protocol::ChannelNameLength,
                std::string(1, static_cast<char>('A' + i)));
    }
    for (std::size_t o = 0; o < kOutputs; ++o) {
        std::uint8_t* out = program.outputs[o].data();
        for (int b = 0; b < Output::BandCount; ++b) {
            PutBand(out + ChannelLayout::BandAt(b), kOutputBandHz[static_cast<std::size_t>(b)]);
        }
        out[Output::On] = 1;
        out[Output::Polarity] = 0;
        PutWord(out + Output::Gain, kUnityGainCode);
        PutWord(out + Output::Delay, 0);
        out[Output::SourceMask] = 1; // fed by input A
        PutCrossover(out + Output::HighPass, kOpenHighPass);
        PutCrossover(out + Output::LowPass, kOpenLowPass);
        PutWord(out + Output::LimitThreshold, kLimitThreshold);
        out[Output::ClipLimit] = kClipLimit; // attack, release, ratio, mode, timing stay 0
        PutText(out + Output::Name, Protocol::ChannelNameLength, std::to_string(o + 1));
    }
    return program;
}

void SimProgram::SetName(const std::string& text) {
    PutText(name.data(), name.size(), text);
}

std::string SimProgram::NameText() const {
    return TrimRight(std::string(name.begin(), name.end()));
}

bool SimProgram::operator==(const SimProgram& other) const {
    return inputs == other.inputs && outputs == other.outputs && name == other.name;
}
