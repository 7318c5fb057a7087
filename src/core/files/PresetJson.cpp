#include "core/files/PresetJson.h"

#include "core/files/JsonText.h"
#include "core/files/PresetFields.h"
#include "core/files/ProgramImage.h"
#include "core/model/AudioData.h"
#include "core/model/NumberText.h"
#include "core/model/Variant.h"

#include <memory>

namespace {

constexpr const char* kProgramKind = "program";
constexpr const char* kBankKind = "bank";

std::string InputKey(int i) {
    return "in" + IntegerText(i + 1);
}

std::string OutputKey(int i) {
    return "out" + IntegerText(i + 1);
}

// ---- The program of a one-program file ----

PresetChannel FromModel(const CAudio_Channel& channel, bool output) {
    PresetChannel c;
    c.output = output;
    c.name = channel.GetName();
    c.on = channel.GetOn();
    c.polarity = channel.GetPolarity();
    c.gain = channel.GetGain();
    c.delay = channel.GetDelay();
    for (int i = 0; i < channel.GetFilterCount(); ++i) {
        const CFilter& filter = *channel.GetFilter(i);
        PresetSection s;
        s.sectionType = filter.GetType();
        s.frequency = filter.GetFrequency();
        s.slope = filter.GetSlope();
        s.crossoverType = filter.GetCrossoverType();
        s.gainIndex = filter.GetGainIndex();
        s.bandwidthIndex = filter.GetBandwidthIndex();
        s.gain = filter.GetGain();
        s.bandwidth = filter.GetBandwidth();
        s.flat = filter.IsFlat() != 0;
        s.sentFrequency = filter.GetSentFrequency();
        c.sections.push_back(s);
    }
    return c;
}

void ToModel(const PresetChannel& c, CAudio_Channel& channel) {
    channel.SetName(c.name);
    channel.SetOn(static_cast<std::uint8_t>(c.on));
    channel.SetPolarity(static_cast<std::uint8_t>(c.polarity));
    channel.SetGain(c.gain);
    channel.SetDelay(c.delay);
    const int bands = channel.GetFilterCount() - 2;
    for (int i = 0; i < channel.GetFilterCount(); ++i) {
        const PresetSection& s = c.sections[static_cast<std::size_t>(i)];
        CFilter& filter = *channel.GetFilter(i);
        if (i < bands) {
            filter.SetType(s.sectionType);
        }
        filter.SetFrequency(s.frequency);
        filter.SetGain(s.gain);
        filter.SetFlat(s.flat ? 1 : 0);
        filter.SetBandwidth(s.bandwidth);
        filter.SetCrossoverType(s.crossoverType);
        filter.SetSlope(s.slope);
        filter.SetSentFrequency(s.sentFrequency);
    }
}

JsonValue ProgramJson(const CAudio_Data& program, int deviceType) {
    JsonValue inputs = JsonValue::Object();
    for (int i = 0; i < program.GetInputCount(); ++i) {
        const CAudio_InData& in = *program.GetInput(i);
        PresetChannel c = FromModel(in, false);
        c.auxFlag = in.GetAuxFlag();
        c.auxValue = in.GetAuxValue();
        c.gateThreshold = in.GetGateThreshold();
        c.gateOff = in.GetGateOff();
        inputs.Add(InputKey(i), ChannelToJson(c, PresetForm::ProgramFile, deviceType));
    }
    JsonValue outputs = JsonValue::Object();
    for (int i = 0; i < program.GetOutputCount(); ++i) {
        const CAudio_OutData& out = *program.GetOutput(i);
        PresetChannel c = FromModel(out, true);
        c.sourceMask = out.GetSourceMask();
        c.limitThreshold = out.GetLimitThreshold();
        c.attack = out.GetAttack();
        c.release = out.GetRelease();
        c.clipLimit = out.GetClipLimit();
        c.ratio = out.GetRatio();
        c.mode = out.GetCompressorMode();
        c.timing = out.GetAutoTiming();
        c.reserved1 = out.GetReserved1();
        c.reserved2 = out.GetReserved2();
        outputs.Add(OutputKey(i), ChannelToJson(c, PresetForm::ProgramFile, deviceType));
    }
    return JsonValue::Object()
        .Add("name", JsonValue::String(program.GetName()))
        .Add("inputs", inputs)
        .Add("outputs", outputs);
}

void ProgramFromJsonValue(const JsonValue& json, const std::string& path, int deviceType,
                          CAudio_Data& program, std::vector<std::string>& ruleBreaks) {
    PresetOnlyKeys(json, path, {"name", "inputs", "outputs"});
    const std::string at = path.empty() ? "" : path + ".";
    program.SetName(PresetString(PresetMember(json, path, "name"), at + "name"));
    const JsonValue& inputs = PresetMember(json, path, "inputs");
    const JsonValue& outputs = PresetMember(json, path, "outputs");
    std::vector<std::string> inputKeys, outputKeys;
    for (int i = 0; i < program.GetInputCount(); ++i) {
        inputKeys.push_back(InputKey(i));
    }
    for (int i = 0; i < program.GetOutputCount(); ++i) {
        outputKeys.push_back(OutputKey(i));
    }
    PresetOnlyKeys(inputs, at + "inputs", inputKeys);
    PresetOnlyKeys(outputs, at + "outputs", outputKeys);
    for (int i = 0; i < program.GetInputCount(); ++i) {
        CAudio_InData& in = *program.GetInput(i);
        const std::string where = at + "inputs." + InputKey(i);
        const PresetChannel c = ChannelFromJson(PresetMember(inputs, at + "inputs", InputKey(i)),
                                                where, false, in.GetFilterCount() - 2,
                                                PresetForm::ProgramFile, deviceType, ruleBreaks);
        ToModel(c, in);
        in.SetAuxFlag(static_cast<std::uint8_t>(c.auxFlag));
        in.SetAuxValue(c.auxValue);
        in.SetGateThreshold(static_cast<std::uint8_t>(c.gateThreshold));
        in.SetGateOff(static_cast<std::uint8_t>(c.gateOff));
    }
    for (int i = 0; i < program.GetOutputCount(); ++i) {
        CAudio_OutData& out = *program.GetOutput(i);
        const std::string where = at + "outputs." + OutputKey(i);
        const PresetChannel c = ChannelFromJson(PresetMember(outputs, at + "outputs", OutputKey(i)),
                                                where, true, out.GetFilterCount() - 2,
                                                PresetForm::ProgramFile, deviceType, ruleBreaks);
        ToModel(c, out);
        out.SetSourceMask(static_cast<std::uint8_t>(c.sourceMask));
        out.SetLimitThreshold(c.limitThreshold);
        out.SetAttack(static_cast<std::uint8_t>(c.attack));
        out.SetRelease(static_cast<std::uint8_t>(c.release));
        out.SetClipLimit(c.clipLimit);
        out.SetRatio(c.ratio);
        out.SetCompressorMode(c.mode);
        out.SetAutoTiming(c.timing);
        out.SetReserved1(c.reserved1);
        out.SetReserved2(c.reserved2);
    }
}

// ---- The stored programs of a bank file ----

template <typename Image> PresetChannel FromImage(const Image& image, bool output) {
    PresetChannel c;
    c.output = output;
    c.name = image.name;
    c.on = image.on;
    c.polarity = image.polarity;
    c.gain = image.gain;
    c.delay = image.delay;
    for (const BandImage& band : image.bands) {
        PresetSection s;
        s.sectionType = band.type;
        s.frequency = band.frequency;
        s.gainIndex = band.gain;
        s.bandwidthIndex = band.bandwidth;
        s.slope = band.shelfSlope;
        c.sections.push_back(s);
    }
    for (const CrossoverImage* crossover : {&image.highPass, &image.lowPass}) {
        PresetSection s;
        s.sectionType = crossover == &image.highPass ? 3 : 4;
        s.frequency = crossover->frequency;
        s.crossoverType = crossover->type;
        s.slope = crossover->slope;
        c.sections.push_back(s);
    }
    return c;
}

template <typename Image> void ToImage(const PresetChannel& c, Image& image) {
    image.name = c.name;
    image.on = static_cast<std::uint8_t>(c.on);
    image.polarity = static_cast<std::uint8_t>(c.polarity);
    image.gain = static_cast<std::uint16_t>(c.gain);
    image.delay = static_cast<std::uint16_t>(c.delay);
    for (std::size_t i = 0; i < image.bands.size(); ++i) {
        const PresetSection& s = c.sections[i];
        BandImage& band = image.bands[i];
        band.type = static_cast<std::uint8_t>(s.sectionType);
        band.frequency = static_cast<std::uint16_t>(s.frequency);
        band.gain = static_cast<std::uint16_t>(s.gainIndex);
        band.bandwidth = static_cast<std::uint16_t>(s.bandwidthIndex);
        band.shelfSlope = static_cast<std::uint8_t>(s.slope);
    }
    CrossoverImage* crossovers[] = {&image.highPass, &image.lowPass};
    for (std::size_t i = 0; i < 2; ++i) {
        const PresetSection& s = c.sections[image.bands.size() + i];
        crossovers[i]->frequency = static_cast<std::uint16_t>(s.frequency);
        crossovers[i]->type = static_cast<std::uint8_t>(s.crossoverType);
        crossovers[i]->slope = static_cast<std::uint8_t>(s.slope);
    }
}

JsonValue ImageJson(const ProgramImage& image, int deviceType) {
    JsonValue inputs = JsonValue::Object();
    for (std::size_t i = 0; i < image.inputs.size(); ++i) {
        const InputImage& in = image.inputs[i];
        PresetChannel c = FromImage(in, false);
        c.auxFlag = in.auxFlag;
        c.auxValue = in.auxValue;
        c.gateThreshold = in.gateThreshold;
        c.gateOff = in.gateOff;
        inputs.Add(InputKey(static_cast<int>(i)), ChannelToJson(c, PresetForm::Bank, deviceType));
    }
    JsonValue outputs = JsonValue::Object();
    for (std::size_t i = 0; i < image.outputs.size(); ++i) {
        const OutputImage& out = image.outputs[i];
        PresetChannel c = FromImage(out, true);
        c.sourceMask = out.sourceMask;
        c.limitThreshold = out.limitThreshold;
        c.attack = out.attack;
        c.release = out.release;
        c.clipLimit = out.clipLimit;
        c.ratio = out.ratio;
        c.mode = out.mode;
        c.timing = out.timing;
        c.reserved1 = out.reserved;
        outputs.Add(OutputKey(static_cast<int>(i)), ChannelToJson(c, PresetForm::Bank, deviceType));
    }
    return JsonValue::Object()
        .Add("name", JsonValue::String(image.name))
        .Add("inputs", inputs)
        .Add("outputs", outputs);
}

void ImageFromJson(const JsonValue& json, const std::string& path, int deviceType,
                   ProgramImage& image, std::vector<std::string>& ruleBreaks) {
    PresetOnlyKeys(json, path, {"name", "inputs", "outputs"});
    image.name = PresetString(PresetMember(json, path, "name"), path + ".name");
    const JsonValue& inputs = PresetMember(json, path, "inputs");
    const JsonValue& outputs = PresetMember(json, path, "outputs");
    std::vector<std::string> inputKeys, outputKeys;
    for (std::size_t i = 0; i < image.inputs.size(); ++i) {
        inputKeys.push_back(InputKey(static_cast<int>(i)));
    }
    for (std::size_t i = 0; i < image.outputs.size(); ++i) {
        outputKeys.push_back(OutputKey(static_cast<int>(i)));
    }
    PresetOnlyKeys(inputs, path + ".inputs", inputKeys);
    PresetOnlyKeys(outputs, path + ".outputs", outputKeys);
    for (std::size_t i = 0; i < image.inputs.size(); ++i) {
        const std::string key = InputKey(static_cast<int>(i));
        const PresetChannel c = ChannelFromJson(
            PresetMember(inputs, path + ".inputs", key), path + ".inputs." + key, false,
            InputImage::kBandCount, PresetForm::Bank, deviceType, ruleBreaks);
        InputImage& in = image.inputs[i];
        ToImage(c, in);
        in.auxFlag = static_cast<std::uint8_t>(c.auxFlag);
        in.auxValue = static_cast<std::uint8_t>(c.auxValue);
        in.gateThreshold = static_cast<std::uint8_t>(c.gateThreshold);
        in.gateOff = static_cast<std::uint8_t>(c.gateOff);
    }
    for (std::size_t i = 0; i < image.outputs.size(); ++i) {
        const std::string key = OutputKey(static_cast<int>(i));
        const PresetChannel c = ChannelFromJson(
            PresetMember(outputs, path + ".outputs", key), path + ".outputs." + key, true,
            OutputImage::kBandCount, PresetForm::Bank, deviceType, ruleBreaks);
        OutputImage& out = image.outputs[i];
        ToImage(c, out);
        out.sourceMask = static_cast<std::uint8_t>(c.sourceMask);
        out.limitThreshold = static_cast<std::uint16_t>(c.limitThreshold);
        out.attack = static_cast<std::uint8_t>(c.attack);
        out.release = static_cast<std::uint8_t>(c.release);
        out.clipLimit = static_cast<std::uint8_t>(c.clipLimit);
        out.ratio = static_cast<std::uint8_t>(c.ratio);
        out.mode = static_cast<std::uint8_t>(c.mode);
        out.timing = static_cast<std::uint8_t>(c.timing);
        out.reserved = static_cast<std::uint8_t>(c.reserved1);
    }
}

// ---- The document around either ----

JsonValue Header(const char* kind, const Variant& variant) {
    return JsonValue::Object()
        .Add("sonvex", JsonValue::String(kind))
        .Add("model", JsonValue::String(variant.name));
}

// The parsed preset after its header was checked against kind and the variant's model.
bool OpenPreset(const std::string& text, const char* kind, const Variant& variant, JsonValue& json,
                std::string& error) {
    PresetHeader header;
    if (!ReadPresetHeader(text, header, error)) {
        return false;
    }
    if (header.kind != kind) {
        error = std::string("the preset is a ") + header.kind + ", not a " + kind;
        return false;
    }
    if (header.model != variant.name) {
        error = "the preset is for the " + header.model + ", not the " + variant.name;
        return false;
    }
    return ParseJson(text, json, error);
}

} // namespace

