// The timing of a simulated line: when an answer starts, how fast its bytes go out, and what
// the faults leave of it.

#include "sim/SimPacer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace {

using Clock = SimPacer::Clock;
using std::chrono::milliseconds;

// A well-formed Ack frame of 11 bytes (start byte to end byte); the pacer only looks at its
// length and code.
const std::vector<std::uint8_t> kAck = {0xB1, 0x51, 0x01, 0x00, 0x00, 0x00,
                                        0x00, 0x00, 0x00, 0x52, 0x1B};

TEST(SimPacer, PacedAnswerStartsAfterTheFrameCameInAndTurnedAround) {
    const Clock::time_point t0 = Clock::now();
    SimPacer pacer(false, {}, t0);
    const auto byte = pacer.ByteTime();
    pacer.Received(20, t0);
    ASSERT_TRUE(pacer.Schedule(kAck, Clock::duration::zero(), t0));
    ASSERT_TRUE(pacer.HasOutput());
    const SimPacer::Outgoing& first = pacer.Head();
    EXPECT_EQ(first.start, t0 + byte * 20 + SimPacer::kTurnaround);
    EXPECT_EQ(first.bytes.size(), kAck.size() + 2); // with its two preamble bytes
    EXPECT_EQ(first.frame, kAck);

    // One byte per byte time from the start on.
    EXPECT_EQ(pacer.DueBytes(first.start - milliseconds(1)), 0U);
    EXPECT_EQ(pacer.DueBytes(first.start), 1U);
    EXPECT_EQ(pacer.DueBytes(first.start + byte * 4), 5U);
    pacer.Sent(5);
    EXPECT_EQ(pacer.NextDue(), first.start + byte * 5);
    EXPECT_EQ(pacer.DueBytes(first.start + byte * 100), kAck.size() + 2 - 5);
}

TEST(SimPacer, SecondAnswerWaitsForTheLineToBeFree) {
    const Clock::time_point t0 = Clock::now();
    SimPacer pacer(false, {}, t0);
    const auto byte = pacer.ByteTime();
    ASSERT_TRUE(pacer.Schedule(kAck, Clock::duration::zero(), t0));
    ASSERT_TRUE(pacer.Schedule(kAck, SimPacer::kFollowUpGap, t0));
    const Clock::time_point firstStart = pacer.Head().start;
    const std::size_t length = pacer.Head().bytes.size();
    pacer.Sent(length);
    ASSERT_TRUE(pacer.HasOutput());
    EXPECT_EQ(pacer.Head().start, firstStart + byte * static_cast<long>(length) +
                                      Clock::duration(SimPacer::kFollowUpGap));
    pacer.Sent(pacer.Head().bytes.size());
    EXPECT_FALSE(pacer.HasOutput());
}

TEST(SimPacer, FastLineAnswersAtOnceAndWholly) {
    const Clock::time_point t0 = Clock::now();
    SimPacer pacer(true, {}, t0);
    pacer.Received(200, t0);
    ASSERT_TRUE(pacer.Schedule(kAck, Clock::duration::zero(), t0));
    EXPECT_EQ(pacer.Head().start, t0);
    EXPECT_EQ(pacer.DueBytes(t0), kAck.size() + 2);
}

TEST(SimPacer, FaultsShapeTheAnswers) {
    const Clock::time_point t0 = Clock::now();
    SimFaults faults;
    faults.dropEvery = 2;
    faults.lateMs = 40;
    faults.splitSize = 5;
    SimPacer pacer(true, faults, t0);
    ASSERT_TRUE(pacer.Schedule(kAck, Clock::duration::zero(), t0));
    EXPECT_FALSE(pacer.Schedule(kAck, Clock::duration::zero(), t0)) << "the second is dropped";
    // 13 bytes in pieces of 5: 40 ms late, then 2 ms apart.
    std::vector<Clock::time_point> starts;
    std::size_t bytes = 0;
    while (pacer.HasOutput()) {
        starts.push_back(pacer.Head().start);
        bytes += pacer.Head().bytes.size();
        pacer.Sent(pacer.Head().bytes.size());
    }
    ASSERT_EQ(starts.size(), 3U);
    EXPECT_EQ(bytes, kAck.size() + 2);
    EXPECT_EQ(starts[0], t0 + milliseconds(40));
    EXPECT_EQ(starts[1], starts[0] + milliseconds(faults.splitGapMs));
}

TEST(SimPacer, PartialFrameIsGivenUpAfterTheGap) {
    const Clock::time_point t0 = Clock::now();
    SimPacer pacer(false, {}, t0);
    pacer.Received(3, t0);
    EXPECT_FALSE(pacer.FrameGapPassed(t0 + SimPacer::kFrameGap - milliseconds(1)));
    EXPECT_TRUE(pacer.FrameGapPassed(t0 + SimPacer::kFrameGap));
}

} // namespace
