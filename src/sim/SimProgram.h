#pragma once

#include "core/protocol/ChannelLayout.h"

#include <array>
#include <cstdint>
#include <string>

// One program as a simulated processor holds it: every channel kept as the raw payload of a
// whole-channel frame (the bytes a whole-channel write carries and a channel read returns), so
// whatever the PC writes reads back exactly. The name keeps 8 characters, like the device.
struct SimProgram {
    static constexpr std::size_t kInputs = 4;
    static constexpr std::size_t kOutputs = 8;
    static constexpr std::size_t kInputBytes = ChannelLayout::Input::Size;
    static constexpr std::size_t kOutputBytes = ChannelLayout::Output::Size;
    static constexpr std::size_t kNameBytes = 8;

    // A channel as the raw bytes of its whole-channel record (layout: ChannelLayout).
    using InputRecord = std::array<std::uint8_t, kInputBytes>;
    using OutputRecord = std::array<std::uint8_t, kOutputBytes>;

    std::array<InputRecord, kInputs> inputs{};
    std::array<OutputRecord, kOutputs> outputs{};
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
