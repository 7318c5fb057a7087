// The simulated processor: bytes in, bytes out, against the real frame builder, encoders,
// transfer sequences and (through an in-process line) the real command engine.

#include "core/ChangeRecords.h"
#include "core/ScriptedLine.h"
#include "core/SimTestPrograms.h"
#include "core/model/AudioData.h"
#include "core/protocol/Command.h"
#include "core/protocol/Frame.h"
#include "core/protocol/ProgramEncoder.h"
#include "core/protocol/TransferSequences.h"
#include "sim/SimDevice.h"
#include "sim/SimFaults.h"
#include "sim/SimFrameReader.h"
#include "sim/SimLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <set>

namespace {

using simtest::Bytes;
using simtest::PayloadOf;

struct Reply {
    Protocol::FrameHeader header;
    Bytes payload;
};

// Splits what a device sent into its replies; every reply must follow at least one 0xFF.
std::vector<Reply> Replies(const Bytes& line) {
    std::vector<Reply> replies;
    std::size_t at = 0;
    while (at < line.size()) {
        std::size_t preamble = 0;
        while (at < line.size() && line[at] == 0xFF) {
            ++at;
            ++preamble;
        }
        EXPECT_GE(preamble, 1u) << "reply without 0xFF before it";
        const auto view = Protocol::ParseFrame(line.data() + at, line.size() - at);
        if (!view) {
            ADD_FAILURE() << "not a valid frame at byte " << at;
            break;
        }
        replies.push_back({view->header, Bytes(view->payload, view->payload + view->length)});
        at += view->length + Protocol::FrameOverhead;
    }
    return replies;
}

// What the engine puts on the line for a record.
Bytes OnLine(const std::unique_ptr<SendData>& record) {
    Bytes bytes(3, 0xFF);
    bytes.insert(bytes.end(), record->GetData().begin(), record->GetData().end());
    return bytes;
}

Bytes RawFrame(std::uint8_t code, int id, int program, int group, int item, int block,
               const Bytes& payload) {
    Protocol::FrameHeader header;
    header.code = code;
    header.deviceId = static_cast<std::uint8_t>(id);
    header.program = static_cast<std::uint8_t>(program);
    header.group = static_cast<std::uint8_t>(group);
    header.channel = static_cast<std::uint8_t>(item);
    header.block = static_cast<std::uint8_t>(block);
    Bytes bytes(3, 0xFF);
    const Bytes frame = Protocol::BuildFrame(header, payload);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    return bytes;
}

class SimDeviceTest : public ::testing::Test {
protected:
    SimDeviceTest() : encoder(program) { program.SetDeviceId(1); }

    std::vector<Reply> Send(const std::unique_ptr<SendData>& record) {
        return Replies(device.Feed(OnLine(record)));
    }
    std::vector<Reply> Read(int item, int slot = 0) {
        return Send(encoder.ReadSystemItem(item, slot));
    }

