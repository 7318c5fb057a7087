// The command engine and the serial port against sonvex-sim over a real pseudo-terminal: the
// connect read-back, program transfers both ways and the ID search.

#include "EngineHarness.h"
#include "common/SimProcess.h"
#include "core/ChangeRecords.h"
#include "core/SimTestPrograms.h"
#include "core/files/Archive.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>

namespace {

using simtest::SimProcess;

class SimTransferTest : public ::testing::Test {
protected:
    void Start(const QStringList& options, int type = 1, bool fast = true) {
        ASSERT_TRUE(sim.Start((fast ? QStringList{"--fast"} : QStringList{}) + options))
            << sim.Error().toStdString();
        ASSERT_TRUE(harness.Open(sim.Link().toStdString(), type)) << sim.Stderr().toStdString();
    }
    void TearDown() override {
        harness.engine->ClosePort();
        if (HasFailure()) {
            std::cerr << "--- sonvex-sim frame log (tail) ---\n"
                      << sim.Log().right(4000).toStdString();
        }
        EXPECT_EQ(sim.Stop(), 0) << "sonvex-sim should end cleanly on SIGTERM";
        EXPECT_FALSE(QFile::exists(sim.Link())) << "the link must go with the simulator";
    }

    SimProcess sim;
    EngineHarness harness;
};

TEST_F(SimTransferTest, ConnectReadBackReportsTheDeviceAndItsSettings) {
    Start({"--device", "5:2"}, 2);
    CAudio_Data program;
    program.SetDeviceType(2);
    program.SetDeviceId(5);
    // Give the device settings of our own first, so the read-back proves they were kept.
    program.SetTemperature(31);
    program.SetBacklight(1);
    program.SetInfoText(5, "Stage left");
    ProgramEncoder encoder(program);
    TransferSequences::RecordList writes;
    writes.push_back(encoder.WriteTemperature());
    writes.push_back(encoder.WriteBacklight());
    writes.push_back(encoder.WriteInterfaceText());
    writes.push_back(encoder.WriteInputSource(1));
    program.SetName("Matinee");
    writes.push_back(encoder.WriteProgramName(17));
    ASSERT_TRUE(harness.Drain(std::move(writes)));

    ASSERT_TRUE(harness.Drain(TransferSequences::ConnectReadBack(program)));
    using M = RecordingListener::Message;
    const std::vector<M> expected = {{EngineMessage::WM_DEVICE_TYPE_CHECKED, 1},
                                     {EngineMessage::WM_DEVICE_INFO_RECEIVED, 0x16}};
    EXPECT_EQ(harness.listener.messages, expected);
    const Command& engine = *harness.engine;
    EXPECT_EQ(engine.GetProgramName(0), "Default");
    EXPECT_EQ(engine.GetProgramName(17), "Matinee");
    EXPECT_EQ(engine.GetProgramName(16), "Preset16");
    EXPECT_EQ(engine.GetDeviceImage().GetTemperature(), 31);
    EXPECT_EQ(engine.GetDeviceImage().GetBacklight(), 1);
    EXPECT_EQ(engine.GetDeviceImage().GetInfoText(5), "Stage left");
    EXPECT_EQ(engine.GetDeviceInputSource(), 1);
}

TEST_F(SimTransferTest, LiveProgramDownloadAndUploadRoundTripEveryParameter) {
    Start({});
    CAudio_Data sent;
    sent.SetDeviceId(1);
    simtest::FillVaried(sent, 1, 2024);
    ASSERT_TRUE(harness.Drain(TransferSequences::DownloadProgram(sent, 0)));
    // The download leaves the true on flags of inputs A and B to the change scan.
    TransferSequences::RecordList pending = changetest::TakeAllChangeRecords(sent);
    ASSERT_FALSE(pending.empty());
    ASSERT_TRUE(harness.Drain(std::move(pending)));

    ASSERT_TRUE(harness.Drain(TransferSequences::UploadProgram(sent, 0)));
    ASSERT_FALSE(harness.listener.messages.empty());
    EXPECT_EQ(harness.listener.messages.back().message, EngineMessage::WM_PROGRAM_RECEIVED);
    simtest::ExpectSameChannels(sent, harness.engine->GetDeviceImage());
}

TEST_F(SimTransferTest, AllThirtyStoredProgramsRoundTripByteIdentical) {
    Start({});
    TransferSequences::Bank bank;
    for (int k = 0; k < TransferSequences::BankSize; ++k) {
        bank[static_cast<std::size_t>(k)] =
            simtest::VariedImage(1, 500u + static_cast<unsigned>(k));
    }
    ASSERT_TRUE(harness.Drain(TransferSequences::DownloadAllPrograms(bank, 1, 1)));

    CAudio_Data program;
    program.SetDeviceId(1);
    ASSERT_TRUE(harness.Drain(TransferSequences::ConnectReadBack(program))); // the names

    // As the panel does: each completed program goes into the bank under its reported name.
    TransferSequences::Bank received;
    std::array<bool, TransferSequences::BankSize> arrived{};
    struct Collector : RecordingListener {
        Command* engine = nullptr;
        TransferSequences::Bank* bank = nullptr;
        std::array<bool, TransferSequences::BankSize>* arrived = nullptr;
        void OnEngineMessage(EngineMessage message, int wParam) override {
            if (message == EngineMessage::WM_STORED_PROGRAM_RECEIVED && wParam >= 1 &&
                wParam <= TransferSequences::BankSize) {
                ProgramImage image = engine->GetArchiveRecord();
                image.name = engine->GetProgramName(wParam);
                (*bank)[static_cast<std::size_t>(wParam - 1)] = image;
                (*arrived)[static_cast<std::size_t>(wParam - 1)] = true;
            }
        }
    } collector;
    collector.engine = harness.engine.get();
    collector.bank = &received;
    collector.arrived = &arrived;
    harness.engine->ClosePort();
    ASSERT_TRUE(harness.engine->OpenPort(sim.Link().toStdString(), &collector));
    ASSERT_TRUE(harness.Drain(TransferSequences::UploadAllPrograms(program)));

    for (int k = 0; k < TransferSequences::BankSize; ++k) {
        SCOPED_TRACE(k + 1);
        ASSERT_TRUE(arrived[static_cast<std::size_t>(k)]);
        CArchive want;
        CArchive got;
        bank[static_cast<std::size_t>(k)].Serialize(want);
        received[static_cast<std::size_t>(k)].Serialize(got);
        EXPECT_EQ(got.GetBuffer(), want.GetBuffer());
    }
}

TEST_F(SimTransferTest, PacedAnswersTakeTheirTimeOnA9600BaudLine) {
    Start({}, 1, false);
    CAudio_Data program;
    program.SetDeviceId(1);
    ProgramEncoder encoder(program);
    harness.engine->Enqueue(encoder.ReadChannel(0, 1, 0, 0));
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(harness.TransmitAndWait());
    const auto elapsed = std::chrono::steady_clock::now() - started;
    // 2 preamble bytes and a 107-byte frame at about 1.04 ms per byte.
    EXPECT_GE(elapsed, std::chrono::milliseconds(110));
    EXPECT_LT(elapsed, std::chrono::milliseconds(1500));
}

TEST_F(SimTransferTest, StateDirectoryKeepsTheDeviceMemoryBetweenRuns) {
    const QString dir = sim.FilePath("state");
    Start({"--state", dir});
    CAudio_Data program;
    program.SetDeviceId(1);
    simtest::FillVaried(program, 1, 77);
    program.SetTemperature(44);
    ProgramEncoder encoder(program);
    TransferSequences::RecordList writes = TransferSequences::DownloadProgram(program, 9);
    writes.push_back(encoder.WriteTemperature());
    ASSERT_TRUE(harness.Drain(std::move(writes)));
    harness.engine->ClosePort();
    ASSERT_EQ(sim.Stop(), 0);

    ASSERT_TRUE(sim.Start({"--fast", "--state", dir})) << sim.Error().toStdString();
    ASSERT_TRUE(harness.engine->OpenPort(sim.Link().toStdString(), &harness.listener));
    harness.listener.messages.clear();
    ASSERT_TRUE(harness.Drain(TransferSequences::ConnectReadBack(program)));
    EXPECT_EQ(harness.engine->GetDeviceImage().GetTemperature(), 44);
    EXPECT_EQ(harness.engine->GetProgramName(9), program.GetName());
    ASSERT_TRUE(harness.Drain(TransferSequences::UploadProgram(program, 9)));
    simtest::ExpectSameChannels(program, harness.engine->GetDeviceImage());
}

} // namespace
