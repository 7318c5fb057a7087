#include "core/model/ChannelState.h"

#include "core/model/ChannelEdits.h"
#include "core/model/Filter.h"

#include <vector>

namespace {

bool SameSection(const CFilter& a, const CFilter& b) {
    return a.GetType() == b.GetType() && a.GetFrequency() == b.GetFrequency() &&
           a.GetGain() == b.GetGain() && a.IsFlat() == b.IsFlat() &&
           a.GetBandwidth() == b.GetBandwidth() && a.GetCrossoverType() == b.GetCrossoverType() &&
           a.GetSlope() == b.GetSlope();
}

// What inputs and outputs share.
void CompareShared(const CAudio_Channel& a, const CAudio_Channel& b, ChannelDifference& d) {
    d.name = a.GetName() != b.GetName();
    d.on = a.GetOn() != b.GetOn();
    d.polarity = a.GetPolarity() != b.GetPolarity();
    d.gain = a.GetGain() != b.GetGain();
    d.delay = a.GetDelay() != b.GetDelay();
    d.enabled = a.IsEnabled() != b.IsEnabled();
    for (int i = 0; i < a.GetFilterCount() && i < b.GetFilterCount(); ++i) {
        if (!SameSection(*a.GetFilter(i), *b.GetFilter(i))) {
            d.sections |= 1U << i;
        }
    }
}

template <class Channel> std::unique_ptr<Channel> CopyOf(const Channel& channel) {
    auto copy = std::make_unique<Channel>();
    copy->SetDeviceType(channel.GetDeviceType());
    copy->SetChannelIndex(channel.GetChannelIndex());
    copy->CopyFrom(channel);
    copy->SetEnabled(channel.IsEnabled());
    return copy;
}

// Copies state's values into channel, the sent frequencies of the sections staying, and marks
// the shared groups of difference changed.
template <class Channel>
void RestoreShared(Channel& channel, const Channel& state, const ChannelDifference& difference) {
    std::vector<int> sent;
    for (int i = 0; i < channel.GetFilterCount(); ++i) {
        sent.push_back(channel.GetFilter(i)->GetSentFrequency());
    }
    channel.CopyFrom(state);
    channel.SetEnabled(state.IsEnabled());
    for (int i = 0; i < channel.GetFilterCount(); ++i) {
        CFilter* section = channel.GetFilter(i);
        section->SetSentFrequency(sent[static_cast<std::size_t>(i)]);
        if (difference.Section(i)) {
            section->MarkChanged();
        }
    }
    if (difference.name) {
        channel.SetNameChanged(1);
    }
    if (difference.Levels()) {
        channel.SetParamsChanged(1);
    }
    channel.UpdateCurve();
}

} // namespace

namespace ChannelState {

ChannelDifference Compare(const CAudio_InData& first, const CAudio_InData& second) {
    ChannelDifference d;
    CompareShared(first, second, d);
    d.auxFlag = first.GetAuxFlag() != second.GetAuxFlag();
    d.gate = first.GetGateThreshold() != second.GetGateThreshold() ||
             first.GetGateOff() != second.GetGateOff();
    return d;
}

ChannelDifference Compare(const CAudio_OutData& first, const CAudio_OutData& second) {
    ChannelDifference d;
    CompareShared(first, second, d);
    d.sources = first.GetSourceMask() != second.GetSourceMask();
    d.dynamics =
        first.GetLimitThreshold() != second.GetLimitThreshold() ||
        first.GetAttack() != second.GetAttack() || first.GetRelease() != second.GetRelease() ||
        first.GetClipLimit() != second.GetClipLimit() || first.GetRatio() != second.GetRatio() ||
        first.GetCompressorMode() != second.GetCompressorMode() ||
        first.GetAutoTiming() != second.GetAutoTiming();
    return d;
}

std::unique_ptr<CAudio_InData> Copy(const CAudio_InData& channel) {
    return CopyOf(channel);
}

std::unique_ptr<CAudio_OutData> Copy(const CAudio_OutData& channel) {
    return CopyOf(channel);
}

void Restore(CAudio_InData& channel, const CAudio_InData& state) {
    const ChannelDifference difference = Compare(channel, state);
    RestoreShared(channel, state, difference);
    if (difference.gate) {
        channel.SetGateChanged(1);
    }
}

void Restore(CAudio_OutData& channel, const CAudio_OutData& state) {
    const ChannelDifference difference = Compare(channel, state);
    const int highPassClass = channel.GetHighPassClass();
    RestoreShared(channel, state, difference);
    if (difference.dynamics) {
        channel.SetDynamicsChanged(1);
    }
    ChannelEdits::FollowHighPass(channel, highPassClass);
}

} // namespace ChannelState