    CAudio_Data program;
    ProgramEncoder encoder;
    SimDevice device{1, 1};
};

TEST_F(SimDeviceTest, AcknowledgesSystemWritesAndReadsThemBackExactly) {
    program.SetBacklight(1);
    program.SetTemperature(37);
    program.SetInfoText(4, "Main hall");
    program.SetInfoText(5, "Left");
    program.SetInfoText(6, "Right stack");
    program.SetInfoText(7, "");
    program.SetName("Bass");
    struct Case {
        std::unique_ptr<SendData> write;
        int item;
        int slot;
        Bytes expected;
    };
    Case cases[] = {
        {encoder.WriteBacklight(), 0x14, 0, {1}},
        {encoder.WriteTemperature(), 0x16, 0, {37}},
        {encoder.WriteInputSource(1), 0x01, 0, Bytes(8, 1)},
        {encoder.WriteInterfaceText(), 0x10, 0, {}},
        {encoder.WriteProgramName(5), 0x00, 5, {}},
    };
    cases[3].expected = PayloadOf(cases[3].write);
    cases[4].expected = PayloadOf(cases[4].write);
    for (Case& c : cases) {
        SCOPED_TRACE(c.item);
        const auto acks = Send(c.write);
        ASSERT_EQ(acks.size(), 1u);
        EXPECT_EQ(acks[0].header.code, Protocol::Ack);
        EXPECT_EQ(acks[0].header.group, 3);
        EXPECT_EQ(acks[0].header.channel, c.item);
        const auto data = Read(c.item, c.slot);
        ASSERT_EQ(data.size(), 1u);
        EXPECT_EQ(data[0].header.code, Protocol::DataReply);
        EXPECT_EQ(data[0].header.program, c.slot);
        EXPECT_EQ(data[0].payload, c.expected);
    }
    EXPECT_EQ(device.GetProgram(5).NameText(), "Bass");
    EXPECT_EQ(device.GetInfoLine(6), "Right stack");
}

TEST_F(SimDeviceTest, AnswersEveryReadOnlyItemWithItsLayout) {
    struct Case {
        int item;
        std::size_t length;
    };
    for (const Case c : {Case{0x02, 12}, Case{0x04, 1}, Case{0x11, 80}, Case{0x12, 7},
                         Case{0x15, 2}, Case{0x19, 13}}) {
        const auto replies = Read(c.item);
        ASSERT_EQ(replies.size(), 1u) << c.item;
        EXPECT_EQ(replies[0].header.channel, c.item);
        EXPECT_EQ(replies[0].payload.size(), c.length) << c.item;
    }
    EXPECT_EQ(Read(0x04)[0].payload, Bytes{20});
    EXPECT_EQ(Read(0x15)[0].payload, (Bytes{1, 1}));
    const Bytes id = Read(0x19)[0].payload;
    EXPECT_EQ(std::string(id.begin(), id.end()), "ZQ_PLoxu_V1.0");
}

TEST_F(SimDeviceTest, SingleBlockWritesOfTheChangeScanLandWhereWholeChannelsCarryThem) {
    // Every record the change scan produces is accepted, and afterwards the device holds exactly
    // what the whole-channel records of the same program carry.
    for (const int type : {1, 2}) {
        SCOPED_TRACE(type);
        CAudio_Data edited;
        edited.SetDeviceId(1);
        simtest::FillVaried(edited, type, 7u + static_cast<unsigned>(type));
        for (int i = 0; i < 4; ++i) {
            edited.GetInput(i)->SetGateOff(0); // the block and whole layouts differ for a gate off
            edited.GetInput(i)->GetHighPass()->SetCrossoverType(2); // not carried by input blocks
            edited.GetInput(i)->GetLowPass()->SetCrossoverType(2);
        }
        SimDevice fresh(1, type);
        int records = 0;
        for (auto record = changetest::TakeChangeRecord(edited); record != nullptr;
             record = changetest::TakeChangeRecord(edited)) {
            ASSERT_LT(++records, 2000);
            const auto acks = Replies(fresh.Feed(OnLine(record)));
            ASSERT_EQ(acks.size(), 1u) << SimDevice::TypeCodeFor(type) << " record " << records;
            EXPECT_EQ(acks[0].header.code, Protocol::Ack);
        }
        EXPECT_GT(records, 100);
        ProgramEncoder whole(edited);
        for (int i = 0; i < 4; ++i) {
            const Bytes expected = PayloadOf(whole.WriteInputChannel(0, i));
            const auto& held = fresh.GetProgram(0).inputs[static_cast<std::size_t>(i)];
            EXPECT_EQ(Bytes(held.begin(), held.end()), expected) << "input " << i;
        }
        for (int o = 0; o < 8; ++o) {
            const Bytes expected = PayloadOf(whole.WriteOutputChannel(0, o));
            const auto& held = fresh.GetProgram(0).outputs[static_cast<std::size_t>(o)];
            EXPECT_EQ(Bytes(held.begin(), held.end()), expected) << "output " << o;
        }
    }
}

TEST_F(SimDeviceTest, StoredSlotsKeepWholeChannelsAndRecallMakesThemLive) {
    simtest::FillVaried(program, 1, 3);
    const SimProgram liveBefore = device.GetProgram(0);
    ASSERT_EQ(Send(encoder.WriteProgramName(12)).size(), 1u);
    for (int o = 0; o < 8; ++o) {
        ASSERT_EQ(Send(encoder.WriteOutputChannel(12, o)).size(), 1u);
    }
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(Send(encoder.WriteInputChannel(12, i)).size(), 1u);
    }
    EXPECT_EQ(device.GetProgram(0), liveBefore) << "a store must not touch the live program";