std::string ProgramToJson(const CAudio_Data& program, const Variant& variant) {
    JsonValue json = Header(kProgramKind, variant);
    const JsonValue body = ProgramJson(program, variant.deviceType);
    for (const auto& member : body.members()) {
        json.Add(member.first, member.second);
    }
    return WriteJson(json);
}

std::string BankToJson(const CZorvanDoc::StoredPrograms& bank, const Variant& variant) {
    JsonValue programs = JsonValue::Object();
    for (std::size_t i = 0; i < bank.size(); ++i) {
        programs.Add(IntegerText(static_cast<long long>(i) + 1),
                     ImageJson(bank[i], variant.deviceType));
    }
    return WriteJson(Header(kBankKind, variant).Add("programs", programs));
}

bool ReadPresetHeader(const std::string& text, PresetHeader& header, std::string& error) {
    JsonValue json;
    if (!ParseJson(text, json, error)) {
        return false;
    }
    try {
        PresetOnlyKeys(json, "", {"sonvex", "model", "name", "inputs", "outputs", "programs"});
        const JsonValue& kind = PresetMember(json, "", "sonvex");
        header.kind = PresetString(kind, "sonvex");
        if (header.kind != kProgramKind && header.kind != kBankKind) {
            PresetFail(kind, "sonvex", "'" + header.kind + "' is not program or bank");
        }
        const JsonValue& model = PresetMember(json, "", "model");
        header.model = PresetString(model, "model");
        if (Variant::ForDeviceType(1)->name != header.model &&
            Variant::ForDeviceType(2)->name != header.model &&
            Variant::ForDeviceType(3)->name != header.model) {
            PresetFail(model, "model", "'" + header.model + "' is not 4x8, 3x6 or 2x4");
        }
    } catch (const PresetFault& fault) {
        error = fault.what();
        return false;
    }
    return true;
}

