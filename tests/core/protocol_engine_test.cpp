#include "core/ScriptedLine.h"
#include "core/protocol/ChannelLayout.h"
#include "core/protocol/Command.h"
#include "core/protocol/Frame.h"
#include "core/protocol/ProtocolCodes.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Message = RecordingListener::Message;

Bytes Frame(std::uint8_t code, std::uint8_t group, std::uint8_t item, Bytes payload,
            std::uint8_t block = 0, std::uint8_t program = 0) {
    return Protocol::BuildFrame({code, 1, program, group, item, block}, payload);
}

Bytes AckFrame(std::size_t payloadLength = 1) {
    return Frame(Protocol::Ack, Protocol::GroupSystem, Protocol::ItemBacklight,
                 Bytes(payloadLength, 0));
}

Bytes Reply(std::uint8_t group, std::uint8_t item, Bytes payload, std::uint8_t block = 0,
            std::uint8_t program = 0) {
    return Frame(Protocol::DataReply, group, item, std::move(payload), block, program);
}

// The frame as the device puts it on the line: one 0xFF first.
Bytes OnLine(Bytes frame, int preamble = 1) {
    Bytes bytes(static_cast<std::size_t>(preamble), Protocol::PreambleByte);
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    return bytes;
}

Bytes Cat(std::vector<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t to) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(std::min(to, bytes.size())));
}

class ProtocolEngine : public ::testing::Test {
protected:
    ProtocolEngine() {
        auto scripted = std::make_unique<ScriptedLine>();
        line = scripted.get();
        engine = std::make_unique<Command>(std::move(scripted));
        engine->SetOutputCount(8);
    }

    void Open() { ASSERT_TRUE(engine->OpenPort("ttyS3", &owner)); }

    // Queues records told apart by their program byte 1..count.
    void Queue(int count, bool identityCheck = false) {
        for (int i = 1; i <= count; ++i) {
            auto record =
                Protocol::MakeRecord({Protocol::ReadRequest, 1, static_cast<std::uint8_t>(i),
                                      Protocol::GroupSystem, 0, 0},
                                     Bytes(8, 0));
            record->SetIdentityCheck(identityCheck);
            record->SetPending(!queueSent);
            engine->Enqueue(std::move(record));
        }
    }

    // Queues the read request that reply (a data reply frame) answers: the same program, group,
    // channel or item and block; for an identity answer the identify request for its ID.
    void Ask(const Bytes& reply, bool identityCheck = false) {
        const auto view = Protocol::ParseFrame(reply.data(), reply.size());
        ASSERT_TRUE(view.has_value());
        Protocol::FrameHeader header = view->header;
        header.code = Protocol::ReadRequest;
        Bytes payload(8, 0);
        if (header.group == Protocol::GroupSystem && header.channel == Protocol::ItemDeviceId) {
            payload = {view->PayloadByte(0), static_cast<std::uint8_t>(engine->GetDeviceType())};
        }
        auto record = Protocol::MakeRecord(header, payload);
        record->SetIdentityCheck(identityCheck);
        record->SetPending(!queueSent);
        engine->Enqueue(std::move(record));
    }

    int HeadProgram() { return engine->Head().GetData()[Protocol::OffsetProgram]; }

    // One read per line notification; a chunk longer than the read buffer takes several.
    void Receive(const Bytes& chunk) {
        line->Serve(chunk);
        while (line->HasPendingReads()) {
            engine->OnSerialData();
            EXPECT_LE(engine->GetAssembler().GetReceivedCount(), FrameAssembler::kBufferSize);
        }
    }

    // Records queued by Queue and Ask count as transmitted, as though the owner had sent each
    // in turn, so that the tests of assembly and matching can answer several of them in a row;
    // false queues them unsent.
    bool queueSent = true;
    ScriptedLine* line = nullptr;
    RecordingListener owner;
    std::unique_ptr<Command> engine;
};