    // Archive reads leave the live program alone.
    const auto archived = Send(encoder.ReadChannel(12, 2, 5, Protocol::ArchiveFlag));
    ASSERT_EQ(archived.size(), 1u);
    EXPECT_EQ(archived[0].header.block, Protocol::ArchiveFlag);
    EXPECT_EQ(archived[0].header.program, 12);
    EXPECT_EQ(archived[0].payload, PayloadOf(encoder.WriteOutputChannel(12, 5)));
    EXPECT_EQ(device.GetProgram(0), liveBefore);

    // Reading slot 12 without the flag recalls it.
    for (const auto& record : TransferSequences::UploadProgram(program, 12)) {
        const auto replies = Send(record);
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(replies[0].header.block, 0);
    }
    EXPECT_EQ(device.GetProgram(0), device.GetProgram(12));
    EXPECT_EQ(device.GetProgram(0).NameText(), program.GetName());
}

TEST_F(SimDeviceTest, BytesInAnyPiecesAndAfterLineNoiseGiveTheSameAnswer) {
    const Bytes request = OnLine(encoder.ReadChannel(0, 1, 2, 0));
    SimDevice whole(1, 1);
    const Bytes expected = whole.Feed(request);
    ASSERT_EQ(Replies(expected).size(), 1u);

    Bytes bytewise;
    for (const std::uint8_t byte : request) {
        const Bytes out = device.Feed(&byte, 1);
        bytewise.insert(bytewise.end(), out.begin(), out.end());
    }
    EXPECT_EQ(bytewise, expected);

    // A stray start byte in line noise claims the bytes that follow; when its check fails the
    // search resumes right after it and finds the real frame. (A stray header declaring more
    // bytes than follow waits for a gap on the line, see SimFrameReaderTest.)
    Bytes noisy = {0x00, 0xB1, 0x13, 0x77, 0x20, 0x01, 0x02, 0x03, 0x02, 0x05};
    noisy.insert(noisy.end(), request.begin(), request.end());
    SimDevice third(1, 1);
    EXPECT_EQ(third.Feed(noisy), expected);
}

TEST_F(SimDeviceTest, IgnoresBadFramesFramesForOthersAndUnknownCodes) {
    Bytes badChecksum = OnLine(encoder.WriteBacklight());
    badChecksum[badChecksum.size() - 2] ^= 0x01;
    Bytes badEnd = OnLine(encoder.WriteBacklight());
    badEnd.back() = 0xAB;
    CAudio_Data other;
    other.SetDeviceId(2);
    const Bytes otherId = OnLine(ProgramEncoder(other).WriteBacklight());
    const Bytes unknownCode = RawFrame(0xA7, 1, 0, 3, 0x14, 0, {1});
    const Bytes ackFromPeer = RawFrame(Protocol::Ack, 1, 0, 3, 0x14, 0, {0});
    for (const Bytes& frame : {badChecksum, badEnd, otherId, unknownCode, ackFromPeer}) {
        EXPECT_TRUE(device.Feed(frame).empty());
    }
    // Still in step afterwards.
    EXPECT_EQ(Send(encoder.WriteBacklight()).size(), 1u);
}

