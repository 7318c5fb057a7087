#include "core/files/PresetFields.h"

#include "core/files/PresetValues.h"
#include "core/model/EditRules.h"
#include "core/model/Filter.h"
#include "core/model/NumberText.h"
#include "core/model/ParameterValues.h"

#include <cmath>
#include <functional>

using namespace preset;

namespace {

const std::vector<std::string> kBandTypes{"PEQ", "LoShelf", "HiShelf"};
const std::vector<std::string> kCrossoverTypes{"L_R", "Bessel", "BTWorth"};
const std::vector<std::string> kPolarities{"normal", "invert"};
const std::vector<std::string> kModes{"limit", "compressor"};
const std::vector<std::string> kTimings{"manual", "auto"};
const std::vector<int> kShelfSlopes{6, 12};
const std::vector<int> kCrossoverSlopes{12, 18, 24, 48};
const std::string kInputLetters = "ABCD";

JsonValue SectionToJson(const PresetSection& section, PresetForm form, int deviceType) {
    const bool full = form == PresetForm::ProgramFile;
    JsonValue json = JsonValue::Object();
    const bool band = section.sectionType < CFilter::HighPass;
    json.Add("type", band ? Choice(kBandTypes, section.sectionType)
                          : Choice(kCrossoverTypes, section.crossoverType));
    if (band && full) {
        json.Add("on", JsonValue::Bool(!section.flat));
    }
    json.Add("freq", JsonValue::Object().Add("Hz", JsonValue::Integer(section.frequency)));
    if (band) {
        const bool gainInRange = EqGainRange.Contains(section.gainIndex);
        const double gainOfIndex = EqGainIndexToDb(section.gainIndex);
        json.Add("gain", Indexed("dB",
                                 !gainInRange ? std::string()
                                 : full       ? ExactText(section.gain, gainOfIndex, 1)
                                              : FixedText(gainOfIndex, 1),
                                 section.gainIndex));
        const bool bwInRange = BandwidthRange(deviceType).Contains(section.bandwidthIndex);
        const double octavesOfIndex = BandwidthIndexToOctaves(section.bandwidthIndex, deviceType);
        JsonValue bw = Indexed("oct",
                               !bwInRange ? std::string()
                               : full     ? ExactText(section.bandwidth, octavesOfIndex, 2)
                                          : FixedText(octavesOfIndex, 2),
                               section.bandwidthIndex);
        if (bwInRange) {
            bw.Add("Q", JsonValue::NumberText(
                            QText(BandwidthIndexToQ(section.bandwidthIndex, deviceType))));
        }
        json.Add("bw", bw);
        const bool slopeInRange = ShelfSlopeRange.Contains(section.slope);
        json.Add("slope",
                 Indexed("dB",
                         slopeInRange ? IntegerText(kShelfSlopes[std::size_t(section.slope)]) : "",
                         section.slope));
        if (full) {
            json.Add("kept", JsonValue::Object()
                                 .Add("sent_Hz", JsonValue::Integer(section.sentFrequency))
                                 .Add("xover", Choice(kCrossoverTypes, section.crossoverType)));
        }
        return json;
    }
    const bool slopeInRange = CrossoverSlopeRange.Contains(section.slope);
    json.Add("slope",
             Indexed("dB/oct",
                     slopeInRange ? IntegerText(kCrossoverSlopes[std::size_t(section.slope)]) : "",
                     section.slope));
    if (full) {
        json.Add("kept", JsonValue::Object()
                             .Add("sent_Hz", JsonValue::Integer(section.sentFrequency))
                             .Add("gain_dB", JsonValue::Double(section.gain))
                             .Add("flat", JsonValue::Bool(section.flat))
                             .Add("bw_oct", JsonValue::Double(section.bandwidth)));
    }
    return json;
}

PresetSection SectionFromJson(const JsonValue& json, const std::string& path, int sectionType,
                              PresetForm form, int deviceType,
                              std::vector<std::string>& ruleBreaks) {
    const bool full = form == PresetForm::ProgramFile;
    const bool band = sectionType < CFilter::HighPass;
    PresetSection section;
    section.sectionType = sectionType;
    std::vector<std::string> keys{"type", "freq", "slope"};
    if (band) {
        keys.insert(keys.end(), {"gain", "bw"});
    }
    if (full) {
        keys.push_back("kept");
        if (band) {
            keys.push_back("on");
        }
    }
    PresetOnlyKeys(json, path, keys);
    const JsonValue& type = PresetMember(json, path, "type");
    const JsonValue& freq = PresetMember(json, path, "freq");
    PresetOnlyKeys(freq, Sub(path, "freq"), {"Hz"});
    section.frequency = PresetInteger(PresetMember(freq, Sub(path, "freq"), "Hz"),
                                      Sub(path, "freq.Hz"), MinFrequency, MaxFrequency);
    const JsonValue& slope = PresetMember(json, path, "slope");
    if (!band) {
        section.crossoverType = ReadChoice(type, Sub(path, "type"), kCrossoverTypes);
        section.slope = ReadIndexed(
            slope, Sub(path, "slope"), "dB/oct", CrossoverSlopeRange,
            [](int i) { return kCrossoverSlopes[static_cast<std::size_t>(i)]; }, 0);
        if (full) {
            const JsonValue& kept = PresetMember(json, path, "kept");
            const std::string at = Sub(path, "kept");
            PresetOnlyKeys(kept, at, {"sent_Hz", "gain_dB", "flat", "bw_oct"});
            section.sentFrequency = PresetInteger(PresetMember(kept, at, "sent_Hz"),
                                                  Sub(at, "sent_Hz"), MinFrequency, MaxFrequency);
            section.gain = ReadDouble(PresetMember(kept, at, "gain_dB"), Sub(at, "gain_dB"));
            section.flat = ReadBool(PresetMember(kept, at, "flat"), Sub(at, "flat"));
            section.bandwidth = ReadDouble(PresetMember(kept, at, "bw_oct"), Sub(at, "bw_oct"));
            if (section.gain < MinEqGainDb || section.gain > MaxEqGainDb) {
                PresetFail(kept, Sub(at, "gain_dB"), "outside -30.0..15.0 dB");
            }
            if (section.bandwidth < MinBandwidth || section.bandwidth > MaxBandwidth) {
                PresetFail(kept, Sub(at, "bw_oct"), "outside 0.05..3.00 oct");
            }
        }
        return section;
    }
    section.sectionType = ReadChoice(type, Sub(path, "type"), kBandTypes);
    if (EditRules::BandFrequency(section.sectionType, section.frequency) != section.frequency) {
        PresetRule(freq, Sub(path, "freq.Hz"), EditRule::LowShelfFrequency, ruleBreaks);
    }
    section.slope = ReadIndexed(
        slope, Sub(path, "slope"), "dB", ShelfSlopeRange,
        [](int i) { return kShelfSlopes[static_cast<std::size_t>(i)]; }, 0);
    const JsonValue& gain = PresetMember(json, path, "gain");
    const JsonValue& bw = PresetMember(json, path, "bw");
    const IndexRange bwRange = BandwidthRange(deviceType);
    if (!full) {
        section.gainIndex =
            ReadIndexed(gain, Sub(path, "gain"), "dB", EqGainRange, EqGainIndexToDb, 1);
        JsonValue plain = JsonValue::Object();
        PresetOnlyKeys(bw, Sub(path, "bw"), {"oct", "index", "Q"});
        for (const auto& member : bw.members()) {
            if (member.first != "Q") {
                plain.Add(member.first, member.second);
            }
        }
        section.bandwidthIndex = ReadIndexed(
            plain, Sub(path, "bw"), "oct", bwRange,
            [deviceType](int i) { return BandwidthIndexToOctaves(i, deviceType); }, 2);
    } else {
        // The doubles the file archives; their index must be the one the model gives them.
        PresetOnlyKeys(gain, Sub(path, "gain"), {"dB", "index"});
        section.gainIndex =
            PresetInteger(PresetMember(gain, Sub(path, "gain"), "index"), Sub(path, "gain.index"),
                          EqGainRange.min, EqGainRange.max);
        const JsonValue& dB = PresetMember(gain, Sub(path, "gain"), "dB");
        section.gain = ReadExact(dB, Sub(path, "gain.dB"), EqGainIndexToDb(section.gainIndex), 1);
        PresetOnlyKeys(bw, Sub(path, "bw"), {"oct", "index", "Q"});
        section.bandwidthIndex = PresetInteger(PresetMember(bw, Sub(path, "bw"), "index"),
                                               Sub(path, "bw.index"), bwRange.min, bwRange.max);
        const JsonValue& oct = PresetMember(bw, Sub(path, "bw"), "oct");
        section.bandwidth =
            ReadExact(oct, Sub(path, "bw.oct"),
                      BandwidthIndexToOctaves(section.bandwidthIndex, deviceType), 2);
        CFilter scratch;
        scratch.SetDeviceType(deviceType);
        scratch.SetGain(section.gain);
        scratch.SetBandwidth(section.bandwidth);
        if (section.gain < MinEqGainDb || section.gain > MaxEqGainDb ||
            scratch.GetGainIndex() != section.gainIndex) {
            PresetFail(dB, Sub(path, "gain.dB"),
                       dB.text() + " dB is not index " + IntegerText(section.gainIndex));
        }
        if (section.bandwidth < MinBandwidth || section.bandwidth > MaxBandwidth ||
            scratch.GetBandwidthIndex() != section.bandwidthIndex) {
            PresetFail(oct, Sub(path, "bw.oct"),
                       oct.text() + " oct is not index " + IntegerText(section.bandwidthIndex));
        }
        section.flat = !ReadBool(PresetMember(json, path, "on"), Sub(path, "on"));
        if (!section.flat && !EditRules::BandCanBeOn(section.gainIndex)) {
            PresetRule(json, Sub(path, "on"), EditRule::FlatBandOn, ruleBreaks);
        }
        const JsonValue& kept = PresetMember(json, path, "kept");
        const std::string at = Sub(path, "kept");
        PresetOnlyKeys(kept, at, {"sent_Hz", "xover"});
        section.sentFrequency = PresetInteger(PresetMember(kept, at, "sent_Hz"), Sub(at, "sent_Hz"),
                                              MinFrequency, MaxFrequency);
        section.crossoverType =
            ReadChoice(PresetMember(kept, at, "xover"), Sub(at, "xover"), kCrossoverTypes);
    }
    if (const JsonValue* q = bw.Find("Q")) {
        const double expected = BandwidthIndexToQ(section.bandwidthIndex, deviceType);
        if (std::fabs(ReadDouble(*q, Sub(path, "bw.Q")) - expected) > 0.0005) {
            PresetFail(*q, Sub(path, "bw.Q"),
                       "Q " + q->text() + " is not that of index " +
                           IntegerText(section.bandwidthIndex) + " (" + QText(expected) + ")");
        }
    }
    return section;
}

std::string SourceText(int mask) {
    std::string text;
    for (std::size_t i = 0; i < kInputLetters.size(); ++i) {
        if ((mask & (1 << i)) != 0) {
            text += (text.empty() ? "" : "+") + kInputLetters.substr(i, 1);
        }
    }
    return text.empty() ? "none" : text;
}

} // namespace

