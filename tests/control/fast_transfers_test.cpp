// Fast transfers of PanelLink against the simulated processor: the next record goes out on the
// answer to the previous one, still one at a time; edits coalesce and the meters follow the
// tick; the time limits hold; faults on the line lose nothing in either mode.

#include "control/ControlTest.h"
#include "control/InProcessSim.h"
#include "control/LinkRecorder.h"
#include "control/ManualClock.h"
#include "core/SimTestPrograms.h"

#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/protocol/ChangeScan.h"
#include "core/protocol/ProgramEncoder.h"
#include "core/protocol/ProtocolCodes.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>

using controltest::InProcessSim;
using controltest::IsMeterRead;
using controltest::LinkRecorder;
using controltest::ManualClock;
using simtest::LoggedFrame;
using simtest::SimProcess;

namespace {

constexpr int kWaitMs = 60000;
constexpr int kHourMs = 3600 * 1000;

std::size_t CountIf(const std::vector<LoggedFrame>& frames, bool (*test)(const LoggedFrame&)) {
    return static_cast<std::size_t>(std::count_if(frames.begin(), frames.end(), test));
}

bool IsWrite(const LoggedFrame& frame) {
    return frame.Code() == Protocol::WriteRequest;
}

// Takes every pending change of program without sending it, the crossover steps included.
void DropPendingChanges(CAudio_Data& program) {
    while (ChangeScan(program).TakeNext()) {
    }
}

class ControlFastTransfersTest : public controltest::ControlTest {
protected:
    // From here on no tick runs and transfers are fast: what is queued goes out answer by
    // answer until nothing is left.
    static void StopTheTick(PanelLink& link) {
        link.SetTickInterval(kHourMs);
        link.SetFastTransfers(true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return link.GetEngine().Count() == 0; }, kWaitMs));
        // The level notification of the last answer is delivered now, not during the test.
        QCoreApplication::processEvents();
    }
};

// A store goes out entirely on answers, with no tick at all, one record at a time; the edits
// it leaves pending follow at once, and no meter request is made without a tick.
TEST_F(ControlFastTransfersTest, RecordsGoOutOnAnswersOneAtATimeAndMetersWaitForTheTick) {
    SimProcess sim({"--fast", "--device", "1:1"});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    LinkRecorder recorder(link);
    ConnectAndSettle(link, sim, 1, kWaitMs);
    StopTheTick(link);
    const int ticks = link.GetTickCount();
    const std::size_t mark = sim.Frames().size();

    ASSERT_TRUE(link.StoreProgram(0));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    // Name, A and B muted, 8 outputs, 4 inputs, then the true states of A and B.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return CountIf(sim.Received(mark), IsWrite) == 17U && link.GetEngine().Count() == 0;
        },
        kWaitMs));
    EXPECT_EQ(link.GetTickCount(), ticks);
    EXPECT_FALSE(link.IsBusy());

    // Each frame was answered before the next one went out.
    const auto frames = sim.Frames(mark);
    ASSERT_EQ(frames.size(), 34U);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].direction, i % 2 == 0 ? "in" : "out") << "frame " << i;
    }
    // Nothing was retransmitted, and no meter request went out without a tick.
    for (const auto& transmission : recorder.transmissions) {
        EXPECT_FALSE(transmission.retransmission);
    }
    QTest::qWait(50); // time for a flood of meter requests, if answers made any
    EXPECT_EQ(CountIf(sim.Received(mark), IsMeterRead), 0U);

    // With the tick running, the idle link is polled once per tick at most.
    constexpr int kTickMs = 20;
    const std::size_t idle = sim.Frames().size();
    QElapsedTimer clock;
    clock.start();
    link.SetTickInterval(kTickMs);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return CountIf(sim.Received(idle), IsMeterRead) >= 10U; }, kWaitMs));
    const auto polls = static_cast<qint64>(CountIf(sim.Received(idle), IsMeterRead));
    EXPECT_LE(polls, clock.elapsed() / kTickMs + 1);
    EXPECT_TRUE(recorder.messages.empty());
}