TEST_F(SimDeviceTest, RefusesWritesItCannotStoreAndStaysUnchanged) {
    const std::string before = device.SaveState();
    const Bytes refused[] = {
        RawFrame(0xA1, 1, 0, 3, 0x16, 0, {51}),           // temperature above 50
        RawFrame(0xA1, 1, 0, 3, 0x14, 0, {2}),            // backlight mode 2
        RawFrame(0xA1, 1, 0, 3, 0x01, 0, Bytes(8, 2)),    // input source 2
        RawFrame(0xA1, 1, 0, 3, 0x15, 0, {0, 1}),         // device ID 0
        RawFrame(0xA1, 1, 0, 3, 0x15, 0, {251, 1}),       // device ID 251
        RawFrame(0xA1, 1, 0, 3, 0x11, 0, Bytes(80, 65)),  // info lines 0..3 are the device's own
        RawFrame(0xA1, 1, 31, 3, 0x00, 0, Bytes(15, 65)), // program 31
        RawFrame(0xA1, 1, 0, 1, 4, 8, Bytes(8, 0)),       // input channel 4
        RawFrame(0xA1, 1, 0, 2, 8, 6, Bytes(8, 0)),       // output channel 8
        RawFrame(0xA1, 1, 0, 1, 0, 12, Bytes(8, 0)),      // input block 12
        RawFrame(0xA1, 1, 0, 2, 0, 10, Bytes(8, 0)),      // output block 10
        RawFrame(0xA1, 1, 0, 1, 0, 0, Bytes(50, 0)),      // whole input of the wrong length
        RawFrame(0xA1, 1, 0, 1, 0, 9, {100, 0, 88, 2, 0, 0, 1, 0}), // crossover block, type 0
        RawFrame(0xA2, 1, 0, 1, 0, 5, Bytes(8, 0)),                 // channel read with a block
        RawFrame(0xA2, 1, 0, 3, 0x30, 0, Bytes(8, 0)),              // unknown item
    };
    for (const Bytes& frame : refused) {
        EXPECT_TRUE(device.Feed(frame).empty()) << Protocol::Checksum(frame.data(), frame.size());
    }
    EXPECT_EQ(device.SaveState(), before);
    EXPECT_FALSE(device.IsDirty());
}

TEST_F(SimDeviceTest, WriteDeviceIdMovesTheDeviceAfterAcknowledgingUnderTheOldId) {
    const auto acks = Send(TransferSequences::ChangeDeviceId(program, 9));
    ASSERT_EQ(acks.size(), 1u);
    EXPECT_EQ(acks[0].header.deviceId, 1);
    EXPECT_EQ(device.GetId(), 9);
    EXPECT_TRUE(Send(encoder.IdentifyDevice(1)).empty());
    const auto identity = Send(encoder.IdentifyDevice(9));
    ASSERT_EQ(identity.size(), 1u);
    EXPECT_EQ(identity[0].payload, (Bytes{9, 1}));
}

TEST_F(SimDeviceTest, IdentityAnswersReportTypeAndOptionallyTheIdentificationOnce) {
    SimDevice small(4, 3);
    small.SetSendIdentification(true);
    CAudio_Data probe;
    const auto first = Replies(small.Feed(OnLine(ProgramEncoder(probe).IdentifyDevice(4))));
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].header.channel, Protocol::ItemDeviceId);
    EXPECT_EQ(first[0].payload, (Bytes{4, 3}));
    EXPECT_EQ(first[1].header.channel, Protocol::ItemIdentification);
    EXPECT_EQ(std::string(first[1].payload.begin(), first[1].payload.end()), "ZQ_PHoxa_V1.0");
    EXPECT_EQ(Replies(small.Feed(OnLine(ProgramEncoder(probe).IdentifyDevice(4)))).size(), 1u);

    small.SetReportedType(1);
    EXPECT_EQ(Replies(small.Feed(OnLine(ProgramEncoder(probe).IdentifyDevice(4))))[0].payload,
              (Bytes{4, 1}));
}

TEST_F(SimDeviceTest, MetersMoveWithinTheirRangesAndFollowMutesAndTheVariant) {
    const auto valid = [](std::uint8_t v) { return v <= 9 || (v >= 17 && v <= 25); };
    std::set<Bytes> readings;
    SimDevice small(1, 3);
    for (int n = 0; n < 120; ++n) {
        const Bytes levels = Read(0x02)[0].payload;
        readings.insert(levels);
        for (const std::uint8_t v : levels) {
            EXPECT_TRUE(valid(v)) << int(v);
        }
        const Bytes smallLevels = Replies(small.Feed(OnLine(encoder.ReadMeters())))[0].payload;
        for (const std::size_t absent : {2u, 3u, 8u, 9u, 10u, 11u}) {
            EXPECT_EQ(smallLevels[absent], 0) << absent;
        }
    }
    EXPECT_GT(readings.size(), 10u) << "the meters should move";

    // Muting input A silences it and every output fed only from it (all outputs by default).
    program.GetInput(0)->SetOn(0);
    ASSERT_EQ(Send(encoder.WriteInputLevels(0)).size(), 1u);
    int inputB = 0;
    for (int n = 0; n < 20; ++n) {
        const Bytes levels = Read(0x02)[0].payload;
        EXPECT_EQ(levels[0], 0);
        inputB += levels[1];
        EXPECT_EQ(Bytes(levels.begin() + 4, levels.end()), Bytes(8, 0));
    }
    EXPECT_GT(inputB, 0) << "input B plays on";
}