TEST_F(ProtocolEngine, OpenSetsUpTheLineAndCloseForgetsTheOwner) {
    Open();
    EXPECT_EQ(line->openedDevice, "ttyS3");
    EXPECT_EQ(line->baudRate, 9600);
    EXPECT_EQ(line->dataBits, 8);
    EXPECT_EQ(line->parity, ISerialLine::Parity::None);
    EXPECT_EQ(line->stopBits, 1);
    EXPECT_TRUE(line->handshakingOff);
    EXPECT_EQ(line->eventMask, LineEvents::All());
    EXPECT_EQ(engine->GetOwner(), &owner);
    EXPECT_TRUE(owner.boxes.empty());

    // Opening again closes first.
    EXPECT_TRUE(engine->OpenPort("ttyS4", &owner));
    EXPECT_EQ(line->closeCount, 1);
    EXPECT_EQ(line->openedDevice, "ttyS4");

    EXPECT_TRUE(engine->ClosePort());
    EXPECT_FALSE(engine->IsOpen());
    EXPECT_EQ(engine->GetOwner(), nullptr);
    EXPECT_FALSE(engine->ClosePort());
}

TEST_F(ProtocolEngine, PortThatCannotBeOpenedAsksForTheMessageBox) {
    line->openResult = LineStatus::AccessDenied;
    EXPECT_FALSE(engine->OpenPort("ttyS9", &owner));
    EXPECT_EQ(owner.boxes, std::vector<std::string>{"Unable to open COM-port"});
    EXPECT_FALSE(engine->IsOpen());

    Command lineless;
    EXPECT_FALSE(lineless.OpenPort("ttyS1", &owner));
    EXPECT_EQ(owner.boxes.size(), 2u);

    // What the line knows of the cause follows the usual text on its own lines.
    line->openFailureReason = "The port is in use by another program.\nClose it.";
    EXPECT_FALSE(engine->OpenPort("ttyS9", &owner));
    EXPECT_EQ(owner.boxes.back(),
              "Unable to open COM-port\nThe port is in use by another program.\nClose it.");
}

TEST_F(ProtocolEngine, PortThatCannotBeSetUpIsNotLeftOpen) {
    line->maskResult = LineStatus::InvalidArgument;
    EXPECT_FALSE(engine->OpenPort("ttyS3", &owner));
    EXPECT_FALSE(engine->IsOpen());
    EXPECT_EQ(engine->GetOwner(), nullptr);
}

TEST_F(ProtocolEngine, TransmitHeadWritesThreePreambleBytesAndTheFrameInOneWrite) {
    Open();
    EXPECT_FALSE(engine->TransmitHead());
    EXPECT_TRUE(line->writes.empty());

    queueSent = false;
    Queue(2);
    const Bytes frame = engine->Head().GetData();
    EXPECT_TRUE(engine->TransmitHead());
    ASSERT_EQ(line->writes.size(), 1u);
    EXPECT_EQ(line->writes[0].bytes, Cat({Bytes{0xFF, 0xFF, 0xFF}, frame}));
    EXPECT_EQ(line->writes[0].timeoutMs, 150);
    // The record stays queued until its answer comes, marked as transmitted.
    EXPECT_EQ(engine->Count(), 2);
    EXPECT_FALSE(engine->IsHeadPending());

    line->writeResult = LineStatus::Timeout;
    EXPECT_FALSE(engine->TransmitHead());
}

// A write the line refuses is not taken as a transmission: the head stays pending.
TEST_F(ProtocolEngine, FailedWriteLeavesTheHeadPending) {
    Open();
    queueSent = false;
    Queue(1);
    line->writeResult = LineStatus::IoError;
    EXPECT_FALSE(engine->TransmitHead());
    EXPECT_EQ(line->writes.size(), 1u);
    EXPECT_TRUE(engine->IsHeadPending());
}

struct AssemblyCase {
    const char* name;
    std::vector<Bytes> reads;
    int answered; // records removed from the head
};

