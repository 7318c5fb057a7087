// The link state machine and the service tick of PanelLink against the simulated processor.

#include "control/ControlTest.h"
#include "control/LinkRecorder.h"

#include "core/files/ZorvanDoc.h"
#include "core/protocol/ProtocolCodes.h"
#include "control/PanelLink.h"

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using controltest::IsMeterRead;
using controltest::kFastTickMs;
using controltest::LinkRecorder;
using simtest::LoggedFrame;
using simtest::SimProcess;

namespace {

constexpr int kWaitMs = 20000;
constexpr int kHourMs = 3600 * 1000;

class ControlPanelLinkTest : public controltest::ControlTest {
protected:
    // From here on the test calls the tick itself, on a settled link: the record in flight
    // is answered, and the meter requests not yet sent are dropped.
    static void TakeOverTick(PanelLink& link) {
        link.SetTickInterval(kHourMs);
        Command& engine = link.GetEngine();
        if (engine.Count() > 0 && !engine.IsHeadPending()) {
            const int count = engine.Count();
            ASSERT_TRUE(QTest::qWaitFor([&] { return engine.Count() < count; }, kWaitMs));
        }
        ASSERT_TRUE(engine.OnlyMeterRequestsQueued());
        engine.Clear();
        // The level notification that answer posted is delivered now, not during the test.
        QCoreApplication::processEvents();
    }

    static void TickAndWaitForAnswer(PanelLink& link) {
        link.ServiceTick();
        ASSERT_TRUE(QTest::qWaitFor([&] { return link.GetEngine().Count() == 0; }, kWaitMs));
    }
};

TEST_F(ControlPanelLinkTest, ConnectDropsEarlierEditsAndReadsBackNamesAndSettings) {
    SimProcess sim({"--fast", "--device", "3:1"});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    LinkRecorder recorder(link);
    int shownId = 0;
    QObject::connect(&link, &PanelLink::linkSettingsChanged,
                     [&](int id, const QString&) { shownId = id; });

    CAudio_Data& program = doc.GetProgram();
    program.GetOutput(0)->SetGain(100);
    program.GetInput(1)->SetPolarity(1);
    program.SetTemperature(40);
    ConnectAndSettle(link, sim, 3, kWaitMs);

    EXPECT_TRUE(link.IsConnected());
    EXPECT_FALSE(link.IsBusy());
    EXPECT_EQ(shownId, 3);
    EXPECT_EQ(program.GetDeviceId(), 3);
    for (const LoggedFrame& frame : sim.Received()) {
        EXPECT_NE(frame.Code(), Protocol::WriteRequest)
            << "an edit made before connecting reached the device";
    }
    // Names and device settings as the device holds them.
    EXPECT_EQ(link.GetProgramName(0), "Default");
    EXPECT_EQ(link.GetProgramName(7), "Preset07");
    EXPECT_EQ(link.GetProgramName(30), "Preset30");
    EXPECT_EQ(program.GetTemperature(), 25);
    // The live program replaced the local edits.
    const CAudio_Data& device = link.GetEngine().GetDeviceImage();
    EXPECT_EQ(program.GetOutput(0)->GetGain(), device.GetOutput(0)->GetGain());
    EXPECT_NE(program.GetOutput(0)->GetGain(), 100);
    EXPECT_EQ(program.GetInput(1)->GetPolarity(), device.GetInput(1)->GetPolarity());
    EXPECT_EQ(doc.GetTitle(), "Sonvex1.1 Fosk  " + program.GetName());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(ControlPanelLinkTest, EditedGainGoesOutAsOneLevelsRecordAtTheNextTick) {
    SimProcess sim({"--fast", "--device", "1:1"});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    ConnectAndSettle(link, sim, 1, kWaitMs);
    TakeOverTick(link);
    const std::size_t mark = sim.Frames().size();

    CAudio_OutData& output = *doc.GetProgram().GetOutput(2);
    output.SetGain(123);
    output.SetPolarity(output.GetPolarity() == 0 ? 1 : 0);
    TickAndWaitForAnswer(link); // the levels record
    TickAndWaitForAnswer(link); // nothing pending any more: a meter request
    TickAndWaitForAnswer(link);

    const auto received = sim.Received(mark);
    ASSERT_EQ(received.size(), 3U);
    EXPECT_EQ(received[0].Code(), Protocol::WriteRequest);
    EXPECT_EQ(received[0].Group(), Protocol::GroupOutput);
    EXPECT_EQ(received[0].Channel(), output.GetChannelIndex());
    EXPECT_EQ(received[0].Block(), Protocol::OutputBlockLevels);
    EXPECT_TRUE(IsMeterRead(received[1]));
    EXPECT_TRUE(IsMeterRead(received[2]));

    // The device kept the value: read it back.
    link.SetTickInterval(kFastTickMs);
    ASSERT_TRUE(link.RecallProgram(0));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    EXPECT_EQ(link.GetEngine().GetDeviceImage().GetOutput(2)->GetGain(), 123);
    EXPECT_EQ(link.GetEngine().GetDeviceImage().GetOutput(2)->GetPolarity(), output.GetPolarity());
}

TEST_F(ControlPanelLinkTest, IdleLinkPollsTheMetersAtEveryTick) {
    SimProcess sim({"--fast", "--device", "1:3"});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::TwoByFour());
    LinkRecorder recorder(link);
    ConnectAndSettle(link, sim, 1, kWaitMs);
    TakeOverTick(link);
    const std::size_t mark = sim.Frames().size();
    recorder.levels.clear();

    constexpr int kTicks = 12;
    for (int i = 0; i < kTicks; ++i) {
        TickAndWaitForAnswer(link);
    }
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return recorder.levels.size() == static_cast<std::size_t>(kTicks); }, kWaitMs));

    const auto received = sim.Received(mark);
    ASSERT_EQ(received.size(), static_cast<std::size_t>(kTicks));
    for (const LoggedFrame& frame : received) {
        EXPECT_TRUE(IsMeterRead(frame));
    }
    // Two inputs and four outputs shown, from bytes 0..1 and 4..7 of the last reply.
    const QVector<int> last = recorder.levels.back();
    ASSERT_EQ(last.size(), 6);
    const Command& engine = link.GetEngine();
    EXPECT_EQ(last[0], engine.GetMeterValue(0));
    EXPECT_EQ(last[1], engine.GetMeterValue(1));
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(last[2 + n], engine.GetMeterValue(4 + n));
    }
    // The meters move with the replies.
    const std::set<QVector<int>> distinct(recorder.levels.begin(), recorder.levels.end());
    EXPECT_GT(distinct.size(), 1U);
}