TEST_F(SimDeviceTest, StateSurvivesSaveAndLoadAndBadStateChangesNothing) {
    simtest::FillVaried(program, 1, 11);
    program.SetTemperature(12);
    program.SetInfoText(5, "Kept");
    Send(encoder.WriteTemperature());
    Send(encoder.WriteInterfaceText());
    Send(encoder.WriteProgramName(3));
    for (int i = 0; i < 4; ++i) {
        Send(encoder.WriteInputChannel(3, i));
    }
    Send(TransferSequences::ChangeDeviceId(program, 42));
    EXPECT_TRUE(device.IsDirty());
    const std::string saved = device.SaveState();

    SimDevice restored(1, 1);
    ASSERT_TRUE(restored.LoadState(saved));
    EXPECT_EQ(restored.GetId(), 42);
    EXPECT_EQ(restored.GetTemperature(), 12);
    EXPECT_EQ(restored.GetInfoLine(5), "Kept");
    for (int p = 0; p <= 30; ++p) {
        EXPECT_EQ(restored.GetProgram(p), device.GetProgram(p)) << p;
    }
    EXPECT_EQ(restored.SaveState(), saved);

    SimDevice other(1, 2);
    const std::string otherBefore = other.SaveState();
    EXPECT_FALSE(other.LoadState(saved)) << "another device type";
    std::string damaged = saved;
    damaged.replace(damaged.find("temperature 12"), 14, "temperature 99");
    EXPECT_FALSE(other.LoadState(damaged));
    EXPECT_FALSE(other.LoadState("not a state"));
    EXPECT_EQ(other.SaveState(), otherBefore);
}

