#include "core/model/EditRules.h"

#include "core/model/Filter.h"
#include "core/model/InData.h"
#include "core/model/OutData.h"
#include "core/model/ParameterValues.h"

#include <algorithm>

std::string EditRuleText(EditRule rule) {
    switch (rule) {
    case EditRule::LowShelfFrequency:
        return "Low shelf above 20000 Hz";
    case EditRule::CrossoverOrder:
        return "High-pass above low-pass";
    case EditRule::OutputSource:
        return "Output without a source";
    case EditRule::LimiterTiming:
        return "Limiter with automatic timing";
    case EditRule::FlatBandOn:
        return "Band at 0.0 dB switched on";
    case EditRule::GateSwitch:
        return "No noise gate switch on this model";
    }
    return {};
}

namespace EditRules {

int BandFrequency(int type, int hz) {
    return LimitEqBandFrequency(type, hz);
}

int HighPassFrequency(int hz, int lowPassHz) {
    return std::min(hz, lowPassHz);
}

int LowPassFrequency(int hz, int highPassHz) {
    return std::max(hz, highPassHz);
}

bool SourceMaskAllowed(std::uint8_t mask, int deviceType) {
    return mask != 0 || !UsesCompactRules(deviceType);
}

bool TimingAllowed(int mode, int timing) {
    return timing == 0 || mode != 0;
}

bool BandCanBeOn(int gainIndex) {
    return gainIndex != EqGainZeroIndex;
}

bool HasGateSwitch(int deviceType) {
    return !UsesCompactRules(deviceType);
}

bool KeepsLowShelfFrequency(const CFilter& band) {
    return BandFrequency(band.GetType(), band.GetFrequency()) == band.GetFrequency();
}

bool KeepsFlatBandOff(const CFilter& band) {
    return band.IsFlat() != 0 || BandCanBeOn(band.GetGainIndex());
}

bool KeepsCrossoverOrder(const CFilter& highPass, const CFilter& lowPass) {
    return HighPassFrequency(highPass.GetFrequency(), lowPass.GetFrequency()) ==
           highPass.GetFrequency();
}

bool KeepsOutputSource(const CAudio_OutData& output) {
    return SourceMaskAllowed(output.GetSourceMask(), output.GetDeviceType());
}

bool KeepsLimiterTiming(const CAudio_OutData& output) {
    return TimingAllowed(output.GetCompressorMode(), output.GetAutoTiming());
}

bool KeepsGateSwitch(const CAudio_InData& input) {
    return input.GetGateOff() == 0 || HasGateSwitch(input.GetDeviceType());
}

} // namespace EditRules
