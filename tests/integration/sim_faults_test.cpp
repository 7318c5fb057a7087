// The command engine and the serial port against sonvex-sim with its fault injection: what a
// spoiled, missing, noisy, late or cut-up answer does to the receive side.

#include "EngineHarness.h"
#include "common/SimProcess.h"
#include "core/protocol/ProgramEncoder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace {

using simtest::SimProcess;

class SimFaultsTest : public ::testing::Test {
protected:
    SimFaultsTest() { program.SetDeviceId(1); }

    // (Re)starts the simulator with the given faults and connects the engine to it.
    void Start(const QStringList& options) {
        StopSimulator();
        sim = std::make_unique<SimProcess>();
        ASSERT_TRUE(sim->Start(QStringList{"--fast"} + options)) << sim->Error().toStdString();
        ASSERT_TRUE(harness.Open(sim->Link().toStdString(), 1)) << sim->Stderr().toStdString();
    }
    void StopSimulator() {
        harness.engine->ClosePort();
        if (sim) {
            if (HasFailure()) {
                std::cerr << "--- sonvex-sim frame log ---\n" << sim->Log().toStdString();
            }
            EXPECT_EQ(sim->Stop(), 0) << "sonvex-sim should end cleanly";
            sim.reset();
        }
    }
    void TearDown() override { StopSimulator(); }

    std::unique_ptr<SendData> ReadBacklight() {
        return ProgramEncoder(program).ReadSystemItem(Protocol::ItemBacklight, 0);
    }
    const FrameAssembler& Receiver() { return harness.engine->GetAssembler(); }
    // Answers the simulator has sent or, by its fault, left out (logged as not sent).
    int AnswersGiven() const {
        int answers = 0;
        for (const auto& frame : sim->Frames()) {
            answers += frame.direction == QLatin1String("out") ? 1 : 0;
        }
        return answers;
    }

    std::unique_ptr<SimProcess> sim;
    EngineHarness harness;
    CAudio_Data program;
};

// Every second answer is spoiled or left out: the engine drops it, the head stays queued, and
// the answer to its retransmission removes it.
TEST_F(SimFaultsTest, SpoiledAnswerIsDroppedAndTheHeadWaitsForItsRetransmission) {
    for (const char* fault : {"--corrupt-checksum-every", "--corrupt-end-every", "--drop-every"}) {
        SCOPED_TRACE(fault);
        Start({fault, "2"});
        harness.engine->Enqueue(ReadBacklight());
        ASSERT_TRUE(harness.TransmitAndWait()) << "answer 1 is good";

        harness.engine->Enqueue(ReadBacklight());
        harness.engine->Enqueue(ProgramEncoder(program).ReadMeters());
        EXPECT_FALSE(harness.TransmitAndWait(400)) << "answer 2 is spoiled";
        ASSERT_TRUE(QTest::qWaitFor([&] { return AnswersGiven() >= 2; }, 2000));
        EXPECT_EQ(harness.engine->Count(), 2);
        EXPECT_EQ(harness.engine->Head().GetData(), ReadBacklight()->GetData());
        EXPECT_FALSE(Receiver().IsSynced()) << "the receiver hunts again after a bad frame";
        EXPECT_EQ(Receiver().GetReceivedCount(), 0u);

        ASSERT_TRUE(harness.TransmitAndWait()) << "answer 3, to the retransmission, is good";
        EXPECT_EQ(harness.engine->Count(), 1);
        EXPECT_EQ(harness.engine->GetReplyHeader().channel, Protocol::ItemBacklight);
        EXPECT_FALSE(harness.TransmitAndWait(400)) << "answer 4 is spoiled";
        ASSERT_TRUE(harness.TransmitAndWait());
        EXPECT_EQ(harness.engine->Count(), 0);
        EXPECT_EQ(harness.engine->GetReplyHeader().channel, Protocol::ItemMeters);
    }
}

TEST_F(SimFaultsTest, SilentDeviceAnswersNothing) {
    Start({"--silent"});
    harness.engine->Enqueue(ProgramEncoder(program).IdentifyDevice(1));
    EXPECT_FALSE(harness.TransmitAndWait(500));
    EXPECT_FALSE(harness.TransmitAndWait(500)) << "nor to the retransmission";
    EXPECT_EQ(harness.engine->Count(), 1);
    EXPECT_EQ(Receiver().GetReceivedCount(), 0u);
    EXPECT_TRUE(harness.listener.messages.empty());
    EXPECT_TRUE(sim->Log().contains("not sent: fault injection"))
        << "the device heard the frame and kept quiet";
}