TEST_F(ControlPanelLinkTest, SilentDeviceGetsTheHeadTwiceAndTheLinkClosesAfterTick40) {
    SimProcess sim({"--silent", "--device", "1:1"});
    ASSERT_TRUE(sim.Started());
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    LinkRecorder recorder(link);
    link.SetTickInterval(2);
    ASSERT_TRUE(link.Connect(sim.Link(), 1));
    EXPECT_TRUE(link.IsBusy());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.IsConnected(); }, kWaitMs));

    ASSERT_EQ(recorder.transmissions.size(), 2U);
    const auto& first = recorder.transmissions[0];
    const auto& second = recorder.transmissions[1];
    EXPECT_EQ(first.frame, second.frame);
    EXPECT_FALSE(first.retransmission);
    EXPECT_TRUE(second.retransmission);
    EXPECT_EQ(second.tick - first.tick, 20);
    EXPECT_EQ(recorder.disconnectTick - first.tick, 41);
    ASSERT_EQ(recorder.messages.size(), 1U);
    EXPECT_EQ(recorder.messages[0], "Unable to Open COM-Port");
    EXPECT_FALSE(link.IsBusy());
    EXPECT_FALSE(link.IsTickRunning());
    EXPECT_EQ(link.GetEngine().Count(), 0);
    EXPECT_FALSE(link.GetEngine().IsOpen());
    EXPECT_FALSE(link.WaitForTransfer(10));
    EXPECT_EQ(sim.Received().size(), 2U);
}

