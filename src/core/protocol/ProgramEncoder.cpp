#include "core/protocol/ProgramEncoder.h"

#include "core/model/AudioData.h"
#include "core/model/Filter.h"
#include "core/model/InData.h"
#include "core/model/OutData.h"
#include "core/model/ParameterValues.h"
#include "core/protocol/ChannelLayout.h"
#include "core/protocol/Frame.h"

#include <algorithm>

namespace Band = ChannelLayout::Band;
namespace Crossover = ChannelLayout::Crossover;
namespace Input = ChannelLayout::Input;
namespace Output = ChannelLayout::Output;

namespace {

constexpr std::uint8_t Space = 0x20;
constexpr int InputGainOffset = 700;   // device type 1: 0 dB (index 400) is 1100
constexpr int CompactGainOffset = 740; // device types 2 and 3: 0 dB (index 360) is 1100
constexpr int EqGainOffset = 300;      // gain index + 300; a flat band is 600
constexpr int FlatEqGainCode = 600;
constexpr int CompactBandwidthStep = 5; // 0.05 octave steps sent in the device's 0.01 octave
constexpr std::uint8_t AutoRelease = 4; // release sent with automatic timing
constexpr int CenterWidthWide = 20;     // info line centring of device type 1
constexpr int CenterWidthCompact = 16;  // info line centring of device types 2 and 3

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

void PutWord(std::vector<std::uint8_t>& out, std::size_t at, int value) {
    out[at] = Byte(value);
    out[at + 1] = Byte(value >> 8);
}

// The 8-byte block of a channel record that starts at offset at.
std::vector<std::uint8_t> Block(const std::vector<std::uint8_t>& record, std::size_t at) {
    const auto begin = record.begin() + static_cast<std::ptrdiff_t>(at);
    return std::vector<std::uint8_t>(begin, begin + Protocol::BlockLength);
}

} // namespace

// ---- wire values ----

int ProgramEncoder::GainCode(int gainIndex) const {
    return gainIndex +
           (UsesCompactRules(m_program.GetDeviceType()) ? CompactGainOffset : InputGainOffset);
}

int ProgramEncoder::EqGainCode(const CFilter& section) {
    if (section.IsFlat()) {
        return FlatEqGainCode;
    }
    return section.GetGainIndex() + EqGainOffset;
}

int ProgramEncoder::BandwidthCode(const CFilter& section) const {
    const int index = section.GetBandwidthIndex();
    return UsesCompactRules(m_program.GetDeviceType()) ? index * CompactBandwidthStep : index;
}

std::vector<std::uint8_t> ProgramEncoder::ProgramNameField(const std::string& name) {
    std::vector<std::uint8_t> field(Protocol::ProgramNameLength, Space);
    const std::size_t n = std::min(name.size(), field.size());
    std::copy_n(name.begin(), n, field.begin());
    return field;
}

std::vector<std::uint8_t> ProgramEncoder::InfoLineField(const std::string& line, int deviceType) {
    const int width = static_cast<int>(Protocol::InfoTextLineWidth);
    const int n = std::min(static_cast<int>(line.size()), width);
    const int centre = UsesCompactRules(deviceType) ? CenterWidthCompact : CenterWidthWide;
    // A line wider than the centring width (17..20 characters on the compact types) starts at
    // the left edge instead of pushing the field past 20 bytes.
    const int left = std::max(0, (centre - n) / 2);
    std::vector<std::uint8_t> field(Protocol::InfoTextLineWidth, Space);
    std::copy_n(line.begin(), n, field.begin() + left);
    return field;
}

// ---- framing ----

std::unique_ptr<SendData> ProgramEncoder::Record(std::uint8_t code, int program, std::uint8_t group,
                                                 int channel, int block,
                                                 const std::vector<std::uint8_t>& payload,
                                                 int deviceId) const {
    Protocol::FrameHeader header;
    header.code = code;
    header.deviceId = Byte(deviceId);
    header.program = Byte(program);
    header.group = group;
    header.channel = Byte(channel);
    header.block = Byte(block);
    return Protocol::MakeRecord(header, payload);
}

std::unique_ptr<SendData> ProgramEncoder::Record(std::uint8_t code, int program, std::uint8_t group,
                                                 int channel, int block,
                                                 const std::vector<std::uint8_t>& payload) const {
    return Record(code, program, group, channel, block, payload, m_program.GetDeviceId());
}

// ---- payload pieces, placed by the channel layout ----

