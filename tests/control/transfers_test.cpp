// Whole-program transfers of PanelLink through the simulated processor, on a line inside the
// test process.

#include "common/DeviceMemory.h"
#include "control/ControlTest.h"
#include "control/InProcessSim.h"
#include "control/LinkRecorder.h"
#include "core/SimTestPrograms.h"

#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/ParameterDiff.h"
#include "core/protocol/ProgramEncoder.h"
#include "core/protocol/ProtocolCodes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using controltest::InProcessSim;
using controltest::LinkRecorder;
using simtest::LoggedFrame;

namespace {

constexpr int kWaitMs = 60000;

class ControlTransfersTest : public controltest::ControlTest {};

simtest::Bytes InputPayload(CAudio_Data& program, int channel) {
    return simtest::PayloadOf(ProgramEncoder(program).WriteInputChannel(0, channel));
}

simtest::Bytes OutputPayload(CAudio_Data& program, int channel) {
    return simtest::PayloadOf(ProgramEncoder(program).WriteOutputChannel(0, channel));
}

bool IsInputLevels(const LoggedFrame& frame) {
    return frame.Code() == Protocol::WriteRequest && frame.Group() == Protocol::GroupInput &&
           frame.Block() == Protocol::InputBlockLevels;
}

TEST_F(ControlTransfersTest, StoringTheLiveProgramMutesInputsAAndBAroundIt) {
    InProcessSim sim({{1, 1}});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), sim.Setup());
    ConnectAndSettle(link, InProcessSim::Port(), 1, kWaitMs);
    CAudio_Data& program = doc.GetProgram();
    program.GetInput(0)->SetOn(1);
    program.GetInput(1)->SetOn(1);
    program.SetName("Stage");
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));
    const std::size_t mark = sim.Frames().size();
    int progressTotal = 0;
    int lastRemaining = -1;
    QObject::connect(&link, &PanelLink::transferProgress, [&](int remaining, int total) {
        progressTotal = total;
        lastRemaining = remaining;
    });

    ASSERT_TRUE(link.StoreProgram(0));
    EXPECT_TRUE(link.IsBusy());
    EXPECT_EQ(doc.GetTitle(), "DSP48_Stage");
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));
    EXPECT_EQ(progressTotal, 15); // the name, A and B muted, 8 outputs, 4 inputs
    EXPECT_EQ(lastRemaining, 0);

    std::vector<LoggedFrame> writes;
    for (const LoggedFrame& frame : sim.Received(mark)) {
        if (frame.Code() == Protocol::WriteRequest) {
            writes.push_back(frame);
        }
    }
    // Name, A and B muted, 8 outputs, 4 inputs, then A and B in their true state.
    ASSERT_EQ(writes.size(), 17U);
    EXPECT_EQ(writes[0].Group(), Protocol::GroupSystem);
    EXPECT_EQ(writes[0].Channel(), Protocol::ItemProgramName);
    for (int i : {0, 1}) {
        const LoggedFrame& muted = writes[static_cast<std::size_t>(1 + i)];
        ASSERT_TRUE(IsInputLevels(muted));
        EXPECT_EQ(muted.Channel(), program.GetInput(i)->GetChannelIndex());
        EXPECT_EQ(muted.PayloadByte(0), 0) << "input " << i << " not muted first";
        const LoggedFrame& restored = writes[static_cast<std::size_t>(15 + i)];
        ASSERT_TRUE(IsInputLevels(restored));
        EXPECT_EQ(restored.Channel(), program.GetInput(i)->GetChannelIndex());
        EXPECT_EQ(restored.PayloadByte(0), 1) << "input " << i << " left muted";
    }
    for (std::size_t k = 3; k < 11; ++k) {
        EXPECT_EQ(writes[k].Group(), Protocol::GroupOutput);
        EXPECT_EQ(writes[k].Length(), static_cast<int>(Protocol::OutputChannelLength));
    }
    for (std::size_t k = 11; k < 15; ++k) {
        EXPECT_EQ(writes[k].Group(), Protocol::GroupInput);
        EXPECT_EQ(writes[k].Length(), static_cast<int>(Protocol::InputChannelLength));
    }
    EXPECT_EQ(program.GetInput(0)->GetOn(), 1);
    EXPECT_EQ(program.GetInput(1)->GetOn(), 1);
}

// The parameters in which the panel's program and the device's live program differ.
std::vector<std::string> PanelAgainstDevice(const CAudio_Data& program, const SimDevice& device) {
    std::vector<std::string> lines;
    for (const ParameterDifference& difference :
         ParameterDiff::Compare(program, *simtest::DeviceProgram(device, 0), device.GetType())) {
        lines.push_back(ParameterDiff::Line(difference));
    }
    return lines;
}