TEST(SimLineTest, OnlyTheAddressedDeviceAnswers) {
    SimLine line;
    line.Add(3, 1);
    line.Add(7, 2);
    CAudio_Data probe;
    ProgramEncoder encoder(probe);
    Bytes bytes;
    for (const int id : {3, 5, 7}) {
        const Bytes frame = OnLine(encoder.IdentifyDevice(id));
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    const auto exchanges = line.Feed(bytes.data(), bytes.size());
    ASSERT_EQ(exchanges.size(), 3u);
    EXPECT_EQ(exchanges[0].responderId, 3);
    ASSERT_EQ(exchanges[0].replies.size(), 1u);
    EXPECT_EQ(exchanges[1].responderId, 0);
    EXPECT_TRUE(exchanges[1].replies.empty());
    EXPECT_EQ(exchanges[2].responderId, 7);
    ASSERT_EQ(exchanges[2].replies.size(), 1u);
    const Bytes& seven = exchanges[2].replies[0];
    EXPECT_EQ(Bytes(seven.begin() + 9, seven.begin() + 11), (Bytes{7, 2}));
}

// Two devices on one ID both take every frame (a write reaches both) and answer together: the
// PC gets one frame of the answer's length that fails the check, even when both answers are the
// same bytes.
TEST(SimLineTest, DevicesSharingAnIdCollide) {
    SimLine line;
    SimDevice& first = line.Add(5, 1);
    SimDevice& second = line.Add(5, 1);
    CAudio_Data probe;
    probe.SetDeviceId(5);
    ProgramEncoder encoder(probe);
    const Bytes identify = OnLine(encoder.IdentifyDevice(5));
    const auto exchanges = line.Feed(identify.data(), identify.size());
    ASSERT_EQ(exchanges.size(), 1u);
    EXPECT_TRUE(exchanges[0].collided);
    ASSERT_EQ(exchanges[0].replies.size(), 1u);
    const Bytes& heard = exchanges[0].replies[0];
    const Bytes alone =
        first.HandleFrame(Bytes(identify.begin() + Protocol::PreambleCount, identify.end())).at(0);
    ASSERT_EQ(heard.size(), alone.size());
    EXPECT_EQ(Bytes(heard.begin(), heard.begin() + Protocol::OffsetPayload),
              Bytes(alone.begin(), alone.begin() + Protocol::OffsetPayload));
    EXPECT_FALSE(Protocol::ParseFrame(heard.data(), heard.size()).has_value());

    probe.SetTemperature(33);
    const Bytes write = OnLine(encoder.WriteTemperature());
    EXPECT_TRUE(line.Feed(write.data(), write.size()).at(0).collided);
    EXPECT_EQ(first.GetTemperature(), 33);
    EXPECT_EQ(second.GetTemperature(), 33);
}

// A line that forgets every second write still acknowledges it, and keeps nothing of it: not
// the value, not a new device ID. Reads do not count as writes, refused writes do.
TEST(SimLineTest, ForgetsEveryNthWriteButAcknowledgesIt) {
    SimLine line;
    SimDevice& device = line.Add(1, 1);
    line.SetForgetEvery(2);
    CAudio_Data probe;
    probe.SetDeviceId(1);
    ProgramEncoder encoder(probe);
    const auto send = [&](const std::unique_ptr<SendData>& record) {
        const Bytes bytes = OnLine(record);
        const auto exchanges = line.Feed(bytes.data(), bytes.size());
        EXPECT_EQ(exchanges.size(), 1u);
        return exchanges.empty() ? SimExchange{} : exchanges.front();
    };
    struct Step {
        int temperature;
        bool forgotten;
        int kept;
    };
    for (const Step& step :
         {Step{10, false, 10}, Step{20, true, 10}, Step{30, false, 30}, Step{40, true, 30}}) {
        probe.SetTemperature(step.temperature);
        const SimExchange exchange = send(encoder.WriteTemperature());
        ASSERT_EQ(exchange.replies.size(), 1u) << step.temperature;
        EXPECT_EQ(exchange.replies[0][Protocol::OffsetCode], Protocol::Ack);
        EXPECT_EQ(exchange.forgotten, step.forgotten) << step.temperature;
        EXPECT_EQ(device.GetTemperature(), step.kept) << step.temperature;
        const SimExchange read = send(encoder.ReadSystemItem(Protocol::ItemTemperature, 0));
        EXPECT_FALSE(read.forgotten);
        ASSERT_EQ(read.replies.size(), 1u);
    }
    // Write 5 is kept; write 6, a change of ID, is acknowledged and forgotten.
    probe.SetTemperature(60); // out of range: refused, yet counted
    EXPECT_TRUE(send(encoder.WriteTemperature()).replies.empty());
    device.ClearDirty();
    const SimExchange moved = send(encoder.WriteDeviceId(9));
    EXPECT_TRUE(moved.forgotten);
    EXPECT_EQ(moved.replies.size(), 1u);
    EXPECT_EQ(device.GetId(), 1);
    EXPECT_EQ(device.GetTemperature(), 30);
    EXPECT_FALSE(device.IsDirty()) << "nothing to save after a forgotten write";
}

TEST(SimFrameReaderTest, AGapEndsAStrayHeaderAndFreesTheFrameBehindIt) {
    CAudio_Data probe;
    probe.SetDeviceId(1);
    const Bytes request = OnLine(ProgramEncoder(probe).ReadMeters());
    Bytes bytes = {0xB1, 0xA2, 0x01, 0x00, 0x03, 0x02, 0x00, 0x00, 0xF0}; // declares 251 bytes
    bytes.insert(bytes.end(), request.begin(), request.end());
    SimFrameReader reader;
    EXPECT_TRUE(reader.Feed(bytes.data(), bytes.size()).empty());
    EXPECT_TRUE(reader.HasPartialFrame());
    const auto frames = reader.Expire();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].valid);
    EXPECT_EQ(frames[0].bytes, Bytes(request.begin() + 3, request.end()));
    EXPECT_FALSE(reader.HasPartialFrame());
}