void ProgramEncoder::PutBand(Payload& out, std::size_t at, const CFilter& section) const {
    PutWord(out, at + Band::Frequency, section.GetFrequency());
    PutWord(out, at + Band::Gain, EqGainCode(section));
    PutWord(out, at + Band::Bandwidth, BandwidthCode(section));
    out[at + Band::Slope] = Byte(section.GetSlope());
    out[at + Band::Type] = Byte(section.GetType());
}

void ProgramEncoder::PutCrossover(Payload& out, std::size_t at, const CFilter& section,
                                  int frequency) {
    PutWord(out, at + Crossover::Frequency, frequency);
    out[at + Crossover::Type] = Byte(section.GetCrossoverType());
    out[at + Crossover::Slope] = Byte(section.GetSlope());
}

void ProgramEncoder::PutName(Payload& out, std::size_t at, const std::string& name) {
    // The channel's 8-byte name buffer as held: the characters, then zero bytes.
    const std::size_t n = std::min(name.size(), Protocol::ChannelNameLength);
    std::copy_n(name.begin(), n, out.begin() + static_cast<std::ptrdiff_t>(at));
}

void ProgramEncoder::PutLevels(Payload& out, std::size_t on, const CAudio_Channel& channel) const {
    // On, polarity, gain and delay open the levels block of both kinds of channel.
    namespace Levels = ChannelLayout::Levels;
    out[on + Levels::On] = channel.GetOn();
    out[on + Levels::Polarity] = channel.GetPolarity();
    PutWord(out, on + Levels::Gain, GainCode(channel.GetGain()));
    PutWord(out, on + Levels::Delay, channel.GetDelay());
}

ProgramEncoder::Payload ProgramEncoder::InputPayload(const CAudio_InData& input) const {
    const CEQ& eq = input.GetEQ();
    Payload out(Input::Size, 0);
    for (int band = 0; band < Input::BandCount; ++band) {
        PutBand(out, ChannelLayout::BandAt(band), *eq.GetFilter(band));
    }
    // The aux bytes go out as 0.
    PutLevels(out, Input::On, input);
    PutCrossover(out, Input::HighPass, *eq.GetHighPass(), eq.GetHighPass()->GetFrequency());
    PutCrossover(out, Input::LowPass, *eq.GetLowPass(), eq.GetLowPass()->GetFrequency());
    // A gate that is off travels with threshold 0 inside the whole channel.
    out[Input::GateThreshold] = input.GetGateOff() != 0 ? 0 : input.GetGateThreshold();
    out[Input::GateOff] = input.GetGateOff();
    PutName(out, Input::Name, input.GetName());
    return out;
}

ProgramEncoder::Payload ProgramEncoder::OutputPayload(const CAudio_OutData& output) const {
    const CEQ& eq = output.GetEQ();
    Payload out(Output::Size, 0);
    for (int band = 0; band < Output::BandCount; ++band) {
        PutBand(out, ChannelLayout::BandAt(band), *eq.GetFilter(band));
    }
    PutLevels(out, Output::On, output);
    out[Output::SourceMask] = output.GetSourceMask();
    PutCrossover(out, Output::HighPass, *eq.GetHighPass(), eq.GetHighPass()->GetFrequency());
    PutCrossover(out, Output::LowPass, *eq.GetLowPass(), eq.GetLowPass()->GetFrequency());
    PutWord(out, Output::LimitThreshold, output.GetLimitThreshold());
    if (output.GetAutoTiming() == 1) {
        // Automatic timing: the device derives its timing from the crossover high-pass.
        out[Output::Attack] = Byte(output.GetHighPassClass());
        out[Output::Release] = AutoRelease;
    } else {
        out[Output::Attack] = output.GetAttack();
        out[Output::Release] = output.GetRelease();
    }
    out[Output::ClipLimit] = Byte(output.GetClipLimit());
    out[Output::Ratio] = Byte(output.GetRatio());
    out[Output::Mode] = Byte(output.GetCompressorMode());
    out[Output::Timing] = Byte(output.GetAutoTiming());
    PutName(out, Output::Name, output.GetName());
    return out;
}

// ---- system items ----

std::unique_ptr<SendData> ProgramEncoder::WriteProgramName(int slot) const {
    return Record(Protocol::WriteRequest, slot, Protocol::GroupSystem, Protocol::ItemProgramName, 0,
                  ProgramNameField(m_program.GetName()));
}

std::unique_ptr<SendData> ProgramEncoder::WriteInputSource(int source) const {
    return Record(Protocol::WriteRequest, 0, Protocol::GroupSystem, Protocol::ItemInputSource, 0,
                  std::vector<std::uint8_t>(Protocol::BlockLength, Byte(source)));
}

