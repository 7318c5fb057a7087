#include "core/files/ProgramImage.h"
#include "core/model/AudioData.h"
#include "core/protocol/DeviceImages.h"
#include "core/protocol/Frame.h"
#include "core/protocol/ProgramEncoder.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/protocol/ReplyDecoders.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A checked reply frame together with the buffer its view points into.
struct ReplyFrame {
    Bytes frame;
    Protocol::FrameView view;
};

std::unique_ptr<ReplyFrame> MakeReply(std::uint8_t group, std::uint8_t item, const Bytes& payload,
                                      std::uint8_t block = 0, std::uint8_t program = 0) {
    auto reply = std::make_unique<ReplyFrame>();
    reply->frame =
        Protocol::BuildFrame({Protocol::DataReply, 1, program, group, item, block}, payload);
    reply->view = *Protocol::ParseFrame(reply->frame.data(), reply->frame.size());
    return reply;
}

void PutWord(Bytes& payload, std::size_t offset, int value) {
    payload[offset] = static_cast<std::uint8_t>(value & 0xFF);
    payload[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// One received field, decoded by the live and by the archive decoder of its channel kind.
struct ClampCase {
    const char* name;
    int deviceType;
    bool output;
    std::size_t offset;
    bool word;
    int received;
    std::function<int(CAudio_Data&)> live;
    std::function<int(const ProgramImage&)> archive;
    int expectedLive;
    int expectedArchive;
};

CFilter& InBand(CAudio_Data& p, int band) {
    return *p.GetInput(0)->GetFilter(band);
}
CFilter& OutBand(CAudio_Data& p, int band) {
    return *p.GetOutput(0)->GetFilter(band);
}

TEST(ProtocolChannelDecoders, ReceivedValuesAreLimitedToTheModelRanges) {
    using P = CAudio_Data;
    using I = ProgramImage;
    const std::vector<ClampCase> cases = {
        {"EQ frequency 5", 1, false, 0, true, 5, [](P& p) { return InBand(p, 0).GetFrequency(); },
         [](const I& i) { return i.inputs[0].bands[0].frequency; }, 10, 10},
        {"EQ frequency 40000", 1, false, 0, true, 40000,
         [](P& p) { return InBand(p, 0).GetFrequency(); },
         [](const I& i) { return i.inputs[0].bands[0].frequency; }, 30000, 30000},
        {"EQ gain code 250", 1, false, 2, true, 250,
         [](P& p) { return InBand(p, 0).GetGainIndex(); },
         [](const I& i) { return i.inputs[0].bands[0].gain; }, 0, 0},
        {"EQ gain code 800", 1, false, 2, true, 800,
         [](P& p) { return InBand(p, 0).GetGainIndex(); },
         [](const I& i) { return i.inputs[0].bands[0].gain; }, 450, 450},
        {"EQ bandwidth code 400 on type 1", 1, false, 4, true, 400,
         [](P& p) { return InBand(p, 0).GetBandwidthIndex(); },
         [](const I& i) { return i.inputs[0].bands[0].bandwidth; }, 295, 295},
        {"EQ bandwidth code 95 on type 2", 2, false, 4, true, 95,
         [](P& p) { return InBand(p, 0).GetBandwidthIndex(); },
         [](const I& i) { return i.inputs[0].bands[0].bandwidth; }, 19, 19},
        {"EQ bandwidth code 400 on type 3", 3, false, 4, true, 400,
         [](P& p) { return InBand(p, 0).GetBandwidthIndex(); },
         [](const I& i) { return i.inputs[0].bands[0].bandwidth; }, 59, 59},
        {"shelf slope 7", 1, false, 6, false, 7, [](P& p) { return InBand(p, 0).GetSlope(); },
         [](const I& i) { return i.inputs[0].bands[0].shelfSlope; }, 1, 1},
        {"EQ type 9 in the last input band", 1, false, 63, false, 9,
         [](P& p) { return InBand(p, 7).GetType(); },
         [](const I& i) { return i.inputs[0].bands[7].type; }, 2, 2},
        {"on flag 7", 1, false, 64, false, 7, [](P& p) { return p.GetInput(0)->GetOn(); },
         [](const I& i) { return i.inputs[0].on; }, 1, 1},
        {"polarity 2", 1, false, 65, false, 2, [](P& p) { return p.GetInput(0)->GetPolarity(); },
         [](const I& i) { return i.inputs[0].polarity; }, 1, 1},
        {"input gain 1200 on type 1", 1, false, 66, true, 1200,
         [](P& p) { return p.GetInput(0)->GetGain(); }, [](const I& i) { return i.inputs[0].gain; },
         460, 460},
        {"input gain 690 on type 1", 1, false, 66, true, 690,
         [](P& p) { return p.GetInput(0)->GetGain(); }, [](const I& i) { return i.inputs[0].gain; },
         0, 0},
        {"input gain 1100 on type 2", 2, false, 66, true, 1100,
         [](P& p) { return p.GetInput(0)->GetGain(); }, [](const I& i) { return i.inputs[0].gain; },
         360, 360},
        {"input gain 1400 on type 2", 2, false, 66, true, 1400,
         [](P& p) { return p.GetInput(0)->GetGain(); }, [](const I& i) { return i.inputs[0].gain; },
         560, 560},
        {"delay 60000 on type 2", 2, false, 68, true, 60000,
         [](P& p) { return p.GetInput(0)->GetDelay(); },
         [](const I& i) { return i.inputs[0].delay; }, 1465, 1465},
        {"delay 60000 on type 1", 1, false, 68, true, 60000,
         [](P& p) { return p.GetInput(0)->GetDelay(); },
         [](const I& i) { return i.inputs[0].delay; }, 52473, 52473},
        {"aux flag 5", 1, false, 70, false, 5, [](P& p) { return p.GetInput(0)->GetAuxFlag(); },
         [](const I& i) { return i.inputs[0].auxFlag; }, 1, 1},
        {"aux value 0xAB", 1, false, 71, false, 0xAB,
         [](P& p) { return p.GetInput(0)->GetAuxValue(); },
         [](const I& i) { return i.inputs[0].auxValue; }, 0xAB, 0xAB},
        {"input high-pass frequency 3", 1, false, 72, true, 3,
         [](P& p) { return p.GetInput(0)->GetHighPass()->GetFrequency(); },
         [](const I& i) { return i.inputs[0].highPass.frequency; }, 10, 10},
        {"input high-pass type 5", 1, false, 74, false, 5,
         [](P& p) { return p.GetInput(0)->GetHighPass()->GetCrossoverType(); },
         [](const I& i) { return i.inputs[0].highPass.type; }, 2, 2},
        {"input low-pass slope 9", 1, false, 79, false, 9,
         [](P& p) { return p.GetInput(0)->GetLowPass()->GetSlope(); },
         [](const I& i) { return i.inputs[0].lowPass.slope; }, 3, 3},
        {"gate threshold 200 on type 1", 1, false, 80, false, 200,
         [](P& p) { return p.GetInput(0)->GetGateThreshold(); },
         [](const I& i) { return i.inputs[0].gateThreshold; }, 130, 130},
        {"gate threshold 61 on type 3", 3, false, 80, false, 61,
         [](P& p) { return p.GetInput(0)->GetGateThreshold(); },
         [](const I& i) { return i.inputs[0].gateThreshold; }, 60, 60},
        {"gate off 3 as received", 1, false, 81, false, 3,
         [](P& p) { return p.GetInput(0)->GetGateOff(); },
         [](const I& i) { return i.inputs[0].gateOff; }, 3, 3},
        {"EQ gain code 5000 in the last output band", 1, true, 42, true, 5000,
         [](P& p) { return OutBand(p, 5).GetGainIndex(); },
         [](const I& i) { return i.outputs[0].bands[5].gain; }, 450, 450},
        {"output gain 1300 on type 1", 1, true, 50, true, 1300,
         [](P& p) { return p.GetOutput(0)->GetGain(); },
         [](const I& i) { return i.outputs[0].gain; }, 550, 550},
        {"output gain 1300 on type 3", 3, true, 50, true, 1300,
         [](P& p) { return p.GetOutput(0)->GetGain(); },
         [](const I& i) { return i.outputs[0].gain; }, 560, 560},
        {"output delay 1466 on type 3", 3, true, 52, true, 1466,
         [](P& p) { return p.GetOutput(0)->GetDelay(); },
         [](const I& i) { return i.outputs[0].delay; }, 1465, 1465},
        {"source mask as received", 1, true, 54, false, 0x0F,
         [](P& p) { return p.GetOutput(0)->GetSourceMask(); },
         [](const I& i) { return i.outputs[0].sourceMask; }, 0x0F, 0x0F},
        {"output high-pass frequency 50000", 1, true, 56, true, 50000,
         [](P& p) { return p.GetOutput(0)->GetHighPass()->GetFrequency(); },
         [](const I& i) { return i.outputs[0].highPass.frequency; }, 30000, 30000},
        {"output low-pass type 4", 1, true, 62, false, 4,
         [](P& p) { return p.GetOutput(0)->GetLowPass()->GetCrossoverType(); },
         [](const I& i) { return i.outputs[0].lowPass.type; }, 2, 2},
        {"limit threshold 600", 1, true, 64, true, 600,
         [](P& p) { return p.GetOutput(0)->GetLimitThreshold(); },
         [](const I& i) { return i.outputs[0].limitThreshold; }, 500, 500},
        {"limit threshold 450, also of a stored program", 1, true, 64, true, 450,
         [](P& p) { return p.GetOutput(0)->GetLimitThreshold(); },
         [](const I& i) { return i.outputs[0].limitThreshold; }, 450, 450},
        {"attack 200", 1, true, 66, false, 200, [](P& p) { return p.GetOutput(0)->GetAttack(); },
         [](const I& i) { return i.outputs[0].attack; }, 106, 106},
        {"release 9", 1, true, 67, false, 9, [](P& p) { return p.GetOutput(0)->GetRelease(); },
         [](const I& i) { return i.outputs[0].release; }, 5, 5},
        {"clip limit 101", 1, true, 68, false, 101,
         [](P& p) { return p.GetOutput(0)->GetClipLimit(); },
         [](const I& i) { return i.outputs[0].clipLimit; }, 100, 100},
        {"ratio 8", 1, true, 69, false, 8, [](P& p) { return p.GetOutput(0)->GetRatio(); },
         [](const I& i) { return i.outputs[0].ratio; }, 7, 7},
        {"timing as received", 1, true, 71, false, 1,
         [](P& p) { return p.GetOutput(0)->GetAutoTiming(); },
         [](const I& i) { return i.outputs[0].timing; }, 1, 1},
    };

    for (const ClampCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes payload(c.output ? 80 : 96, 0);
        if (c.word) {
            PutWord(payload, c.offset, c.received);
        } else {
            payload[c.offset] = static_cast<std::uint8_t>(c.received);
        }
        const std::uint8_t group = c.output ? Protocol::GroupOutput : Protocol::GroupInput;
        const auto live = MakeReply(group, 0, payload);
        const auto stored = MakeReply(group, 0, payload, Protocol::ArchiveFlag);

        CAudio_Data program;
        program.SetDeviceType(c.deviceType);
        ProgramImage archive;
        if (c.output) {
            EXPECT_EQ(DecodeOutputChannel(live->view, c.deviceType, program),
                      ChannelReply::Decoded);
            EXPECT_EQ(DecodeArchiveOutputChannel(stored->view, c.deviceType, archive),
                      ChannelReply::Decoded);
        } else {
            EXPECT_EQ(DecodeInputChannel(live->view, c.deviceType, program), ChannelReply::Decoded);
            EXPECT_EQ(DecodeArchiveInputChannel(stored->view, c.deviceType, archive),
                      ChannelReply::Decoded);
        }
        EXPECT_EQ(c.live(program), c.expectedLive);
        EXPECT_EQ(c.archive(archive), c.expectedArchive);
    }
}

TEST(ProtocolChannelDecoders, EqGainAndBandwidthBecomeModelValues) {
    Bytes payload(96, 0);
    PutWord(payload, 0 + 2, 250);  // band 0: -30 dB
    PutWord(payload, 8 + 2, 800);  // band 1: +15 dB
    PutWord(payload, 16 + 2, 600); // band 2: 0 dB, a flat band
    PutWord(payload, 16 + 4, 95);
    CAudio_Data program;
    program.SetDeviceType(2);
    ASSERT_EQ(DecodeInputChannel(MakeReply(1, 0, payload)->view, 2, program),
              ChannelReply::Decoded);
    const CAudio_InData& input = *program.GetInput(0);
    EXPECT_DOUBLE_EQ(input.GetFilter(0)->GetGain(), -30.0);
    EXPECT_FALSE(input.GetFilter(0)->IsFlat());
    EXPECT_DOUBLE_EQ(input.GetFilter(1)->GetGain(), 15.0);
    EXPECT_TRUE(input.GetFilter(2)->IsFlat());
    EXPECT_NEAR(input.GetFilter(2)->GetBandwidth(), 1.00, 1e-9);
}

TEST(ProtocolChannelDecoders, ChannelNamesAreCleanedAndNeverLongerThanEight) {
    Bytes in(96, 0);
    const Bytes name = {'K', 'i', 0x01, 'k', 0xC4, ' ', ' ', ' '};
    std::copy(name.begin(), name.end(), in.begin() + 88);
    Bytes out(80, 0);
    const Bytes full = Text("Subwoofe");
    std::copy(full.begin(), full.end(), out.begin() + 72);

    CAudio_Data program;
    ProgramImage archive;
    DecodeInputChannel(MakeReply(1, 2, in)->view, 1, program);
    DecodeArchiveInputChannel(MakeReply(1, 2, in, 0x77)->view, 1, archive);
    DecodeOutputChannel(MakeReply(2, 3, out)->view, 1, program);
    DecodeArchiveOutputChannel(MakeReply(2, 3, out, 0x77)->view, 1, archive);
    EXPECT_EQ(program.GetInput(2)->GetNameText(), "Ki k");
    EXPECT_EQ(archive.inputs[2].name, "Ki k");
    EXPECT_EQ(program.GetOutput(3)->GetNameText(), "Subwoofe");
    EXPECT_EQ(archive.outputs[3].name, "Subwoofe");
}

TEST(ProtocolChannelDecoders, WrongLengthAndChannelOutsideTheProgramStoreNothing) {
    CAudio_Data program;
    ProgramImage archive;
    Bytes in(96, 0);
    PutWord(in, 66, 1000);
    Bytes out(80, 0);
    PutWord(out, 50, 1000);
    Bytes shortOut(79, 0);
    PutWord(shortOut, 50, 1000);

    EXPECT_EQ(DecodeInputChannel(MakeReply(1, 4, in)->view, 1, program),
              ChannelReply::NoSuchChannel);
    EXPECT_EQ(DecodeArchiveInputChannel(MakeReply(1, 0, Bytes(95, 0), 0x77)->view, 1, archive),
              ChannelReply::WrongLength);
    EXPECT_EQ(DecodeOutputChannel(MakeReply(2, 8, out)->view, 1, program),
              ChannelReply::NoSuchChannel);
    EXPECT_EQ(DecodeArchiveOutputChannel(MakeReply(2, 255, out, 0x77)->view, 1, archive),
              ChannelReply::NoSuchChannel);
    EXPECT_EQ(DecodeOutputChannel(MakeReply(2, 0, shortOut)->view, 1, program),
              ChannelReply::WrongLength);
    EXPECT_EQ(program.GetOutput(0)->GetGain(), 400);
    EXPECT_EQ(archive, ProgramImage());
}

// What the encoders send for a whole channel comes back unchanged through the decoders.
TEST(ProtocolChannelDecoders, WholeChannelRecordsRoundTripThroughTheEncoders) {
    for (int type : {1, 2}) {
        SCOPED_TRACE(type);
        CAudio_Data sent;
        sent.SetDeviceType(type);
        CAudio_InData& in = *sent.GetInput(1);
        in.SetName("Vocal");
        in.SetPolarity(1);
        in.SetGain(321);
        in.SetDelay(1234);
        in.SetGateThreshold(44);
        for (int band = 0; band < 8; ++band) {
            CFilter& f = *in.GetFilter(band);
            f.SetFrequency(100 + 250 * band);
            f.SetGainIndex(310 + band);
            f.SetBandwidthIndex(3 + band);
            f.SetType(band % 3);
            f.SetSlope(band % 2);
        }
        in.GetHighPass()->SetFrequency(80);
        in.GetHighPass()->SetCrossoverType(0);
        in.GetHighPass()->SetSlope(2);
        in.GetLowPass()->SetFrequency(16000);
        in.GetLowPass()->SetSlope(3);
        CAudio_OutData& out = *sent.GetOutput(5);
        out.SetName("Top L");
        out.SetOn(0);
        out.SetGain(333);
        out.SetDelay(999);
        out.SetSourceMask(0x0A);
        for (int band = 0; band < 6; ++band) {
            out.GetFilter(band)->SetFrequency(50 + 1000 * band);
            out.GetFilter(band)->SetGainIndex(200 + band);
            out.GetFilter(band)->SetBandwidthIndex(10 + band);
        }
        out.GetHighPass()->SetFrequency(120);
        out.GetHighPass()->SetCrossoverType(1);
        out.GetLowPass()->SetFrequency(5000);
        out.GetLowPass()->SetSlope(1);
        out.SetLimitThreshold(380);
        out.SetAttack(55);
        out.SetRelease(3);
        out.SetClipLimit(42);
        out.SetRatio(4);
        out.SetCompressorMode(1);

        ProgramEncoder encoder(sent);
        const auto inRecord = encoder.WriteInputChannel(0, 1);
        const auto outRecord = encoder.WriteOutputChannel(0, 5);
        const Bytes& inFrame = inRecord->GetData();
        const Bytes& outFrame = outRecord->GetData();
        const Bytes inPayload(inFrame.begin() + 9, inFrame.end() - 2);
        const Bytes outPayload(outFrame.begin() + 9, outFrame.end() - 2);

        CAudio_Data received;
        received.SetDeviceType(type);
        ProgramImage archive;
        ASSERT_EQ(DecodeInputChannel(MakeReply(1, 1, inPayload)->view, type, received),
                  ChannelReply::Decoded);
        ASSERT_EQ(DecodeOutputChannel(MakeReply(2, 5, outPayload)->view, type, received),
                  ChannelReply::Decoded);
        ASSERT_EQ(
            DecodeArchiveOutputChannel(MakeReply(2, 5, outPayload, 0x77)->view, type, archive),
            ChannelReply::Decoded);

        const CAudio_InData& rin = *received.GetInput(1);
        EXPECT_EQ(rin.GetNameText(), "Vocal");
        EXPECT_EQ(rin.GetOn(), 1);
        EXPECT_EQ(rin.GetPolarity(), 1);
        EXPECT_EQ(rin.GetGain(), 321);
        EXPECT_EQ(rin.GetDelay(), 1234);
        EXPECT_EQ(rin.GetGateThreshold(), 44);
        EXPECT_EQ(rin.GetGateOff(), 0);
        for (int section = 0; section < 10; ++section) {
            SCOPED_TRACE(section);
            const CFilter& a = *in.GetFilter(section);
            const CFilter& b = *rin.GetFilter(section);
            EXPECT_EQ(b.GetFrequency(), a.GetFrequency());
            EXPECT_EQ(b.GetSlope(), a.GetSlope());
            if (section < 8) {
                EXPECT_EQ(b.GetGainIndex(), a.GetGainIndex());
                EXPECT_EQ(b.GetBandwidthIndex(), a.GetBandwidthIndex());
                EXPECT_EQ(b.GetType(), a.GetType());
            } else {
                EXPECT_EQ(b.GetCrossoverType(), a.GetCrossoverType());
            }
        }

        const CAudio_OutData& rout = *received.GetOutput(5);
        EXPECT_EQ(rout.GetNameText(), "Top L");
        EXPECT_EQ(rout.GetOn(), 0);
        EXPECT_EQ(rout.GetGain(), 333);
        EXPECT_EQ(rout.GetDelay(), 999);
        EXPECT_EQ(rout.GetSourceMask(), 0x0A);
        EXPECT_EQ(rout.GetLimitThreshold(), 380);
        EXPECT_EQ(rout.GetAttack(), 55);
        EXPECT_EQ(rout.GetRelease(), 3);
        EXPECT_EQ(rout.GetClipLimit(), 42);
        EXPECT_EQ(rout.GetRatio(), 4);
        EXPECT_EQ(rout.GetCompressorMode(), 1);
        EXPECT_EQ(rout.GetAutoTiming(), 0);
        for (int section = 0; section < 8; ++section) {
            SCOPED_TRACE(section);
            const CFilter& a = *out.GetFilter(section);
            const CFilter& b = *rout.GetFilter(section);
            EXPECT_EQ(b.GetFrequency(), a.GetFrequency());
            EXPECT_EQ(b.GetSlope(), a.GetSlope());
            if (section < 6) {
                EXPECT_EQ(b.GetGainIndex(), a.GetGainIndex());
                EXPECT_EQ(b.GetBandwidthIndex(), a.GetBandwidthIndex());
            } else {
                EXPECT_EQ(b.GetCrossoverType(), a.GetCrossoverType());
            }
        }

        const OutputImage& image = archive.outputs[5];
        EXPECT_EQ(image.name, "Top L");
        EXPECT_EQ(image.gain, 333);
        EXPECT_EQ(image.sourceMask, 0x0A);
        EXPECT_EQ(image.bands[4].frequency, 4050);
        EXPECT_EQ(image.bands[4].gain, 204);
        EXPECT_EQ(image.bands[4].bandwidth, 14);
        EXPECT_EQ(image.highPass.frequency, 120);
        EXPECT_EQ(image.highPass.type, 1);
        EXPECT_EQ(image.lowPass.frequency, 5000);
        EXPECT_EQ(image.lowPass.slope, 1);
        EXPECT_EQ(image.limitThreshold, 380);
        EXPECT_EQ(image.mode, 1);
    }
}

class ProtocolSystemItems : public ::testing::Test {
protected:
    std::optional<EngineNotice> Decode(std::uint8_t item, const Bytes& payload,
                                       std::uint8_t program = 0, const SendData* head = nullptr) {
        return DecodeSystemItem(MakeReply(3, item, payload, 0, program)->view, deviceType, head,
                                images);
    }

    int deviceType = 1;
    DeviceImages images;
};

TEST_F(ProtocolSystemItems, ProgramNamesKeepEightLettersAndStayInTheTable) {
    EXPECT_FALSE(Decode(0x00, Text("LongProgramX  "), 0));
    EXPECT_EQ(images.programNames[0], "LongProg");
    EXPECT_EQ(images.program.GetName(), "LongProg");
    EXPECT_EQ(images.lastProgramName, "LongProg");

    Decode(0x00, Bytes{'J', 'a', 'z', 'z', 0x00, 0x7F, ' ', ' ', 'X', 'X', 'X', 'X', 'X', 'X'}, 30);
    EXPECT_EQ(images.programNames[30], "Jazz \x7F");
    EXPECT_EQ(images.program.GetName(), "LongProg"); // only program 0 names the device image

    Decode(0x00, Text("Short"), 12); // fewer bytes than the field: the rest are spaces
    EXPECT_EQ(images.programNames[12], "Short");

    const auto before = images.programNames;
    Decode(0x00, Text("Beyond30      "), 31);
    Decode(0x00, Text("Beyond30      "), 255);
    EXPECT_EQ(images.programNames, before);
    EXPECT_EQ(images.lastProgramName, "Short");
}

TEST_F(ProtocolSystemItems, MetersAreLimitedAndBoundedToTwelve) {
    Bytes payload = {12, 20, 30, 16, 17, 9, 0, 255, 1, 2, 3, 4};
    const auto notice = Decode(0x02, payload);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->message, EngineMessage::WM_LEVELS_RECEIVED);
    EXPECT_EQ(images.meters, (std::array<int, 12>{9, 20, 25, 9, 17, 9, 0, 25, 1, 2, 3, 4}));

    payload.assign(40, 30);
    EXPECT_TRUE(Decode(0x02, payload));
    for (int value : images.meters) {
        EXPECT_EQ(value, 25);
    }

    Decode(0x02, {5, 5}); // a short reply updates only what it carries
    EXPECT_EQ(images.meters[0], 5);
    EXPECT_EQ(images.meters[2], 25);
}

TEST_F(ProtocolSystemItems, DeviceSettingsAndTexts) {
    Decode(0x01, {1});
    EXPECT_EQ(images.inputSource, 1);
    Decode(0x04, {77});
    EXPECT_EQ(images.program.GetStatusByte(), 77);
    Decode(0x14, {1});
    EXPECT_EQ(images.program.GetBacklight(), 1);
    const auto info = Decode(0x16, {30});
    EXPECT_EQ(images.program.GetTemperature(), 30);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->message, EngineMessage::WM_DEVICE_INFO_RECEIVED);
    EXPECT_EQ(info->wParam, 0x16);

    std::string lines = "   Main Hall        "
                        "Interface 1         "
                        "\x01\x02Stage\xff          "
                        "                    ";
    Decode(0x10, Text(lines));
    EXPECT_EQ(images.program.GetInfoText(4), "Main Hall");
    EXPECT_EQ(images.program.GetInfoText(5), "Interface 1");
    EXPECT_EQ(images.program.GetInfoText(6), "Stage");
    EXPECT_EQ(images.program.GetInfoText(7), "");
    Decode(0x11, Text(std::string(20, 'a') + std::string(20, 'b') + "  c"));
    EXPECT_EQ(images.program.GetInfoText(0), std::string(20, 'a'));
    EXPECT_EQ(images.program.GetInfoText(1), std::string(20, 'b'));
    EXPECT_EQ(images.program.GetInfoText(2), "c");
    EXPECT_EQ(images.program.GetInfoText(3), "");
    Decode(0x12, Text(" V2.1  "));
    EXPECT_EQ(images.program.GetInfoText(8), " V2.1");

    // Replies without a value byte change nothing.
    Decode(0x14, {});
    Decode(0x16, {});
    EXPECT_EQ(images.program.GetBacklight(), 1);
    EXPECT_EQ(images.program.GetTemperature(), 30);
}

