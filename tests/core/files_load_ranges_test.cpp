// Every way a program comes in (a one-program file, a bank file, the device's live program and a
// stored program read from it) limits each value with the ranges of the model it is for: the
// bottom and the top of every range arrive unchanged, one step past the top arrives as the top.

#include "core/files/Archive.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/protocol/ChannelLayout.h"
#include "core/protocol/Frame.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/protocol/ReplyDecoders.h"
#include "core/model/AudioData.h"
#include "core/model/ParameterValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace In = ChannelLayout::Input;
namespace Out = ChannelLayout::Output;
namespace Band = ChannelLayout::Band;

bool Compact(int deviceType) {
    return deviceType != 1;
}

// One limited field: its range top per model, where it sits in the program record, in the
// stored-program image and on the wire (with the device's code of an index).
struct Field {
    const char* name;
    std::function<int(int deviceType)> top;
    std::function<void(CAudio_Data&, int)> set;
    std::function<int(const CAudio_Data&)> get;
    std::function<void(ProgramImage&, int)> setImage;
    std::function<int(const ProgramImage&)> getImage;
    bool output;
    std::size_t offset;
    bool word;
    std::function<int(int index, int deviceType)> code;
};

int Same(int index, int) {
    return index;
}

// The bandwidth a band holds in steps of its model (0.01 or 0.05 octave from 0.05), not
// limited: the band's own index getter stops at the top of the range and would hide a
// bandwidth past it.
int BandwidthSteps(const CFilter& band) {
    const double step = Compact(band.GetDeviceType()) ? 0.05 : 0.01;
    return static_cast<int>(std::lround((band.GetBandwidth() - MinBandwidth) / step));
}

constexpr std::size_t kLastOutputBand = 5;