// Edits made while a transfer fills the queue go out once, with their latest values, when the
// transfer is through.
TEST_F(ControlFastTransfersTest, EditsCoalesceBehindATransfer) {
    SimProcess sim({"--fast", "--device", "1:1"});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    ConnectAndSettle(link, sim, 1, kWaitMs);
    StopTheTick(link);
    const std::size_t mark = sim.Frames().size();

    ASSERT_TRUE(link.StoreProgram(5));
    CAudio_OutData& output = *doc.GetProgram().GetOutput(2);
    for (int gain : {300, 310, 320, 330, 340}) {
        output.SetGain(gain);
    }
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    // Name, 8 outputs, 4 inputs, the levels of output 3.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return CountIf(sim.Received(mark), IsWrite) == 14U && link.GetEngine().Count() == 0;
        },
        kWaitMs));

    std::vector<int> gains;
    for (const LoggedFrame& frame : sim.Received(mark)) {
        if (IsWrite(frame) && frame.Group() == Protocol::GroupOutput &&
            frame.Channel() == output.GetChannelIndex() &&
            frame.Block() == Protocol::OutputBlockLevels) {
            gains.push_back(frame.PayloadByte(2) | (frame.PayloadByte(3) << 8));
        }
    }
    EXPECT_EQ(gains, std::vector<int>{ProgramEncoder(doc.GetProgram()).GainCode(340)});
}

// At the panels' own 100 ms tick a silent device gets the head again two seconds after its
// first transmission, and the link is given up at the first tick more than four seconds after
// it, with or without fast transfers: counted in ticks or measured on the clock. The clock is
// driven by the test, so the times are exact.
TEST_F(ControlFastTransfersTest, SilentDeviceRetransmitsAfterTwoSecondsAndGivesUpAfterFour) {
    for (bool fast : {false, true}) {
        SCOPED_TRACE(fast ? "fast" : "default");
        SimLinkLine::Options silent = InProcessSim::Fast();
        silent.faults.silent = true;
        InProcessSim sim({{1, 1}}, silent);
        auto owned = std::make_unique<ManualClock>();
        ManualClock& clock = *owned;
        CZorvanDoc doc;
        PanelLink link(doc, Variant::FourByEight(), sim.Setup(std::move(owned)));
        LinkRecorder recorder(link);
        std::vector<qint64> sentAt;
        qint64 closedAt = -1;
        QObject::connect(&link, &PanelLink::recordTransmitted,
                         [&](const QByteArray&, bool) { sentAt.push_back(clock.NowMs()); });
        QObject::connect(&link, &PanelLink::connectedChanged, [&](bool connected) {
            if (!connected) {
                closedAt = clock.NowMs();
            }
        });
        link.SetFastTransfers(fast);
        ASSERT_EQ(link.GetTickInterval(), PanelLink::kTickIntervalMs);
        ASSERT_TRUE(link.Connect(InProcessSim::Port(), 1));
        clock.Advance(10000);
        ASSERT_FALSE(link.IsConnected());

        ASSERT_EQ(recorder.transmissions.size(), 2U);
        EXPECT_EQ(recorder.transmissions[0].frame, recorder.transmissions[1].frame);
        EXPECT_TRUE(recorder.transmissions[1].retransmission);
        // Fast transfers send the first record at once, the tick at its first tick.
        EXPECT_EQ(sentAt[0], fast ? 0 : PanelLink::kTickIntervalMs);
        EXPECT_EQ(sentAt[1] - sentAt[0], 2000);
        EXPECT_EQ(closedAt - sentAt[0], 4100);
        ASSERT_EQ(recorder.messages.size(), 1U);
        EXPECT_EQ(recorder.messages[0], "Unable to Open COM-Port");
        EXPECT_FALSE(link.IsBusy());
        EXPECT_EQ(link.GetEngine().Count(), 0);
        EXPECT_EQ(sim.Received().size(), 2U);
    }
}