// A wait for the answer given in time replaces the 20 and 40 ticks: a short tick then keeps
// the line's real patience.
TEST_F(ControlPanelLinkTest, AnswerWaitGivenInTimeOutlastsTheTicks) {
    SimProcess sim({"--silent", "--device", "1:1"});
    ASSERT_TRUE(sim.Started());
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    LinkRecorder recorder(link);
    link.SetTickInterval(2);
    constexpr int kAnswerWaitMs = 300;
    link.SetAnswerWait(kAnswerWaitMs);
    QElapsedTimer connected;
    connected.start();
    ASSERT_TRUE(link.Connect(sim.Link(), 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.IsConnected(); }, kWaitMs));

    EXPECT_GE(connected.elapsed(), 2 * kAnswerWaitMs);
    ASSERT_EQ(recorder.transmissions.size(), 2U);
    EXPECT_TRUE(recorder.transmissions[1].retransmission);
    ASSERT_EQ(recorder.messages.size(), 1U);
    EXPECT_EQ(recorder.messages[0], "Unable to Open COM-Port");
}

// A line that fails under the panel (an adapter pulled out; here the simulator ends and its
// terminal goes away) closes the link at the first write that fails, saying that the port
// failed, instead of waiting four seconds for an answer that cannot come.
TEST_F(ControlPanelLinkTest, FailedWriteClosesTheLinkAtOnce) {
    SimProcess sim({"--fast", "--device", "1:1"});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    ConnectAndSettle(link, sim, 1, kWaitMs);
    LinkRecorder recorder(link);
    const int ticksBefore = link.GetTickCount();
    sim.Stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.IsConnected(); }, kWaitMs));

    ASSERT_EQ(recorder.messages.size(), 1U);
    EXPECT_EQ(recorder.messages[0].toStdString(), PanelLink::kPortFailedText);
    // At the latest the retransmission of a record that was in flight is the first write.
    EXPECT_LE(recorder.disconnectTick - ticksBefore, PanelLink::kRetransmitTicks);
    EXPECT_TRUE(recorder.transmissions.empty()) << "a frame that did not go out was traced";
    EXPECT_FALSE(link.IsTickRunning());
    EXPECT_EQ(link.GetEngine().Count(), 0);
}

// A slot that runs an event loop (a message box does) may let the next tick run before the
// tick that transmitted has returned: the record is already marked as sent by then, so it does
// not go out twice.
TEST_F(ControlPanelLinkTest, TickInsideATransmissionSlotDoesNotSendTheHeadAgain) {
    SimProcess sim({"--silent", "--device", "1:1"});
    ASSERT_TRUE(sim.Started());
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    LinkRecorder recorder(link);
    link.SetTickInterval(kHourMs);
    ASSERT_TRUE(link.Connect(sim.Link(), 1));
    bool nested = false;
    QObject::connect(&link, &PanelLink::recordTransmitted, [&] {
        if (!nested) {
            nested = true;
            link.ServiceTick();
        }
    });
    link.ServiceTick();
    ASSERT_TRUE(nested);
    EXPECT_EQ(recorder.transmissions.size(), 1U);
}

struct WrongTypeCase {
    const char* name;
    const Variant& (*variant)();
    QStringList simArguments;
};

void PrintTo(const WrongTypeCase& c, std::ostream* os) {
    *os << c.name;
}

class ControlWrongDeviceType : public ControlPanelLinkTest,
                               public ::testing::WithParamInterface<WrongTypeCase> {};