const std::vector<Field>& Fields() {
    using P = CAudio_Data;
    using I = ProgramImage;
    static const std::vector<Field> fields = {
        {"input gain", [](int t) { return InputGainRange(t).max; },
         [](P& p, int v) { p.GetInput(0)->SetGain(v); },
         [](const P& p) { return p.GetInput(0)->GetGain(); },
         [](I& i, int v) { i.inputs[0].gain = static_cast<std::uint16_t>(v); },
         [](const I& i) { return i.inputs[0].gain; }, false, In::Gain, true,
         [](int v, int t) { return v + (Compact(t) ? 740 : 700); }},
        {"output gain", [](int t) { return OutputGainRange(t).max; },
         [](P& p, int v) { p.GetOutput(0)->SetGain(v); },
         [](const P& p) { return p.GetOutput(0)->GetGain(); },
         [](I& i, int v) { i.outputs[0].gain = static_cast<std::uint16_t>(v); },
         [](const I& i) { return i.outputs[0].gain; }, true, Out::Gain, true,
         [](int v, int t) { return v + (Compact(t) ? 740 : 700); }},
        {"input delay", [](int t) { return DelayRange(t).max; },
         [](P& p, int v) { p.GetInput(0)->SetDelay(v); },
         [](const P& p) { return p.GetInput(0)->GetDelay(); },
         [](I& i, int v) { i.inputs[0].delay = static_cast<std::uint16_t>(v); },
         [](const I& i) { return i.inputs[0].delay; }, false, In::Delay, true, Same},
        {"output delay", [](int t) { return DelayRange(t).max; },
         [](P& p, int v) { p.GetOutput(0)->SetDelay(v); },
         [](const P& p) { return p.GetOutput(0)->GetDelay(); },
         [](I& i, int v) { i.outputs[0].delay = static_cast<std::uint16_t>(v); },
         [](const I& i) { return i.outputs[0].delay; }, true, Out::Delay, true, Same},
        {"gate threshold", [](int t) { return GateThresholdRange(t).max; },
         [](P& p, int v) { p.GetInput(0)->SetGateThreshold(static_cast<std::uint8_t>(v)); },
         [](const P& p) { return p.GetInput(0)->GetGateThreshold(); },
         [](I& i, int v) { i.inputs[0].gateThreshold = static_cast<std::uint8_t>(v); },
         [](const I& i) { return i.inputs[0].gateThreshold; }, false, In::GateThreshold, false,
         Same},
        {"limit threshold", [](int) { return LimitThresholdRange.max; },
         [](P& p, int v) { p.GetOutput(0)->SetLimitThreshold(v); },
         [](const P& p) { return p.GetOutput(0)->GetLimitThreshold(); },
         [](I& i, int v) { i.outputs[0].limitThreshold = static_cast<std::uint16_t>(v); },
         [](const I& i) { return i.outputs[0].limitThreshold; }, true, Out::LimitThreshold, true,
         Same},
        {"attack", [](int) { return AttackRange.max; },
         [](P& p, int v) { p.GetOutput(0)->SetAttack(static_cast<std::uint8_t>(v)); },
         [](const P& p) { return p.GetOutput(0)->GetAttack(); },
         [](I& i, int v) { i.outputs[0].attack = static_cast<std::uint8_t>(v); },
         [](const I& i) { return i.outputs[0].attack; }, true, Out::Attack, false, Same},
        {"release", [](int) { return ReleaseRange.max; },
         [](P& p, int v) { p.GetOutput(0)->SetRelease(static_cast<std::uint8_t>(v)); },
         [](const P& p) { return p.GetOutput(0)->GetRelease(); },
         [](I& i, int v) { i.outputs[0].release = static_cast<std::uint8_t>(v); },
         [](const I& i) { return i.outputs[0].release; }, true, Out::Release, false, Same},
        {"clip limit", [](int) { return ClipLimitRange.max; },
         [](P& p, int v) { p.GetOutput(0)->SetClipLimit(v); },
         [](const P& p) { return p.GetOutput(0)->GetClipLimit(); },
         [](I& i, int v) { i.outputs[0].clipLimit = static_cast<std::uint8_t>(v); },
         [](const I& i) { return i.outputs[0].clipLimit; }, true, Out::ClipLimit, false, Same},
        {"ratio", [](int) { return RatioRange.max; },
         [](P& p, int v) { p.GetOutput(0)->SetRatio(v); },
         [](const P& p) { return p.GetOutput(0)->GetRatio(); },
         [](I& i, int v) { i.outputs[0].ratio = static_cast<std::uint8_t>(v); },
         [](const I& i) { return i.outputs[0].ratio; }, true, Out::Ratio, false, Same},
        {"input EQ gain", [](int) { return EqGainRange.max; },
         [](P& p, int v) { p.GetInput(0)->GetFilter(0)->SetGainIndex(v); },
         [](const P& p) { return p.GetInput(0)->GetFilter(0)->GetGainIndex(); },
         [](I& i, int v) { i.inputs[0].bands[0].gain = static_cast<std::uint16_t>(v); },
         [](const I& i) { return i.inputs[0].bands[0].gain; }, false, Band::Gain, true,
         [](int v, int) { return v + 300; }},
        {"output EQ gain", [](int) { return EqGainRange.max; },
         [](P& p, int v) { p.GetOutput(0)->GetFilter(kLastOutputBand)->SetGainIndex(v); },
         [](const P& p) { return p.GetOutput(0)->GetFilter(kLastOutputBand)->GetGainIndex(); },
         [](I& i, int v) {
             i.outputs[0].bands[kLastOutputBand].gain = static_cast<std::uint16_t>(v);
         },
         [](const I& i) { return i.outputs[0].bands[kLastOutputBand].gain; }, true,
         ChannelLayout::BandAt(kLastOutputBand) + Band::Gain, true,
         [](int v, int) { return v + 300; }},
        {"input bandwidth", [](int t) { return BandwidthRange(t).max; },
         [](P& p, int v) { p.GetInput(0)->GetFilter(0)->SetBandwidthIndex(v); },
         [](const P& p) { return BandwidthSteps(*p.GetInput(0)->GetFilter(0)); },
         [](I& i, int v) { i.inputs[0].bands[0].bandwidth = static_cast<std::uint16_t>(v); },
         [](const I& i) { return i.inputs[0].bands[0].bandwidth; }, false, Band::Bandwidth, true,
         [](int v, int t) { return Compact(t) ? v * 5 : v; }},
        {"output bandwidth", [](int t) { return BandwidthRange(t).max; },
         [](P& p, int v) { p.GetOutput(0)->GetFilter(kLastOutputBand)->SetBandwidthIndex(v); },
         [](const P& p) { return BandwidthSteps(*p.GetOutput(0)->GetFilter(kLastOutputBand)); },
         [](I& i, int v) {
             i.outputs[0].bands[kLastOutputBand].bandwidth = static_cast<std::uint16_t>(v);
         },
         [](const I& i) { return i.outputs[0].bands[kLastOutputBand].bandwidth; }, true,
         ChannelLayout::BandAt(kLastOutputBand) + Band::Bandwidth, true,
         [](int v, int t) { return Compact(t) ? v * 5 : v; }},
    };
    return fields;
}

