#include "core/protocol/ReplyDecoders.h"

#include "core/files/ImageRanges.h"
#include "core/files/ProgramImage.h"
#include "core/model/AudioData.h"
#include "core/model/ParameterValues.h"
#include "core/protocol/ChannelLayout.h"
#include "core/protocol/DeviceImages.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/protocol/SendData.h"

#include <algorithm>

using Protocol::FrameView;

namespace {

namespace Band = ChannelLayout::Band;
namespace Crossover = ChannelLayout::Crossover;
namespace Input = ChannelLayout::Input;
namespace Output = ChannelLayout::Output;

// Wire offsets of the numbers the device sends.
constexpr int EqGainCodeOffset = 300;
constexpr int GainCodeOffsetWide = 700;    // device type 1
constexpr int GainCodeOffsetCompact = 740; // device types 2 and 3
constexpr int CompactBandwidthStep = 5;

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

// A wire code less its offset; a code below the offset is index 0 (the ranges limit the top).
std::uint16_t IndexOf(int code, int offset) {
    return static_cast<std::uint16_t>(std::max(code - offset, 0));
}

// The numbers below are read as the device sends them; ReadInput and ReadOutput limit the whole
// record to the model's ranges afterwards.
BandImage ReadBand(const FrameView& reply, std::size_t at, int deviceType) {
    BandImage band;
    band.frequency = reply.PayloadWord(at + Band::Frequency);
    band.gain = IndexOf(reply.PayloadWord(at + Band::Gain), EqGainCodeOffset);
    band.bandwidth = reply.PayloadWord(at + Band::Bandwidth);
    if (UsesCompactRules(deviceType)) {
        band.bandwidth = static_cast<std::uint16_t>(band.bandwidth / CompactBandwidthStep);
    }
    band.shelfSlope = reply.PayloadByte(at + Band::Slope);
    band.type = reply.PayloadByte(at + Band::Type);
    return band;
}

CrossoverImage ReadCrossover(const FrameView& reply, std::size_t at) {
    CrossoverImage crossover;
    crossover.frequency = reply.PayloadWord(at + Crossover::Frequency);
    crossover.type = reply.PayloadByte(at + Crossover::Type);
    crossover.slope = reply.PayloadByte(at + Crossover::Slope);
    return crossover;
}

std::uint16_t GainIndex(const FrameView& reply, std::size_t at, int deviceType) {
    return IndexOf(reply.PayloadWord(at),
                   UsesCompactRules(deviceType) ? GainCodeOffsetCompact : GainCodeOffsetWide);
}

std::string ChannelName(const FrameView& reply, std::size_t at) {
    return TrimRight(PayloadText(reply, at, Protocol::ChannelNameLength));
}

// The EQ bands and the start of the levels block (on, polarity, gain, delay) of a channel
// record into its image; on is the offset of the levels block.
template <typename Image>
void ReadBandsAndLevels(const FrameView& reply, int deviceType, std::size_t on, Image& image) {
    namespace Levels = ChannelLayout::Levels;
    for (std::size_t band = 0; band < image.bands.size(); ++band) {
        image.bands[band] =
            ReadBand(reply, ChannelLayout::BandAt(static_cast<int>(band)), deviceType);
    }
    image.on = reply.PayloadByte(on + Levels::On);
    image.polarity = reply.PayloadByte(on + Levels::Polarity);
    image.gain = GainIndex(reply, on + Levels::Gain, deviceType);
    image.delay = reply.PayloadWord(on + Levels::Delay);
}

// The whole input record of a checked reply, every number limited: the one reading of the
// layout, for the live and the archive decoder alike.
InputImage ReadInput(const FrameView& reply, int deviceType) {
    InputImage input;
    ReadBandsAndLevels(reply, deviceType, Input::On, input);
    input.auxFlag = reply.PayloadByte(Input::AuxFlag);
    input.auxValue = reply.PayloadByte(Input::AuxValue);
    input.highPass = ReadCrossover(reply, Input::HighPass);
    input.lowPass = ReadCrossover(reply, Input::LowPass);
    input.gateThreshold = reply.PayloadByte(Input::GateThreshold);
    input.gateOff = reply.PayloadByte(Input::GateOff);
    input.name = ChannelName(reply, Input::Name);
    return WithinRanges(input, deviceType);
}

// The whole output record, every number limited, for the live and the archive decoder alike.
OutputImage ReadOutput(const FrameView& reply, int deviceType) {
    OutputImage output;
    ReadBandsAndLevels(reply, deviceType, Output::On, output);
    output.sourceMask = reply.PayloadByte(Output::SourceMask);
    output.highPass = ReadCrossover(reply, Output::HighPass);
    output.lowPass = ReadCrossover(reply, Output::LowPass);
    output.limitThreshold = reply.PayloadWord(Output::LimitThreshold);
    output.attack = reply.PayloadByte(Output::Attack);
    output.release = reply.PayloadByte(Output::Release);
    output.clipLimit = reply.PayloadByte(Output::ClipLimit);
    output.ratio = reply.PayloadByte(Output::Ratio);
    output.mode = reply.PayloadByte(Output::Mode);
    output.timing = reply.PayloadByte(Output::Timing);
    output.name = ChannelName(reply, Output::Name);
    return WithinRanges(output, deviceType);
}

// Live channels take the values through their setters, in the order of the device record.
void StoreBand(CFilter& filter, const BandImage& band) {
    filter.SetFrequency(band.frequency);
    filter.SetGainIndex(band.gain);
    filter.SetBandwidthIndex(band.bandwidth);
    filter.SetSlope(band.shelfSlope);
    filter.SetType(band.type);
}

void StoreCrossover(CFilter& filter, const CrossoverImage& crossover) {
    filter.SetFrequency(crossover.frequency);
    filter.SetCrossoverType(crossover.type);
    filter.SetSlope(crossover.slope);
}

template <typename Channel, typename Image> void StoreBands(Channel& channel, const Image& image) {
    for (std::size_t band = 0; band < image.bands.size(); ++band) {
        StoreBand(*channel.GetFilter(static_cast<int>(band)), image.bands[band]);
    }
}

void StoreInput(CAudio_InData& input, const InputImage& image) {
    StoreBands(input, image);
    input.SetOn(image.on);
    input.SetPolarity(image.polarity);
    input.SetGain(image.gain);
    input.SetDelay(image.delay);
    input.SetAuxFlag(image.auxFlag);
    input.SetAuxValue(image.auxValue);
    StoreCrossover(*input.GetHighPass(), image.highPass);
    StoreCrossover(*input.GetLowPass(), image.lowPass);
    input.SetGateThreshold(image.gateThreshold);
    input.SetGateOff(image.gateOff);
    input.SetName(image.name);
}

void StoreOutput(CAudio_OutData& output, const OutputImage& image) {
    StoreBands(output, image);
    output.SetOn(image.on);
    output.SetPolarity(image.polarity);
    output.SetGain(image.gain);
    output.SetDelay(image.delay);
    output.SetSourceMask(image.sourceMask);
    StoreCrossover(*output.GetHighPass(), image.highPass);
    StoreCrossover(*output.GetLowPass(), image.lowPass);
    output.SetLimitThreshold(image.limitThreshold);
    output.SetAttack(image.attack);
    output.SetRelease(image.release);
    output.SetClipLimit(image.clipLimit);
    output.SetRatio(image.ratio);
    output.SetCompressorMode(image.mode);
    output.SetAutoTiming(image.timing);
    output.SetName(image.name);
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

ChannelReply DecodeInputChannel(const FrameView& reply, int deviceType, CAudio_Data& program) {
    const ChannelReply check = CheckInput(reply);
    if (check == ChannelReply::Decoded) {
        StoreInput(*program.GetInput(reply.header.channel), ReadInput(reply, deviceType));
    }
    return check;
}

ChannelReply DecodeArchiveInputChannel(const FrameView& reply, int deviceType,
                                       ProgramImage& archive) {
    const ChannelReply check = CheckInput(reply);
    if (check == ChannelReply::Decoded) {
        archive.inputs[reply.header.channel] = ReadInput(reply, deviceType);
    }
    return check;
}

ChannelReply DecodeOutputChannel(const FrameView& reply, int deviceType, CAudio_Data& program) {
    const ChannelReply check = CheckOutput(reply);
    if (check == ChannelReply::Decoded) {
        StoreOutput(*program.GetOutput(reply.header.channel), ReadOutput(reply, deviceType));
    }
    return check;
}

ChannelReply DecodeArchiveOutputChannel(const FrameView& reply, int deviceType,
                                        ProgramImage& archive) {
    const ChannelReply check = CheckOutput(reply);
    if (check == ChannelReply::Decoded) {
        archive.outputs[reply.header.channel] = ReadOutput(reply, deviceType);
    }
    return check;
}

bool DataReplyAnswers(const FrameView& reply, const SendData& request) {
    const std::vector<std::uint8_t>& asked = request.GetData();
    if (asked.size() <= Protocol::OffsetPayload ||
        asked[Protocol::OffsetCode] != Protocol::ReadRequest) {
        return false;
    }
    const bool identify = asked[Protocol::OffsetGroup] == Protocol::GroupSystem &&
                          asked[Protocol::OffsetChannel] == Protocol::ItemDeviceId;
    const bool identityAnswer = reply.header.group == Protocol::GroupSystem &&
                                reply.header.channel == Protocol::ItemDeviceId;
    if (identify || identityAnswer) {
        // The answering ID is the one probed (the payload of the request carries it).
        return identify && identityAnswer && reply.length >= Protocol::DeviceIdLength &&
               reply.PayloadByte(0) == asked[Protocol::OffsetPayload];
    }
    return reply.header.program == asked[Protocol::OffsetProgram] &&
           reply.header.group == asked[Protocol::OffsetGroup] &&
           reply.header.channel == asked[Protocol::OffsetChannel] &&
           reply.header.block == asked[Protocol::OffsetBlock];
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
    EngineNotice notice;
    const bool inRange = id >= Protocol::MinDeviceId && id <= Protocol::MaxDeviceId;
    if (inRange) {
        notice.answeredId = id;
        notice.answeredType = reply.PayloadByte(1);
    }
    if (sameType && inRange) {
        notice.foundId = id;
    }
    if (id == Protocol::MaxDeviceId) {
        notice.message = EngineMessage::WM_ID_SEARCH_END;
        notice.toSearchWindow = true;
    }
    if (notice.answeredId == 0 && !notice.message) {
        return std::nullopt;
    }
    return notice;
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
