#include "sim/SimDevice.h"

#include "core/model/Variant.h"
#include "core/protocol/DeviceText.h"
#include "core/protocol/Frame.h"

#include <algorithm>

namespace Band = ChannelLayout::Band;
namespace Crossover = ChannelLayout::Crossover;
namespace Input = ChannelLayout::Input;
namespace Output = ChannelLayout::Output;

namespace {

constexpr std::uint8_t kHighPassType = 3;
constexpr std::uint8_t kLowPassType = 4;
constexpr int kMaxTemperature = 50;
constexpr std::size_t kInfoLineWidth = 20;

void PutCentred(std::uint8_t* at, std::size_t width, std::string text) {
    if (text.size() > width) {
        text.resize(width);
    }
    std::fill(at, at + width, static_cast<std::uint8_t>(' '));
    std::copy(text.begin(), text.end(), at + (width - text.size()) / 2);
}

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

} // namespace

SimDevice::SimDevice(int id, int type)
    : m_id(std::clamp(id, Protocol::MinDeviceId, Protocol::MaxDeviceId)),
      m_type(Variant::OfDeviceType(type).deviceType), m_reportedType(m_type),
      m_typeCode(TypeCodeFor(m_type)), m_meters(static_cast<unsigned>(m_id)) {
    m_programs[0] = SimProgram::MakeDefault("Default");
    for (int k = 1; k < kPrograms; ++k) {
        const std::string number = (k < 10 ? "0" : "") + std::to_string(k);
        SimProgram& slot = m_programs[static_cast<std::size_t>(k)];
        slot = SimProgram::MakeDefault("Preset" + number);
        // Every stored program differs a little, so that slots cannot be mistaken for each other.
        for (auto& in : slot.inputs) {
            const unsigned gain = 1100U - 10U * static_cast<unsigned>(k);
            in[Input::Gain] = static_cast<std::uint8_t>(gain & 0xFF);
            in[Input::Gain + 1] = static_cast<std::uint8_t>(gain >> 8);
        }
        for (auto& out : slot.outputs) {
            out[Output::Delay] = static_cast<std::uint8_t>(10 * k);
        }
    }
    SetInfoLine(0, "Sonvex");
    SetInfoLine(1, "Digital Processor");
    SetInfoLine(2, std::to_string(GetInputCount()) + " IN / " + std::to_string(GetOutputCount()) +
                       " OUT");
    SetInfoLine(3, "Simulated");
    for (int line = 4; line <= 7; ++line) {
        SetInfoLine(line, "");
    }
    SetInfoLine(5, "Sonvex");
    SetInfoLine(6, "Loudspeaker DSP");
    SetInfoLine(8, "V1.0");
}

int SimDevice::GetInputCount() const {
    return Variant::OfDeviceType(m_type).inputCount;
}

int SimDevice::GetOutputCount() const {
    return Variant::OfDeviceType(m_type).outputCount;
}

std::string SimDevice::TypeCodeFor(int type) {
    return Variant::OfDeviceType(type).typeCodeText;
}

