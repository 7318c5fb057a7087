#include "core/model/ParameterText.h"

#include "core/model/AudioData.h"
#include "core/model/NumberText.h"
#include "core/model/ParameterValues.h"
#include "core/model/Variant.h"

#include <algorithm>

namespace {

using Section = ParameterSection;

const char* const kInputLetters = "ABCD";

std::string OnOff(bool on) {
    return on ? "on" : "off";
}

std::string SourceText(std::uint8_t mask, int inputs) {
    std::string text;
    for (int i = 0; i < inputs; ++i) {
        if ((mask & (1u << i)) != 0) {
            text += (text.empty() ? "" : "+") + std::string(1, kInputLetters[i]);
        }
    }
    return text.empty() ? "none" : text;
}

std::string ChannelValue(const CAudio_Channel& channel, const std::string& field, int type) {
    if (field == "name") {
        return "\"" + channel.GetName() + "\"";
    }
    if (field == "mute") {
        return OnOff(channel.GetOn() == 0);
    }
    if (field == "polarity") {
        return channel.GetPolarity() != 0 ? "invert" : "normal";
    }
    if (field == "gain") {
        return ChannelGainText(channel.GetGain(), type);
    }
    if (field == "delay") {
        return DelayText(channel.GetDelay(), type);
    }
    return {};
}

std::string EqValue(const CFilter& band, const std::string& field) {
    const bool peaking = band.GetType() == CFilter::Peaking;
    const bool on = band.IsFlat() == 0;
    if (field == "type") {
        return band.GetType() == CFilter::LowShelf
                   ? "LoShelf"
                   : (band.GetType() == CFilter::HighShelf ? "HiShelf" : "PEQ");
    }
    if (field == "freq") {
        return FrequencyText(band.GetFrequency());
    }
    if (field == "gain") {
        return on ? EqGainText(band.GetGain(), false) : std::string();
    }
    if (field == "bw") {
        return peaking ? BandwidthText(band.GetBandwidth()) : std::string();
    }
    if (field == "q") {
        return peaking ? QText(band.GetQ()) : std::string();
    }
    if (field == "slope") {
        return peaking ? std::string() : ShelfSlopeListText(band.GetSlope());
    }
    if (field == "on") {
        return OnOff(on);
    }
    return {};
}

std::string CrossoverValue(const CFilter& filter, const std::string& field) {
    if (field == "type") {
        return CrossoverTypeText(filter.GetCrossoverType());
    }
    if (field == "freq") {
        return FrequencyText(filter.GetFrequency());
    }
    if (field == "slope") {
        return SlopeEditText(filter.GetSlope());
    }
    return {};
}

std::string LimiterValue(const CAudio_OutData& output, const std::string& field) {
    const bool compressor = output.GetCompressorMode() != 0;
    // The output's own texts leave out what its mode and timing make meaningless.
    if (field == "mode") {
        return compressor ? "compressor" : "limit";
    }
    if (field == "timing") {
        return compressor ? (output.GetAutoTiming() != 0 ? "auto" : "manual") : std::string();
    }
    if (field == "threshold") {
        return output.GetThresholdText();
    }
    if (field == "attack") {
        return output.GetAttackText();
    }
    if (field == "release") {
        return output.GetReleaseText();
    }
    if (field == "clip") {
        return output.GetClipLimitText();
    }
    if (field == "ratio") {
        return output.GetRatioText();
    }
    return {};
}

} // namespace

