#include "core/model/ChannelEdits.h"

#include "core/model/EditRules.h"
#include "core/model/Filter.h"
#include "core/model/InData.h"
#include "core/model/OutData.h"

namespace {

// A limiter left with automatic timing by a file or a device: its editor shows it as manual.
void DropLimiterAutoTiming(CAudio_OutData& output) {
    if (!EditRules::KeepsLimiterTiming(output)) {
        output.SetAutoTiming(0);
    }
}

} // namespace

namespace ChannelEdits {

int SetBandType(CFilter& band, int type) {
    const int hz = EditRules::BandFrequency(type, band.GetFrequency());
    if (hz != band.GetFrequency()) {
        band.SetFrequency(hz);
    }
    band.SetType(type);
    return hz;
}

int SetBandFrequency(CFilter& band, int hz) {
    const int kept = EditRules::BandFrequency(band.GetType(), hz);
    band.SetFrequency(kept);
    return kept;
}

void SetBandGain(CFilter& band, int gainIndex) {
    band.SetGainIndex(gainIndex);
}

bool SwitchBand(CFilter& band, bool on) {
    if (on && !EditRules::BandCanBeOn(band.GetGainIndex())) {
        return false;
    }
    band.SetFlat(on ? 0 : 1);
    return true;
}

int SetHighPassFrequency(CAudio_OutData& output, int hz) {
    const int previousClass = output.GetHighPassClass();
    const int kept = EditRules::HighPassFrequency(hz, output.GetLowPass()->GetFrequency());
    output.GetHighPass()->SetFrequency(kept);
    FollowHighPass(output, previousClass);
    return kept;
}

int SetLowPassFrequency(CAudio_OutData& output, int hz) {
    const int kept = EditRules::LowPassFrequency(hz, output.GetHighPass()->GetFrequency());
    output.GetLowPass()->SetFrequency(kept);
    return kept;
}

bool DragCrossover(CAudio_OutData& output, CFilter& section, CPoint point, CPoint grabOffset) {
    const bool highPass = &section == output.GetHighPass();
    const CFilter* other = highPass ? output.GetLowPass() : output.GetHighPass();
    const int previousClass = output.GetHighPassClass();
    const bool changed = section.DragCrossoverTo(point, grabOffset, other->GetFrequency());
    if (highPass) {
        FollowHighPass(output, previousClass);
    }
    return changed;
}

void FollowHighPass(CAudio_OutData& output, int previousHighPassClass) {
    if (output.GetAutoTiming() != 0 && output.GetHighPassClass() != previousHighPassClass) {
        output.SetDynamicsChanged(1);
    }
}

bool SetSourceMask(CAudio_OutData& output, std::uint8_t mask) {
    if (!EditRules::SourceMaskAllowed(mask, output.GetDeviceType())) {
        return false;
    }
    output.SetSourceMask(mask);
    return true;
}

void SetCompressorMode(CAudio_OutData& output, int mode) {
    DropLimiterAutoTiming(output);
    if (!EditRules::TimingAllowed(mode, output.GetAutoTiming())) {
        output.SetAutoTiming(0);
    }
    output.SetCompressorMode(mode);
}

bool SetAutoTiming(CAudio_OutData& output, int timing) {
    if (!EditRules::TimingAllowed(output.GetCompressorMode(), timing)) {
        return false;
    }
    output.SetAutoTiming(timing);
    return true;
}

void SetAttack(CAudio_OutData& output, std::uint8_t attack) {
    DropLimiterAutoTiming(output);
    output.SetAttack(attack);
}

void SetRelease(CAudio_OutData& output, std::uint8_t release) {
    DropLimiterAutoTiming(output);
    output.SetRelease(release);
}

bool SetGateOff(CAudio_InData& input, std::uint8_t off) {
    if (off != 0 && !EditRules::HasGateSwitch(input.GetDeviceType())) {
        return false;
    }
    input.SetGateOff(off);
    return true;
}

} // namespace ChannelEdits