std::unique_ptr<SendData> ProgramEncoder::WriteInterfaceText() const {
    std::vector<std::uint8_t> payload;
    payload.reserve(Protocol::InterfaceTextLength);
    constexpr int FirstLine = 4;
    for (int line = FirstLine; line < FirstLine + static_cast<int>(Protocol::InfoTextLineCount);
         ++line) {
        const auto field = InfoLineField(m_program.GetInfoText(line), m_program.GetDeviceType());
        payload.insert(payload.end(), field.begin(), field.end());
    }
    return Record(Protocol::WriteRequest, 0, Protocol::GroupSystem, Protocol::ItemInterfaceText, 0,
                  payload);
}

std::unique_ptr<SendData> ProgramEncoder::WriteBacklight() const {
    return Record(Protocol::WriteRequest, 0, Protocol::GroupSystem, Protocol::ItemBacklight, 0,
                  {Byte(m_program.GetBacklight())});
}

std::unique_ptr<SendData> ProgramEncoder::WriteTemperature() const {
    return Record(Protocol::WriteRequest, 0, Protocol::GroupSystem, Protocol::ItemTemperature, 0,
                  {Byte(m_program.GetTemperature())});
}

std::unique_ptr<SendData> ProgramEncoder::IdentifyDevice(int probedId) const {
    return Record(Protocol::ReadRequest, 0, Protocol::GroupSystem, Protocol::ItemDeviceId, 0,
                  {Byte(probedId), Byte(m_program.GetDeviceType())}, probedId);
}

std::unique_ptr<SendData> ProgramEncoder::WriteDeviceId(int newId) const {
    return Record(Protocol::WriteRequest, 0, Protocol::GroupSystem, Protocol::ItemDeviceId, 0,
                  {Byte(newId), Byte(m_program.GetDeviceType())});
}

std::unique_ptr<SendData> ProgramEncoder::ReadSystemItem(int item, int slot) const {
    return Record(Protocol::ReadRequest, slot, Protocol::GroupSystem, item, 0,
                  std::vector<std::uint8_t>(Protocol::BlockLength, 0));
}

std::unique_ptr<SendData> ProgramEncoder::ReadMeters() const {
    return ReadSystemItem(Protocol::ItemMeters, 0);
}

std::unique_ptr<SendData> ProgramEncoder::ReadChannel(int slot, int group, int channel,
                                                      int block) const {
    return Record(Protocol::ReadRequest, slot, Byte(group), channel, block,
                  std::vector<std::uint8_t>(Protocol::BlockLength, 0));
}

// ---- whole channels ----

std::unique_ptr<SendData> ProgramEncoder::WriteInputChannel(int slot, int channel) const {
    const CAudio_InData* input = m_program.GetInput(channel);
    if (input == nullptr) {
        return nullptr;
    }
    return Record(Protocol::WriteRequest, slot, Protocol::GroupInput, input->GetChannelIndex(),
                  Protocol::InputBlockWholeChannel, InputPayload(*input));
}

std::unique_ptr<SendData> ProgramEncoder::WriteOutputChannel(int slot, int channel) const {
    const CAudio_OutData* output = m_program.GetOutput(channel);
    if (output == nullptr) {
        return nullptr;
    }
    return Record(Protocol::WriteRequest, slot, Protocol::GroupOutput, output->GetChannelIndex(),
                  Protocol::OutputBlockWholeChannel, OutputPayload(*output));
}

// ---- single blocks: 8-byte pieces of the channel records ----

std::unique_ptr<SendData> ProgramEncoder::WriteInputEqBand(int channel, int section) const {
    const CAudio_InData* input = m_program.GetInput(channel);
    const CFilter* filter = input != nullptr ? input->GetFilter(section) : nullptr;
    if (filter == nullptr) {
        return nullptr;
    }
    Payload payload(Band::Size, 0);
    PutBand(payload, 0, *filter);
    return Record(Protocol::WriteRequest, 0, Protocol::GroupInput, input->GetChannelIndex(),
                  filter->GetCode(), payload);
}

std::unique_ptr<SendData> ProgramEncoder::WriteOutputEqBand(int channel, int section) const {
    const CAudio_OutData* output = m_program.GetOutput(channel);
    const CFilter* filter = output != nullptr ? output->GetFilter(section) : nullptr;
    if (filter == nullptr) {
        return nullptr;
    }
    Payload payload(Band::Size, 0);
    PutBand(payload, 0, *filter);
    return Record(Protocol::WriteRequest, 0, Protocol::GroupOutput, output->GetChannelIndex(),
                  filter->GetCode(), payload);
}

