// The panel's message when its port exists but is held by another program: the usual box text
// first, then why.

#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/model/Variant.h"
#include "gui/GuiTest.h"
#include "gui/app/MainFrame.h"
#include "gui/app/StartOptions.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/MessageBox.h"
#include "line/SerialPort.h"

#include <QStandardPaths>

class PortMessageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void portHeldByAnotherProgramIsExplained() {
        simtest::SimProcess sim({"--fast"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        SerialPort holder; // another program with the line open
        QCOMPARE(holder.Open(sim.Link().toStdString()), LineStatus::Success);
        MessageRecorder messages;
        StartOptions options;
        options.variant = &Variant::FourByEight();
        options.port = sim.Link();
        CMainFrame frame;
        ApplyStartOptions(frame, options);
        QTRY_COMPARE(messages.texts().size(), 1);
        const QStringList lines = messages.texts().first().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QString("Unable to open COM-port"));
        // The simulator keeps its end of the line open; this process is not listed.
        QVERIFY2(lines[1].startsWith("The port is in use by another program (sonvex-sim, process "),
                 qPrintable(lines[1]));
        QVERIFY(!lines[1].contains(QString::number(QCoreApplication::applicationPid())));
        QVERIFY(!frame.CurrentPanel()->Session().Link().IsConnected());
    }
};

QTEST_MAIN(PortMessageTest)
#include "port_message_test.moc"
