// The command-line tool's parameter parser: the first byte picks the variant, the rest is read as
// lines, each one "sonvex-cli set" command whose PARAM=VALUE operands are separated by tabs, parsed
// and applied as the command does. A refused command comes with a message and changes nothing;
// whatever is accepted leaves a program that the channel editors could have made as well, and
// that survives everything a panel does with it.

#include "FuzzCheck.h"
#include "ParamAssignment.h"

#include "core/model/ChannelEdits.h"
#include "core/model/Variant.h"

#include <memory>
#include <sstream>

namespace {

std::vector<std::uint8_t> Archived(CAudio_Data& program) {
    CArchive ar;
    program.Serialize(ar);
    return ar.GetBuffer();
}

// ---- The same program made the editors' way ----
//
// Starting from a new program, every parameter of target is set as an operator would set it in
// the editors: through ChannelEdits where a rule governs the edit, and only with the controls an
// editor offers in the state it shows (the shelf slope while the band is a shelf, the bandwidth
// while it is "PEQ", clip limit, ratio and timing in "Compressor" mode, attack and release with
// manual timing, one source button at a time). Whatever the editors cannot reach comes out
// different from target.

void ReachBand(CFilter& band, const CFilter& target) {
    ChannelEdits::SetBandType(band, CFilter::HighShelf);
    band.SetSlope(target.GetSlope());
    ChannelEdits::SetBandType(band, CFilter::Peaking);
    band.SetBandwidthIndex(target.GetBandwidthIndex());
    ChannelEdits::SetBandType(band, target.GetType());
    ChannelEdits::SetBandFrequency(band, target.GetFrequency());
    ChannelEdits::SetBandGain(band, target.GetGainIndex());
    ChannelEdits::SwitchBand(band, target.IsFlat() == 0);
}

template <class Channel> void ReachCommon(Channel& channel, const Channel& target, int bands) {
    channel.SetName(target.GetName());
    channel.SetOn(target.GetOn());
    channel.SetPolarity(target.GetPolarity());
    channel.SetGain(target.GetGain());
    channel.SetDelay(target.GetDelay());
    for (int b = 0; b < bands; ++b) {
        ReachBand(*channel.GetFilter(b), *target.GetFilter(b));
    }
}

void ReachInput(CAudio_InData& input, const CAudio_InData& target, const Variant& variant) {
    ReachCommon(input, target, variant.inputEqBands);
    // The threshold is edited with the gate on.
    ChannelEdits::SetGateOff(input, 0);
    input.SetGateThreshold(target.GetGateThreshold());
    ChannelEdits::SetGateOff(input, target.GetGateOff());
}

void ReachOutput(CAudio_OutData& output, const CAudio_OutData& target, const Variant& variant) {
    ReachCommon(output, target, variant.outputEqBands);
    for (int input = 0; input < variant.inputCount; ++input) {
        const auto bit = static_cast<std::uint8_t>(1u << input);
        if ((target.GetSourceMask() & bit) != 0) {
            ChannelEdits::SetSourceMask(output,
                                        static_cast<std::uint8_t>(output.GetSourceMask() | bit));
        }
    }
    for (int input = 0; input < variant.inputCount; ++input) {
        const auto bit = static_cast<std::uint8_t>(1u << input);
        if ((target.GetSourceMask() & bit) == 0) {
            ChannelEdits::SetSourceMask(output,
                                        static_cast<std::uint8_t>(output.GetSourceMask() & ~bit));
        }
    }

    const CFilter& highPass = *target.GetEQ().GetHighPass();
    const CFilter& lowPass = *target.GetEQ().GetLowPass();
    ChannelEdits::SetHighPassFrequency(output, highPass.GetFrequency());
    ChannelEdits::SetLowPassFrequency(output, lowPass.GetFrequency());
    output.GetHighPass()->SetCrossoverType(highPass.GetCrossoverType());
    output.GetHighPass()->SetSlope(highPass.GetSlope());
    output.GetLowPass()->SetCrossoverType(lowPass.GetCrossoverType());
    output.GetLowPass()->SetSlope(lowPass.GetSlope());

    ChannelEdits::SetCompressorMode(output, 1);
    output.SetLimitThreshold(target.GetLimitThreshold());
    output.SetClipLimit(target.GetClipLimit());
    output.SetRatio(target.GetRatio());
    ChannelEdits::SetAttack(output, target.GetAttack());
    ChannelEdits::SetRelease(output, target.GetRelease());
    ChannelEdits::SetAutoTiming(output, target.GetAutoTiming());
    ChannelEdits::SetCompressorMode(output, target.GetCompressorMode());
}

// True when the editors can make target from a new program.
bool EditorsReach(CAudio_Data& target) {
    const Variant& variant = Variant::OfDeviceType(target.GetDeviceType());
    auto reached = std::make_unique<CAudio_Data>();
    reached->SetDeviceType(target.GetDeviceType());
    for (int i = 0; i < variant.inputCount; ++i) {
        ReachInput(*reached->GetInput(i), *target.GetInput(i), variant);
    }
    for (int o = 0; o < variant.outputCount; ++o) {
        ReachOutput(*reached->GetOutput(o), *target.GetOutput(o), variant);
    }
    return Archived(*reached) == Archived(target);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const int deviceType = fuzz::DeviceTypeOf(input.Byte());
    CAudio_Data program;
    program.SetDeviceType(deviceType);
    std::istringstream lines(input.Rest());
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<ParamAssignment> assignments;
        std::istringstream operands(line);
        std::string operand;
        std::string error;
        bool parsed = true;
        while (parsed && std::getline(operands, operand, '\t')) {
            ParamAssignment assignment;
            parsed = ParseAssignment(operand, deviceType, assignment, error);
            FUZZ_CHECK(parsed || !error.empty());
            assignments.push_back(assignment);
        }
        if (!parsed || assignments.empty()) {
            continue;
        }
        const std::vector<std::uint8_t> before = Archived(program);
        if (!ApplyAssignments(assignments, program, error)) {
            FUZZ_CHECK(!error.empty());
            FUZZ_CHECK(Archived(program) == before);
            continue;
        }
        FUZZ_CHECK(EditorsReach(program));
    }
    fuzz::UseProgram(program, deviceType, fuzz::SlowChecksFor(data, size));
    return 0;
}