void PresetFail(const JsonValue& value, const std::string& path, const std::string& what) {
    throw PresetFault("line " + IntegerText(value.line()) + ": " +
                      (path.empty() ? "" : path + ": ") + what);
}

const JsonValue& PresetMember(const JsonValue& object, const std::string& path,
                              const std::string& key) {
    const JsonValue* member = object.Find(key);
    if (member == nullptr) {
        PresetFail(object, path, "'" + key + "' is missing");
    }
    return *member;
}

void PresetOnlyKeys(const JsonValue& object, const std::string& path,
                    const std::vector<std::string>& keys) {
    if (object.kind() != JsonValue::Kind::Object) {
        PresetFail(object, path, "an object {...} expected");
    }
    for (const auto& member : object.members()) {
        bool known = false;
        for (const std::string& key : keys) {
            known = known || key == member.first;
        }
        if (!known) {
            PresetFail(member.second, Sub(path, member.first), "unknown key");
        }
    }
}

std::string PresetString(const JsonValue& value, const std::string& path) {
    if (value.kind() != JsonValue::Kind::String) {
        PresetFail(value, path, "a text in double quotes expected");
    }
    return value.text();
}

int PresetInteger(const JsonValue& value, const std::string& path, int low, int high) {
    long long number = 0;
    const std::string& text = value.text();
    if (value.kind() != JsonValue::Kind::Number || text.find_first_of(".eE") != std::string::npos ||
        text.size() > 12) {
        PresetFail(value, path, "a whole number expected");
    }
    number = std::stoll(text);
    if (number < low || number > high) {
        PresetFail(value, path,
                   text + " is outside " + IntegerText(low) + ".." + IntegerText(high));
    }
    return static_cast<int>(number);
}

