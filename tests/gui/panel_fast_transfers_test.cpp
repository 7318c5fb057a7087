// A panel connects with the fast-transfers choice remembered by the Connect dialog and works
// through the simulator in that mode.

#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "gui/GuiTest.h"
#include "gui/app/MainFrame.h"
#include "gui/app/ScreenCommands.h"
#include "gui/dialogs/ConnectDlg.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/AppSettings.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"

#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>

namespace {

constexpr int kWaitMs = 20000;
constexpr int kHourMs = 3600 * 1000;

void RememberFastTransfers(bool fast) {
    auto settings = AppSettings();
    settings->beginGroup(QLatin1String(ConnectDlg::kSettingsGroup));
    settings->setValue(QLatin1String(ConnectDlg::kFastTransfersKey), fast);
}

} // namespace

class PanelFastTransfersTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() { AppSettings()->remove(QLatin1String(ConnectDlg::kSettingsGroup)); }

    // With fast transfers chosen, the panel's link runs without its tick: the connect (behind
    // the progress window) and a recall of a stored program finish on the device's answers
    // alone, and the strips show what arrived.
    void panelConnectedInFastModeRecallsThroughTheSimulator() {
        simtest::SimProcess sim({"--fast", "--device", "3:1"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        RememberFastTransfers(true);
        MessageRecorder messages;
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        PanelView* panel = frame.CurrentPanel();
        PanelLink& link = panel->Session().Link();
        link.SetTickInterval(kHourMs);
        QSignalSpy arrived(&link, &PanelLink::programReceived);
        // Should the mode not be applied, nothing would move: the progress window is ended
        // instead of waiting for ever, and the checks below fail.
        QTimer::singleShot(kWaitMs, &frame, [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialog->reject();
            }
        });

        QVERIFY(panel->ConnectTo(sim.Link(), 3));
        QVERIFY(link.IsFastTransfers());
        QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, kWaitMs);

        QVERIFY(link.RecallProgram(4));
        QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 2, kWaitMs);
        QCOMPARE(link.GetTickCount(), 0);
        const CAudio_Data& program = panel->Session().GetDocument().GetProgram();
        const CAudio_Data& device = link.GetEngine().GetDeviceImage();
        for (int n = 0; n < 8; ++n) {
            QCOMPARE(program.GetOutput(n)->GetGain(), device.GetOutput(n)->GetGain());
            QCOMPARE(panel->OutputStrip(n)->GainEdit()->value(), program.GetOutput(n)->GetGain());
        }
        QCOMPARE(frame.windowTitle(),
                 "Sonvex1.1 Fosk  " + QString::fromStdString(program.GetName()));
        QVERIFY(messages.texts().isEmpty());
        link.Disconnect();

        // Without the choice the panel connects with the tick's pacing (a short tick: the
        // simulator answers at once).
        RememberFastTransfers(false);
        link.SetTickInterval(5);
        QVERIFY(panel->ConnectTo(sim.Link(), 3));
        QVERIFY(!link.IsFastTransfers());
        link.Disconnect();
    }
};

QTEST_MAIN(PanelFastTransfersTest)
#include "panel_fast_transfers_test.moc"