TEST_F(ProtocolEngine, ReceiveAssembly) {
    const Bytes ack = AckFrame();
    const Bytes ackOnLine = OnLine(ack);
    Bytes badEnd = ack;
    badEnd.back() = 0xAB;
    Bytes badChecksum = ack;
    badChecksum[badChecksum.size() - 2] ^= 0x01;
    const Bytes unknown = Frame(0x60, Protocol::GroupSystem, Protocol::ItemBacklight, {0});
    Bytes tooLong = {0xFF, 0xB1, 0x51, 0x01, 0x00, 0x03, 0x14, 0x00, 200};
    tooLong.resize(60, 0x00);

    std::vector<Bytes> byteByByte;
    for (std::uint8_t byte : ackOnLine) {
        byteByByte.push_back({byte});
    }

    const std::vector<AssemblyCase> cases = {
        {"whole reply in one read", {ackOnLine}, 1},
        {"reply split over three reads",
         {Slice(ackOnLine, 0, 3), Slice(ackOnLine, 3, 10), Slice(ackOnLine, 10, 99)},
         1},
        {"reply one byte per read", byteByByte, 1},
        {"several 0xFF before 0xB1", {OnLine(ack, 5)}, 1},
        {"0xFF and 0xB1 in different reads", {{0xFF}, ack}, 1},
        {"noise before the preamble", {Cat({{0x12, 0xB1, 0x00}, ackOnLine})}, 1},
        {"0xB1 without 0xFF is ignored", {ack}, 0},
        {"noise between 0xFF and 0xB1", {{0xFF, 0x00}, ack}, 0},
        {"second Ack code", {OnLine(Frame(0x52, 3, 0x14, {0}))}, 1},
        {"wrong end byte", {OnLine(badEnd)}, 0},
        {"wrong checksum", {OnLine(badChecksum)}, 0},
        {"good reply after a bad one", {OnLine(badChecksum), ackOnLine}, 1},
        {"two replies in one read each take a record", {Cat({ackOnLine, ackOnLine})}, 2},
        {"a reply and the start of the next in one read",
         {Cat({ackOnLine, Slice(ackOnLine, 0, 5)}), Slice(ackOnLine, 5, 99)},
         2},
        {"three replies and noise in one read",
         {Cat({ackOnLine, {0x00, 0x12}, ackOnLine, OnLine(badChecksum), ackOnLine})},
         3},
        {"duplicate Acks in separate reads each take a record", {ackOnLine, ackOnLine}, 2},
        {"unknown reply code is ignored", {OnLine(unknown)}, 0},
        {"unknown reply code, then a valid reply", {OnLine(unknown), ackOnLine}, 1},
        {"unknown reply code, then bytes piling up, then a reply",
         {OnLine(unknown), Bytes(400, 0x00), ackOnLine},
         1},
        {"declared length beyond the buffer is dropped", {tooLong}, 0},
        {"declared length beyond the buffer, then a reply", {tooLong, ackOnLine}, 1},
        {"largest frame that fits the buffer", {OnLine(AckFrame(139))}, 1},
        {"frame one byte longer than the buffer", {OnLine(AckFrame(140))}, 0},
        {"frame longer than the buffer, then a reply", {OnLine(AckFrame(140)), ackOnLine}, 1},
    };

    for (const AssemblyCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto scripted = std::make_unique<ScriptedLine>();
        line = scripted.get();
        engine = std::make_unique<Command>(std::move(scripted));
        Open();
        Queue(4);
        for (const Bytes& read : c.reads) {
            Receive(read);
        }
        EXPECT_EQ(engine->Count(), 4 - c.answered);
        EXPECT_EQ(HeadProgram(), 1 + c.answered);
    }
}