JsonValue ChannelToJson(const PresetChannel& c, PresetForm form, int deviceType) {
    JsonValue json = JsonValue::Object();
    json.Add("name", JsonValue::String(c.name));
    json.Add("on", c.on == 0 || c.on == 1 ? JsonValue::Bool(c.on == 1) : JsonValue::Integer(c.on));
    json.Add("polarity", Choice(kPolarities, c.polarity));
    const IndexRange gainRange =
        c.output ? OutputGainRange(deviceType) : InputGainRange(deviceType);
    json.Add("gain",
             Indexed("dB",
                     gainRange.Contains(c.gain) ? FixedText(ChannelGainToDb(c.gain, deviceType), 1)
                                                : std::string(),
                     c.gain));
    json.Add("delay", Indexed("ms",
                              DelayRange(deviceType).Contains(c.delay)
                                  ? FixedText(DelayIndexToMs(c.delay, deviceType), 4)
                                  : std::string(),
                              c.delay));
    if (!c.output) {
        json.Add("gate", Indexed("dBu", FixedText(GateThresholdToDbu(c.gateThreshold), 1),
                                 c.gateThreshold));
        json.Add("gate_off", c.gateOff == 0 || c.gateOff == 1 ? JsonValue::Bool(c.gateOff == 1)
                                                              : JsonValue::Integer(c.gateOff));
        json.Add("aux", JsonValue::Object()
                            .Add("flag", JsonValue::Integer(c.auxFlag))
                            .Add("value", JsonValue::Integer(c.auxValue)));
    } else {
        json.Add("source", JsonValue::Object()
                               .Add("inputs", JsonValue::String(SourceText(c.sourceMask)))
                               .Add("mask", JsonValue::Integer(c.sourceMask)));
        JsonValue limiter = JsonValue::Object();
        limiter.Add("threshold", Indexed("dBu",
                                         LimitThresholdRange.Contains(c.limitThreshold)
                                             ? FixedText(LimitThresholdToDbu(c.limitThreshold), 1)
                                             : std::string(),
                                         c.limitThreshold));
        limiter.Add("attack",
                    Indexed("ms",
                            AttackRange.Contains(c.attack) ? FixedText(AttackIndexToMs(c.attack), 1)
                                                           : std::string(),
                            c.attack));
        limiter.Add("release", JsonValue::Object()
                                   .Add("text", JsonValue::String(ReleaseText(c.release)))
                                   .Add("index", JsonValue::Integer(c.release)));
        limiter.Add("clip", Indexed("value",
                                    ClipLimitRange.Contains(c.clipLimit)
                                        ? FixedText(ClipLimitValue(c.clipLimit), 1)
                                        : std::string(),
                                    c.clipLimit));
        limiter.Add("ratio", JsonValue::Object()
                                 .Add("text", JsonValue::String(RatioText(c.ratio)))
                                 .Add("index", JsonValue::Integer(c.ratio)));
        limiter.Add("mode", Choice(kModes, c.mode));
        limiter.Add("timing", Choice(kTimings, c.timing));
        json.Add("limiter", limiter);
        JsonValue reserved = JsonValue::Object().Add("first", JsonValue::Integer(c.reserved1));
        if (form == PresetForm::ProgramFile) {
            reserved.Add("second", JsonValue::Integer(c.reserved2));
        }
        json.Add("reserved", reserved);
    }
    const std::size_t bands = c.sections.size() - 2;
    for (std::size_t i = 0; i < c.sections.size(); ++i) {
        const std::string key = i < bands    ? "eq" + IntegerText(static_cast<long long>(i) + 1)
                                : i == bands ? "hpf"
                                             : "lpf";
        json.Add(key, SectionToJson(c.sections[i], form, deviceType));
    }
    return json;
}

