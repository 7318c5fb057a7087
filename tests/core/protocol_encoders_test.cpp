#include "core/ChangeRecords.h"
#include "core/model/AudioData.h"
#include "core/model/Filter.h"
#include "core/protocol/ChangeScan.h"
#include "core/protocol/Frame.h"
#include "core/protocol/ProgramEncoder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr int DeviceId = 5;

// A program of the given device type with no pending changes.
struct ProtocolEncoders : ::testing::Test {
    void Use(int deviceType) {
        program.SetDeviceType(deviceType);
        program.SetDeviceId(DeviceId);
        program.ClearChanged();
    }

    ProgramEncoder Encoder() { return ProgramEncoder(program); }

    CAudio_Data program;
};

Bytes HeaderOf(const SendData& record) {
    const Bytes& d = record.GetData();
    return Bytes(d.begin() + 1, d.begin() + 9);
}

Bytes PayloadOf(const SendData& record) {
    const Bytes& d = record.GetData();
    return Bytes(d.begin() + 9, d.end() - 2);
}

unsigned WordAt(const Bytes& payload, std::size_t offset) {
    return payload.at(offset) | (payload.at(offset + 1) << 8);
}

std::string TextOf(const Bytes& payload, std::size_t offset, std::size_t count) {
    return std::string(payload.begin() + static_cast<long>(offset),
                       payload.begin() + static_cast<long>(offset + count));
}

// Drains the change scan, returning the record of every change it took.
std::vector<std::unique_ptr<SendData>> DrainChanges(CAudio_Data& program) {
    constexpr int Limit = 500;
    auto records = changetest::TakeAllChangeRecords(program, Limit);
    if (records.size() >= static_cast<std::size_t>(Limit)) {
        ADD_FAILURE() << "change scan never ran dry";
    }
    return records;
}

} // namespace