TEST_F(ProtocolEngine, ReceiverHuntsAgainAfterEveryFrame) {
    Open();
    Queue(1);
    Receive(OnLine(AckFrame()));
    EXPECT_FALSE(engine->GetAssembler().IsSynced());
    EXPECT_EQ(engine->GetAssembler().GetReceivedCount(), 0u);

    // A rejected reply leaves the receiver hunting too, not stuck on the stale frame.
    Receive(OnLine(Frame(0x60, 3, 0x14, {0})));
    EXPECT_FALSE(engine->GetAssembler().IsSynced());
    EXPECT_EQ(engine->GetAssembler().GetReceivedCount(), 0u);
    EXPECT_EQ(engine->GetReplyHeader().code, 0x60);
}

TEST_F(ProtocolEngine, RepliesWithAnEmptyQueueLeaveTheQueueAlone) {
    Open();
    Receive(OnLine(AckFrame()));
    Receive(OnLine(Reply(Protocol::GroupSystem, Protocol::ItemBacklight, {1})));
    Receive(OnLine(Reply(Protocol::GroupInput, 0, Bytes(96, 0))));
    Receive(OnLine(Reply(Protocol::GroupSystem, Protocol::ItemDeviceId, {9, 1})));
    EXPECT_EQ(engine->Count(), 0);
    EXPECT_EQ(engine->GetDeviceImage().GetBacklight(), 1);

    Queue(1);
    Receive(OnLine(AckFrame()));
    EXPECT_EQ(engine->Count(), 0);
}

TEST_F(ProtocolEngine, ProgramReceivedOnlyAfterTheLastOutput) {
    Open();
    std::vector<Bytes> replies;
    for (std::uint8_t in = 0; in < 4; ++in) {
        replies.push_back(Reply(Protocol::GroupInput, in, Bytes(96, 0)));
    }
    for (std::uint8_t out = 0; out < 8; ++out) {
        replies.push_back(Reply(Protocol::GroupOutput, out, Bytes(80, 0)));
    }
    for (const Bytes& reply : replies) {
        Ask(reply);
    }
    for (std::size_t i = 0; i + 1 < replies.size(); ++i) {
        Receive(OnLine(replies[i]));
    }
    EXPECT_TRUE(owner.messages.empty());
    EXPECT_EQ(engine->Count(), 1);

    Receive(OnLine(replies.back()));
    EXPECT_EQ(owner.messages, (std::vector<Message>{{EngineMessage::WM_PROGRAM_RECEIVED, 0}}));
    EXPECT_EQ(engine->Count(), 0);
}

TEST_F(ProtocolEngine, ArchiveOutputsReportTheStoredProgramNumber) {
    Open();
    const Bytes output6 = Reply(Protocol::GroupOutput, 6, Bytes(80, 0), Protocol::ArchiveFlag, 17);
    const Bytes output7 = Reply(Protocol::GroupOutput, 7, Bytes(80, 0), Protocol::ArchiveFlag, 17);
    Ask(output6);
    Ask(output7);
    Receive(OnLine(output6));
    EXPECT_TRUE(owner.messages.empty());
    Receive(OnLine(output7));
    EXPECT_EQ(owner.messages,
              (std::vector<Message>{{EngineMessage::WM_STORED_PROGRAM_RECEIVED, 17}}));
    EXPECT_EQ(engine->Count(), 0);
}

struct LengthCase {
    const char* name;
    std::uint8_t group;
    std::uint8_t channel;
    std::uint8_t block;
    std::size_t length;
    int answered;
    std::vector<std::string> boxes;
};

