// The panel over a serial port on the network: typed into the Connect dialog as tcp://HOST:PORT
// (the simulator's raw TCP port), remembered there as a gateway, and a gateway that refuses or
// drops the connection leaves the panel unlinked with one message.

#include "common/NetworkGateway.h"
#include "control/LinkSession.h"
#include "control/PanelLink.h"
#include "gui/GuiTest.h"
#include "gui/app/MainFrame.h"
#include "gui/app/ScreenCommands.h"
#include "gui/dialogs/ConnectDlg.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/AppSettings.h"
#include "gui/widgets/MessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>

namespace {

constexpr int kWaitMs = 20000;

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

} // namespace

class NetworkPanelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { AppSettings()->remove(QLatin1String(ConnectDlg::kSettingsGroup)); }

    void panelConnectsToATypedGatewayAndRemembersIt() {
        simtest::SimProcess sim({"--fast", "--tcp", "127.0.0.1:0"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        const QString address = simtest::SimTcpAddress(sim);
        QVERIFY(!address.isEmpty());
        MessageRecorder messages;
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        PanelView* panel = frame.CurrentPanel();
        PanelLink& link = panel->Session().Link();
        link.SetTickInterval(5);
        QSignalSpy arrived(&link, &PanelLink::programReceived);
        const PanelIds& ids = panel->GetLayout().ids;

        // The operator opens the Connect dialog, types the gateway and presses OK.
        bool typed = false;
        QTimer::singleShot(0, panel, [&] {
            auto* dialog = qobject_cast<ConnectDlg*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            auto* ports = Control<QComboBox>(dialog, ConnectDlg::kPortComboId);
            ports->lineEdit()->selectAll();
            QTest::keyClick(ports->lineEdit(), Qt::Key_Backspace);
            QTest::keyClicks(ports->lineEdit(), address);
            typed = dialog->PortName() == address;
            QTest::mouseClick(Control<QPushButton>(dialog, ConnectDlg::kOkId), Qt::LeftButton);
        });
        QTest::mouseClick(Control<QPushButton>(panel, ids.connection), Qt::LeftButton);
        QVERIFY(typed);
        QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, kWaitMs);
        QVERIFY(link.IsConnected());
        QCOMPARE(link.GetPortName(), address);
        QCOMPARE(Control<QLabel>(panel, ids.portDisplay)->toolTip(), address);
        QVERIFY(Control<QLabel>(panel, ids.linkDisplay)->text() != QString("Unlink"));
        QVERIFY2(messages.texts().isEmpty(), qPrintable(messages.texts().join(" | ")));
        // The device's program reached the panel through the gateway.
        QVERIFY(!sim.Received().empty());
        link.Disconnect();

        // The gateway is offered after the local ports from now on, and chosen when the
        // panel used it last.
        QCOMPARE(ConnectDlg::RememberedGateways(), QStringList{address});
        {
            ConnectDlg again(link);
            auto* ports = Control<QComboBox>(&again, ConnectDlg::kPortComboId);
            QCOMPARE(Items(ports).count(address), 1);
            QCOMPARE(again.PortName(), address);
        }
        // A second gateway goes first; the first one stays, once.
        {
            ConnectDlg other(link);
            auto* ports = Control<QComboBox>(&other, ConnectDlg::kPortComboId);
            ports->setEditText(QStringLiteral("rfc2217://127.0.0.1:1"));
            other.done(QDialog::Accepted);
        }
        QCOMPARE(ConnectDlg::RememberedGateways(),
                 (QStringList{QStringLiteral("rfc2217://127.0.0.1:1"), address}));
    }

    void refusedGatewayLeavesThePanelUnlinkedWithOneMessage() {
        const quint16 port = simtest::FreePort();
        QVERIFY(port != 0);
        MessageRecorder messages;
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        PanelView* panel = frame.CurrentPanel();
        PanelLink& link = panel->Session().Link();
        const QString where = QStringLiteral("127.0.0.1:%1").arg(port);
        panel->ConnectTo("tcp://" + where, 1);
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsConnected(), kWaitMs);
        QTRY_COMPARE(messages.texts(), QStringList{"Unable to open COM-port\nCannot connect to " +
                                                   where + ": Connection refused"});
        QCOMPARE(Control<QLabel>(panel, panel->GetLayout().ids.linkDisplay)->text(),
                 QString("Unlink"));
        QTest::qWait(300); // nothing more comes
        QCOMPARE(messages.texts().size(), 1);
    }

    void droppedGatewayUnlinksThePanelWithOneMessage() {
        simtest::SimProcess sim({"--fast", "--tcp", "127.0.0.1:0"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        const QString address = simtest::SimTcpAddress(sim);
        QVERIFY(!address.isEmpty());
        MessageRecorder messages;
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        PanelView* panel = frame.CurrentPanel();
        PanelLink& link = panel->Session().Link();
        link.SetTickInterval(5);
        QVERIFY(panel->ConnectTo(address, 1));
        QTRY_VERIFY_WITH_TIMEOUT(link.IsConnected() && !link.IsBusy(), kWaitMs);
        QVERIFY(messages.texts().isEmpty());

        sim.Kill();
        QTRY_VERIFY_WITH_TIMEOUT(!link.IsConnected(), kWaitMs);
        QCOMPARE(Control<QLabel>(panel, panel->GetLayout().ids.linkDisplay)->text(),
                 QString("Unlink"));
        QTRY_COMPARE(messages.texts(),
                     QStringList{QString(LinkSession::kPortFailedText) + "\nConnection to " +
                                 address.mid(6) +
                                 " lost: the connection was closed by the other end"});
        QTest::qWait(300);
        QCOMPARE(messages.texts().size(), 1);
    }
};

QTEST_MAIN(NetworkPanelTest)
#include "network_panel_test.moc"