TEST_F(ProtocolEncoders, EveryRecordKindHasItsHeader) {
    Use(2);
    ProgramEncoder e = Encoder();
    struct Case {
        const char* kind;
        std::function<std::unique_ptr<SendData>()> build;
        Bytes header; // code, ID, program, group, channel/item, block, 0, L
    };
    const std::vector<Case> cases = {
        {"WriteProgramName",
         [&] { return e.WriteProgramName(12); },
         {0xA1, 5, 12, 3, 0x00, 0, 0, 15}},
        {"WriteInputSource", [&] { return e.WriteInputSource(1); }, {0xA1, 5, 0, 3, 0x01, 0, 0, 8}},
        {"WriteInterfaceText",
         [&] { return e.WriteInterfaceText(); },
         {0xA1, 5, 0, 3, 0x10, 0, 0, 80}},
        {"WriteBacklight", [&] { return e.WriteBacklight(); }, {0xA1, 5, 0, 3, 0x14, 0, 0, 1}},
        {"WriteTemperature", [&] { return e.WriteTemperature(); }, {0xA1, 5, 0, 3, 0x16, 0, 0, 1}},
        {"IdentifyDevice", [&] { return e.IdentifyDevice(77); }, {0xA2, 77, 0, 3, 0x15, 0, 0, 2}},
        {"WriteDeviceId", [&] { return e.WriteDeviceId(9); }, {0xA1, 5, 0, 3, 0x15, 0, 0, 2}},
        {"ReadSystemItem", [&] { return e.ReadSystemItem(0, 30); }, {0xA2, 5, 30, 3, 0, 0, 0, 8}},
        {"ReadMeters", [&] { return e.ReadMeters(); }, {0xA2, 5, 0, 3, 0x02, 0, 0, 8}},
        {"WriteInputChannel",
         [&] { return e.WriteInputChannel(3, 2); },
         {0xA1, 5, 3, 1, 2, 0, 0, 96}},
        {"WriteOutputChannel",
         [&] { return e.WriteOutputChannel(4, 7); },
         {0xA1, 5, 4, 2, 7, 0, 0, 80}},
        {"WriteInputEqBand", [&] { return e.WriteInputEqBand(1, 6); }, {0xA1, 5, 0, 1, 1, 6, 0, 8}},
        {"WriteInputEqBand crossover",
         [&] { return e.WriteInputEqBand(1, 9); },
         {0xA1, 5, 0, 1, 1, 9, 0, 8}},
        {"WriteOutputEqBand",
         [&] { return e.WriteOutputEqBand(6, 5); },
         {0xA1, 5, 0, 2, 6, 5, 0, 8}},
        {"WriteInputLevels", [&] { return e.WriteInputLevels(3); }, {0xA1, 5, 0, 1, 3, 8, 0, 8}},
        {"WriteOutputLevels", [&] { return e.WriteOutputLevels(3); }, {0xA1, 5, 0, 2, 3, 6, 0, 8}},
        {"WriteInputGate", [&] { return e.WriteInputGate(0); }, {0xA1, 5, 0, 1, 0, 10, 0, 8}},
        {"WriteOutputCrossover",
         [&] { return e.WriteOutputCrossover(2); },
         {0xA1, 5, 0, 2, 2, 7, 0, 8}},
        {"WriteOutputDynamics",
         [&] { return e.WriteOutputDynamics(2); },
         {0xA1, 5, 0, 2, 2, 8, 0, 8}},
        {"WriteInputName", [&] { return e.WriteInputName(1); }, {0xA1, 5, 0, 1, 1, 11, 0, 8}},
        {"WriteOutputName", [&] { return e.WriteOutputName(1); }, {0xA1, 5, 0, 2, 1, 9, 0, 8}},
        {"ReadChannel archive",
         [&] { return e.ReadChannel(17, 2, 4, Protocol::ArchiveFlag); },
         {0xA2, 5, 17, 2, 4, 0x77, 0, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const auto record = c.build();
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(HeaderOf(*record), c.header);
        EXPECT_EQ(record->GetLength(), c.header.back() + 11);
        EXPECT_TRUE(Protocol::ValidateFrame(record->Bytes(), record->GetData().size()));
    }
}

TEST_F(ProtocolEncoders, SmallPayloads) {
    Use(3);
    program.SetBacklight(1);
    program.SetTemperature(37);
    ProgramEncoder e = Encoder();
    EXPECT_EQ(PayloadOf(*e.WriteInputSource(1)), Bytes(8, 1));
    EXPECT_EQ(PayloadOf(*e.WriteBacklight()), Bytes({1}));
    EXPECT_EQ(PayloadOf(*e.WriteTemperature()), Bytes({37}));
    EXPECT_EQ(PayloadOf(*e.IdentifyDevice(250)), Bytes({250, 3}));
    EXPECT_EQ(PayloadOf(*e.WriteDeviceId(42)), Bytes({42, 3}));
    EXPECT_EQ(PayloadOf(*e.ReadMeters()), Bytes(8, 0));
    EXPECT_EQ(PayloadOf(*e.ReadChannel(0, 1, 0, 0)), Bytes(8, 0));
}

TEST_F(ProtocolEncoders, ChannelOutsideTheProgramGivesNoRecord) {
    Use(1);
    ProgramEncoder e = Encoder();
    EXPECT_EQ(e.WriteInputChannel(0, 4), nullptr);
    EXPECT_EQ(e.WriteOutputLevels(8), nullptr);
    EXPECT_EQ(e.WriteInputEqBand(0, 10), nullptr);
    EXPECT_EQ(e.WriteOutputEqBand(-1, 0), nullptr);
}

TEST_F(ProtocolEncoders, ZeroDbGainIs1100OnEveryType) {
    for (int type : {1, 2, 3}) {
        SCOPED_TRACE(type);
        Use(type);
        ProgramEncoder e = Encoder();
        const Bytes inLevels = PayloadOf(*e.WriteInputLevels(0));
        EXPECT_EQ(inLevels[2], 0x4C);
        EXPECT_EQ(inLevels[3], 0x04);
        EXPECT_EQ(WordAt(PayloadOf(*e.WriteOutputLevels(1)), 2), 1100u);
        EXPECT_EQ(WordAt(PayloadOf(*e.WriteInputChannel(0, 0)), 66), 1100u);
        EXPECT_EQ(WordAt(PayloadOf(*e.WriteOutputChannel(0, 1)), 50), 1100u);
    }
    Use(1);
    program.GetOutput(0)->SetGain(550); // +15 dB on type 1
    EXPECT_EQ(WordAt(PayloadOf(*Encoder().WriteOutputLevels(0)), 2), 1250u);
    Use(2);
    program.GetOutput(0)->SetGain(0); // -36 dB on type 2
    EXPECT_EQ(WordAt(PayloadOf(*Encoder().WriteOutputLevels(0)), 2), 740u);
}

TEST_F(ProtocolEncoders, LevelsPayloads) {
    Use(1);
    CAudio_InData& in = *program.GetInput(2);
    in.SetOn(0);
    in.SetPolarity(1);
    in.SetDelay(52473);
    CAudio_OutData& out = *program.GetOutput(5);
    out.SetPolarity(1);
    out.SetDelay(0x1234);
    out.SetSourceMask(0x0B);
    ProgramEncoder e = Encoder();
    EXPECT_EQ(PayloadOf(*e.WriteInputLevels(2)), Bytes({0, 1, 0x4C, 0x04, 0xF9, 0xCC, 0, 0}));
    EXPECT_EQ(PayloadOf(*e.WriteOutputLevels(5)), Bytes({1, 1, 0x4C, 0x04, 0x34, 0x12, 0x0B, 0}));
}

TEST_F(ProtocolEncoders, EqGainCodes) {
    Use(1);
    CFilter& band = *program.GetOutput(0)->GetFilter(2);
    struct Case {
        int gainIndex; // -1: leave the band flat
        unsigned code;
    };
    for (const Case c : {Case{-1, 600}, Case{450, 750}, Case{0, 300}, Case{180, 480},
                         Case{300, 600}, Case{301, 601}}) {
        SCOPED_TRACE(c.gainIndex);
        if (c.gainIndex >= 0) {
            band.SetGainIndex(c.gainIndex);
        }
        EXPECT_EQ(WordAt(PayloadOf(*Encoder().WriteOutputEqBand(0, 2)), 2), c.code);
    }
    // A band marked flat sends 600 whatever gain it still holds.
    band.SetGainIndex(420);
    band.SetFlat(1);
    EXPECT_EQ(WordAt(PayloadOf(*Encoder().WriteOutputEqBand(0, 2)), 2), 600u);
}

TEST_F(ProtocolEncoders, BandwidthOfOneOctaveIs95OnEveryType) {
    for (int type : {1, 2, 3}) {
        SCOPED_TRACE(type);
        Use(type);
        CFilter& band = *program.GetInput(0)->GetFilter(0);
        band.SetBandwidth(1.0);
        EXPECT_EQ(WordAt(PayloadOf(*Encoder().WriteInputEqBand(0, 0)), 4), 95u);
        band.SetBandwidth(3.0);
        EXPECT_EQ(WordAt(PayloadOf(*Encoder().WriteInputEqBand(0, 0)), 4), 295u);
    }
}

TEST_F(ProtocolEncoders, BandPayloadLayout) {
    Use(1);
    CFilter& band = *program.GetInput(1)->GetFilter(4);
    band.SetType(CFilter::HighShelf);
    band.SetFrequency(12500);
    band.SetGainIndex(360); // +6 dB
    band.SetBandwidth(0.5);
    band.SetSlope(1);
    EXPECT_EQ(PayloadOf(*Encoder().WriteInputEqBand(1, 4)),
              Bytes({0xD4, 0x30, 0x94, 0x02, 45, 0, 1, 2}));
}

TEST_F(ProtocolEncoders, WholeInputChannelLayout) {
    Use(1);
    CAudio_InData& in = *program.GetInput(1);
    in.SetName("Kick");
    in.SetPolarity(1);
    in.SetDelay(300);
    in.SetGateThreshold(90);
    in.GetFilter(7)->SetFrequency(8000);
    in.GetFilter(7)->SetGainIndex(250);
    in.GetHighPass()->SetFrequency(80);
    in.GetHighPass()->SetCrossoverType(0);
    in.GetHighPass()->SetSlope(2);
    in.GetLowPass()->SetFrequency(16000);
    const Bytes p = PayloadOf(*Encoder().WriteInputChannel(0, 1));
    ASSERT_EQ(p.size(), 96u);
    EXPECT_EQ(Bytes(p.begin() + 56, p.begin() + 64), Bytes({0x40, 0x1F, 0x26, 0x02, 0, 0, 0, 0}));
    EXPECT_EQ(p[64], 1);
    EXPECT_EQ(p[65], 1);
    EXPECT_EQ(WordAt(p, 66), 1100u);
    EXPECT_EQ(WordAt(p, 68), 300u);
    EXPECT_EQ(Bytes(p.begin() + 70, p.begin() + 72), Bytes({0, 0}));
    // Crossovers carry the set frequency here, whatever has been sent so far.
    EXPECT_EQ(Bytes(p.begin() + 72, p.begin() + 80), Bytes({80, 0, 0, 2, 0x80, 0x3E, 2, 0}));
    EXPECT_EQ(p[80], 90);
    EXPECT_EQ(p[81], 0);
    EXPECT_EQ(Bytes(p.begin() + 82, p.begin() + 88), Bytes(6, 0));
    EXPECT_EQ(Bytes(p.begin() + 88, p.end()), Bytes({'K', 'i', 'c', 'k', 0, 0, 0, 0}));
}

TEST_F(ProtocolEncoders, GateOffSendsZeroThresholdOnlyInsideTheWholeChannel) {
    Use(1);
    CAudio_InData& in = *program.GetInput(0);
    in.SetGateThreshold(75);
    in.SetGateOff(1);
    const Bytes whole = PayloadOf(*Encoder().WriteInputChannel(0, 0));
    EXPECT_EQ(whole[80], 0);
    EXPECT_EQ(whole[81], 1);
    EXPECT_EQ(PayloadOf(*Encoder().WriteInputGate(0)), Bytes({75, 1, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ProtocolEncoders, WholeOutputChannelLayout) {
    Use(2);
    CAudio_OutData& out = *program.GetOutput(3);
    out.SetName("Sub-L");
    out.SetOn(0);
    out.SetDelay(1465);
    out.SetSourceMask(0x06);
    out.GetFilter(0)->SetFrequency(40);
    out.GetFilter(0)->SetGainIndex(330);
    out.GetFilter(0)->SetBandwidthIndex(19); // 1.00 octave on type 2
    out.GetHighPass()->SetFrequency(25);
    out.GetHighPass()->SetSlope(3);
    out.GetLowPass()->SetFrequency(120);
    out.GetLowPass()->SetCrossoverType(1);
    out.SetLimitThreshold(0x1F4);
    out.SetAttack(20);
    out.SetRelease(3);
    out.SetClipLimit(55);
    out.SetRatio(7);
    out.SetCompressorMode(1);
    const Bytes p = PayloadOf(*Encoder().WriteOutputChannel(9, 3));
    ASSERT_EQ(p.size(), 80u);
    EXPECT_EQ(Bytes(p.begin(), p.begin() + 8), Bytes({40, 0, 0x76, 0x02, 95, 0, 0, 0}));
    EXPECT_EQ(p[48], 0);
    EXPECT_EQ(p[49], 0);
    EXPECT_EQ(WordAt(p, 50), 1100u);
    EXPECT_EQ(WordAt(p, 52), 1465u);
    EXPECT_EQ(p[54], 0x06);
    EXPECT_EQ(p[55], 0);
    EXPECT_EQ(Bytes(p.begin() + 56, p.begin() + 64), Bytes({25, 0, 2, 3, 120, 0, 1, 0}));
    EXPECT_EQ(Bytes(p.begin() + 64, p.begin() + 72), Bytes({0xF4, 0x01, 20, 3, 55, 7, 1, 0}));
    EXPECT_EQ(Bytes(p.begin() + 72, p.end()), Bytes({'S', 'u', 'b', '-', 'L', 0, 0, 0}));
}

TEST_F(ProtocolEncoders, CrossoverAndNameBlocksAreByteExact) {
    Use(1);
    CAudio_OutData& out = *program.GetOutput(2);
    out.GetHighPass()->SetCrossoverType(0);
    out.GetHighPass()->SetSlope(3);
    out.GetHighPass()->SetFrequency(1000); // not stepped yet: 10 Hz is what the device has
    out.GetLowPass()->SetCrossoverType(1);
    out.GetLowPass()->SetSlope(2);
    out.SetName("Mid");
    ProgramEncoder e = Encoder();
    // High-pass sent frequency, type, slope, then the same for the low-pass.
    EXPECT_EQ(PayloadOf(*e.WriteOutputCrossover(2)), Bytes({10, 0, 0, 3, 0x30, 0x75, 1, 2}));
    EXPECT_EQ(PayloadOf(*e.WriteOutputName(2)), Bytes({'M', 'i', 'd', 0, 0, 0, 0, 0}));
}

TEST_F(ProtocolEncoders, AutomaticTimingSendsHighPassClassAndRelease4) {
    Use(1);
    CAudio_OutData& out = *program.GetOutput(0);
    out.GetHighPass()->SetFrequency(80);
    out.SetAttack(50);
    out.SetRelease(2);
    out.SetAutoTiming(1);
    const Bytes dynamics = PayloadOf(*Encoder().WriteOutputDynamics(0));
    EXPECT_EQ(dynamics[2], 14);
    EXPECT_EQ(dynamics[3], 4);
    EXPECT_EQ(dynamics[7], 1);
    const Bytes whole = PayloadOf(*Encoder().WriteOutputChannel(0, 0));
    EXPECT_EQ(whole[66], 14);
    EXPECT_EQ(whole[67], 4);

    out.GetHighPass()->SetFrequency(2500);
    EXPECT_EQ(PayloadOf(*Encoder().WriteOutputDynamics(0))[2], 0);

    out.SetAutoTiming(0); // manual timing sends the stored values
    const Bytes manual = PayloadOf(*Encoder().WriteOutputDynamics(0));
    EXPECT_EQ(manual[2], 50);
    EXPECT_EQ(manual[3], 2);
}

TEST_F(ProtocolEncoders, ProgramNameFillsItsFieldAndIsCut) {
    Use(1);
    struct Case {
        std::string name;
        std::string field;
    };
    for (const Case& c : {Case{"", std::string(15, ' ')}, Case{"Live", "Live           "},
                          Case{"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO"},
                          Case{"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNO"}}) {
        SCOPED_TRACE(c.name);
        program.SetName(c.name);
        const auto record = Encoder().WriteProgramName(3);
        ASSERT_EQ(record->GetLength(), 26);
        EXPECT_EQ(record->Bytes()[8], 15);
        EXPECT_EQ(TextOf(PayloadOf(*record), 0, 15), c.field);
        EXPECT_TRUE(Protocol::ValidateFrame(record->Bytes(), record->GetData().size()));
    }
}

TEST_F(ProtocolEncoders, InfoLinesAreCentredAndNeverOverflow) {
    struct Case {
        int type;
        std::string line;
        std::string field;
    };
    const std::string s16 = "ABCDEFGHIJKLMNOP";
    const std::string s18 = "ABCDEFGHIJKLMNOPQR";
    const std::string s20 = "ABCDEFGHIJKLMNOPQRST";
    const std::vector<Case> cases = {
        {1, "", std::string(20, ' ')},
        {1, "ABCD", "        ABCD        "},
        {1, "ABC", "        ABC         "},
        {2, "ABCD", "      ABCD          "},
        {3, "ABC", "      ABC           "},
        {2, s16, s16 + "    "},
        {1, s20, s20},
        // Longer than the centring width of types 2 and 3: flush left, still 20 bytes.
        {2, "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOPQ   "},
        {3, s18, s18 + "  "},
        {2, s20, s20},
        // Longer than the field: cut.
        {1, s20 + "XYZ", s20},
        {3, s20 + "XYZ", s20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " '" + c.line + "'");
        EXPECT_EQ(TextOf(ProgramEncoder::InfoLineField(c.line, c.type), 0, 20), c.field);
        EXPECT_EQ(ProgramEncoder::InfoLineField(c.line, c.type).size(), 20u);
    }
}

TEST_F(ProtocolEncoders, InterfaceTextCarriesLines4To7) {
    Use(2);
    program.SetInfoText(3, "not sent");
    program.SetInfoText(4, "Line4");
    program.SetInfoText(5, "ABCDEFGHIJKLMNOPQRSTUVWXY"); // 25 characters from a device reply
    program.SetInfoText(6, "ABCDEFGHIJKLMNOPQR");
    program.SetInfoText(8, "not sent");
    const auto record = Encoder().WriteInterfaceText();
    ASSERT_EQ(record->GetLength(), 91);
    const Bytes p = PayloadOf(*record);
    EXPECT_EQ(TextOf(p, 0, 20), "     Line4          ");
    EXPECT_EQ(TextOf(p, 20, 20), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(TextOf(p, 40, 20), "ABCDEFGHIJKLMNOPQR  ");
    EXPECT_EQ(TextOf(p, 60, 20), std::string(20, ' '));
    EXPECT_TRUE(Protocol::ValidateFrame(record->Bytes(), record->GetData().size()));
}

TEST_F(ProtocolEncoders, NothingPendingIsToldEveryTime) {
    Use(1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ChangeScan(program).TakeNext(), std::nullopt);
    }
    program.GetOutput(7)->SetRatio(2);
    EXPECT_EQ(ChangeScan(program).TakeNext(),
              (PendingChange{PendingChange::Kind::OutputDynamics, 7, 0}));
    EXPECT_EQ(ChangeScan(program).TakeNext(), std::nullopt);
}

// Only taking a change steps a crossover: building its record, however often, sends the same.
TEST_F(ProtocolEncoders, EncodingATakenChangeLeavesTheProgramAsItIs) {
    Use(1);
    CFilter& lowPass = *program.GetOutput(2)->GetLowPass();
    lowPass.SetFrequency(20000);
    DrainChanges(program);
    lowPass.SetFrequency(2000);
    const auto change = ChangeScan(program).TakeNext();
    ASSERT_EQ(change, (PendingChange{PendingChange::Kind::OutputCrossover, 2, 0}));
    const Bytes first = PayloadOf(*Encoder().ChangeRecord(*change));
    EXPECT_EQ(WordAt(first, 4), 10000u);
    EXPECT_EQ(PayloadOf(*Encoder().ChangeRecord(*change)), first);
    EXPECT_EQ(lowPass.GetSentFrequency(), 10000);
    EXPECT_TRUE(lowPass.IsChanged());
}

TEST_F(ProtocolEncoders, FreshProgramScansNamesThenCrossoversChannelByChannel) {
    CAudio_Data fresh;
    fresh.SetDeviceId(DeviceId);
    const auto records = DrainChanges(fresh);
    // Group, channel, block of every record in scan order.
    std::vector<Bytes> expected;
    for (std::uint8_t i = 0; i < 4; ++i) {
        expected.push_back({1, i, 11});
        expected.push_back({1, i, 9}); // high-pass in band layout
        expected.push_back({1, i, 9}); // low-pass
    }
    for (std::uint8_t o = 0; o < 8; ++o) {
        expected.push_back({2, o, 9});
        expected.push_back({2, o, 7}); // high-pass pending
        expected.push_back({2, o, 7}); // low-pass pending
    }
    ASSERT_EQ(records.size(), expected.size());
    for (std::size_t k = 0; k < records.size(); ++k) {
        const Bytes& d = records[k]->GetData();
        EXPECT_EQ(Bytes({d[4], d[5], d[6]}), expected[k]) << "record " << k;
    }
}

TEST_F(ProtocolEncoders, ScanOrderAcrossGroups) {
    Use(1);
    CAudio_OutData& out = *program.GetOutput(4);
    out.SetAttack(5); // dynamics
    out.GetLowPass()->SetFrequency(30000);
    out.GetFilter(3)->SetGainIndex(310);
    out.SetGain(420);   // levels
    out.SetName("Top"); // name
    program.GetOutput(1)->GetFilter(5)->SetFrequency(900);
    CAudio_InData& in3 = *program.GetInput(3);
    in3.GetFilter(8)->SetFrequency(10); // high-pass, already where it was sent
    in3.SetGateOff(1);
    in3.SetDelay(7);
    program.GetInput(0)->GetFilter(2)->SetBandwidthIndex(100);
    program.GetInput(0)->SetName("Vox");

    const auto records = DrainChanges(program);
    const std::vector<Bytes> expected = {
        {1, 0, 11}, {1, 0, 2},                                   // input 0: name, band 2
        {1, 3, 8},  {1, 3, 10}, {1, 3, 9},                       // input 3: levels, gate, high-pass
        {2, 1, 5},                                               // output 1: band 5
        {2, 4, 9},  {2, 4, 6},  {2, 4, 3}, {2, 4, 7}, {2, 4, 8}, // output 4
    };
    ASSERT_EQ(records.size(), expected.size());
    for (std::size_t k = 0; k < records.size(); ++k) {
        const Bytes& d = records[k]->GetData();
        EXPECT_EQ(Bytes({d[4], d[5], d[6]}), expected[k]) << "record " << k;
    }
    EXPECT_EQ(TextOf(PayloadOf(*records[0]), 0, 8), std::string("Vox\0\0\0\0\0", 8));
    // The band record of an input crossover section carries its set frequency and type.
    EXPECT_EQ(PayloadOf(*records[4]), Bytes({10, 0, 0x58, 0x02, 0, 0, 0, 3}));
}

TEST_F(ProtocolEncoders, CrossoverReachesTheDeviceInOctaveSteps) {
    struct Case {
        int from;
        int to;
        std::vector<unsigned> sent;
    };
    const std::vector<Case> cases = {
        {100, 1000, {200, 400, 800, 1000, 1000}},
        {1000, 100, {500, 250, 125, 100, 100}},
        {1000, 900, {900, 900}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        Use(1);
        CFilter& highPass = *program.GetOutput(6)->GetHighPass();
        highPass.SetFrequency(c.from);
        DrainChanges(program);
        ASSERT_EQ(highPass.GetSentFrequency(), c.from);

        highPass.SetFrequency(c.to);
        for (unsigned expected : c.sent) {
            const auto record = changetest::TakeChangeRecord(program);
            ASSERT_NE(record, nullptr);
            const Bytes& d = record->GetData();
            ASSERT_EQ(Bytes({d[4], d[5], d[6]}), Bytes({2, 6, 7}));
            const Bytes p = PayloadOf(*record);
            EXPECT_EQ(WordAt(p, 0), expected);
            EXPECT_EQ(WordAt(p, 4), 30000u); // low-pass untouched
            EXPECT_EQ(p[2], 2);              // BTWorth
        }
        EXPECT_EQ(changetest::TakeChangeRecord(program), nullptr);
    }
}

TEST_F(ProtocolEncoders, ChangeScanClearsWhatItTakes) {
    Use(1);
    CAudio_OutData& out = *program.GetOutput(0);
    out.SetRatio(3);
    out.SetSourceMask(3);
    out.GetFilter(1)->SetGainIndex(200);
    const auto next = [this] {
        auto record = changetest::TakeChangeRecord(program);
        return record != nullptr ? record->GetData() : Bytes{};
    };
    EXPECT_EQ(next().at(6), 6);
    EXPECT_FALSE(out.IsParamsChanged());
    EXPECT_EQ(next().at(6), 1);
    EXPECT_FALSE(out.GetFilter(1)->IsChanged());
    EXPECT_EQ(next().at(6), 8);
    EXPECT_FALSE(out.IsDynamicsChanged());
    // A change made after a record was built goes out in a new record with the new value.
    out.SetRatio(4);
    EXPECT_EQ(next().at(9 + 5), 4);
}