// A recall replaces the panel's program, and the device keeps what the panel then shows: an edit
// still pending when the recall starts is dropped. Sent, it would go out behind the last read,
// with values the panel no longer shows once the recalled program has arrived.
TEST_F(ControlTransfersTest, RecallLeavesNoEditOnTheDeviceThatThePanelDoesNotShow) {
    InProcessSim sim({{1, 1}});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), sim.Setup());
    ConnectAndSettle(link, InProcessSim::Port(), 1, kWaitMs);
    CAudio_Data& program = doc.GetProgram();
    const SimDevice& device = sim.Devices().Device(0);
    const SimProgram slot = device.GetProgram(2);

    program.GetInput(0)->SetGain(program.GetInput(0)->GetGain() == 100 ? 200 : 100);
    program.GetOutput(2)->SetPolarity(1 - program.GetOutput(2)->GetPolarity());
    ASSERT_TRUE(link.RecallProgram(2));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));
    EXPECT_TRUE(device.GetProgram(0).inputs == slot.inputs);
    EXPECT_TRUE(device.GetProgram(0).outputs == slot.outputs);
    EXPECT_EQ(PanelAgainstDevice(program, device), std::vector<std::string>{});
}

// An edit made after the last read of a recall has gone out (the progress window has closed)
// but before its answer is in waits for the recalled program, and then sends the panel's state:
// it does not go out with values the arriving program replaces in the panel. The answers come
// late and the next record goes out as soon as one arrives, so the last read is alone in the
// queue for several ticks.
TEST_F(ControlTransfersTest, EditDuringTheLastReadOfARecallDoesNotOutliveIt) {
    SimLinkLine::Options options = InProcessSim::Fast();
    options.faults.lateMs = 40;
    InProcessSim sim({{1, 1}}, options);
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), sim.Setup());
    link.SetFastTransfers(true);
    ConnectAndSettle(link, InProcessSim::Port(), 1, kWaitMs);
    CAudio_Data& program = doc.GetProgram();
    const SimDevice& device = sim.Devices().Device(0);

    bool edited = false;
    QObject::connect(&link, &PanelLink::recordTransmitted, [&](const QByteArray& frame) {
        const auto byte = [&](std::size_t at) {
            return static_cast<std::uint8_t>(frame.at(static_cast<int>(at)));
        };
        if (!edited && byte(Protocol::OffsetCode) == Protocol::ReadRequest &&
            byte(Protocol::OffsetGroup) == Protocol::GroupOutput &&
            byte(Protocol::OffsetChannel) == 7) {
            edited = true;
            program.GetInput(1)->SetGain(program.GetInput(1)->GetGain() == 100 ? 200 : 100);
        }
    });
    ASSERT_TRUE(link.RecallProgram(5));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));
    ASSERT_TRUE(edited);
    EXPECT_EQ(PanelAgainstDevice(program, device), std::vector<std::string>{});
}

// Every remaining count a transfer reports, from its start to its end.
struct ProgressLog {
    std::vector<int> remaining;
    std::vector<int> totals;

    explicit ProgressLog(PanelLink& link) {
        QObject::connect(&link, &PanelLink::transferProgress, [this](int left, int total) {
            remaining.push_back(left);
            totals.push_back(total);
        });
    }
    void Clear() {
        remaining.clear();
        totals.clear();
    }
    // Counted down by one from total to 0, each step a record that went out.
    bool CountsDownFrom(int total) const {
        std::vector<int> expected;
        for (int left = total; left >= 0; --left) {
            expected.push_back(left);
        }
        return remaining == expected && totals == std::vector<int>(expected.size(), total);
    }
};

// The progress of a transfer counts every record it sends, each once as it goes out: on a
// connect the 36 reads of the device's settings ahead of the 12 channel reads, the program
// names of a bank, the muting around the live program; meter requests and retransmissions
// are not counted.
TEST_F(ControlTransfersTest, ProgressCountsEveryRecordTheTransferSends) {
    InProcessSim sim({{4, 1}});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), sim.Setup());
    ProgressLog log(link);
    ConnectAndSettle(link, InProcessSim::Port(), 4, kWaitMs);
    EXPECT_TRUE(log.CountsDownFrom(48)) << ::testing::PrintToString(log.remaining);

    const struct {
        const char* name;
        std::function<bool()> start;
        int total;
    } transfers[] = {
        {"store live program", [&] { return link.StoreProgram(0); }, 15},
        {"store program 7", [&] { return link.StoreProgram(7); }, 13},
        {"recall program 3", [&] { return link.RecallProgram(3); }, 12},
        {"bank to the device", [&] { return link.RecallAllFromPC(); }, 390},
        {"bank from the device", [&] { return link.StoreAllToPC(); }, 360},
    };
    for (const auto& transfer : transfers) {
        SCOPED_TRACE(transfer.name);
        ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));
        log.Clear();
        ASSERT_TRUE(transfer.start());
        EXPECT_EQ(link.GetTransferTotal(), transfer.total);
        ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
        EXPECT_EQ(link.GetTransferRemaining(), 0);
        EXPECT_TRUE(log.CountsDownFrom(transfer.total)) << ::testing::PrintToString(log.remaining);
    }
}