struct FaultCase {
    const char* name;
    SimFaults faults;
    bool fast;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class ControlFaultyLine : public ControlFastTransfersTest,
                          public ::testing::WithParamInterface<FaultCase> {
protected:
    static constexpr int kTickMs = 10;

    void TearDown() override {
        if (HasFailure() && m_sim != nullptr) {
            std::cerr << "--- frames on the simulated line ---\n";
            for (const LoggedFrame& frame : m_sim->Frames()) {
                std::cerr << frame.direction.toStdString() << ' '
                          << frame.bytes.toHex(' ').toStdString() << '\n';
            }
        }
    }

    std::unique_ptr<InProcessSim> m_sim; // its frames are shown when the test fails
};

// Every record of a connect, a store and a recall reaches the device and is answered in the end,
// whatever the line does to the answers: the device holds what was stored and gives it back.
TEST_P(ControlFaultyLine, LosesNothing) {
    SimLinkLine::Options options = InProcessSim::Fast();
    options.faults = GetParam().faults;
    m_sim = std::make_unique<InProcessSim>(std::vector<InProcessSim::Device>{{1, 1}}, options);
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight(), m_sim->Setup());
    LinkRecorder recorder(link);
    QSignalSpy arrived(&link, &PanelLink::programReceived);
    link.SetFastTransfers(GetParam().fast);
    link.SetTickInterval(kTickMs);
    ASSERT_TRUE(link.Connect(InProcessSim::Port(), 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived.count() == 1; }, kWaitMs));
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));

    CAudio_Data& program = doc.GetProgram();
    simtest::FillVaried(program, 1, 7);
    DropPendingChanges(program);
    CAudio_Data stored;
    simtest::FillVaried(stored, 1, 7);
    ASSERT_TRUE(link.StoreProgram(0));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));

    // Read back over local values that were not sent.
    simtest::FillVaried(program, 1, 8);
    DropPendingChanges(program);
    ASSERT_TRUE(link.RecallProgram(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived.count() == 2; }, kWaitMs));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(simtest::PayloadOf(ProgramEncoder(program).WriteInputChannel(0, i)),
                  simtest::PayloadOf(ProgramEncoder(stored).WriteInputChannel(0, i)))
            << "input " << i;
    }
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(simtest::PayloadOf(ProgramEncoder(program).WriteOutputChannel(0, n)),
                  simtest::PayloadOf(ProgramEncoder(stored).WriteOutputChannel(0, n)))
            << "output " << n + 1;
    }
    EXPECT_TRUE(link.IsConnected());
    EXPECT_TRUE(recorder.messages.empty());
}

// A device that never answers ends the link the same way in both modes.
TEST_F(ControlFastTransfersTest, SilentDeviceEndsTheLinkWithTheSameMessageInBothModes) {
    SimProcess sim({"--fast", "--silent", "--device", "1:1"});
    ASSERT_TRUE(sim.Started());
    for (bool fast : {false, true}) {
        SCOPED_TRACE(fast ? "fast" : "default");
        CZorvanDoc doc;
        PanelLink link(doc, Variant::FourByEight());
        LinkRecorder recorder(link);
        link.SetFastTransfers(fast);
        link.SetTickInterval(10);
        ASSERT_TRUE(link.Connect(sim.Link(), 1));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !link.IsConnected(); }, kWaitMs));
        EXPECT_EQ(recorder.transmissions.size(), 2U);
        EXPECT_EQ(recorder.messages, std::vector<QString>{"Unable to Open COM-Port"});
        EXPECT_FALSE(link.IsBusy());
        EXPECT_FALSE(link.IsTickRunning());
    }
}

SimFaults Faults(void (*set)(SimFaults&)) {
    SimFaults faults;
    set(faults);
    return faults;
}

