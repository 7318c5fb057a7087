// The PARAM names of "sonvex-cli set" that the shell completion offers, against the parser:
// of every name that can be formed around the model's channels, bands, groups and fields (and
// one past each end), the list holds exactly those the parser takes. And the parameters as
// diff and --verify print them, given back to the parser.

#include "ParamAssignment.h"

#include "core/model/AudioData.h"
#include "core/model/ParameterDiff.h"
#include "core/model/ParameterText.h"
#include "core/model/ParameterValues.h"
#include "core/model/Variant.h"

#include <algorithm>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

bool Listed(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

TEST(CliParamNamesTest, TheListHoldsExactlyTheNamesTheParserTakes) {
    const std::vector<std::string> fields{
        "gain",   "mute",    "polarity", "delay", "name", "gate",   "source",
        "type",   "freq",    "q",        "bw",    "on",   "slope",  "threshold",
        "attack", "release", "clip",     "ratio", "mode", "timing", "bogus"};
    std::vector<std::string> groups{"", "hpf.", "lpf.", "limiter.", "xover."};
    for (int band = 0; band <= 10; ++band) {
        groups.push_back("eq" + std::to_string(band) + ".");
    }
    for (const Variant* variant : Variant::All()) {
        const int type = variant->deviceType;
        const std::vector<std::string> listed = ParameterNames(type);
        const std::set<std::string> names(listed.begin(), listed.end());
        EXPECT_EQ(names.size(), listed.size()) << variant->name << ": a name listed twice";
        std::size_t taken = 0;
        for (const std::string kind : {"in", "out"}) {
            for (int channel = 0; channel <= 9; ++channel) {
                for (const std::string& group : groups) {
                    for (const std::string& field : fields) {
                        const std::string name =
                            kind + std::to_string(channel) + "." + group + field;
                        ParamAssignment parsed;
                        std::string error;
                        if (ParseAssignment(name + "=1", type, parsed, error)) {
                            ++taken;
                            EXPECT_EQ(names.count(name), 1u)
                                << variant->name << ": " << name << " is taken but not listed";
                        }
                    }
                }
            }
        }
        EXPECT_EQ(taken, names.size()) << variant->name << ": listed names the parser refuses";
    }

    // What that means on the 4-in/8-out model.
    const std::vector<std::string> large = ParameterNames(Variant::FourByEight().deviceType);
    for (const char* name : {"in4.gate", "in1.eq8.freq", "out8.source", "out1.eq6.q",
                             "out1.hpf.slope", "out8.limiter.ratio"}) {
        EXPECT_TRUE(Listed(large, name)) << name;
    }
    for (const char* name : {"in5.gain", "out9.gain", "in1.eq9.freq", "out1.eq7.q", "out1.gate",
                             "in1.source", "in1.limiter.ratio", "out1.hpf.q"}) {
        EXPECT_FALSE(Listed(large, name)) << name;
    }
}

namespace {

// A program of deviceType with every parameter of every channel at a value drawn from its range.
std::unique_ptr<CAudio_Data> DrawnProgram(int deviceType, unsigned seed) {
    std::minstd_rand random(seed);
    const auto draw = [&random](IndexRange range) {
        return std::uniform_int_distribution<int>(range.min, range.max)(random);
    };
    auto program = std::make_unique<CAudio_Data>();
    program->SetDeviceType(deviceType);
    const auto bands = [&](CAudio_Channel& channel, int count) {
        for (int k = 0; k < count; ++k) {
            CFilter& band = *channel.GetFilter(k);
            band.SetType(draw(EqTypeRange));
            band.SetFrequency(draw(FrequencyRange));
            band.SetGainIndex(draw(EqGainRange));
            band.SetBandwidthIndex(draw(BandwidthRange(deviceType)));
            band.SetSlope(draw(ShelfSlopeRange));
            if (draw({0, 3}) == 0) {
                band.SetFlat(1);
            }
        }
    };
    const auto levels = [&](CAudio_Channel& channel, IndexRange gain) {
        channel.SetGain(draw(gain));
        channel.SetDelay(draw(DelayRange(deviceType)));
        channel.SetOn(static_cast<std::uint8_t>(draw({0, 1})));
        channel.SetPolarity(static_cast<std::uint8_t>(draw({0, 1})));
        channel.SetName(std::string("Ch ") + std::to_string(draw({0, 99999})));
    };
    const Variant& variant = Variant::OfDeviceType(deviceType);
    for (int i = 0; i < variant.inputCount; ++i) {
        CAudio_InData& input = *program->GetInput(i);
        levels(input, InputGainRange(deviceType));
        bands(input, variant.inputEqBands);
        input.SetGateThreshold(static_cast<std::uint8_t>(draw(GateThresholdRange(deviceType))));
        input.SetGateOff(static_cast<std::uint8_t>(draw({0, 1})));
    }
    for (int n = 0; n < variant.outputCount; ++n) {
        CAudio_OutData& output = *program->GetOutput(n);
        levels(output, OutputGainRange(deviceType));
        bands(output, variant.outputEqBands);
        output.SetSourceMask(static_cast<std::uint8_t>(draw({0, (1 << variant.inputCount) - 1})));
        for (CFilter* filter : {output.GetHighPass(), output.GetLowPass()}) {
            filter->SetFrequency(draw(FrequencyRange));
            filter->SetCrossoverType(draw(CrossoverTypeRange));
            filter->SetSlope(draw(CrossoverSlopeRange));
        }
        output.SetLimitThreshold(draw(LimitThresholdRange));
        output.SetAttack(static_cast<std::uint8_t>(draw(AttackRange)));
        output.SetRelease(static_cast<std::uint8_t>(draw(ReleaseRange)));
        output.SetClipLimit(draw(ClipLimitRange));
        output.SetRatio(draw(RatioRange));
        output.SetCompressorMode(draw({0, 1}));
        output.SetAutoTiming(draw({0, 1}));
    }
    return program;
}

} // namespace

// Every parameter listed with its value, given back to set as NAME=VALUE in the listed order,
// makes a program that lists the same: the names diff and --verify print are the ones set
// takes, and their texts read back to the same values.
TEST(CliParamNamesTest, ListedValuesGivenToSetMakeTheSameProgram) {
    for (const Variant* variant : Variant::All()) {
        const int type = variant->deviceType;
        for (unsigned seed = 1; seed <= 12; ++seed) {
            const std::unique_ptr<CAudio_Data> drawn = DrawnProgram(type, seed);
            const std::vector<ParameterEntry> listed = ParameterText::List(*drawn);
            auto rebuilt = std::make_unique<CAudio_Data>();
            rebuilt->SetDeviceType(type);
            for (const ParameterEntry& entry : listed) {
                std::string value = entry.value;
                if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                    value = value.substr(1, value.size() - 2); // a name, in quotes
                }
                ParamAssignment assignment;
                std::string error;
                ASSERT_TRUE(ParseAssignment(entry.name + "=" + value, type, assignment, error))
                    << error;
                ASSERT_TRUE(ApplyAssignment(assignment, *rebuilt, error)) << error;
            }
            const std::vector<ParameterDifference> differences =
                ParameterDiff::Compare(*drawn, *rebuilt, type);
            for (const ParameterDifference& difference : differences) {
                ADD_FAILURE() << variant->name << " seed " << seed << ": "
                              << ParameterDiff::Line(difference);
            }
            EXPECT_EQ(ParameterText::List(*rebuilt).size(), listed.size()) << variant->name;
        }
    }
}
