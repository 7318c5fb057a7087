#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/model/Variant.h"
#include "gui/GuiTest.h"
#include "gui/app/MainFrame.h"
#include "gui/app/SelectionView.h"
#include "gui/app/StartOptions.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"

#include "SonvexVersion.h"

#include <QStandardPaths>

Q_DECLARE_METATYPE(const Variant*)
Q_DECLARE_METATYPE(StartOptions::Outcome)

class StartOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void parsesTheCommandLine_data() {
        using Outcome = StartOptions::Outcome;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<StartOptions::Outcome>("outcome");
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("id");
        QTest::newRow("nothing") << QStringList{} << Outcome::Run
                                 << static_cast<const Variant*>(nullptr) << "" << 1;
        QTest::newRow("a file alone") << QStringList{"show.dia48"} << Outcome::Run
                                      << static_cast<const Variant*>(nullptr) << "" << 1;
        QTest::newRow("model") << QStringList{"--model", "3x6"} << Outcome::Run
                               << &Variant::ThreeBySix() << "" << 1;
        QTest::newRow("port") << QStringList{"--model", "2x4", "--port", "/dev/ttyUSB0"}
                              << Outcome::Run << &Variant::TwoByFour() << "/dev/ttyUSB0" << 1;
        QTest::newRow("port and id") << QStringList{"--model=4x8", "--port", "ttyS1", "--id", "250"}
                                     << Outcome::Run << &Variant::FourByEight() << "ttyS1" << 250;
        QTest::newRow("help") << QStringList{"--help"} << Outcome::Help
                              << static_cast<const Variant*>(nullptr) << "" << 1;
        QTest::newRow("version") << QStringList{"--model", "3x6", "--version"} << Outcome::Version
                                 << static_cast<const Variant*>(nullptr) << "" << 1;
        for (const QStringList& bad :
             {QStringList{"--model", "4x4"}, QStringList{"--port", "ttyS0"},
              QStringList{"--model", "4x8", "--id", "2"},
              QStringList{"--model", "4x8", "--port", "ttyS0", "--id", "0"},
              QStringList{"--model", "4x8", "--port", "ttyS0", "--id", "x"},
              QStringList{"--colour"}}) {
            QTest::newRow(qPrintable(bad.join(' ')))
                << bad << Outcome::Error << static_cast<const Variant*>(nullptr) << "" << 1;
        }
    }

    void parsesTheCommandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(StartOptions::Outcome, outcome);
        QFETCH(const Variant*, variant);
        QFETCH(QString, port);
        QFETCH(int, id);
        StartOptions options;
        QString message;
        arguments.prepend("sonvex");
        QCOMPARE(ParseStartOptions(arguments, options, message), outcome);
        QCOMPARE(message.isEmpty(), outcome == StartOptions::Outcome::Run);
        if (outcome == StartOptions::Outcome::Help) {
            QVERIFY(message.contains("--model"));
            QVERIFY(message.contains("--version"));
        }
        if (outcome == StartOptions::Outcome::Version) {
            QCOMPARE(message, QString("sonvex %1").arg(kSonvexVersion));
        }
        if (outcome != StartOptions::Outcome::Run) {
            return;
        }
        QCOMPARE(options.variant, variant);
        QCOMPARE(options.port, port);
        QCOMPARE(options.deviceId, id);
    }

    void withoutAModelTheSelectionOpens() {
        CMainFrame frame;
        ApplyStartOptions(frame, StartOptions{});
        QVERIFY(qobject_cast<KeltraCaptionView*>(frame.CurrentScreen()) != nullptr);
        QCOMPARE(frame.windowTitle(), QString("Sonvex1.1"));
    }

    // --model with --port opens the panel and connects it once the event loop runs.
    void modelAndPortConnectThePanel() {
        simtest::SimProcess sim({"--fast", "--device", "7:2"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        StartOptions options;
        options.variant = &Variant::ThreeBySix();
        options.port = sim.Link();
        options.deviceId = 7;
        CMainFrame frame;
        ApplyStartOptions(frame, options);
        PanelView* panel = frame.CurrentPanel();
        QVERIFY(panel != nullptr);
        QCOMPARE(frame.windowTitle(), QString("Sonvex1.1 Wupa"));
        QVERIFY(!panel->Session().Link().IsConnected());
        QTRY_VERIFY(panel->Session().Link().IsConnected());
        QCOMPARE(panel->Session().Link().GetDeviceId(), 7);
        QTRY_VERIFY_WITH_TIMEOUT(frame.windowTitle().startsWith("Sonvex1.1 Wupa  "), 20000);
    }
};

QTEST_MAIN(StartOptionsTest)
#include "start_options_test.moc"