TEST_F(ProtocolEngine, ChannelRepliesOfTheWrongLengthOrChannel) {
    const std::vector<LengthCase> cases = {
        {"live input, short", 1, 0, 0, 95, 1, {"输入数据长度错误"}},
        {"archive input, long", 1, 0, 0x77, 97, 1, {"输入数据长度错误"}},
        {"live output, short", 2, 7, 0, 79, 0, {}},
        {"archive output, short", 2, 7, 0x77, 8, 0, {"接收输出数据长度错误"}},
        {"input channel 4", 1, 4, 0, 96, 1, {}},
        {"output channel 8", 2, 8, 0, 80, 1, {}},
        {"archive output channel 200", 2, 200, 0x77, 80, 1, {}},
    };
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        owner = RecordingListener();
        auto scripted = std::make_unique<ScriptedLine>();
        line = scripted.get();
        engine = std::make_unique<Command>(std::move(scripted));
        engine->SetOutputCount(8);
        Open();
        const Bytes reply = Reply(c.group, c.channel, Bytes(c.length, 0), c.block);
        Ask(reply);
        Queue(1);
        Receive(OnLine(reply));
        EXPECT_EQ(engine->Count(), 2 - c.answered);
        EXPECT_EQ(owner.boxes, c.boxes);
        EXPECT_TRUE(owner.messages.empty());
        // Nothing is left behind in the receiver: the next answer is taken.
        Receive(OnLine(AckFrame()));
        EXPECT_EQ(engine->Count(), 1 - c.answered);
    }
}

TEST_F(ProtocolEngine, SystemRepliesNotifyTheOwner) {
    Open();
    const Bytes meters = Reply(3, Protocol::ItemMeters, Bytes(12, 30));
    const Bytes temperature = Reply(3, Protocol::ItemTemperature, {31});
    Ask(meters);
    Ask(temperature);
    Queue(3);
    Receive(OnLine(meters));
    Receive(OnLine(temperature));
    Receive(OnLine(Reply(3, Protocol::ItemIdentification,
                         {'Z', 'Q', '_', 'P', 'L', 'o', 'x', 'u', '_', 'V', '1', '.', '0'})));
    Receive(OnLine(Reply(3, Protocol::ItemDeviceNotice, {0})));
    Receive(OnLine(Reply(3, 0x33, {0})));
    Receive(OnLine(Reply(3, Protocol::ItemStatusByte, {7})));
    EXPECT_EQ(owner.messages, (std::vector<Message>{
                                  {EngineMessage::WM_LEVELS_RECEIVED, 0},
                                  {EngineMessage::WM_DEVICE_INFO_RECEIVED, 0x16},
                                  {EngineMessage::WM_IDENTIFICATION_RECEIVED, 0x19},
                                  {EngineMessage::WM_DEVICE_NOTICE, 0},
                              }));
    // Only the meter and temperature replies answer a request: the items the PC never asks
    // for come on the device's own and leave the head alone.
    EXPECT_EQ(engine->Count(), 3);
    EXPECT_EQ(engine->GetMeterValue(11), 25);
    EXPECT_EQ(engine->GetDeviceImage().GetTemperature(), 31);
    EXPECT_EQ(engine->GetIdentificationText(), "ZQ_P_V1.0");
    EXPECT_EQ(engine->GetTypeCodeText(), "Loxu");
}

TEST_F(ProtocolEngine, LinkCheckReportsWhetherTheDeviceTypeMatches) {
    Open();
    engine->SetDeviceType(2);
    const Bytes sameType = Reply(3, Protocol::ItemDeviceId, {1, 2});
    const Bytes otherType = Reply(3, Protocol::ItemDeviceId, {1, 1});
    Ask(sameType, true);
    Ask(otherType, true);
    Receive(OnLine(sameType));
    Receive(OnLine(otherType));
    EXPECT_EQ(owner.messages, (std::vector<Message>{
                                  {EngineMessage::WM_DEVICE_TYPE_CHECKED, 1},
                                  {EngineMessage::WM_DEVICE_TYPE_CHECKED, 0},
                              }));
    EXPECT_EQ(engine->Count(), 0);
}