TEST(SimFaultInjectorTest, ShapesAnswersAsConfigured) {
    const Bytes ack = Protocol::BuildFrame({Protocol::Ack, 1, 0, 3, 0x14, 0}, {0});
    const Bytes data = Protocol::BuildFrame({Protocol::DataReply, 1, 0, 3, 0x14, 0}, {1});
    const auto joined = [](const std::vector<SimBurst>& bursts) {
        Bytes all;
        for (const SimBurst& b : bursts) {
            all.insert(all.end(), b.bytes.begin(), b.bytes.end());
        }
        return all;
    };
    {
        SimFaults faults;
        faults.dropEvery = 2;
        SimFaultInjector injector(faults);
        EXPECT_EQ(joined(injector.Shape(ack)), SimDevice::WithPreamble(ack));
        EXPECT_TRUE(injector.Shape(ack).empty());
        EXPECT_FALSE(injector.Shape(ack).empty());
    }
    {
        SimFaults faults;
        faults.corruptChecksumEvery = 1;
        const Bytes sent = joined(SimFaultInjector(faults).Shape(data));
        const Bytes frame(sent.begin() + SimDevice::kPreambleLength, sent.end());
        EXPECT_FALSE(Protocol::ValidateFrame(frame.data(), frame.size()));
        EXPECT_EQ(frame.back(), 0xAA);
        faults.corruptChecksumEvery = 0;
        faults.corruptEndEvery = 1;
        const Bytes endSent = joined(SimFaultInjector(faults).Shape(data));
        EXPECT_NE(endSent.back(), 0xAA);
        EXPECT_EQ(endSent[endSent.size() - 2], data[data.size() - 2]);
    }
    {
        SimFaults faults;
        faults.splitSize = 3;
        faults.lateMs = 40;
        const auto bursts = SimFaultInjector(faults).Shape(data);
        ASSERT_EQ(bursts.size(), (data.size() + 2 + 2) / 3);
        EXPECT_EQ(bursts[0].delayMs, 40);
        EXPECT_EQ(bursts[1].delayMs, faults.splitGapMs);
        EXPECT_EQ(joined(bursts), SimDevice::WithPreamble(data));
    }
    {
        SimFaults faults;
        faults.doubleAck = true;
        faults.noiseBytes = 200;
        SimFaultInjector injector(faults);
        const auto ackBursts = injector.Shape(ack);
        ASSERT_EQ(ackBursts.size(), 3u); // Ack, repeated Ack, noise
        EXPECT_EQ(ackBursts[1].bytes, SimDevice::WithPreamble(ack));
        EXPECT_GT(ackBursts[1].delayMs, 0);
        EXPECT_EQ(ackBursts[2].bytes.size(), 200u);
        for (const std::uint8_t b : ackBursts[2].bytes) {
            EXPECT_TRUE(b != 0xFF && b != 0xB1);
        }
        EXPECT_EQ(injector.Shape(data).size(), 2u) << "data replies are not repeated";
    }
    {
        SimFaults faults;
        faults.silent = true;
        EXPECT_TRUE(SimFaultInjector(faults).Shape(data).empty());
    }
}

// ---- The device against the real command engine, through an in-process line ----

// Hands every byte the engine writes to a simulated line and serves the answers, one reply
// per read, like a line that delivers each answer in its own notification.
class LoopbackLine : public ISerialLine {
public:
    explicit LoopbackLine(SimLine& line) : m_line(line) {}

    bool HasAnswer() const { return !m_answers.empty(); }

