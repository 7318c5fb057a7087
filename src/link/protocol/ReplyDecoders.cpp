#include "link/protocol/ReplyDecoders.h"

#include "files/ProgramImage.h"
#include "link/protocol/DeviceImages.h"
#include "link/protocol/FoundIdTable.h"
#include "link/protocol/ProtocolCodes.h"
#include "link/protocol/SendData.h"
#include "model/AudioData.h"
#include "model/ParameterValues.h"

#include <algorithm>

using Protocol::FrameView;

namespace {

// Payload layout of a whole input channel (96 bytes) and output channel (80 bytes).
constexpr std::size_t InOn = 64;
constexpr std::size_t InPolarity = 65;
constexpr std::size_t InGain = 66;
constexpr std::size_t InDelay = 68;
constexpr std::size_t InAuxFlag = 70;
constexpr std::size_t InAuxValue = 71;
constexpr std::size_t InHighPass = 72;
constexpr std::size_t InLowPass = 76;
constexpr std::size_t InGateThreshold = 80;
constexpr std::size_t InGateOff = 81;
constexpr std::size_t InName = 88;

constexpr std::size_t OutOn = 48;
constexpr std::size_t OutPolarity = 49;
constexpr std::size_t OutGain = 50;
constexpr std::size_t OutDelay = 52;
constexpr std::size_t OutSourceMask = 54;
constexpr std::size_t OutHighPass = 56;
constexpr std::size_t OutLowPass = 60;
constexpr std::size_t OutLimitThreshold = 64;
constexpr std::size_t OutAttack = 66;
constexpr std::size_t OutRelease = 67;
constexpr std::size_t OutClipLimit = 68;
constexpr std::size_t OutRatio = 69;
constexpr std::size_t OutMode = 70;
constexpr std::size_t OutTiming = 71;
constexpr std::size_t OutName = 72;

// Wire offsets of the numbers the device sends.
constexpr int EqGainCodeOffset = 300;
constexpr int GainCodeOffsetWide = 700;    // device type 1
constexpr int GainCodeOffsetCompact = 740; // device types 2 and 3
constexpr int CompactBandwidthStep = 5;
constexpr int MaxShelfSlope = 1;
constexpr int MaxEqType = 2;
constexpr int MaxCrossoverType = 2;
constexpr int MaxCrossoverSlope = 3;
constexpr int LiveMaxLimitThreshold = 500;
constexpr int ArchiveMaxLimitThreshold = 400;

// Meter bytes: below 17 a value is at most 9, from 17 on at most 25.
constexpr int MeterKnee = 17;
constexpr int MeterLowMax = 9;
constexpr int MeterHighMax = 25;

constexpr std::size_t ProgramNameLetters = 8;
constexpr std::size_t ShortTextLength = 7;
constexpr int ShortTextLine = 8;
constexpr int InterfaceFirstLine = 4;
constexpr int InfoFirstLine = 0;

constexpr std::uint8_t Space = 0x20;

int Clamp(int value, int low, int high) {
    return std::clamp(value, low, high);
}

std::uint8_t Flag(std::uint8_t byte) {
    return byte != 0 ? 1 : 0;
}

// A payload byte, or a space beyond the payload (device texts are space-padded).
std::uint8_t TextByte(const FrameView& reply, std::size_t i) {
    return i < reply.length ? reply.payload[i] : Space;
}

std::string PayloadText(const FrameView& reply, std::size_t offset, std::size_t count) {
    std::string raw;
    for (std::size_t i = 0; i < count; ++i) {
        raw.push_back(static_cast<char>(TextByte(reply, offset + i)));
    }
    return CleanText(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
}

struct Band {
    int frequency = 0;
    int gainIndex = 0;
    int bandwidthIndex = 0;
    int slope = 0;
    int type = 0;
};

struct Crossover {
    int frequency = 0;
    int type = 0;
    int slope = 0;
};

Band ReadBand(const FrameView& reply, std::size_t offset, int deviceType) {
    Band band;
    band.frequency = Clamp(reply.PayloadWord(offset), MinFrequency, MaxFrequency);
    band.gainIndex = EqGainRange.Clamp(reply.PayloadWord(offset + 2) - EqGainCodeOffset);
    int bandwidth = reply.PayloadWord(offset + 4);
    if (UsesCompactRules(deviceType)) {
        bandwidth /= CompactBandwidthStep;
    }
    band.bandwidthIndex = BandwidthRange(deviceType).Clamp(bandwidth);
    band.slope = Clamp(reply.PayloadByte(offset + 6), 0, MaxShelfSlope);
    band.type = Clamp(reply.PayloadByte(offset + 7), 0, MaxEqType);
    return band;
}

Crossover ReadCrossover(const FrameView& reply, std::size_t offset) {
    Crossover crossover;
    crossover.frequency = Clamp(reply.PayloadWord(offset), MinFrequency, MaxFrequency);
    crossover.type = Clamp(reply.PayloadByte(offset + 2), 0, MaxCrossoverType);
    crossover.slope = Clamp(reply.PayloadByte(offset + 3), 0, MaxCrossoverSlope);
    return crossover;
}

int GainIndex(const FrameView& reply, std::size_t offset, int deviceType, bool input) {
    const int code = reply.PayloadWord(offset);
    const int index =
        code - (UsesCompactRules(deviceType) ? GainCodeOffsetCompact : GainCodeOffsetWide);
    return (input ? InputGainRange(deviceType) : OutputGainRange(deviceType)).Clamp(index);
}

int DelayIndex(const FrameView& reply, std::size_t offset, int deviceType) {
    return DelayRange(deviceType).Clamp(reply.PayloadWord(offset));
}

std::string ChannelName(const FrameView& reply, std::size_t offset) {
    return TrimRight(PayloadText(reply, offset, Protocol::ChannelNameLength));
}

void StoreBand(CFilter& filter, const Band& band) {
    filter.SetFrequency(band.frequency);
    filter.SetGainIndex(band.gainIndex);
    filter.SetBandwidthIndex(band.bandwidthIndex);
    filter.SetSlope(band.slope);
    filter.SetType(band.type);
}

void StoreCrossover(CFilter& filter, const Crossover& crossover) {
    filter.SetFrequency(crossover.frequency);
    filter.SetCrossoverType(crossover.type);
    filter.SetSlope(crossover.slope);
}

void StoreBand(BandImage& image, const Band& band) {
    image.frequency = static_cast<std::uint16_t>(band.frequency);
    image.gain = static_cast<std::uint16_t>(band.gainIndex);
    image.bandwidth = static_cast<std::uint16_t>(band.bandwidthIndex);
    image.shelfSlope = static_cast<std::uint8_t>(band.slope);
    image.type = static_cast<std::uint8_t>(band.type);
}

void StoreCrossover(CrossoverImage& image, const Crossover& crossover) {
    image.frequency = static_cast<std::uint16_t>(crossover.frequency);
    image.type = static_cast<std::uint8_t>(crossover.type);
    image.slope = static_cast<std::uint8_t>(crossover.slope);
}

ChannelReply CheckChannel(const FrameView& reply, std::size_t length, int channelCount) {
    if (reply.length != length) {
        return ChannelReply::WrongLength;
    }
    if (reply.header.channel >= channelCount) {
        return ChannelReply::NoSuchChannel;
    }
    return ChannelReply::Decoded;
}

ChannelReply CheckInput(const FrameView& reply) {
    return CheckChannel(reply, Protocol::InputChannelLength, ProgramImage::kInputCount);
}

ChannelReply CheckOutput(const FrameView& reply) {
    return CheckChannel(reply, Protocol::OutputChannelLength, ProgramImage::kOutputCount);
}

std::size_t BandOffset(int band) {
    return static_cast<std::size_t>(band) * Protocol::BandRecordLength;
}

void DecodeProgramName(const FrameView& reply, DeviceImages& images) {
    // The device sends 14 bytes; only the first 8 are letters of the name.
    const int program = reply.header.program;
    if (program >= DeviceImages::kProgramNameCount) {
        return;
    }
    const std::string name = TrimRight(PayloadText(reply, 0, ProgramNameLetters));
    images.lastProgramName = name;
    images.programNames[static_cast<std::size_t>(program)] = name;
    if (program == Protocol::LiveProgram) {
        images.program.SetName(name);
    }
}

void DecodeMeters(const FrameView& reply, DeviceImages& images) {
    const std::size_t count = std::min(reply.length, images.meters.size());
    for (std::size_t i = 0; i < count; ++i) {
        const int value = reply.payload[i];
        images.meters[i] = std::min(value, value < MeterKnee ? MeterLowMax : MeterHighMax);
    }
}

void DecodeTextLines(const FrameView& reply, int firstLine, CAudio_Data& program) {
    for (std::size_t line = 0; line < Protocol::InfoTextLineCount; ++line) {
        const std::string text =
            PayloadText(reply, line * Protocol::InfoTextLineWidth, Protocol::InfoTextLineWidth);
        program.SetInfoText(firstLine + static_cast<int>(line), TrimBoth(text));
    }
}

// Bytes 0..3 and 8..12 form the identification, bytes 4..7 the type code, taken as they are.
void DecodeIdentification(const FrameView& reply, DeviceImages& images) {
    std::string identification;
    for (std::size_t i : {0, 1, 2, 3, 8, 9, 10, 11, 12}) {
        identification.push_back(static_cast<char>(TextByte(reply, i)));
    }
    std::string typeCode;
    for (std::size_t i = 4; i < 8; ++i) {
        typeCode.push_back(static_cast<char>(TextByte(reply, i)));
    }
    images.identificationText = identification;
    images.typeCodeText = typeCode;
}

} // namespace

std::string CleanText(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t byte = bytes[i];
        text.push_back(byte >= 0x20 && byte <= 0x7F ? static_cast<char>(byte) : ' ');
    }
    return text;
}