TEST_P(ControlWrongDeviceType, IsDroppedWithDeviceTypeError) {
    SimProcess sim(GetParam().simArguments);
    ASSERT_TRUE(sim.Started());
    CZorvanDoc doc;
    PanelLink link(doc, GetParam().variant());
    LinkRecorder recorder(link);
    link.SetTickInterval(kFastTickMs);
    ASSERT_TRUE(link.Connect(sim.Link(), 4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.IsConnected(); }, kWaitMs));

    ASSERT_EQ(recorder.messages.size(), 1U);
    EXPECT_EQ(recorder.messages[0], "Device Type Error!");
    EXPECT_EQ(link.GetEngine().Count(), 0);
    EXPECT_FALSE(link.IsTickRunning());
    // Only the device-type check went out.
    EXPECT_EQ(sim.Received().size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(Cases, ControlWrongDeviceType,
                         ::testing::Values(WrongTypeCase{"ReportsAnotherType",
                                                         &Variant::FourByEight,
                                                         {"--fast", "--wrong-type", "--device",
                                                          "4:1"}},
                                           WrongTypeCase{"SixOutputPanelOnEightOutputDevice",
                                                         &Variant::ThreeBySix,
                                                         {"--fast", "--device", "4:1"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlPanelLinkTest, DeviceDialogChangesTheIdAndSwitchesDevices) {
    SimProcess sim({"--fast", "--device", "3:1", "--device", "7:1"});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    ConnectAndSettle(link, sim, 3, kWaitMs);
    const int queued = link.GetEngine().Count();

    // Nothing happens for the current ID, an empty target or an ID off the line's range.
    EXPECT_FALSE(link.ChangeDeviceId(3));
    EXPECT_FALSE(link.ChangeDeviceId(251));
    EXPECT_FALSE(link.ReconnectToDevice(0));
    EXPECT_FALSE(link.ReconnectToDevice(3));
    EXPECT_EQ(link.GetEngine().Count(), queued);
    EXPECT_EQ(link.GetDeviceId(), 3);

    // Re_Connect: the other device is read back and every frame goes to it.
    std::size_t mark = sim.Frames().size();
    ASSERT_TRUE(link.ReconnectToDevice(7));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));
    EXPECT_EQ(doc.GetProgram().GetDeviceId(), 7);
    std::size_t toSeven = 0;
    for (const LoggedFrame& frame : sim.Received(mark)) {
        toSeven += frame.DeviceId() == 7 ? 1 : 0;
    }
    EXPECT_GE(toSeven, 36U + 12U); // the read-back and the recall at least

    // Change the ID: the device takes it and answers under it from then on.
    mark = sim.Frames().size();
    ASSERT_TRUE(link.ChangeDeviceId(9));
    EXPECT_TRUE(link.GetFoundIds().IsPresent(9));
    EXPECT_FALSE(link.GetFoundIds().IsPresent(7));
    EXPECT_EQ(link.GetDeviceId(), 9);
    EXPECT_EQ(doc.GetProgram().GetDeviceId(), 9);
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));
    const auto received = sim.Received(mark);
    const auto change =
        std::find_if(received.begin(), received.end(), [](const LoggedFrame& frame) {
            return frame.Code() == Protocol::WriteRequest && frame.Group() == Protocol::GroupSystem;
        });
    ASSERT_NE(change, received.end());
    EXPECT_EQ(change->DeviceId(), 7);
    EXPECT_EQ(change->Channel(), Protocol::ItemDeviceId);
    EXPECT_EQ(change->PayloadByte(0), 9);
    // A recall under the new ID is answered.
    mark = sim.Frames().size();
    ASSERT_TRUE(link.RecallProgram(0));
    ASSERT_TRUE(link.WaitForTransfer(kWaitMs));
    std::size_t answeredByNine = 0;
    for (const LoggedFrame& frame : sim.Frames(mark)) {
        answeredByNine += frame.direction == "out" && frame.DeviceId() == 9 ? 1 : 0;
    }
    EXPECT_GE(answeredByNine, 12U);
}

TEST_F(ControlPanelLinkTest, OperationsNeedTheLinkAndDisconnectResets) {
    SimProcess sim({"--fast", "--device", "2:1"});
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    LinkRecorder recorder(link);

    EXPECT_FALSE(link.RecallProgram(0));
    EXPECT_FALSE(link.StoreProgram(0));
    EXPECT_FALSE(link.StoreAllToPC());
    EXPECT_FALSE(link.RecallAllFromPC());
    EXPECT_FALSE(link.SendSystemItem(20));
    EXPECT_FALSE(link.CloseLink());
    EXPECT_FALSE(link.Disconnect());
    EXPECT_TRUE(link.CopyChannel(0, 1, true)); // a model change only
    EXPECT_EQ(link.GetEngine().Count(), 0);

    // A port that does not exist: the engine's message, still disconnected, port name kept.
    EXPECT_FALSE(link.Connect(sim.Link() + "-missing", 2));
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(link.GetPortName(), sim.Link() + "-missing");
    ASSERT_EQ(recorder.messages.size(), 1U);
    EXPECT_EQ(recorder.messages[0], "Unable to open COM-port");

    ConnectAndSettle(link, sim, 2, kWaitMs);
    EXPECT_FALSE(link.SendSystemItem(21));
    EXPECT_TRUE(link.SendSystemItem(22));
    EXPECT_TRUE(link.CopyChannel(1, 3, false));
    const std::size_t mark = sim.Frames().size();
    ASSERT_TRUE(link.WaitUntilSettled(kWaitMs));
    bool temperature = false;
    bool copied = false;
    for (const LoggedFrame& frame : sim.Frames(mark)) {
        temperature |= frame.direction == "in" && frame.Code() == Protocol::WriteRequest &&
                       frame.Group() == Protocol::GroupSystem &&
                       frame.Channel() == Protocol::ItemTemperature;
        copied |= frame.direction == "in" && frame.Code() == Protocol::WriteRequest &&
                  frame.Group() == Protocol::GroupInput &&
                  frame.Channel() == doc.GetProgram().GetInput(3)->GetChannelIndex() &&
                  frame.Length() == static_cast<int>(Protocol::InputChannelLength);
    }
    EXPECT_TRUE(temperature);
    EXPECT_TRUE(copied);
    ASSERT_TRUE(link.Disconnect());
    EXPECT_FALSE(link.IsConnected());
    EXPECT_TRUE(link.IsBusy());
    EXPECT_FALSE(link.IsTickRunning());
    EXPECT_FALSE(link.GetEngine().IsOpen());
    EXPECT_EQ(link.GetEngine().Count(), 0);
    EXPECT_FALSE(link.Disconnect());
}