    bool IsOpen() const override { return m_open; }
    LineStatus Open(const std::string&) override {
        m_open = true;
        return LineStatus::Success;
    }
    LineStatus Setup(int, int, Parity, int) override { return LineStatus::Success; }
    LineStatus SetupHandshakingOff() override { return LineStatus::Success; }
    LineStatus SetMask(LineEvents) override { return LineStatus::Success; }
    LineStatus Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
                     int) override {
        for (const SimExchange& exchange : m_line.Feed(data, length)) {
            for (const Bytes& reply : exchange.replies) {
                m_answers.push_back(SimDevice::WithPreamble(reply));
            }
        }
        written = length;
        return LineStatus::Success;
    }
    LineStatus Read(std::uint8_t* buffer, std::size_t length, std::size_t& received, int) override {
        received = 0;
        if (m_answers.empty()) {
            return LineStatus::Success;
        }
        Bytes& front = m_answers.front();
        received = std::min(length, front.size());
        std::copy_n(front.begin(), received, buffer);
        front.erase(front.begin(), front.begin() + static_cast<long>(received));
        if (front.empty()) {
            m_answers.pop_front();
        }
        return LineStatus::Success;
    }
    LineStatus Close() override {
        m_open = false;
        return LineStatus::Success;
    }

private:
    SimLine& m_line;
    std::deque<Bytes> m_answers;
    bool m_open = false;
};

// One simulated device of a type on a line, and an engine connected to it.
class EngineBench {
public:
    explicit EngineBench(int type) {
        line.Add(1, type);
        auto loopback = std::make_unique<LoopbackLine>(line);
        wire = loopback.get();
        engine = std::make_unique<Command>(std::move(loopback));
        opened = engine->OpenPort("sim", &listener);
        engine->SetDeviceType(type);
        engine->SetOutputCount(8);
    }

    // Transmits every queued record and lets the engine take each answer.
    void Drain(TransferSequences::RecordList records) {
        for (auto& record : records) {
            engine->Enqueue(std::move(record));
        }
        while (engine->Count() > 0) {
            const int before = engine->Count();
            ASSERT_TRUE(engine->TransmitHead());
            while (wire->HasAnswer()) {
                engine->OnSerialData();
            }
            ASSERT_LT(engine->Count(), before) << "a record got no answer";
        }
    }

    SimLine line;
    LoopbackLine* wire = nullptr;
    RecordingListener listener;
    std::unique_ptr<Command> engine;
    bool opened = false;
};

TEST(SimDeviceWithEngineTest, ConnectReadBackReportsTheDevice) {
    EngineBench bench(1);
    ASSERT_TRUE(bench.opened);
    CAudio_Data program;
    program.SetDeviceId(1);
    bench.Drain(TransferSequences::ConnectReadBack(program));
    using M = RecordingListener::Message;
    const std::vector<M> expected = {{EngineMessage::WM_DEVICE_TYPE_CHECKED, 1},
                                     {EngineMessage::WM_DEVICE_INFO_RECEIVED, 0x16}};
    EXPECT_EQ(bench.listener.messages, expected);
    EXPECT_EQ(bench.engine->GetProgramName(0), "Default");
    EXPECT_EQ(bench.engine->GetProgramName(30), "Preset30");
    const CAudio_Data& image = bench.engine->GetDeviceImage();
    EXPECT_EQ(image.GetTemperature(), 25);
    EXPECT_EQ(image.GetInfoText(5), "Sonvex");
    EXPECT_EQ(image.GetInfoText(6), "Loudspeaker DSP");
    EXPECT_EQ(bench.engine->GetDeviceInputSource(), 0);
}

TEST(SimDeviceWithEngineTest, LiveProgramRoundTripsEveryParameter) {
    for (const int type : {1, 3}) {
        SCOPED_TRACE(type);
        EngineBench bench(type);
        ASSERT_TRUE(bench.opened);
        CAudio_Data sent;
        sent.SetDeviceId(1);
        simtest::FillVaried(sent, type, 100u + static_cast<unsigned>(type));
        bench.Drain(TransferSequences::DownloadProgram(sent, 0));
        bench.Drain(TransferSequences::UploadProgram(sent, 0));
        ASSERT_FALSE(bench.listener.messages.empty());
        EXPECT_EQ(bench.listener.messages.back().message, EngineMessage::WM_PROGRAM_RECEIVED);
        simtest::ExpectSameChannels(sent, bench.engine->GetDeviceImage());
        EXPECT_EQ(bench.line.Device(0).GetProgram(0).NameText(), sent.GetName());
    }
}

} // namespace