bool ProgramFromJson(const std::string& text, const Variant& variant, CAudio_Data& program,
                     std::string& error, std::vector<std::string>& ruleBreaks) {
    JsonValue json;
    if (!OpenPreset(text, kProgramKind, variant, json, error)) {
        return false;
    }
    program.SetDeviceType(variant.deviceType);
    JsonValue body = JsonValue::Object();
    try {
        PresetOnlyKeys(json, "", {"sonvex", "model", "name", "inputs", "outputs"});
        for (const char* key : {"name", "inputs", "outputs"}) {
            body.Add(key, PresetMember(json, "", key));
        }
        ProgramFromJsonValue(body, "", variant.deviceType, program, ruleBreaks);
    } catch (const PresetFault& fault) {
        error = fault.what();
        return false;
    }
    return true;
}

bool BankFromJson(const std::string& text, const Variant& variant, CZorvanDoc::StoredPrograms& bank,
                  std::string& error, std::vector<std::string>& ruleBreaks) {
    JsonValue json;
    if (!OpenPreset(text, kBankKind, variant, json, error)) {
        return false;
    }
    auto read = std::make_unique<CZorvanDoc::StoredPrograms>();
    try {
        PresetOnlyKeys(json, "", {"sonvex", "model", "programs"});
        const JsonValue& programs = PresetMember(json, "", "programs");
        std::vector<std::string> keys;
        for (std::size_t i = 0; i < read->size(); ++i) {
            keys.push_back(IntegerText(static_cast<long long>(i) + 1));
        }
        PresetOnlyKeys(programs, "programs", keys);
        for (std::size_t i = 0; i < read->size(); ++i) {
            ImageFromJson(PresetMember(programs, "programs", keys[i]), "programs." + keys[i],
                          variant.deviceType, (*read)[i], ruleBreaks);
        }
    } catch (const PresetFault& fault) {
        error = fault.what();
        return false;
    }
    bank = *read;
    return true;
}
