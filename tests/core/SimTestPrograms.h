#pragma once

// Programs with every parameter set to varied in-range values, and comparisons through the wire
// encoding, for the tests that run the simulated processor against the engine.

#include "core/files/ProgramImage.h"
#include "core/protocol/ProgramEncoder.h"
#include "core/model/AudioData.h"
#include "core/model/Filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace simtest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes PayloadOf(const std::unique_ptr<SendData>& record) {
    const Bytes& frame = record->GetData();
    return Bytes(frame.begin() + 9, frame.end() - 2);
}

inline std::string VariedName(std::mt19937& random, const char* prefix) {
    return prefix + std::to_string(random() % 1000);
}

// Sets every parameter of every channel of a program of the given type to a varied value
// within the ranges of that type.
inline void FillVaried(CAudio_Data& program, int type, unsigned seed) {
    std::mt19937 random(seed);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const bool fine = type == 1;
    program.SetDeviceType(type);
    program.SetName(VariedName(random, "Pg"));
    for (int i = 0; i < program.GetInputCount(); ++i) {
        CAudio_InData& in = *program.GetInput(i);
        in.SetName(VariedName(random, "In"));
        in.SetOn(static_cast<std::uint8_t>(pick(0, 1)));
        in.SetPolarity(static_cast<std::uint8_t>(pick(0, 1)));
        in.SetGain(pick(0, fine ? 460 : 560));
        in.SetDelay(pick(0, fine ? 52473 : 1465));
        in.SetGateThreshold(static_cast<std::uint8_t>(pick(1, fine ? 130 : 60)));
        in.SetGateOff(static_cast<std::uint8_t>(i == 1 ? 1 : 0));
        if (in.GetGateOff() != 0) {
            in.SetGateThreshold(0); // a gate that is off travels with threshold 0
        }
        for (int b = 0; b < 8; ++b) {
            CFilter& band = *in.GetFilter(b);
            band.SetType(pick(0, 2));
            band.SetFrequency(pick(10, 30000));
            band.SetGainIndex(pick(0, 450));
            band.SetBandwidthIndex(pick(0, fine ? 295 : 59));
            band.SetSlope(pick(0, 1));
        }
        for (CFilter* section : {in.GetHighPass(), in.GetLowPass()}) {
            section->SetFrequency(pick(10, 30000));
            section->SetCrossoverType(pick(0, 2));
            section->SetSlope(pick(0, 3));
        }
    }
    for (int o = 0; o < program.GetOutputCount(); ++o) {
        CAudio_OutData& out = *program.GetOutput(o);
        out.SetName(VariedName(random, "Out"));
        out.SetOn(static_cast<std::uint8_t>(pick(0, 1)));
        out.SetPolarity(static_cast<std::uint8_t>(pick(0, 1)));
        out.SetGain(pick(0, fine ? 550 : 560));
        out.SetDelay(pick(0, fine ? 52473 : 1465));
        out.SetSourceMask(static_cast<std::uint8_t>(pick(0, 15)));
        for (int b = 0; b < 6; ++b) {
            CFilter& band = *out.GetFilter(b);
            band.SetType(pick(0, 2));
            band.SetFrequency(pick(10, 30000));
            band.SetGainIndex(pick(0, 450));
            band.SetBandwidthIndex(pick(0, fine ? 295 : 59));
            band.SetSlope(pick(0, 1));
        }
        for (CFilter* section : {out.GetHighPass(), out.GetLowPass()}) {
            section->SetFrequency(pick(10, 30000));
            section->SetCrossoverType(pick(0, 2));
            section->SetSlope(pick(0, 3));
        }
        out.SetLimitThreshold(pick(0, 500));
        out.SetAttack(static_cast<std::uint8_t>(pick(0, 106)));
        out.SetRelease(static_cast<std::uint8_t>(pick(0, 5)));
        out.SetClipLimit(pick(0, 100));
        out.SetRatio(pick(0, 7));
        out.SetCompressorMode(pick(0, 1));
        out.SetAutoTiming(o == 2 ? 1 : 0);
    }
}

