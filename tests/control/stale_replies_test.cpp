// Answers that come late or twice: every record of a transfer still goes out, a read is answered
// with its own data, and a repeated answer takes no record that has not gone out yet.

#include "control/ControlTest.h"
#include "core/SimTestPrograms.h"

#include "core/files/ZorvanDoc.h"
#include "core/protocol/ProgramEncoder.h"
#include "core/protocol/ProtocolCodes.h"
#include "control/PanelLink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

using simtest::LoggedFrame;
using simtest::SimProcess;

namespace {

constexpr int kWaitMs = 60000;

simtest::Bytes ChannelPayload(CAudio_Data& program, bool output, int channel) {
    const ProgramEncoder encoder(program);
    return simtest::PayloadOf(output ? encoder.WriteOutputChannel(0, channel)
                                     : encoder.WriteInputChannel(0, channel));
}

// The whole-channel frames of code sent to the device from frame mark on, each as (group,
// channel), sorted.
std::vector<std::pair<int, int>> ChannelFrames(const SimProcess& sim, std::size_t mark,
                                               std::uint8_t code) {
    std::vector<std::pair<int, int>> frames;
    for (const LoggedFrame& frame : sim.Received(mark)) {
        if (frame.Code() == code && frame.Group() != Protocol::GroupSystem && frame.Block() == 0) {
            frames.emplace_back(frame.Group(), frame.Channel());
        }
    }
    std::sort(frames.begin(), frames.end());
    return frames;
}

std::vector<std::pair<int, int>> TwelveChannels() {
    std::vector<std::pair<int, int>> channels;
    for (int i = 0; i < 4; ++i) {
        channels.emplace_back(Protocol::GroupInput, i);
    }
    for (int n = 0; n < 8; ++n) {
        channels.emplace_back(Protocol::GroupOutput, n);
    }
    return channels;
}

void ExpectProgram(CAudio_Data& program, CAudio_Data& expected) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ChannelPayload(program, false, i), ChannelPayload(expected, false, i))
            << "input " << i;
    }
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(ChannelPayload(program, true, n), ChannelPayload(expected, true, n))
            << "output " << n + 1;
    }
}

struct FaultCase {
    const char* name;
    const char* options;
    int tickMs; // the panel's tick during the transfers
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

class ControlStaleRepliesTest : public controltest::ControlTest,
                                public ::testing::WithParamInterface<FaultCase> {};

// The live program goes to the device and comes back: every channel is written and read once,
// none is skipped, the device ends with what was sent and the panel with what the device holds.
TEST_P(ControlStaleRepliesTest, StoreAndRecallMoveEveryChannelOnce) {
    const FaultCase& c = GetParam();
    SimProcess sim(QStringList{"--fast", "--device", "1:1"} +
                   QString::fromLatin1(c.options).split(QLatin1Char(' ')));
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    ConnectAndSettle(link, sim, 1, kWaitMs, c.tickMs);
    CAudio_Data& program = doc.GetProgram();
    simtest::FillVaried(program, 1, 31);
    program.ClearChanged();
    std::size_t mark = sim.Frames().size();
    ASSERT_TRUE(link.StoreProgram(0));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));
    EXPECT_EQ(ChannelFrames(sim, mark, Protocol::WriteRequest), TwelveChannels());

    simtest::FillVaried(program, 1, 47); // local values, not sent
    program.ClearChanged();
    CAudio_Data onDevice;
    simtest::FillVaried(onDevice, 1, 31);

    mark = sim.Frames().size();
    ASSERT_TRUE(link.RecallProgram(0));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    EXPECT_EQ(ChannelFrames(sim, mark, Protocol::ReadRequest), TwelveChannels());
    ExpectProgram(program, onDevice);
    EXPECT_TRUE(sim.Log().contains(QStringLiteral("repeated")));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ControlStaleRepliesTest,
    ::testing::Values(
        // Every data reply twice, the copy while the next read waits to go out or after it.
        FaultCase{"DoubledReplies", "--double-reply", controltest::kFastTickMs},
        // Every answer late on top: the copy comes after the next read went out.
        FaultCase{"LateAndDoubledReplies", "--double-reply --late 60", 10},
        // Every Ack twice, the copy before the panel sends the next record.
        FaultCase{"DoubledAcks", "--double-ack", 60}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