// An identification text that differs in several places fails once per differing position
// among the first eight (the ninth is not compared), in order, and a wrong type code after
// them; the link closes at the first and stays closed.
TEST_F(ControlPanelLinkTest, IdentificationIsRejectedOncePerDifferingPositionThenByTypeCode) {
    // "XY_Q_W2.7" against "ZQ_P_V1.0": positions 1, 2, 4, 6 and 7 differ, and the ninth.
    SimProcess sim({"--fast", "--send-identification", "--identification", "XY_Q_W2.7",
                    "--type-code", "Qrst", "--device", "6:1"});
    ASSERT_TRUE(sim.Started());
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    LinkRecorder recorder(link);
    int disconnects = 0;
    QObject::connect(&link, &PanelLink::connectedChanged,
                     [&](bool connected) { disconnects += connected ? 0 : 1; });
    link.SetTickInterval(kFastTickMs);
    ASSERT_TRUE(link.Connect(sim.Link(), 6));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.IsConnected(); }, kWaitMs));
    // Every mismatch is reported in the one handling of the reply that closed the link.
    EXPECT_EQ(link.GetEngine().GetIdentificationText(), "XY_Q_W2.7");
    const std::vector<QString> expected{"Device is error!", "Device is error!",
                                        "Device is error!", "Device is error!",
                                        "Device is error!", "DeviceType is error!"};
    EXPECT_EQ(recorder.messages, expected);
    EXPECT_EQ(disconnects, 1);
    EXPECT_FALSE(link.IsTickRunning());
}

struct VariantCase {
    const char* name;
    const Variant& (*variant)();
    const char* device;
};

void PrintTo(const VariantCase& c, std::ostream* os) {
    *os << c.name;
}

class ControlIdentification : public ControlPanelLinkTest,
                              public ::testing::WithParamInterface<VariantCase> {};

// The device sends its identification text and type code unasked; the panel's own are accepted.
TEST_P(ControlIdentification, OwnTypeCodeIsAccepted) {
    SimProcess sim({"--fast", "--send-identification", "--device", GetParam().device});
    CZorvanDoc doc;
    PanelLink link(doc, GetParam().variant());
    LinkRecorder recorder(link);
    ConnectAndSettle(link, sim, 6, kWaitMs);
    EXPECT_EQ(link.GetEngine().GetIdentificationText(), "ZQ_P_V1.0");
    EXPECT_EQ(link.GetEngine().GetTypeCodeText(), GetParam().variant().typeCodeText);
    EXPECT_TRUE(link.IsConnected());
    // The identification came on the device's own: the answer to the name request is not lost.
    EXPECT_EQ(link.GetProgramName(0).toStdString(), "Default");
    EXPECT_EQ(doc.GetProgram().GetName(), "Default");
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(doc.GetTitle(), GetParam().variant().ReceivedTitle(doc.GetProgram().GetName()));
}

INSTANTIATE_TEST_SUITE_P(Variants, ControlIdentification,
                         ::testing::Values(VariantCase{"FourByEight", &Variant::FourByEight, "6:1"},
                                           VariantCase{"ThreeBySix", &Variant::ThreeBySix, "6:2"},
                                           VariantCase{"TwoByFour", &Variant::TwoByFour, "6:3"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