std::string TrimRight(const std::string& text) {
    const auto end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string TrimBoth(const std::string& text) {
    const auto begin = text.find_first_not_of(' ');
    return begin == std::string::npos ? std::string() : TrimRight(text.substr(begin));
}

ChannelReply DecodeInputChannel(const FrameView& reply, int deviceType, CAudio_Data& program) {
    const ChannelReply check = CheckInput(reply);
    if (check != ChannelReply::Decoded) {
        return check;
    }
    CAudio_InData& input = *program.GetInput(reply.header.channel);
    for (int band = 0; band < InputImage::kBandCount; ++band) {
        StoreBand(*input.GetFilter(band), ReadBand(reply, BandOffset(band), deviceType));
    }
    input.SetOn(Flag(reply.PayloadByte(InOn)));
    input.SetPolarity(Flag(reply.PayloadByte(InPolarity)));
    input.SetGain(GainIndex(reply, InGain, deviceType, true));
    input.SetDelay(DelayIndex(reply, InDelay, deviceType));
    input.SetAuxFlag(Flag(reply.PayloadByte(InAuxFlag)));
    input.SetAuxValue(reply.PayloadByte(InAuxValue));
    StoreCrossover(*input.GetHighPass(), ReadCrossover(reply, InHighPass));
    StoreCrossover(*input.GetLowPass(), ReadCrossover(reply, InLowPass));
    input.SetGateThreshold(reply.PayloadByte(InGateThreshold));
    input.SetGateOff(reply.PayloadByte(InGateOff));
    input.SetName(ChannelName(reply, InName));
    return ChannelReply::Decoded;
}

ChannelReply DecodeArchiveInputChannel(const FrameView& reply, int deviceType,
                                       ProgramImage& archive) {
    const ChannelReply check = CheckInput(reply);
    if (check != ChannelReply::Decoded) {
        return check;
    }
    InputImage& input = archive.inputs[reply.header.channel];
    for (int band = 0; band < InputImage::kBandCount; ++band) {
        StoreBand(input.bands[static_cast<std::size_t>(band)],
                  ReadBand(reply, BandOffset(band), deviceType));
    }
    input.on = Flag(reply.PayloadByte(InOn));
    input.polarity = Flag(reply.PayloadByte(InPolarity));
    input.gain = static_cast<std::uint16_t>(GainIndex(reply, InGain, deviceType, true));
    input.delay = static_cast<std::uint16_t>(DelayIndex(reply, InDelay, deviceType));
    input.auxFlag = Flag(reply.PayloadByte(InAuxFlag));
    input.auxValue = reply.PayloadByte(InAuxValue);
    StoreCrossover(input.highPass, ReadCrossover(reply, InHighPass));
    StoreCrossover(input.lowPass, ReadCrossover(reply, InLowPass));
    input.gateThreshold = reply.PayloadByte(InGateThreshold);
    input.gateOff = reply.PayloadByte(InGateOff);
    input.name = ChannelName(reply, InName);
    return ChannelReply::Decoded;
}

ChannelReply DecodeOutputChannel(const FrameView& reply, int deviceType, CAudio_Data& program) {
    const ChannelReply check = CheckOutput(reply);
    if (check != ChannelReply::Decoded) {
        return check;
    }
    CAudio_OutData& output = *program.GetOutput(reply.header.channel);
    for (int band = 0; band < OutputImage::kBandCount; ++band) {
        StoreBand(*output.GetFilter(band), ReadBand(reply, BandOffset(band), deviceType));
    }
    output.SetOn(Flag(reply.PayloadByte(OutOn)));
    output.SetPolarity(Flag(reply.PayloadByte(OutPolarity)));
    output.SetGain(GainIndex(reply, OutGain, deviceType, false));
    output.SetDelay(DelayIndex(reply, OutDelay, deviceType));
    output.SetSourceMask(reply.PayloadByte(OutSourceMask));
    StoreCrossover(*output.GetHighPass(), ReadCrossover(reply, OutHighPass));
    StoreCrossover(*output.GetLowPass(), ReadCrossover(reply, OutLowPass));
    output.SetLimitThreshold(
        std::min<int>(reply.PayloadWord(OutLimitThreshold), LiveMaxLimitThreshold));
    output.SetAttack(static_cast<std::uint8_t>(AttackRange.Clamp(reply.PayloadByte(OutAttack))));
    output.SetRelease(static_cast<std::uint8_t>(ReleaseRange.Clamp(reply.PayloadByte(OutRelease))));
    output.SetClipLimit(reply.PayloadByte(OutClipLimit));
    output.SetRatio(reply.PayloadByte(OutRatio));
    output.SetCompressorMode(reply.PayloadByte(OutMode));
    output.SetAutoTiming(reply.PayloadByte(OutTiming));
    output.SetName(ChannelName(reply, OutName));
    return ChannelReply::Decoded;
}

ChannelReply DecodeArchiveOutputChannel(const FrameView& reply, int deviceType,
                                        ProgramImage& archive) {
    const ChannelReply check = CheckOutput(reply);
    if (check != ChannelReply::Decoded) {
        return check;
    }
    OutputImage& output = archive.outputs[reply.header.channel];
    for (int band = 0; band < OutputImage::kBandCount; ++band) {
        StoreBand(output.bands[static_cast<std::size_t>(band)],
                  ReadBand(reply, BandOffset(band), deviceType));
    }
    output.on = Flag(reply.PayloadByte(OutOn));
    output.polarity = Flag(reply.PayloadByte(OutPolarity));
    output.gain = static_cast<std::uint16_t>(GainIndex(reply, OutGain, deviceType, false));
    output.delay = static_cast<std::uint16_t>(DelayIndex(reply, OutDelay, deviceType));
    output.sourceMask = reply.PayloadByte(OutSourceMask);
    StoreCrossover(output.highPass, ReadCrossover(reply, OutHighPass));
    StoreCrossover(output.lowPass, ReadCrossover(reply, OutLowPass));
    output.limitThreshold = static_cast<std::uint16_t>(
        std::min<int>(reply.PayloadWord(OutLimitThreshold), ArchiveMaxLimitThreshold));
    output.attack = static_cast<std::uint8_t>(AttackRange.Clamp(reply.PayloadByte(OutAttack)));
    output.release = static_cast<std::uint8_t>(ReleaseRange.Clamp(reply.PayloadByte(OutRelease)));
    output.clipLimit = reply.PayloadByte(OutClipLimit);
    output.ratio = reply.PayloadByte(OutRatio);
    output.mode = reply.PayloadByte(OutMode);
    output.timing = reply.PayloadByte(OutTiming);
    output.name = ChannelName(reply, OutName);
    return ChannelReply::Decoded;
}

std::optional<EngineNotice> DecodeIdentity(const FrameView& reply, int deviceType,
                                           const SendData* head) {
    if (reply.length < Protocol::DeviceIdLength) {
        return std::nullopt;
    }
    const int id = reply.PayloadByte(0);
    const bool sameType = reply.PayloadByte(1) == deviceType;
    if (head != nullptr && head->IsIdentityCheck()) {
        return EngineNotice{EngineMessage::WM_DEVICE_TYPE_CHECKED, sameType ? 1 : 0, false};
    }
    if (sameType && id >= Protocol::MinDeviceId && id <= Protocol::MaxDeviceId) {
        FoundIdTable[static_cast<std::size_t>(id)] = static_cast<std::uint16_t>(id);
    }
    if (id == Protocol::MaxDeviceId) {
        return EngineNotice{EngineMessage::WM_ID_SEARCH_END, 0, true};
    }
    return std::nullopt;
}

std::optional<EngineNotice> DecodeSystemItem(const FrameView& reply, int deviceType,
                                             const SendData* head, DeviceImages& images) {
    const bool hasByte = reply.length >= Protocol::SingleByteLength;
    switch (reply.header.channel) {
    case Protocol::ItemProgramName:
        DecodeProgramName(reply, images);
        return std::nullopt;
    case Protocol::ItemInputSource:
        if (hasByte) {
            images.inputSource = reply.payload[0];
        }
        return std::nullopt;
    case Protocol::ItemMeters:
        DecodeMeters(reply, images);
        return EngineNotice{EngineMessage::WM_LEVELS_RECEIVED, 0, false};
    case Protocol::ItemStatusByte:
        if (hasByte) {
            images.program.SetStatusByte(reply.payload[0]);
        }
        return std::nullopt;
    case Protocol::ItemInterfaceText:
        DecodeTextLines(reply, InterfaceFirstLine, images.program);
        return std::nullopt;
    case Protocol::ItemInfoText:
        DecodeTextLines(reply, InfoFirstLine, images.program);
        return std::nullopt;
    case Protocol::ItemShortText:
        images.program.SetInfoText(ShortTextLine,
                                   TrimRight(PayloadText(reply, 0, ShortTextLength)));
        return std::nullopt;
    case Protocol::ItemBacklight:
        if (hasByte) {
            images.program.SetBacklight(reply.payload[0]);
        }
        return std::nullopt;
    case Protocol::ItemDeviceId:
        return DecodeIdentity(reply, deviceType, head);
    case Protocol::ItemTemperature:
        if (!hasByte) {
            return std::nullopt;
        }
        images.program.SetTemperature(reply.payload[0]);
        return EngineNotice{EngineMessage::WM_DEVICE_INFO_RECEIVED, Protocol::ItemTemperature,
                            false};
    case Protocol::ItemIdentification:
        DecodeIdentification(reply, images);
        return EngineNotice{EngineMessage::WM_IDENTIFICATION_RECEIVED, Protocol::ItemIdentification,
                            false};
    case Protocol::ItemDeviceNotice:
        return EngineNotice{EngineMessage::WM_DEVICE_NOTICE, 0, false};
    default:
        return std::nullopt;
    }
}