// Device 250 ends the search whatever its type; a device of the engine's type is reported to the
// owner as found, the first before the search ends.
TEST_F(ProtocolEngine, SearchEndGoesToTheSearchWindowOnly) {
    Open();
    RecordingListener search;
    engine->SetSearchWindow(&search);
    const Bytes otherType = Reply(3, Protocol::ItemDeviceId, {250, 3});
    Ask(otherType);
    Queue(1);
    Receive(OnLine(otherType));
    EXPECT_EQ(search.messages, (std::vector<Message>{{EngineMessage::WM_ID_SEARCH_END, 0}}));
    EXPECT_TRUE(owner.messages.empty());
    EXPECT_EQ(engine->Count(), 1);
    EXPECT_TRUE(owner.found.empty()); // another device type is not listed
    EXPECT_TRUE(search.found.empty());

    // The search window learns that device 250 answered only after the owner has listed it.
    struct EndListener : RecordingListener {
        const RecordingListener* owner = nullptr;
        std::vector<int> foundAtEnd;
        void OnEngineMessage(EngineMessage message, int wParam) override {
            RecordingListener::OnEngineMessage(message, wParam);
            foundAtEnd = owner->found;
        }
    } ending;
    ending.owner = &owner;
    engine->SetSearchWindow(&ending);
    Receive(OnLine(Reply(3, Protocol::ItemDeviceId, {250, 1})));
    EXPECT_EQ(ending.messages, (std::vector<Message>{{EngineMessage::WM_ID_SEARCH_END, 0}}));
    EXPECT_EQ(ending.foundAtEnd, std::vector<int>{250});
    EXPECT_TRUE(owner.messages.empty());

    engine->SetSearchWindow(nullptr);
    Receive(OnLine(Reply(3, Protocol::ItemDeviceId, {250, 1})));
    EXPECT_EQ(ending.messages.size(), 1u);
    EXPECT_EQ(owner.found, (std::vector<int>{250, 250}));
}

// A panel closes the link from inside the type-check notification.
class ClosingListener : public RecordingListener {
public:
    Command* engine = nullptr;
    int countSeen = -1;
    void OnEngineMessage(EngineMessage message, int wParam) override {
        RecordingListener::OnEngineMessage(message, wParam);
        countSeen = engine->Count();
        engine->ClosePort();
        engine->Clear();
    }
};

TEST_F(ProtocolEngine, ListenerMayClearTheQueueFromItsNotification) {
    ClosingListener closing;
    closing.engine = engine.get();
    ASSERT_TRUE(engine->OpenPort("ttyS3", &closing));
    const Bytes otherType = Reply(3, Protocol::ItemDeviceId, {1, 2});
    Ask(otherType, true);
    Queue(2);
    Receive(OnLine(otherType));
    EXPECT_EQ(closing.messages, (std::vector<Message>{{EngineMessage::WM_DEVICE_TYPE_CHECKED, 0}}));
    EXPECT_EQ(closing.countSeen, 2); // the answered record was already gone
    EXPECT_EQ(engine->Count(), 0);
    EXPECT_FALSE(engine->IsOpen());
}

// The device sends its identification on its own in the same read as the answer to the
// program-name request: both are taken, and the name answers the request.
TEST_F(ProtocolEngine, UnaskedIdentificationInTheSameReadLosesNoAnswer) {
    Open();
    Bytes name = {'S', 't', 'a', 'g', 'e', ' ', ' ', ' '};
    name.resize(Protocol::ProgramNameLength, ' ');
    const Bytes nameReply = Reply(3, Protocol::ItemProgramName, name);
    Ask(nameReply);
    Queue(1);
    Receive(Cat({OnLine(Reply(3, Protocol::ItemIdentification,
                              {'Z', 'Q', '_', 'P', 'L', 'o', 'x', 'u', '_', 'V', '1', '.', '0'})),
                 OnLine(nameReply)}));
    EXPECT_EQ(engine->GetIdentificationText(), "ZQ_P_V1.0");
    EXPECT_EQ(engine->GetProgramName(0), "Stage");
    EXPECT_EQ(engine->Count(), 1);
    EXPECT_EQ(HeadProgram(), 1);
}