std::vector<std::uint8_t> SimDevice::Feed(const std::uint8_t* data, std::size_t count) {
    std::vector<std::uint8_t> out;
    for (const SimFrameReader::Frame& frame : m_reader.Feed(data, count)) {
        if (!frame.valid) {
            continue;
        }
        for (const Frame& reply : HandleFrame(frame.bytes)) {
            const Frame bytes = WithPreamble(reply);
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
    }
    return out;
}

std::vector<std::uint8_t> SimDevice::Feed(const std::vector<std::uint8_t>& bytes) {
    return Feed(bytes.data(), bytes.size());
}

std::vector<std::uint8_t> SimDevice::WithPreamble(const std::vector<std::uint8_t>& frame) {
    std::vector<std::uint8_t> bytes(kPreambleLength, Protocol::PreambleByte);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    return bytes;
}

bool SimDevice::IsAddressedBy(const std::vector<std::uint8_t>& frame) const {
    return frame.size() > Protocol::OffsetDeviceId && frame[Protocol::OffsetDeviceId] == m_id;
}

std::vector<std::vector<std::uint8_t>>
SimDevice::HandleFrame(const std::vector<std::uint8_t>& frame, Writes writes) {
    const auto view = Protocol::ParseFrame(frame.data(), frame.size());
    if (!view || frame.size() != view->length + Protocol::FrameOverhead ||
        view->header.deviceId != m_id) {
        return {};
    }
    if (view->header.code == Protocol::WriteRequest) {
        return HandleWrite(frame.data(), view->length, writes);
    }
    if (view->header.code == Protocol::ReadRequest) {
        return HandleRead(frame.data());
    }
    return {};
}

const SimProgram& SimDevice::GetProgram(int number) const {
    return m_programs[InRange(number, 0, kPrograms - 1) ? static_cast<std::size_t>(number) : 0];
}

SimProgram& SimDevice::GetProgram(int number) {
    return m_programs[InRange(number, 0, kPrograms - 1) ? static_cast<std::size_t>(number) : 0];
}

void SimDevice::SetStatusByte(int value) {
    m_statusByte = value & 0xFF;
}

std::string SimDevice::GetInfoLine(int line) const {
    if (InRange(line, 0, 3)) {
        const auto* at = m_infoTop.data() + kInfoLineWidth * static_cast<std::size_t>(line);
        return TrimBoth(std::string(at, at + kInfoLineWidth));
    }
    if (InRange(line, 4, 7)) {
        const auto* at =
            m_interfaceText.data() + kInfoLineWidth * static_cast<std::size_t>(line - 4);
        return TrimBoth(std::string(at, at + kInfoLineWidth));
    }
    if (line == 8) {
        return TrimBoth(std::string(m_shortText.begin(), m_shortText.end()));
    }
    return {};
}

void SimDevice::SetInfoLine(int line, const std::string& text) {
    if (InRange(line, 0, 3)) {
        PutCentred(m_infoTop.data() + kInfoLineWidth * static_cast<std::size_t>(line),
                   kInfoLineWidth, text);
    } else if (InRange(line, 4, 7)) {
        PutCentred(m_interfaceText.data() + kInfoLineWidth * static_cast<std::size_t>(line - 4),
                   kInfoLineWidth, text);
    } else if (line == 8) {
        // The device shows at most 6 characters of its short text.
        PutCentred(m_shortText.data(), m_shortText.size(), text.substr(0, 6));
    }
}

SimDevice::Frame SimDevice::Reply(std::uint8_t code, const std::uint8_t* request,
                                  const std::vector<std::uint8_t>& payload) const {
    Protocol::FrameHeader header;
    header.code = code;
    header.deviceId = static_cast<std::uint8_t>(m_id);
    header.program = request[Protocol::OffsetProgram];
    header.group = request[Protocol::OffsetGroup];
    header.channel = request[Protocol::OffsetChannel];
    header.block = request[Protocol::OffsetBlock];
    return Protocol::BuildFrame(header, payload);
}

std::vector<SimDevice::Frame> SimDevice::HandleWrite(const std::uint8_t* frame, std::size_t length,
                                                     Writes writes) {
    const int program = frame[Protocol::OffsetProgram];
    const int group = frame[Protocol::OffsetGroup];
    const int channel = frame[Protocol::OffsetChannel];
    const int block = frame[Protocol::OffsetBlock];
    const std::uint8_t* payload = frame + Protocol::OffsetPayload;
    // Built before the write: a change of device ID is acknowledged under the old ID.
    if (writes == Writes::Forget) {
        // Checked and answered like any other write; then everything it changed is put back.
        const auto programs = m_programs;
        const auto interfaceText = m_interfaceText;
        const int id = m_id;
        const int inputSource = m_inputSource;
        const int backlight = m_backlight;
        const int temperature = m_temperature;
        const bool dirty = m_dirty;
        std::vector<Frame> answer = HandleWrite(frame, length, Writes::Keep);
        m_programs = programs;
        m_interfaceText = interfaceText;
        m_id = id;
        m_inputSource = inputSource;
        m_backlight = backlight;
        m_temperature = temperature;
        m_dirty = dirty;
        return answer;
    }
    Frame ack = Reply(Protocol::Ack, frame, {0});
    bool accepted = false;
    if (group == Protocol::GroupInput || group == Protocol::GroupOutput) {
        accepted = WriteChannel(program, group, channel, block, payload, length);
    } else if (group == Protocol::GroupSystem) {
        accepted = WriteSystem(program, channel, payload, length);
    }
    if (!accepted) {
        return {};
    }
    m_dirty = true;
    return {std::move(ack)};
}

bool SimDevice::WriteChannel(int program, int group, int channel, int block,
                             const std::uint8_t* payload, std::size_t length) {
    if (!InRange(program, 0, kPrograms - 1)) {
        return false;
    }
    SimProgram& target = m_programs[static_cast<std::size_t>(program)];
    const auto put = [payload](std::uint8_t* at, std::size_t count) {
        std::copy_n(payload, count, at);
    };
    if (group == Protocol::GroupInput) {
        if (!InRange(channel, 0, static_cast<int>(SimProgram::kInputs) - 1)) {
            return false;
        }
        std::uint8_t* in = target.inputs[static_cast<std::size_t>(channel)].data();
        if (block == Protocol::InputBlockWholeChannel && length == SimProgram::kInputBytes) {
            put(in, length);
            return true;
        }
        if (length != Protocol::BlockLength) {
            return false;
        }
        if (InRange(block, 0, Input::BandCount - 1)) {
            put(in + ChannelLayout::BandAt(block), Band::Size);
        } else if (block == Protocol::InputBlockLevels) {
            put(in + Input::Levels, Input::LevelsWritten);
        } else if (block == Protocol::InputBlockCrossover) {
            // A crossover section in band layout: frequency, EQ gain, bandwidth, slope, type.
            // The section type says which of the two it is; the crossover type is not carried.
            const std::uint8_t type = payload[Band::Type];
            if (type != kHighPassType && type != kLowPassType) {
                return false;
            }
            std::uint8_t* section = in + (type == kHighPassType ? Input::HighPass : Input::LowPass);
            section[Crossover::Frequency] = payload[Band::Frequency];
            section[Crossover::Frequency + 1] = payload[Band::Frequency + 1];
            section[Crossover::Slope] = payload[Band::Slope];
        } else if (block == Protocol::InputBlockGate) {
            put(in + Input::GateThreshold, Input::GateWritten);
        } else if (block == Protocol::InputBlockName) {
            put(in + Input::Name, Protocol::ChannelNameLength);
        } else {
            return false;
        }
        return true;
    }
    if (!InRange(channel, 0, static_cast<int>(SimProgram::kOutputs) - 1)) {
        return false;
    }
    std::uint8_t* out = target.outputs[static_cast<std::size_t>(channel)].data();
    if (block == Protocol::OutputBlockWholeChannel && length == SimProgram::kOutputBytes) {
        put(out, length);
        return true;
    }
    if (length != Protocol::BlockLength) {
        return false;
    }
    if (InRange(block, 0, Output::BandCount - 1)) {
        put(out + ChannelLayout::BandAt(block), Band::Size);
    } else if (block == Protocol::OutputBlockLevels) {
        put(out + Output::Levels, Output::LevelsWritten);
    } else if (block == Protocol::OutputBlockCrossover) {
        put(out + Output::HighPass, 2 * Crossover::Size);
    } else if (block == Protocol::OutputBlockDynamics) {
        put(out + Output::Dynamics, Protocol::BlockLength);
    } else if (block == Protocol::OutputBlockName) {
        put(out + Output::Name, Protocol::ChannelNameLength);
    } else {
        return false;
    }
    return true;
}

bool SimDevice::WriteSystem(int program, int item, const std::uint8_t* payload,
                            std::size_t length) {
    switch (item) {
    case Protocol::ItemProgramName: {
        if (length != Protocol::ProgramNameLength || !InRange(program, 0, kPrograms - 1)) {
            return false;
        }
        SimProgram& target = m_programs[static_cast<std::size_t>(program)];
        if (program != Protocol::LiveProgram) {
            target = m_programs[0]; // a store starts from the live program
        }
        std::copy_n(payload, SimProgram::kNameBytes, target.name.begin());
        return true;
    }
    case Protocol::ItemInputSource:
        if (length != Protocol::BlockLength || payload[0] > 1) {
            return false;
        }
        m_inputSource = payload[0];
        return true;
    case Protocol::ItemInterfaceText:
        if (length != m_interfaceText.size()) {
            return false;
        }
        std::copy_n(payload, length, m_interfaceText.begin());
        return true;
    case Protocol::ItemBacklight:
        if (length != 1 || payload[0] > 1) {
            return false;
        }
        m_backlight = payload[0];
        return true;
    case Protocol::ItemTemperature:
        if (length != 1 || payload[0] > kMaxTemperature) {
            return false;
        }
        m_temperature = payload[0];
        return true;
    case Protocol::ItemDeviceId:
        if (length != Protocol::DeviceIdLength ||
            !InRange(payload[0], Protocol::MinDeviceId, Protocol::MaxDeviceId)) {
            return false;
        }
        m_id = payload[0];
        return true;
    default:
        return false;
    }
}

std::vector<SimDevice::Frame> SimDevice::HandleRead(const std::uint8_t* frame) {
    const int program = frame[Protocol::OffsetProgram];
    const int group = frame[Protocol::OffsetGroup];
    const int channel = frame[Protocol::OffsetChannel];
    const int block = frame[Protocol::OffsetBlock];
    std::vector<std::uint8_t> payload;
    if (group == Protocol::GroupInput || group == Protocol::GroupOutput) {
        const bool input = group == Protocol::GroupInput;
        const int channels = static_cast<int>(input ? SimProgram::kInputs : SimProgram::kOutputs);
        if (!InRange(program, 0, kPrograms - 1) || !InRange(channel, 0, channels - 1) ||
            (block != 0 && block != Protocol::ArchiveFlag)) {
            return {};
        }
        const auto slot = static_cast<std::size_t>(program);
        const auto index = static_cast<std::size_t>(channel);
        if (program != Protocol::LiveProgram && block != Protocol::ArchiveFlag) {
            // Recall: the stored channel becomes live, and the program takes the slot's name.
            if (input) {
                m_programs[0].inputs[index] = m_programs[slot].inputs[index];
            } else {
                m_programs[0].outputs[index] = m_programs[slot].outputs[index];
            }
            m_programs[0].name = m_programs[slot].name;
            m_dirty = true;
        }
        const SimProgram& source = m_programs[slot];
        if (input) {
            payload.assign(source.inputs[index].begin(), source.inputs[index].end());
        } else {
            payload.assign(source.outputs[index].begin(), source.outputs[index].end());
        }
        return {Reply(Protocol::DataReply, frame, payload)};
    }
    if (group != Protocol::GroupSystem || !ReadSystem(program, channel, payload)) {
        return {};
    }
    std::vector<Frame> replies{Reply(Protocol::DataReply, frame, payload)};
    if (channel == Protocol::ItemDeviceId) {
        if (m_sendIdentification && !m_identified) {
            std::uint8_t request[Protocol::HeaderSize] = {};
            std::copy_n(frame, Protocol::HeaderSize, request);
            request[Protocol::OffsetProgram] = 0;
            request[Protocol::OffsetChannel] = Protocol::ItemIdentification;
            replies.push_back(Reply(Protocol::DataReply, request, IdentificationPayload()));
        }
        m_identified = true;
    }
    return replies;
}

bool SimDevice::ReadSystem(int program, int item, std::vector<std::uint8_t>& payload) {
    switch (item) {
    case Protocol::ItemProgramName: {
        if (!InRange(program, 0, kPrograms - 1)) {
            return false;
        }
        const SimProgram& source = m_programs[static_cast<std::size_t>(program)];
        payload.assign(source.name.begin(), source.name.end());
        payload.resize(Protocol::ProgramNameLength, ' ');
        return true;
    }
    case Protocol::ItemInputSource:
        payload.assign(Protocol::BlockLength, static_cast<std::uint8_t>(m_inputSource));
        return true;
    case Protocol::ItemMeters: {
        const auto meters = m_meters.Next(m_programs[0], GetInputCount(), GetOutputCount());
        payload.assign(meters.begin(), meters.end());
        return true;
    }
    case Protocol::ItemStatusByte:
        payload.assign(1, static_cast<std::uint8_t>(m_statusByte));
        return true;
    case Protocol::ItemInterfaceText:
        payload.assign(m_interfaceText.begin(), m_interfaceText.end());
        return true;
    case Protocol::ItemInfoText:
        payload.assign(m_infoTop.begin(), m_infoTop.end());
        return true;
    case Protocol::ItemShortText:
        payload.assign(m_shortText.begin(), m_shortText.end());
        return true;
    case Protocol::ItemBacklight:
        payload.assign(1, static_cast<std::uint8_t>(m_backlight));
        return true;
    case Protocol::ItemDeviceId:
        payload = {static_cast<std::uint8_t>(m_id), static_cast<std::uint8_t>(m_reportedType)};
        return true;
    case Protocol::ItemTemperature:
        payload.assign(1, static_cast<std::uint8_t>(m_temperature));
        return true;
    case Protocol::ItemIdentification:
        payload = IdentificationPayload();
        return true;
    default:
        return false;
    }
}

std::vector<std::uint8_t> SimDevice::IdentificationPayload() const {
    // Identification characters 0..3, the 4-character type code, identification characters 4..8.
    std::string id = m_identification;
    id.resize(9, ' ');
    std::string code = m_typeCode;
    code.resize(4, ' ');
    const std::string text = id.substr(0, 4) + code + id.substr(4);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}
