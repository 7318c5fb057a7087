#include "common/FastLink.h"
#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/GuiTest.h"
#include "gui/OperatorActions.h"
#include "gui/app/MainFrame.h"
#include "gui/app/ScreenCommands.h"
#include "gui/editors/InDataDlg.h"
#include "gui/editors/OutDataDlg.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/StateButton.h"

#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>

namespace {

constexpr int kWaitMs = 20000;
// The simulator answers at once: the panel may tick faster than on a real line.
constexpr int kFastTickMs = 5;

// Write records the device received since mark in group with channel (or system item) and
// block, as their payloads.
QList<QByteArray> Writes(const simtest::SimProcess& sim, std::size_t mark, int group, int channel,
                         int block) {
    QList<QByteArray> payloads;
    for (const simtest::LoggedFrame& frame : sim.Received(mark)) {
        if (frame.Code() == Protocol::WriteRequest && frame.Group() == group &&
            frame.Channel() == channel && frame.Block() == block) {
            payloads.append(frame.bytes.mid(9, frame.Length()));
        }
    }
    return payloads;
}

} // namespace

class ChannelDialogsLinkTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // A 4-in/8-out panel on the simulator: an edit in each group of the two dialogs reaches the
    // device as that group's record at the next ticks; the input source is queued at the click,
    // once per click, and only while connected.
    void editsReachTheDevice() {
        simtest::SimProcess sim({"--fast", "--device", "3:1"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        PanelView* panel = frame.CurrentPanel();
        PanelLink& link = panel->Session().Link();
        simtest::UseFastTick(link, kFastTickMs);
        QSignalSpy arrived(&link, &PanelLink::programReceived);
        QVERIFY(panel->ConnectTo(sim.Link(), 3));
        QTRY_VERIFY_WITH_TIMEOUT(arrived.count() == 1, kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        CAudio_Data& program = panel->Session().GetDocument().GetProgram();

        panel->Editors().OpenInputChannel(1);
        auto* input = qobject_cast<InDataDlg*>(panel->Editors().At(EditorSlots::InputChannel, 1));
        QVERIFY(input != nullptr);
        QVERIFY(ShowActive(input));
        const int inputChannel = program.GetInput(1)->GetChannelIndex();
        std::size_t mark = sim.Frames().size();
        TypeValue(Control<NumEdit>(input, InDataDlg::kDelayMsId), "10");
        QTest::mouseClick(Control<QRadioButton>(input, InDataDlg::kGateOffId), Qt::LeftButton);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(program.GetInput(1)->GetDelay(), 961);
        QCOMPARE(Writes(sim, mark, Protocol::GroupInput, inputChannel, Protocol::InputBlockLevels)
                     .size(),
                 1);
        QCOMPARE(
            Writes(sim, mark, Protocol::GroupInput, inputChannel, Protocol::InputBlockGate).size(),
            1);

        panel->Editors().OpenOutputChannel(4);
        auto* output =
            qobject_cast<OutDataDlg*>(panel->Editors().At(EditorSlots::OutputChannel, 4));
        QVERIFY(output != nullptr);
        QVERIFY(ShowActive(output));
        const int outputChannel = program.GetOutput(4)->GetChannelIndex();
        mark = sim.Frames().size();
        QTest::mouseClick(output->SourceButton(2), Qt::LeftButton);
        TypeValue(Control<NumEdit>(output, OutDataDlg::kHighPassId), "40");
        TypeValue(Control<NumEdit>(output, OutDataDlg::kThresholdId), "-10");
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QVERIFY(
            !Writes(sim, mark, Protocol::GroupOutput, outputChannel, Protocol::OutputBlockLevels)
                 .isEmpty());
        QVERIFY(
            !Writes(sim, mark, Protocol::GroupOutput, outputChannel, Protocol::OutputBlockCrossover)
                 .isEmpty());
        QVERIFY(
            !Writes(sim, mark, Protocol::GroupOutput, outputChannel, Protocol::OutputBlockDynamics)
                 .isEmpty());
        QCOMPARE(program.GetOutput(4)->GetSourceMask() & 0b100, 0b100);
        QCOMPARE(program.GetOutput(4)->GetHighPass()->GetFrequency(), 40);
        QCOMPARE(program.GetOutput(4)->GetLimitThreshold(), 200);

        // The input source: queued by the click itself, one record per click.
        const int queued = link.GetEngine().Count();
        mark = sim.Frames().size();
        QTest::mouseClick(Control<QRadioButton>(input, InDataDlg::kDigitalId), Qt::LeftButton);
        QCOMPARE(link.GetEngine().Count(), queued + 1);
        QTest::mouseClick(Control<QRadioButton>(input, InDataDlg::kDigitalId), Qt::LeftButton);
        QCOMPARE(link.GetEngine().Count(), queued + 2);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        const QList<QByteArray> sources =
            Writes(sim, mark, Protocol::GroupSystem, Protocol::ItemInputSource, 0);
        QCOMPARE(sources.size(), 2);
        QCOMPARE(sources.at(0), QByteArray(8, '\x01'));

        link.Disconnect();
        QTest::mouseClick(Control<QRadioButton>(input, InDataDlg::kAnalogId), Qt::LeftButton);
        QCOMPARE(link.GetEngine().Count(), 0);
        QCOMPARE(program.GetInputSource(), 0);
        QVERIFY(messages.texts().isEmpty());
    }
};

QTEST_MAIN(ChannelDialogsLinkTest)
#include "channel_dialogs_link_test.moc"