// Runs check(field, deviceType, value, expected) for every model, every field and the values
// 0, the top of the field's range and one past it.
void ForEveryCase(const std::function<void(const Field&, int, int, int)>& check) {
    for (int deviceType : {1, 2, 3}) {
        for (const Field& field : Fields()) {
            const int top = field.top(deviceType);
            for (const auto& [value, expected] :
                 std::vector<std::pair<int, int>>{{0, 0}, {top, top}, {top + 1, top}}) {
                SCOPED_TRACE(std::string(field.name) + " = " + std::to_string(value) +
                             " on device type " + std::to_string(deviceType));
                check(field, deviceType, value, expected);
            }
        }
    }
}

// A data reply carrying the field's code in an otherwise zero channel payload.
Bytes ReplyFrame(const Field& field, int deviceType, int value, bool stored) {
    Bytes payload(field.output ? Protocol::OutputChannelLength : Protocol::InputChannelLength, 0);
    const int code = field.code(value, deviceType);
    payload[field.offset] = static_cast<std::uint8_t>(code & 0xFF);
    if (field.word) {
        payload[field.offset + 1] = static_cast<std::uint8_t>(code >> 8);
    }
    Protocol::FrameHeader header;
    header.code = Protocol::DataReply;
    header.deviceId = 1;
    header.program = stored ? 4 : 0;
    header.group = field.output ? Protocol::GroupOutput : Protocol::GroupInput;
    header.block = stored ? Protocol::ArchiveFlag : 0;
    return Protocol::BuildFrame(header, payload);
}

} // namespace

TEST(RangesOnLoad, ProgramFileIsLimitedWithItsModelsRanges) {
    ForEveryCase([](const Field& field, int deviceType, int value, int expected) {
        CAudio_Data written;
        written.SetDeviceType(deviceType);
        field.set(written, value);
        CArchive ar;
        written.Serialize(ar);
        const std::vector<std::uint8_t> bytes = ar.GetBuffer();

        CZorvanDoc doc;
        doc.GetProgram().SetDeviceType(deviceType);
        std::istringstream file(std::string(bytes.begin(), bytes.end()));
        ASSERT_EQ(ReadProgram(file, doc), "");
        EXPECT_EQ(field.get(doc.GetProgram()), expected);
    });
}

TEST(RangesOnLoad, BankFileProgramIsLimitedWithTheRangesOfTheModelItGoesTo) {
    ForEveryCase([](const Field& field, int deviceType, int value, int expected) {
        ProgramImage image;
        field.setImage(image, value);
        CArchive ar;
        for (int k = 0; k < CZorvanDoc::kStoredProgramCount; ++k) {
            ProgramImage copy = image;
            copy.Serialize(ar);
        }
        const std::vector<std::uint8_t> bytes = ar.GetBuffer();

        CZorvanDoc::StoredPrograms bank;
        std::istringstream file(std::string(bytes.begin(), bytes.end()));
        ASSERT_EQ(ReadBank(file, bank), "");
        // As a restore sends it.
        EXPECT_EQ(field.get(*ProgramFromImage(bank.back(), deviceType)), expected);
    });
}

TEST(RangesOnLoad, LiveProgramFromTheDeviceIsLimitedWithItsModelsRanges) {
    ForEveryCase([](const Field& field, int deviceType, int value, int expected) {
        const Bytes frame = ReplyFrame(field, deviceType, value, false);
        const auto reply = Protocol::ParseFrame(frame.data(), frame.size());
        ASSERT_TRUE(reply.has_value());
        CAudio_Data program;
        program.SetDeviceType(deviceType);
        const auto decoded = field.output ? DecodeOutputChannel(*reply, deviceType, program)
                                          : DecodeInputChannel(*reply, deviceType, program);
        ASSERT_EQ(decoded, ChannelReply::Decoded);
        EXPECT_EQ(field.get(program), expected);
    });
}

TEST(RangesOnLoad, StoredProgramFromTheDeviceIsLimitedWithItsModelsRanges) {
    ForEveryCase([](const Field& field, int deviceType, int value, int expected) {
        const Bytes frame = ReplyFrame(field, deviceType, value, true);
        const auto reply = Protocol::ParseFrame(frame.data(), frame.size());
        ASSERT_TRUE(reply.has_value());
        ProgramImage archive;
        const auto decoded = field.output ? DecodeArchiveOutputChannel(*reply, deviceType, archive)
                                          : DecodeArchiveInputChannel(*reply, deviceType, archive);
        ASSERT_EQ(decoded, ChannelReply::Decoded);
        // The image itself is what a backup writes to the bank file.
        EXPECT_EQ(field.getImage(archive), expected);
        EXPECT_EQ(field.get(*ProgramFromImage(archive, deviceType)), expected);
    });
}