std::unique_ptr<SendData> ProgramEncoder::WriteInputLevels(int channel) const {
    const CAudio_InData* input = m_program.GetInput(channel);
    if (input == nullptr) {
        return nullptr;
    }
    return Record(Protocol::WriteRequest, 0, Protocol::GroupInput, input->GetChannelIndex(),
                  input->GetLevelCode(), Block(InputPayload(*input), Input::Levels));
}

std::unique_ptr<SendData> ProgramEncoder::WriteOutputLevels(int channel) const {
    const CAudio_OutData* output = m_program.GetOutput(channel);
    if (output == nullptr) {
        return nullptr;
    }
    return Record(Protocol::WriteRequest, 0, Protocol::GroupOutput, output->GetChannelIndex(),
                  output->GetLevelCode(), Block(OutputPayload(*output), Output::Levels));
}

std::unique_ptr<SendData> ProgramEncoder::WriteInputGate(int channel) const {
    const CAudio_InData* input = m_program.GetInput(channel);
    if (input == nullptr) {
        return nullptr;
    }
    // The threshold as held, also while the gate is off (unlike the whole channel).
    Payload payload(Protocol::BlockLength, 0);
    payload[Input::GateThreshold - Input::GateThreshold] = input->GetGateThreshold();
    payload[Input::GateOff - Input::GateThreshold] = input->GetGateOff();
    return Record(Protocol::WriteRequest, 0, Protocol::GroupInput, input->GetChannelIndex(),
                  input->GetGateCode(), payload);
}

std::unique_ptr<SendData> ProgramEncoder::WriteOutputCrossover(int channel) const {
    const CAudio_OutData* output = m_program.GetOutput(channel);
    if (output == nullptr) {
        return nullptr;
    }
    // Only this record carries the sent frequencies, which approach the set ones by octaves.
    const CEQ& eq = output->GetEQ();
    Payload payload(Protocol::BlockLength, 0);
    PutCrossover(payload, Output::HighPass - Output::HighPass, *eq.GetHighPass(),
                 eq.GetHighPass()->GetSentFrequency());
    PutCrossover(payload, Output::LowPass - Output::HighPass, *eq.GetLowPass(),
                 eq.GetLowPass()->GetSentFrequency());
    return Record(Protocol::WriteRequest, 0, Protocol::GroupOutput, output->GetChannelIndex(),
                  output->GetCrossoverCode(), payload);
}

std::unique_ptr<SendData> ProgramEncoder::WriteOutputDynamics(int channel) const {
    const CAudio_OutData* output = m_program.GetOutput(channel);
    if (output == nullptr) {
        return nullptr;
    }
    return Record(Protocol::WriteRequest, 0, Protocol::GroupOutput, output->GetChannelIndex(),
                  output->GetDynamicsCode(), Block(OutputPayload(*output), Output::Dynamics));
}

std::unique_ptr<SendData> ProgramEncoder::WriteInputName(int channel) const {
    const CAudio_InData* input = m_program.GetInput(channel);
    if (input == nullptr) {
        return nullptr;
    }
    return Record(Protocol::WriteRequest, 0, Protocol::GroupInput, input->GetChannelIndex(),
                  input->GetNameCode(), Block(InputPayload(*input), Input::Name));
}

std::unique_ptr<SendData> ProgramEncoder::WriteOutputName(int channel) const {
    const CAudio_OutData* output = m_program.GetOutput(channel);
    if (output == nullptr) {
        return nullptr;
    }
    return Record(Protocol::WriteRequest, 0, Protocol::GroupOutput, output->GetChannelIndex(),
                  output->GetNameCode(), Block(OutputPayload(*output), Output::Name));
}

// ---- pending changes ----

std::unique_ptr<SendData> ProgramEncoder::ChangeRecord(const PendingChange& change) const {
    using Kind = PendingChange::Kind;
    switch (change.kind) {
    case Kind::InputName:
        return WriteInputName(change.channel);
    case Kind::InputLevels:
        return WriteInputLevels(change.channel);
    case Kind::InputGate:
        return WriteInputGate(change.channel);
    case Kind::InputSection:
        return WriteInputEqBand(change.channel, change.section);
    case Kind::OutputName:
        return WriteOutputName(change.channel);
    case Kind::OutputLevels:
        return WriteOutputLevels(change.channel);
    case Kind::OutputBand:
        return WriteOutputEqBand(change.channel, change.section);
    case Kind::OutputCrossover:
        return WriteOutputCrossover(change.channel);
    case Kind::OutputDynamics:
        return WriteOutputDynamics(change.channel);
    }
    return nullptr;
}