// Offsets at which two payloads differ, for readable failures.
inline std::vector<std::size_t> Differences(const Bytes& a, const Bytes& b) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i >= a.size() || i >= b.size() || a[i] != b[i]) {
            at.push_back(i);
        }
    }
    return at;
}

// Two programs hold the same parameters when they encode to the same whole-channel records.
inline void ExpectSameChannels(CAudio_Data& expected, CAudio_Data& actual) {
    ProgramEncoder want(expected);
    ProgramEncoder got(actual);
    const std::vector<std::size_t> none;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Differences(PayloadOf(want.WriteInputChannel(0, i)),
                              PayloadOf(got.WriteInputChannel(0, i))),
                  none)
            << "input " << i;
    }
    for (int o = 0; o < 8; ++o) {
        EXPECT_EQ(Differences(PayloadOf(want.WriteOutputChannel(0, o)),
                              PayloadOf(got.WriteOutputChannel(0, o))),
                  none)
            << "output " << o;
    }
}

// A stored-program image with varied in-range values of a device type (manual timing and the
// aux bytes at 0, as the encoders send them).
inline ProgramImage VariedImage(int type, unsigned seed) {
    std::mt19937 random(seed);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const bool fine = type == 1;
    const auto band = [&](BandImage& b) {
        b.frequency = static_cast<std::uint16_t>(pick(10, 30000));
        b.gain = static_cast<std::uint16_t>(pick(0, 450));
        b.bandwidth = static_cast<std::uint16_t>(pick(0, fine ? 295 : 59));
        b.shelfSlope = static_cast<std::uint8_t>(pick(0, 1));
        b.type = static_cast<std::uint8_t>(pick(0, 2));
    };
    const auto crossover = [&](CrossoverImage& c) {
        c.frequency = static_cast<std::uint16_t>(pick(10, 30000));
        c.type = static_cast<std::uint8_t>(pick(0, 2));
        c.slope = static_cast<std::uint8_t>(pick(0, 3));
    };
    ProgramImage image;
    image.name = VariedName(random, "Bank");
    for (InputImage& in : image.inputs) {
        for (BandImage& b : in.bands) {
            band(b);
        }
        in.on = static_cast<std::uint8_t>(pick(0, 1));
        in.polarity = static_cast<std::uint8_t>(pick(0, 1));
        in.delay = static_cast<std::uint16_t>(pick(0, fine ? 52473 : 1465));
        in.gain = static_cast<std::uint16_t>(pick(0, fine ? 460 : 560));
        in.name = VariedName(random, "i");
        crossover(in.highPass);
        crossover(in.lowPass);
        in.gateThreshold = static_cast<std::uint8_t>(pick(0, fine ? 130 : 60));
    }
    for (OutputImage& out : image.outputs) {
        for (BandImage& b : out.bands) {
            band(b);
        }
        out.on = static_cast<std::uint8_t>(pick(0, 1));
        out.polarity = static_cast<std::uint8_t>(pick(0, 1));
        out.delay = static_cast<std::uint16_t>(pick(0, fine ? 52473 : 1465));
        out.gain = static_cast<std::uint16_t>(pick(0, fine ? 550 : 560));
        out.sourceMask = static_cast<std::uint8_t>(pick(0, 15));
        crossover(out.highPass);
        crossover(out.lowPass);
        out.limitThreshold = static_cast<std::uint16_t>(pick(0, 500));
        out.attack = static_cast<std::uint8_t>(pick(0, 106));
        out.release = static_cast<std::uint8_t>(pick(0, 5));
        out.clipLimit = static_cast<std::uint8_t>(pick(0, 100));
        out.ratio = static_cast<std::uint8_t>(pick(0, 7));
        out.mode = static_cast<std::uint8_t>(pick(0, 1));
        out.name = VariedName(random, "o");
    }
    return image;
}

} // namespace simtest