TEST_F(SimFaultsTest, LineNoiseBetweenAnswersDoesNotStopTheNextAnswer) {
    Start({"--noise", "60"});
    ProgramEncoder encoder(program);
    for (int p = 0; p <= 30; ++p) {
        harness.engine->Enqueue(encoder.ReadSystemItem(Protocol::ItemProgramName, p));
        // The noise after the previous answer is hunted through on the way to this one.
        ASSERT_TRUE(harness.TransmitAndWait()) << "program " << p;
        EXPECT_FALSE(Receiver().IsSynced());
    }
    EXPECT_EQ(harness.engine->GetProgramName(0), "Default");
    EXPECT_EQ(harness.engine->GetProgramName(1), "Preset01");
    EXPECT_EQ(harness.engine->GetProgramName(30), "Preset30");
    EXPECT_TRUE(sim->Log().contains("60 noise bytes"));
}

TEST_F(SimFaultsTest, LateAnswersInSmallPiecesAreAssembled) {
    Start({"--split", "3", "--late", "60"});
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(harness.Drain(TransferSequences::UploadProgram(program, 0)));
    const auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_GE(elapsed, std::chrono::milliseconds(12 * 60)) << "every answer comes 60 ms late";
    ASSERT_FALSE(harness.listener.messages.empty());
    EXPECT_EQ(harness.listener.messages.back().message, EngineMessage::WM_PROGRAM_RECEIVED);
    EXPECT_EQ(harness.engine->GetDeviceImage().GetOutput(7)->GetName(), "8");
    EXPECT_TRUE(sim->Log().contains("pieces"));
}

// An Ack names no request and is matched by order, but only a record that went out can be
// answered. Two Acks come for the first write: repeated by the device, or answering both
// transmissions of a write whose first Ack came after it was sent again. The second leaves the
// next write, still unsent, for its own Ack.
TEST_F(SimFaultsTest, SecondAckLeavesTheUnsentNextRecord) {
    struct Case {
        const char* name;
        QStringList options;
        int retransmitAfterMs; // sent again when no Ack came within this time; 0: never
    };
    for (const Case& c : {Case{"doubled Ack", {"--double-ack"}, 0},
                          Case{"Ack slower than the retransmission", {"--late", "200"}, 100}}) {
        SCOPED_TRACE(c.name);
        Start(c.options);
        int frames = 0;
        harness.engine->SetFrameObserver([&frames](const std::vector<std::uint8_t>&) { ++frames; });
        ProgramEncoder encoder(program);
        harness.engine->Enqueue(encoder.WriteBacklight());
        harness.engine->Enqueue(encoder.WriteTemperature());
        if (c.retransmitAfterMs > 0) {
            ASSERT_FALSE(harness.TransmitAndWait(c.retransmitAfterMs));
        }
        ASSERT_TRUE(harness.TransmitAndWait());
        ASSERT_TRUE(QTest::qWaitFor([&] { return frames == 2; }, 2000)) << "two Acks come";
        EXPECT_EQ(harness.engine->Count(), 1);
        EXPECT_TRUE(harness.engine->IsHeadPending());
        ASSERT_TRUE(harness.TransmitAndWait());
        EXPECT_EQ(harness.engine->Count(), 0);
        EXPECT_EQ(sim->Received().back().Channel(), Protocol::ItemTemperature)
            << "the second write reached the device";
        harness.engine->SetFrameObserver(nullptr);
    }
}

TEST_F(SimFaultsTest, WrongDeviceTypeFailsTheTypeCheck) {
    Start({"--wrong-type"});
    ASSERT_TRUE(harness.Drain(TransferSequences::ConnectReadBack(program)));
    ASSERT_FALSE(harness.listener.messages.empty());
    EXPECT_EQ(harness.listener.messages.front().message, EngineMessage::WM_DEVICE_TYPE_CHECKED);
    EXPECT_EQ(harness.listener.messages.front().wParam, 0);
}

TEST_F(SimFaultsTest, IdentificationFollowsTheFirstIdentityAnswer) {
    Start({"--send-identification"});
    auto check = ProgramEncoder(program).IdentifyDevice(1);
    check->SetIdentityCheck(true);
    harness.engine->Enqueue(std::move(check));
    ASSERT_TRUE(harness.TransmitAndWait());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const auto& m : harness.listener.messages) {
                if (m.message == EngineMessage::WM_IDENTIFICATION_RECEIVED) {
                    return true;
                }
            }
            return false;
        },
        1000));
    EXPECT_EQ(harness.listener.messages.front().message, EngineMessage::WM_DEVICE_TYPE_CHECKED);
    EXPECT_EQ(harness.listener.messages.front().wParam, 1);
    EXPECT_EQ(harness.engine->GetIdentificationText(), "ZQ_P_V1.0");
    EXPECT_EQ(harness.engine->GetTypeCodeText(), "Loxu");
}

} // namespace
