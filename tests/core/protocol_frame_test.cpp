#include "core/protocol/Frame.h"
#include "core/protocol/SendData.h"
#include "core/protocol/SendDataQueue.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

namespace {

Protocol::FrameHeader BacklightHeader() {
    Protocol::FrameHeader h;
    h.code = Protocol::WriteRequest;
    h.deviceId = 1;
    h.program = 0;
    h.group = Protocol::GroupSystem;
    h.channel = Protocol::ItemBacklight;
    h.block = 0;
    return h;
}

} // namespace

TEST(ProtocolFrame, BacklightFrameIsByteExact) {
    const Bytes frame = Protocol::BuildFrame(BacklightHeader(), {0x00});
    const Bytes expected = {0xB1, 0xA1, 0x01, 0x00, 0x03, 0x14, 0x00, 0x00, 0x01, 0x00, 0xB6, 0xAA};
    EXPECT_EQ(frame, expected);
    EXPECT_TRUE(Protocol::ValidateFrame(frame.data(), frame.size()));
}

TEST(ProtocolFrame, LengthAndChecksumFollowThePayload) {
    Protocol::FrameHeader h = BacklightHeader();
    h.group = Protocol::GroupOutput;
    h.channel = 7;
    h.block = Protocol::OutputBlockDynamics;
    const Bytes payload = {0x90, 0x01, 0x0E, 0x04, 0x14, 0x00, 0x01, 0x01};
    const Bytes frame = Protocol::BuildFrame(h, payload);
    ASSERT_EQ(frame.size(), payload.size() + 11);
    EXPECT_EQ(frame[8], payload.size());
    std::uint8_t sum = 0;
    for (std::size_t i = 1; i < frame.size() - 2; ++i) {
        sum ^= frame[i];
    }
    EXPECT_EQ(frame[frame.size() - 2], sum);
    EXPECT_EQ(frame.back(), 0xAA);
    EXPECT_EQ(Bytes(frame.begin() + 9, frame.end() - 2), payload);
}

TEST(ProtocolFrame, ValidateRejectsEachKindOfDamage) {
    const Bytes good = Protocol::BuildFrame(BacklightHeader(), {0x01});
    ASSERT_TRUE(Protocol::ValidateFrame(good.data(), good.size()));

    Bytes badEnd = good;
    badEnd.back() = 0xAB; // checksum still right
    EXPECT_FALSE(Protocol::ValidateFrame(badEnd.data(), badEnd.size()));

    Bytes badSum = good;
    badSum[badSum.size() - 2] ^= 0x01; // end byte still right
    EXPECT_FALSE(Protocol::ValidateFrame(badSum.data(), badSum.size()));

    Bytes badPayload = good;
    badPayload[9] = 0x02;
    EXPECT_FALSE(Protocol::ValidateFrame(badPayload.data(), badPayload.size()));

    // Length byte that does not match the byte count, and buffers too short to hold a header.
    EXPECT_FALSE(Protocol::ValidateFrame(good.data(), good.size() - 1));
    EXPECT_FALSE(Protocol::ValidateFrame(good.data(), 5));
    EXPECT_FALSE(Protocol::ValidateFrame(nullptr, 0));
}

TEST(ProtocolFrame, ParseGivesHeaderFieldsAndPayload) {
    Protocol::FrameHeader h;
    h.code = Protocol::DataReply;
    h.deviceId = 17;
    h.program = 12;
    h.group = Protocol::GroupInput;
    h.channel = 3;
    h.block = Protocol::ArchiveFlag;
    Bytes buffer = Protocol::BuildFrame(h, {0x34, 0x12, 0x07});
    buffer.push_back(0xFF); // trailing bytes after the frame do not matter
    buffer.push_back(0xB1);

    const auto view = Protocol::ParseFrame(buffer.data(), buffer.size());
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(view->header.code, Protocol::DataReply);
    EXPECT_EQ(view->header.deviceId, 17);
    EXPECT_EQ(view->header.program, 12);
    EXPECT_EQ(view->header.group, Protocol::GroupInput);
    EXPECT_EQ(view->header.channel, 3);
    EXPECT_EQ(view->header.block, Protocol::ArchiveFlag);
    ASSERT_EQ(view->length, 3u);
    EXPECT_EQ(view->PayloadWord(0), 0x1234);
    EXPECT_EQ(view->PayloadByte(2), 0x07);
    EXPECT_EQ(view->PayloadByte(3), 0); // beyond the payload
}

