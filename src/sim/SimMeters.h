#pragma once

#include "sim/SimProgram.h"

#include <array>
#include <cstdint>
#include <random>

// Level meters of a simulated processor that move like music: a steady beat with a louder
// downbeat, a slow swell and a little randomness per channel. Every reading advances the music
// by one step. Muted channels and channels the variant lacks read 0; an output follows the
// loudest input it is fed from. Levels run 0..9; an output at full level reports 16 + 9 = 25
// (its limiter is working), so every value lies in 0..9 or 17..25.
class SimMeters {
public:
    static constexpr std::size_t kCount = 12; // inputs 1..4, then outputs 1..8
    static constexpr int kFullLevel = 9;
    static constexpr int kLimitingFlag = 16;

    explicit SimMeters(unsigned seed = 1) : m_random(seed) {}

    std::array<std::uint8_t, kCount> Next(const SimProgram& live, int inputCount, int outputCount);

private:
    std::minstd_rand m_random;
    unsigned m_step = 0;
};