const SimFaults kDropped = Faults([](SimFaults& f) { f.dropEvery = 5; });
// Never two spoiled answers in a row: the retransmission is answered.
const SimFaults kCorrupted = Faults([](SimFaults& f) {
    f.corruptChecksumEvery = 6;
    f.corruptEndEvery = 9;
});
const SimFaults kLate = Faults([](SimFaults& f) {
    f.lateMs = 60;
    f.splitSize = 9;
});
INSTANTIATE_TEST_SUITE_P(Modes, ControlFaultyLine,
                         ::testing::Values(FaultCase{"DroppedDefault", kDropped, false},
                                           FaultCase{"DroppedFast", kDropped, true},
                                           FaultCase{"CorruptedDefault", kCorrupted, false},
                                           FaultCase{"CorruptedFast", kCorrupted, true},
                                           FaultCase{"LateDefault", kLate, false},
                                           FaultCase{"LateFast", kLate, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// An answer sent twice: the repeat comes in the same read as the next answer. It must not take
// away the next record before that one has been sent (a transfer would then lose a record and,
// when that record ends it, never end).
const SimFaults kDoubled = Faults([](SimFaults& f) { f.doubleAck = true; });

INSTANTIATE_TEST_SUITE_P(StaleAnswers, ControlFaultyLine,
                         ::testing::Values(FaultCase{"DoubledDefault", kDoubled, false},
                                           FaultCase{"DoubledFast", kDoubled, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// The thirty programs written and read back in either mode give the same bank, byte for byte.
TEST_F(ControlFastTransfersTest, BanksAreTheSameInBothModes) {
    SimProcess sim({"--fast", "--device", "2:1"});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    LinkRecorder recorder(link);
    ConnectAndSettle(link, sim, 2, kWaitMs);

    const auto bankOf = [](unsigned seed) {
        CZorvanDoc::StoredPrograms bank;
        for (std::size_t k = 0; k < bank.size(); ++k) {
            bank[k] = simtest::VariedImage(1, seed + static_cast<unsigned>(k));
            bank[k].name = "B" + std::to_string(seed) + "_" + std::to_string(k + 1);
        }
        return bank;
    };
    const auto restore = [&](const CZorvanDoc::StoredPrograms& bank, bool fast) {
        link.SetFastTransfers(fast);
        doc.GetStoredPrograms() = bank;
        return link.RecallAllFromPC() && link.WaitForTransfer(kWaitMs) &&
               link.WaitUntilSettled(kWaitMs);
    };
    const auto backup = [&](bool fast) {
        link.SetFastTransfers(fast);
        doc.GetStoredPrograms() = CZorvanDoc::StoredPrograms{};
        const int completed = recorder.bankCompleted;
        const bool done =
            link.StoreAllToPC() && link.WaitForTransfer(kWaitMs) &&
            QTest::qWaitFor([&] { return recorder.bankCompleted > completed; }, kWaitMs);
        EXPECT_TRUE(done);
        return doc.GetStoredPrograms();
    };
    const auto expectSame = [](const CZorvanDoc::StoredPrograms& got,
                               const CZorvanDoc::StoredPrograms& want, const char* what) {
        for (std::size_t k = 0; k < want.size(); ++k) {
            EXPECT_TRUE(got[k] == want[k]) << what << ": program " << k + 1;
        }
    };

    const auto first = bankOf(100);
    ASSERT_TRUE(restore(first, false));
    const auto byDefault = backup(false);
    expectSame(byDefault, first, "default restore, default backup");
    expectSame(backup(true), byDefault, "fast backup");

    const auto second = bankOf(200);
    ASSERT_TRUE(restore(second, true));
    const auto byFast = backup(true);
    expectSame(byFast, second, "fast restore, fast backup");
    expectSame(backup(false), byFast, "default backup");
    EXPECT_TRUE(recorder.messages.empty());
}

} // namespace