namespace {

// {"text": "4X", "index": 1}: an index with the text the panel shows for it.
int ReadTexted(const JsonValue& value, const std::string& path, IndexRange range,
               const std::function<std::string(int)>& text) {
    PresetOnlyKeys(value, path, {"text", "index"});
    const int index =
        PresetInteger(PresetMember(value, path, "index"), Sub(path, "index"), range.min, range.max);
    const JsonValue& shown = PresetMember(value, path, "text");
    if (PresetString(shown, Sub(path, "text")) != text(index)) {
        PresetFail(shown, Sub(path, "text"),
                   "'" + shown.text() + "' is not index " + IntegerText(index) + " ('" +
                       text(index) + "')");
    }
    return index;
}

} // namespace

PresetChannel ChannelFromJson(const JsonValue& json, const std::string& path, bool output,
                              int bandCount, PresetForm form, int deviceType,
                              std::vector<std::string>& ruleBreaks) {
    PresetChannel c;
    c.output = output;
    std::vector<std::string> keys{"name", "on", "polarity", "gain", "delay"};
    if (output) {
        keys.insert(keys.end(), {"source", "limiter", "reserved"});
    } else {
        keys.insert(keys.end(), {"gate", "gate_off", "aux"});
    }
    for (int i = 1; i <= bandCount; ++i) {
        keys.push_back("eq" + IntegerText(i));
    }
    keys.insert(keys.end(), {"hpf", "lpf"});
    PresetOnlyKeys(json, path, keys);
    const auto at = [&path](const std::string& key) { return Sub(path, key); };
    const auto member = [&](const std::string& key) -> const JsonValue& {
        return PresetMember(json, path, key);
    };
    c.name = PresetString(member("name"), at("name"));
    if (c.name.size() > 8) {
        PresetFail(member("name"), at("name"), "more than 8 characters");
    }
    c.on = ReadBool(member("on"), at("on")) ? 1 : 0;
    c.polarity = ReadChoice(member("polarity"), at("polarity"), kPolarities);
    c.gain = ReadIndexed(
        member("gain"), at("gain"), "dB",
        output ? OutputGainRange(deviceType) : InputGainRange(deviceType),
        [deviceType](int i) { return ChannelGainToDb(i, deviceType); }, 1);
    c.delay = ReadIndexed(
        member("delay"), at("delay"), "ms", DelayRange(deviceType),
        [deviceType](int i) { return DelayIndexToMs(i, deviceType); }, 4);
    if (!output) {
        c.gateThreshold = ReadIndexed(member("gate"), at("gate"), "dBu",
                                      GateThresholdRange(deviceType), GateThresholdToDbu, 1);
        c.gateOff = ReadBool(member("gate_off"), at("gate_off")) ? 1 : 0;
        if (c.gateOff != 0 && !EditRules::HasGateSwitch(deviceType)) {
            PresetRule(member("gate_off"), at("gate_off"), EditRule::GateSwitch, ruleBreaks);
        }
        const JsonValue& aux = member("aux");
        PresetOnlyKeys(aux, at("aux"), {"flag", "value"});
        c.auxFlag = PresetInteger(PresetMember(aux, at("aux"), "flag"), at("aux.flag"), 0, 1);
        c.auxValue = PresetInteger(PresetMember(aux, at("aux"), "value"), at("aux.value"), 0, 255);
    } else {
        const JsonValue& source = member("source");
        PresetOnlyKeys(source, at("source"), {"inputs", "mask"});
        c.sourceMask =
            PresetInteger(PresetMember(source, at("source"), "mask"), at("source.mask"), 0, 15);
        const JsonValue& inputs = PresetMember(source, at("source"), "inputs");
        if (PresetString(inputs, at("source.inputs")) != SourceText(c.sourceMask)) {
            PresetFail(inputs, at("source.inputs"),
                       "'" + inputs.text() + "' is not mask " + IntegerText(c.sourceMask) + " ('" +
                           SourceText(c.sourceMask) + "')");
        }
        if (!EditRules::SourceMaskAllowed(static_cast<std::uint8_t>(c.sourceMask), deviceType)) {
            PresetRule(source, at("source"), EditRule::OutputSource, ruleBreaks);
        }
        const JsonValue& limiter = member("limiter");
        const std::string l = at("limiter");
        PresetOnlyKeys(limiter, l,
                       {"threshold", "attack", "release", "clip", "ratio", "mode", "timing"});
        const auto part = [&](const std::string& key) -> const JsonValue& {
            return PresetMember(limiter, l, key);
        };
        c.limitThreshold = ReadIndexed(part("threshold"), Sub(l, "threshold"), "dBu",
                                       LimitThresholdRange, LimitThresholdToDbu, 1);
        c.attack =
            ReadIndexed(part("attack"), Sub(l, "attack"), "ms", AttackRange, AttackIndexToMs, 1);
        c.release = ReadTexted(part("release"), Sub(l, "release"), ReleaseRange, ReleaseText);
        c.clipLimit =
            ReadIndexed(part("clip"), Sub(l, "clip"), "value", ClipLimitRange, ClipLimitValue, 1);
        c.ratio = ReadTexted(part("ratio"), Sub(l, "ratio"), RatioRange, RatioText);
        c.mode = ReadChoice(part("mode"), Sub(l, "mode"), kModes);
        c.timing = ReadChoice(part("timing"), Sub(l, "timing"), kTimings);
        if (!EditRules::TimingAllowed(c.mode, c.timing)) {
            PresetRule(part("timing"), Sub(l, "timing"), EditRule::LimiterTiming, ruleBreaks);
        }
        const JsonValue& reserved = member("reserved");
        const bool full = form == PresetForm::ProgramFile;
        PresetOnlyKeys(reserved, at("reserved"),
                       full ? std::vector<std::string>{"first", "second"}
                            : std::vector<std::string>{"first"});
        const int low = full ? INT32_MIN : 0;
        const int high = full ? INT32_MAX : 255;
        c.reserved1 = PresetInteger(PresetMember(reserved, at("reserved"), "first"),
                                    at("reserved.first"), low, high);
        if (full) {
            c.reserved2 = PresetInteger(PresetMember(reserved, at("reserved"), "second"),
                                        at("reserved.second"), low, high);
        }
    }
    for (int i = 0; i < bandCount + 2; ++i) {
        const std::string key = i < bandCount    ? "eq" + IntegerText(i + 1)
                                : i == bandCount ? "hpf"
                                                 : "lpf";
        const int type =
            i < bandCount ? 0 : (i == bandCount ? CFilter::HighPass : CFilter::LowPass);
        c.sections.push_back(
            SectionFromJson(member(key), at(key), type, form, deviceType, ruleBreaks));
    }
    const PresetSection& highPass = c.sections[static_cast<std::size_t>(bandCount)];
    const PresetSection& lowPass = c.sections.back();
    if (EditRules::HighPassFrequency(highPass.frequency, lowPass.frequency) != highPass.frequency) {
        PresetRule(member("hpf"), at("hpf.freq.Hz"), EditRule::CrossoverOrder, ruleBreaks);
    }
    return c;
}
