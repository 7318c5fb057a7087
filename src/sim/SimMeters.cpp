#include "sim/SimMeters.h"

#include <algorithm>
#include <cmath>

namespace Input = ChannelLayout::Input;
namespace Output = ChannelLayout::Output;

namespace {

constexpr unsigned kBeatSteps = 4; // a beat every 4 readings (0.4 s at the panel's 100 ms poll)
constexpr unsigned kBarSteps = 16;
constexpr double kPi = 3.14159265358979323846;
constexpr int kUnityGainCode = 1100;

// Channel gain as a level offset: about one meter step per 6 dB.
int GainSteps(const std::uint8_t* gain) {
    const int code = gain[0] | (gain[1] << 8);
    return (code - kUnityGainCode) / 60;
}

} // namespace

std::array<std::uint8_t, SimMeters::kCount> SimMeters::Next(const SimProgram& live, int inputCount,
                                                            int outputCount) {
    const unsigned step = m_step++;
    const unsigned inBeat = step % kBeatSteps;
    const bool downbeat = step % kBarSteps == 0;
    const double swell = std::sin(2.0 * kPi * static_cast<double>(step) / 40.0);
    std::uniform_int_distribution<int> jitter(-1, 1);

    std::array<int, SimProgram::kInputs> input{};
    std::array<std::uint8_t, kCount> meters{};
    for (int i = 0; i < static_cast<int>(SimProgram::kInputs) && i < inputCount; ++i) {
        const std::uint8_t* in = live.inputs[static_cast<std::size_t>(i)].data();
        if (in[Input::On] == 0) {
            continue; // muted
        }
        int level = 4 + static_cast<int>(std::lround(1.5 * swell)) + jitter(m_random);
        level += inBeat == 0 ? 3 : (inBeat == 2 ? 1 : 0);
        level += downbeat ? 1 : 0;
        level -= i; // the later inputs carry quieter material
        level += GainSteps(in + Input::Gain);
        input[static_cast<std::size_t>(i)] = std::clamp(level, 0, kFullLevel);
        meters[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(input[static_cast<std::size_t>(i)]);
    }
    for (int o = 0; o < static_cast<int>(SimProgram::kOutputs) && o < outputCount; ++o) {
        const std::uint8_t* out = live.outputs[static_cast<std::size_t>(o)].data();
        if (out[Output::On] == 0) {
            continue;
        }
        const std::uint8_t mask = out[Output::SourceMask];
        int level = 0;
        for (std::size_t i = 0; i < SimProgram::kInputs; ++i) {
            if ((mask >> i) & 1U) {
                level = std::max(level, input[i]);
            }
        }
        if (level == 0) {
            continue;
        }
        level = std::clamp(level + GainSteps(out + Output::Gain) + jitter(m_random), 0, kFullLevel);
        meters[SimProgram::kInputs + static_cast<std::size_t>(o)] =
            static_cast<std::uint8_t>(level == kFullLevel ? kLimitingFlag + level : level);
    }
    return meters;
}