TEST_F(ControlTransfersTest, TwoByFourPanelReadsTwelveChannelsButCopiesOnlyItsOwn) {
    InProcessSim sim({{5, 3}});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::TwoByFour(), sim.Setup());
    ConnectAndSettle(link, InProcessSim::Port(), 5, kWaitMs);
    CAudio_Data& program = doc.GetProgram();

    // The device's live program gets varied values in all twelve channels.
    simtest::FillVaried(program, 3, 11);
    program.ClearChanged();
    ASSERT_TRUE(link.StoreProgram(0));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));

    // Other local values, not sent.
    simtest::FillVaried(program, 3, 22);
    program.ClearChanged();
    CAudio_Data stored;
    simtest::FillVaried(stored, 3, 11);
    CAudio_Data local;
    simtest::FillVaried(local, 3, 22);

    const std::size_t mark = sim.Frames().size();
    ASSERT_TRUE(link.RecallProgram(0));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    std::vector<std::pair<int, int>> reads;
    for (const LoggedFrame& frame : sim.Received(mark)) {
        if (frame.Code() == Protocol::ReadRequest && frame.Group() != Protocol::GroupSystem) {
            reads.emplace_back(frame.Group(), frame.Channel());
        }
    }
    std::vector<std::pair<int, int>> expected;
    for (int i = 0; i < 4; ++i) {
        expected.emplace_back(Protocol::GroupInput, program.GetInput(i)->GetChannelIndex());
    }
    for (int n = 0; n < 8; ++n) {
        expected.emplace_back(Protocol::GroupOutput, program.GetOutput(n)->GetChannelIndex());
    }
    EXPECT_EQ(reads, expected);

    for (int i = 0; i < 4; ++i) {
        CAudio_Data& source = i < 2 ? stored : local;
        EXPECT_EQ(InputPayload(program, i), InputPayload(source, i)) << "input " << i;
    }
    for (int n = 0; n < 8; ++n) {
        CAudio_Data& source = n < 4 ? stored : local;
        EXPECT_EQ(OutputPayload(program, n), OutputPayload(source, n)) << "output " << n + 1;
    }
    EXPECT_EQ(doc.GetTitle(), "Sonvex1.1 Jexo  " + program.GetName());
}

TEST_F(ControlTransfersTest, BankRoundTripsThroughTheDevice) {
    InProcessSim sim({{2, 1}});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), sim.Setup());
    LinkRecorder recorder(link);
    ConnectAndSettle(link, InProcessSim::Port(), 2, kWaitMs);

    CZorvanDoc::StoredPrograms bank;
    for (std::size_t k = 0; k < bank.size(); ++k) {
        bank[k] = simtest::VariedImage(1, static_cast<unsigned>(100 + k));
        bank[k].name = "Bank" + std::to_string(k + 1);
    }
    doc.GetStoredPrograms() = bank;
    ASSERT_TRUE(link.RecallAllFromPC());
    EXPECT_EQ(link.GetTransferTotal(), 390); // 30 names and 360 channels
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));

    // A fresh connection reads the names back from the device; the bank is then collected.
    ASSERT_TRUE(link.Disconnect());
    ConnectAndSettle(link, InProcessSim::Port(), 2, kWaitMs);
    EXPECT_EQ(link.GetProgramName(12), "Bank12");
    doc.GetStoredPrograms() = CZorvanDoc::StoredPrograms{};
    ASSERT_TRUE(link.StoreAllToPC());
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));

    EXPECT_EQ(recorder.bankCompleted, 1);
    for (std::size_t k = 0; k < bank.size(); ++k) {
        EXPECT_TRUE(doc.GetStoredPrograms()[k] == bank[k]) << "program " << k + 1;
    }
    EXPECT_TRUE(recorder.messages.empty());
}

// A read of the live program aside leaves the panel's program as it is and gives the device's;
// one still queued when the link closes does not take the program of the next connect for its
// own.
TEST_F(ControlTransfersTest, LiveReadAsideLeavesThePanelsProgram) {
    InProcessSim sim({{1, 1}});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), sim.Setup());
    ConnectAndSettle(link, InProcessSim::Port(), 1, kWaitMs);
    int received = 0;
    int readAside = 0;
    QObject::connect(&link, &PanelLink::programReceived, [&] { ++received; });
    QObject::connect(&link, &PanelLink::liveProgramRead, [&] { ++readAside; });
    CAudio_Data& program = doc.GetProgram();
    program.GetOutput(2)->SetGain(140);
    ASSERT_TRUE(link.StoreProgram(Protocol::LiveProgram));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));
    program.GetOutput(2)->SetGain(20);
    program.ClearChanged();

    ASSERT_TRUE(link.ReadLiveProgram());
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    EXPECT_EQ(readAside, 1);
    EXPECT_EQ(received, 0);
    EXPECT_EQ(program.GetOutput(2)->GetGain(), 20);
    CAudio_Data device;
    device.SetDeviceType(1);
    link.CopyReceivedProgram(device);
    EXPECT_EQ(device.GetOutput(2)->GetGain(), 140);

    ASSERT_TRUE(link.ReadLiveProgram());
    ASSERT_TRUE(link.Disconnect());
    ConnectAndSettle(link, InProcessSim::Port(), 1, kWaitMs);
    EXPECT_EQ(readAside, 1);
    EXPECT_EQ(received, 1);
    EXPECT_EQ(program.GetOutput(2)->GetGain(), 140);
}

} // namespace