namespace ParameterText {

const std::vector<std::string>& Fields(ParameterSection section) {
    static const std::vector<std::string> channel{"name",  "mute", "polarity", "gain",
                                                  "delay", "gate", "source"};
    // "on" after "gain": a gain sets the band's switch, the switch then says what it is.
    static const std::vector<std::string> eq{"type", "freq", "gain", "bw", "q", "slope", "on"};
    static const std::vector<std::string> crossover{"type", "freq", "slope"};
    static const std::vector<std::string> limiter{"mode",    "timing", "threshold", "attack",
                                                  "release", "clip",   "ratio"};
    switch (section) {
    case Section::Channel:
        return channel;
    case Section::Eq:
        return eq;
    case Section::HighPass:
    case Section::LowPass:
        return crossover;
    case Section::Limiter:
        return limiter;
    }
    return channel;
}

bool HasField(ParameterSection section, const std::string& field, bool output) {
    const std::vector<std::string>& fields = Fields(section);
    if (std::find(fields.begin(), fields.end(), field) == fields.end()) {
        return false;
    }
    switch (section) {
    case Section::Channel:
        return field == "gate" ? !output : (field == "source" ? output : true);
    case Section::Eq:
        return true;
    case Section::HighPass:
    case Section::LowPass:
    case Section::Limiter:
        return output;
    }
    return false;
}

bool IsAlias(ParameterSection section, const std::string& field) {
    return section == Section::Eq && field == "q";
}

std::string ChannelName(bool output, int channel) {
    return (output ? "out" : "in") + std::to_string(channel + 1);
}

std::string Name(const ParameterRef& ref) {
    std::string name = ChannelName(ref.output, ref.channel) + ".";
    switch (ref.section) {
    case Section::Channel:
        break;
    case Section::Eq:
        name += "eq" + std::to_string(ref.band + 1) + ".";
        break;
    case Section::HighPass:
        name += "hpf.";
        break;
    case Section::LowPass:
        name += "lpf.";
        break;
    case Section::Limiter:
        name += "limiter.";
        break;
    }
    return name + ref.field;
}

std::vector<ParameterRef> Parameters(int deviceType) {
    const Variant& variant = Variant::OfDeviceType(deviceType);
    std::vector<ParameterRef> refs;
    for (const bool output : {false, true}) {
        const int channels = output ? variant.outputCount : variant.inputCount;
        const int bands = output ? variant.outputEqBands : variant.inputEqBands;
        for (int channel = 0; channel < channels; ++channel) {
            const auto add = [&](Section section, int band) {
                for (const std::string& field : Fields(section)) {
                    if (HasField(section, field, output)) {
                        refs.push_back({output, channel, section, band, field});
                    }
                }
            };
            add(Section::Channel, 0);
            for (int band = 0; band < bands; ++band) {
                add(Section::Eq, band);
            }
            if (output) {
                add(Section::HighPass, 0);
                add(Section::LowPass, 0);
                add(Section::Limiter, 0);
            }
        }
    }
    return refs;
}

std::string Value(const CAudio_Data& program, const ParameterRef& ref) {
    const int type = program.GetDeviceType();
    const CAudio_Channel* channel =
        ref.output ? static_cast<const CAudio_Channel*>(program.GetOutput(ref.channel))
                   : program.GetInput(ref.channel);
    if (channel == nullptr) {
        return {};
    }
    switch (ref.section) {
    case Section::Channel:
        if (ref.field == "gate" && !ref.output) {
            const CAudio_InData& input = *program.GetInput(ref.channel);
            return input.GetGateOff() != 0 ? "off"
                                           : GateThresholdText(input.GetGateThreshold(), false);
        }
        if (ref.field == "source" && ref.output) {
            return SourceText(program.GetOutput(ref.channel)->GetSourceMask(),
                              Variant::OfDeviceType(type).inputCount);
        }
        return ChannelValue(*channel, ref.field, type);
    case Section::Eq: {
        const CFilter* band =
            ref.band < channel->GetFilterCount() - 2 ? channel->GetFilter(ref.band) : nullptr;
        return band != nullptr ? EqValue(*band, ref.field) : std::string();
    }
    case Section::HighPass:
    case Section::LowPass: {
        if (!ref.output) {
            return {};
        }
        const CAudio_OutData& output = *program.GetOutput(ref.channel);
        const int last = output.GetFilterCount() - 1;
        return CrossoverValue(*output.GetFilter(ref.section == Section::LowPass ? last : last - 1),
                              ref.field);
    }
    case Section::Limiter:
        return ref.output ? LimiterValue(*program.GetOutput(ref.channel), ref.field)
                          : std::string();
    }
    return {};
}

std::vector<ParameterEntry> List(const CAudio_Data& program) {
    std::vector<ParameterEntry> entries;
    for (const ParameterRef& ref : Parameters(program.GetDeviceType())) {
        if (IsAlias(ref.section, ref.field)) {
            continue;
        }
        std::string value = Value(program, ref);
        if (!value.empty()) {
            entries.push_back({Name(ref), std::move(value)});
        }
    }
    return entries;
}

} // namespace ParameterText