// A data reply that does not answer the head is stale: it is decoded where it says it belongs,
// but the head stays for its own reply, which is then taken.
TEST_F(ProtocolEngine, StaleDataReplyLeavesTheHeadForItsOwnReply) {
    Open();
    Bytes first(96, 0);
    first[ChannelLayout::Input::Name] = 'K';
    Bytes second(96, 0);
    second[ChannelLayout::Input::Name] = 'S';
    const Bytes input0 = Reply(Protocol::GroupInput, 0, first);
    const Bytes input1 = Reply(Protocol::GroupInput, 1, second);
    Ask(input0);
    Ask(input1);
    Receive(OnLine(input0));
    ASSERT_EQ(engine->Count(), 1);
    Receive(OnLine(input0)); // the same reply again, after a retransmission
    EXPECT_EQ(engine->Count(), 1) << "the read of input 1 is still waiting for its data";
    EXPECT_EQ(engine->GetDeviceImage().GetInput(0)->GetName(), "K");
    EXPECT_EQ(engine->GetDeviceImage().GetInput(1)->GetName(), "B");
    Receive(OnLine(input1));
    EXPECT_EQ(engine->Count(), 0);
    EXPECT_EQ(engine->GetDeviceImage().GetInput(1)->GetName(), "S");
    EXPECT_TRUE(owner.boxes.empty());
}