TEST(ProtocolFrame, ParseRejectsTruncatedCorruptOrUnsyncedBuffers) {
    const Bytes good = Protocol::BuildFrame(BacklightHeader(), {0x00});
    EXPECT_FALSE(Protocol::ParseFrame(good.data(), good.size() - 1).has_value());

    Bytes noStart = good;
    noStart[0] = 0xFF;
    EXPECT_FALSE(Protocol::ParseFrame(noStart.data(), noStart.size()).has_value());

    Bytes badSum = good;
    badSum[10] ^= 0x80;
    EXPECT_FALSE(Protocol::ParseFrame(badSum.data(), badSum.size()).has_value());
}

TEST(ProtocolFrame, RecordStartsWithInitialFlagsAndOwnsItsFrame) {
    const auto record = Protocol::MakeRecord(BacklightHeader(), {0x00});
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->GetLength(), 12);
    EXPECT_EQ(record->GetData().size(), 12u);
    EXPECT_EQ(record->Bytes()[10], 0xB6);
    EXPECT_EQ(record->GetWaitTicks(), 0);
    EXPECT_TRUE(record->IsPending());
    EXPECT_FALSE(record->IsBulk());
    EXPECT_FALSE(record->IsLastOfUpload());
    EXPECT_FALSE(record->IsLastOfDownload());
    EXPECT_EQ(record->GetProbeId(), 0);
    EXPECT_FALSE(record->IsIdentityCheck());
}

namespace {

// Counts destructions so that the queue's ownership can be checked.
struct CountedRecord : SendData {
    explicit CountedRecord(int& destroyed, int tag) : m_destroyed(destroyed) { SetProbeId(tag); }
    ~CountedRecord() override { ++m_destroyed; }
    int& m_destroyed;
};

} // namespace

TEST(ProtocolQueue, KeepsOrderAndDestroysRemovedRecordsOnce) {
    int destroyed = 0;
    {
        SendDataQueue queue;
        for (int tag = 1; tag <= 3; ++tag) {
            queue.Append(std::make_unique<CountedRecord>(destroyed, tag));
        }
        ASSERT_EQ(queue.Count(), 3);
        EXPECT_EQ(queue.Head().GetProbeId(), 1);

        queue.RemoveHead();
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(queue.Count(), 2);
        EXPECT_EQ(queue.Head().GetProbeId(), 2);
        EXPECT_EQ(queue.At(1).GetProbeId(), 3);

        queue.Clear();
        EXPECT_EQ(destroyed, 3);
        EXPECT_EQ(queue.Count(), 0);

        queue.Append(std::make_unique<CountedRecord>(destroyed, 4));
    }
    EXPECT_EQ(destroyed, 4); // the queue destroys what it still holds
}

TEST(ProtocolQueue, EmptyQueueEdgesAreHarmless) {
    SendDataQueue queue;
    queue.Append(Protocol::MakeRecord(BacklightHeader(), {0x00}));
    queue.RemoveHead();
    EXPECT_TRUE(queue.IsEmpty());
    queue.RemoveHead();
    queue.Clear();
    EXPECT_EQ(queue.Count(), 0);
    queue.Append(std::unique_ptr<SendData>());
    EXPECT_EQ(queue.Count(), 0);
}

TEST(ProtocolQueue, AppendsASequenceInOrder) {
    std::vector<std::unique_ptr<SendData>> sequence;
    for (int id = 1; id <= 4; ++id) {
        auto record = std::make_unique<SendData>();
        record->SetProbeId(id);
        sequence.push_back(std::move(record));
    }
    SendDataQueue queue;
    queue.Append(std::move(sequence));
    ASSERT_EQ(queue.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(queue.At(static_cast<std::size_t>(i)).GetProbeId(), i + 1);
    }
}