TEST_F(ProtocolSystemItems, IdentificationAndNotices) {
    const auto id = Decode(0x19, Text("ZQ_PLoxu_V1.0"));
    ASSERT_TRUE(id);
    EXPECT_EQ(id->message, EngineMessage::WM_IDENTIFICATION_RECEIVED);
    EXPECT_EQ(id->wParam, 0x19);
    EXPECT_EQ(images.identificationText, "ZQ_P_V1.0");
    EXPECT_EQ(images.typeCodeText, "Loxu");

    const auto notice = Decode(0x59, {0});
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->message, EngineMessage::WM_DEVICE_NOTICE);
    EXPECT_FALSE(Decode(0x42, {1, 2, 3}));
}

struct IdentityCase {
    const char* name;
    bool identityCheck;
    bool queued;
    Bytes payload;
    std::optional<EngineMessage> message;
    int wParam;
    bool toSearchWindow;
    int foundId; // the device reported as found (0: none)
};

TEST(ProtocolIdentityAnswer, LinkCheckAndIdSearch) {
    using M = EngineMessage;
    const std::vector<IdentityCase> cases = {
        {"link check, same type", true, true, {5, 1}, M::WM_DEVICE_TYPE_CHECKED, 1, false, 0},
        {"link check, other type", true, true, {5, 2}, M::WM_DEVICE_TYPE_CHECKED, 0, false, 0},
        {"search, same type", false, true, {17, 1}, std::nullopt, 0, false, 17},
        {"search, other type", false, true, {17, 3}, std::nullopt, 0, false, 0},
        {"search, device 250 of another type",
         false,
         true,
         {250, 2},
         M::WM_ID_SEARCH_END,
         0,
         true,
         0},
        {"search, device 250 of the same type",
         false,
         true,
         {250, 1},
         M::WM_ID_SEARCH_END,
         0,
         true,
         250},
        {"late answer with nothing queued", false, false, {9, 1}, std::nullopt, 0, false, 9},
        {"ID outside the table", false, true, {251, 1}, std::nullopt, 0, false, 0},
        {"ID zero", false, true, {0, 1}, std::nullopt, 0, false, 0},
        {"answer without a type byte", true, true, {5}, std::nullopt, 0, false, 0},
    };
    for (const IdentityCase& c : cases) {
        SCOPED_TRACE(c.name);
        SendData head;
        head.SetIdentityCheck(c.identityCheck);
        const auto notice =
            DecodeIdentity(MakeReply(3, 0x15, c.payload)->view, 1, c.queued ? &head : nullptr);
        // Every device that answers a search with an ID in range is reported with the type it
        // gives, of whatever model (a search for every device on the line).
        const bool inRange = c.payload.size() >= 2 && c.payload[0] >= 1 && c.payload[0] <= 250;
        const int answeredId = !c.identityCheck && inRange ? c.payload[0] : 0;
        ASSERT_EQ(notice.has_value(), c.message.has_value() || c.foundId != 0 || answeredId != 0);
        if (notice) {
            EXPECT_EQ(notice->message, c.message);
            EXPECT_EQ(notice->wParam, c.wParam);
            EXPECT_EQ(notice->toSearchWindow, c.toSearchWindow);
            EXPECT_EQ(notice->foundId, c.foundId);
            EXPECT_EQ(notice->answeredId, answeredId);
            EXPECT_EQ(notice->answeredType, answeredId != 0 ? c.payload[1] : 0);
        }
    }
}

TEST(ProtocolTextRules, CleaningAndTrimming) {
    const Bytes raw = {' ', 'a', 0x00, 'b', 0x1F, 0x7F, 0x80, 0xFF, ' '};
    EXPECT_EQ(CleanText(raw.data(), raw.size()), " a b \x7F   ");
    EXPECT_EQ(TrimRight("  x y  "), "  x y");
    EXPECT_EQ(TrimBoth("  x y  "), "x y");
    EXPECT_EQ(TrimBoth("    "), "");
    EXPECT_EQ(TrimRight(""), "");
}

} // namespace