// Each row: what the head asks for and a reply that differs in one field only.
TEST_F(ProtocolEngine, ReplyAnswersOnlyTheRequestItNames) {
    Open();
    struct Case {
        const char* name;
        Bytes asked;
        Bytes reply;
    };
    const Bytes channel = Reply(Protocol::GroupOutput, 3, Bytes(80, 0), 0, 5);
    const std::vector<Case> cases = {
        {"other program", channel, Reply(Protocol::GroupOutput, 3, Bytes(80, 0), 0, 6)},
        {"other group", Reply(Protocol::GroupInput, 3, Bytes(96, 0), 0, 5),
         Reply(Protocol::GroupOutput, 3, Bytes(80, 0), 0, 5)},
        {"other channel", channel, Reply(Protocol::GroupOutput, 2, Bytes(80, 0), 0, 5)},
        {"other block", channel, Reply(Protocol::GroupOutput, 3, Bytes(80, 0), 0x77, 5)},
        {"other item", Reply(3, Protocol::ItemBacklight, {1}),
         Reply(3, Protocol::ItemTemperature, {1})},
        {"other probed ID", Reply(3, Protocol::ItemDeviceId, {6, 1}),
         Reply(3, Protocol::ItemDeviceId, {5, 1})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine->Clear();
        Ask(c.asked);
        Receive(OnLine(c.reply));
        EXPECT_EQ(engine->Count(), 1);
        Receive(OnLine(c.asked));
        EXPECT_EQ(engine->Count(), 0);
    }
    // An acknowledgement names no request: it still answers whatever is at the head.
    Ask(channel);
    Receive(OnLine(AckFrame()));
    EXPECT_EQ(engine->Count(), 0);
}

// The ID search dropped probe 5 before its late answer came: device 5 is still found, and the
// probe now at the head waits for its own answer.
TEST_F(ProtocolEngine, LateSearchAnswerIsFoundWithoutSkippingTheNextProbe) {
    Open();
    const Bytes answer5 = Reply(3, Protocol::ItemDeviceId, {5, 1});
    const Bytes answer6 = Reply(3, Protocol::ItemDeviceId, {6, 1});
    Ask(answer5);
    Ask(answer6);
    engine->RemoveHead(); // probe 5 given up
    Receive(OnLine(answer5));
    EXPECT_EQ(owner.found, std::vector<int>{5});
    ASSERT_EQ(engine->Count(), 1);
    Receive(OnLine(answer6));
    EXPECT_EQ(owner.found, (std::vector<int>{5, 6}));
    EXPECT_EQ(engine->Count(), 0);
}

// A stale copy of the last output completes no program a second time, and a stale archive reply
// of another program does not slip into the program being collected.
TEST_F(ProtocolEngine, StaleChannelReplyCompletesNothing) {
    Open();
    Bytes named(80, 0);
    named[ChannelLayout::Output::Name] = 'X';
    const Bytes live7 = Reply(Protocol::GroupOutput, 7, named);
    const Bytes archive7of3 = Reply(Protocol::GroupOutput, 7, named, Protocol::ArchiveFlag, 3);
    const std::string collected = engine->GetArchiveRecord().outputs[7].name;
    Ask(live7);
    Ask(Reply(Protocol::GroupInput, 0, Bytes(96, 0), Protocol::ArchiveFlag, 4));
    Receive(OnLine(live7));
    EXPECT_EQ(owner.messages, (std::vector<Message>{{EngineMessage::WM_PROGRAM_RECEIVED, 0}}));
    Receive(OnLine(live7));
    Receive(OnLine(archive7of3));
    EXPECT_EQ(owner.messages.size(), 1u);
    EXPECT_EQ(engine->Count(), 1);
    EXPECT_EQ(engine->GetArchiveRecord().outputs[7].name, collected)
        << "program 4 is being collected";
}

// An answer slower than the retransmission: the answers to the first and to the repeated
// transmission both arrive. The first removes the head; the second finds the next record not yet
// sent and leaves it, so that it still goes out and is answered.
TEST_F(ProtocolEngine, RepeatedAckLeavesTheUnsentNextRecord) {
    Open();
    queueSent = false;
    Queue(2);
    ASSERT_TRUE(engine->TransmitHead());
    ASSERT_TRUE(engine->TransmitHead()); // no answer in time: sent again
    Receive(OnLine(AckFrame()));
    Receive(OnLine(AckFrame()));
    ASSERT_EQ(engine->Count(), 1);
    EXPECT_EQ(HeadProgram(), 2);
    EXPECT_TRUE(engine->IsHeadPending());

    line->writes.clear();
    ASSERT_TRUE(engine->TransmitHead());
    // The write carries the preamble before the frame.
    EXPECT_EQ(line->writes.back().bytes[Protocol::PreambleCount + Protocol::OffsetProgram], 2);
    Receive(OnLine(AckFrame()));
    EXPECT_EQ(engine->Count(), 0);
}

// No reply answers a record before it has gone out, not even the reply naming its own request;
// a data reply is still decoded where it says it belongs.
TEST_F(ProtocolEngine, UnsentHeadIsAnsweredByNothing) {
    struct Case {
        const char* name;
        Bytes reply;
        Bytes asked;
        std::function<bool()> decoded;
    };
    const Bytes backlight = Reply(3, Protocol::ItemBacklight, {5});
    const Bytes probe = Reply(3, Protocol::ItemDeviceId, {9, 1});
    const std::vector<Case> cases = {
        {"Ack", AckFrame(), backlight, nullptr},
        {"data reply to its own request", backlight, backlight,
         [this] { return engine->GetDeviceImage().GetBacklight() == 5; }},
        {"identity answer to its own probe", probe, probe,
         [this] { return owner.found == std::vector<int>{9}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        owner.found.clear();
        auto scripted = std::make_unique<ScriptedLine>();
        line = scripted.get();
        engine = std::make_unique<Command>(std::move(scripted));
        Open();
        queueSent = false;
        Ask(c.asked);
        Receive(OnLine(c.reply));
        EXPECT_EQ(engine->Count(), 1);
        EXPECT_TRUE(engine->IsHeadPending());
        if (c.decoded) {
            EXPECT_TRUE(c.decoded());
        }

        ASSERT_TRUE(engine->TransmitHead());
        Receive(OnLine(c.reply));
        EXPECT_EQ(engine->Count(), 0);
    }
}

TEST_F(ProtocolEngine, DeviceTypeReachesTheDeviceImage) {
    engine->SetDeviceType(3);
    EXPECT_EQ(engine->GetDeviceType(), 3);
    EXPECT_EQ(engine->GetDeviceImage().GetDeviceType(), 3);
    EXPECT_EQ(engine->GetDeviceImage().GetInput(0)->GetGain(), 360);
}

} // namespace
