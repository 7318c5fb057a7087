// Files opened from the File menu or the recent files while the panel is connected: nothing
// reaches the device before the operator has said Yes to a question naming the device and what
// is overwritten; with No the device receives no write and the panel stays as it was.

#include "common/FastLink.h"
#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/FileChoiceScript.h"
#include "gui/ProgramBytes.h"
#include "gui/QuestionScript.h"
#include "gui/app/MainFrame.h"
#include "gui/app/RecentFiles.h"
#include "gui/app/ScreenCommands.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/MessageBox.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kWaitMs = 30000;
constexpr int kDeviceId = 3;
constexpr int kFileGain = 123; // on output 3: no panel or device starts with it

QString MakeProgramFile(const QString& path) {
    CZorvanDoc document;
    document.GetProgram().SetDeviceType(1);
    document.GetProgram().SetName("Loaded");
    document.GetProgram().GetOutput(2)->SetGain(kFileGain);
    return QString::fromStdString(StoreProgramToPC(document, 1, path.toStdString()).path);
}

QString MakeBankFile(const QString& path) {
    CZorvanDoc bank;
    for (int k = 0; k < CZorvanDoc::kStoredProgramCount; ++k) {
        bank.GetStoredPrograms()[static_cast<std::size_t>(k)].name =
            QStringLiteral("Bank%1").arg(k + 1, 2, 10, QLatin1Char('0')).toStdString();
    }
    return StoreAllToPC(bank, path.toStdString()) ? path : QString();
}

int Writes(const simtest::SimProcess& sim, std::size_t from) {
    int writes = 0;
    for (const simtest::LoggedFrame& frame : sim.Received(from)) {
        writes += frame.Code() == Protocol::WriteRequest ? 1 : 0;
    }
    return writes;
}

std::vector<std::string> BankNames(CZorvanDoc& document) {
    std::vector<std::string> names;
    for (const ProgramImage& image : document.GetStoredPrograms()) {
        names.push_back(image.name);
    }
    return names;
}

} // namespace

class OpenWhileConnectedTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        for (const QString& path : RecentFiles().Load()) {
            RecentFiles().Remove(path);
        }
    }

    void askedFirst_data() {
        QTest::addColumn<bool>("recent"); // the recent entry, else File > Open
        QTest::addColumn<bool>("bank");
        QTest::addColumn<bool>("yes");
        for (const bool recent : {false, true}) {
            for (const bool bank : {false, true}) {
                for (const bool yes : {false, true}) {
                    QTest::addRow("%s %s %s", recent ? "recent" : "File>Open",
                                  bank ? "bank" : "program", yes ? "Yes" : "No")
                        << recent << bank << yes;
                }
            }
        }
    }

    void askedFirst() {
        QFETCH(bool, recent);
        QFETCH(bool, bank);
        QFETCH(bool, yes);
        QTemporaryDir dir;
        const QString path = bank ? MakeBankFile(dir.filePath("venue.dat48"))
                                  : MakeProgramFile(dir.filePath("show.dia48"));
        QVERIFY(!path.isEmpty());
        if (recent) {
            RecentFiles().Add(path);
        }
        simtest::SimProcess sim({"--fast", "--device", QStringLiteral("%1:1").arg(kDeviceId)});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        PanelSession& session = *frame.CurrentSession();
        PanelLink& link = session.Link();
        simtest::UseFastTick(link, 5);
        QVERIFY(frame.CurrentPanel()->ConnectTo(sim.Link(), kDeviceId));
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        const QByteArray program = ProgramBytes(session.GetDocument());
        const std::vector<std::string> names = BankNames(session.GetDocument());
        const QStringList recentBefore = frame.RecentFileList();
        const std::size_t mark = sim.Frames().size();

        QuestionScript questions({yes});
        FileChoiceScript files({path});
        frame.findChild<QAction*>(recent ? "recentFile1" : "fileOpen")->trigger();
        QCOMPARE(questions.Asked(),
                 QStringList{bank ? "Write all 30 stored programs of device 3 from venue.dat48?"
                                  : "Overwrite the live program of device 3 with show.dia48?"});
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        if (!yes) {
            // The link goes on (the meters are polled) and still no write reaches the device.
            QTRY_VERIFY_WITH_TIMEOUT(sim.Received(mark).size() >= 3, kWaitMs);
            QCOMPARE(Writes(sim, mark), 0);
            QCOMPARE(ProgramBytes(session.GetDocument()), program);
            QVERIFY(BankNames(session.GetDocument()) == names);
            QCOMPARE(frame.RecentFileList(), recentBefore);
        } else if (bank) {
            QCOMPARE(Writes(sim, mark), 390);
            QCOMPARE(session.GetDocument().GetStoredPrograms()[29].name, std::string("Bank30"));
        } else {
            QVERIFY(Writes(sim, mark) >= 13);
            QCOMPARE(session.GetDocument().GetProgram().GetOutput(2)->GetGain(), kFileGain);
            // Read back, the device's live program is the file's.
            session.GetDocument().GetProgram().GetOutput(2)->SetGain(0);
            session.GetDocument().GetProgram().ClearChanged();
            QSignalSpy arrived(&link, &PanelLink::programReceived);
            QVERIFY(link.RecallProgram(Protocol::LiveProgram));
            QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, kWaitMs);
            QCOMPARE(session.GetDocument().GetProgram().GetOutput(2)->GetGain(), kFileGain);
        }
        if (yes) {
            QCOMPARE(frame.RecentFileList().first(), path);
        }
        QVERIFY(messages.texts().isEmpty());
    }

    void unreadableFileIsNotAsked_data() {
        QTest::addColumn<bool>("recent");
        QTest::addColumn<bool>("bank");
        QTest::addColumn<QByteArray>("contents");
        const QByteArray garbage("this is no program at all\n");
        for (const bool recent : {false, true}) {
            for (const bool bank : {false, true}) {
                const char* source = recent ? "recent" : "File>Open";
                const char* kind = bank ? "bank" : "program";
                QTest::addRow("%s %s garbage", source, kind) << recent << bank << garbage;
                QTest::addRow("%s %s truncated", source, kind) << recent << bank << QByteArray();
            }
        }
    }

    // A file with the right extension that does not read is refused with "File read Error"
    // before any question: nothing is sent and the panel stays as it was.
    void unreadableFileIsNotAsked() {
        QFETCH(bool, recent);
        QFETCH(bool, bank);
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        const QString good = bank ? MakeBankFile(dir.filePath("good.dat48"))
                                  : MakeProgramFile(dir.filePath("good.dia48"));
        QVERIFY(!good.isEmpty());
        if (contents.isEmpty()) {
            // A good file cut off in its middle.
            QFile file(good);
            QVERIFY(file.open(QIODevice::ReadOnly));
            contents = file.readAll();
            contents.truncate(contents.size() / 2);
        }
        const QString path = dir.filePath(bank ? "damaged.dat48" : "damaged.dia48");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(contents), contents.size());
        }
        if (recent) {
            RecentFiles().Add(path);
        }
        simtest::SimProcess sim({"--fast", "--device", QStringLiteral("%1:1").arg(kDeviceId)});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        PanelSession& session = *frame.CurrentSession();
        PanelLink& link = session.Link();
        simtest::UseFastTick(link, 5);
        QVERIFY(frame.CurrentPanel()->ConnectTo(sim.Link(), kDeviceId));
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        const QByteArray program = ProgramBytes(session.GetDocument());
        const std::vector<std::string> names = BankNames(session.GetDocument());
        const QStringList recentBefore = frame.RecentFileList();
        const int steps = session.History().count();
        const std::size_t mark = sim.Frames().size();

        QuestionScript questions({true});
        FileChoiceScript files({path});
        frame.findChild<QAction*>(recent ? "recentFile1" : "fileOpen")->trigger();
        QVERIFY(questions.Asked().isEmpty());
        QCOMPARE(messages.texts(), QStringList{"File read Error"});
        QTRY_VERIFY_WITH_TIMEOUT(sim.Received(mark).size() >= 3, kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(Writes(sim, mark), 0);
        QCOMPARE(ProgramBytes(session.GetDocument()), program);
        QVERIFY(BankNames(session.GetDocument()) == names);
        QCOMPARE(session.History().count(), steps);
        // Nothing is added; a recent entry that no longer opens is dropped, as it always was.
        QStringList recentAfter = recentBefore;
        recentAfter.removeAll(path);
        QCOMPARE(frame.RecentFileList(), recentAfter);
    }

    // A file of another model in a panel is refused with a message naming its model, whether
    // connected or not, and nothing is asked or sent; it stays in the recent list and opens in
    // its own model's panel from the selection.
    void anotherModelsFileIsRefused() {
        QTemporaryDir dir;
        CZorvanDoc document;
        document.GetProgram().SetDeviceType(2);
        const QString path = QString::fromStdString(
            StoreProgramToPC(document, 2, dir.filePath("plain").toStdString()).path);
        RecentFiles().Add(path);
        simtest::SimProcess sim({"--fast", "--device", QStringLiteral("%1:1").arg(kDeviceId)});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        QuestionScript questions({true, true});
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        PanelSession& session = *frame.CurrentSession();
        const QString refusal = QStringLiteral("plain.dia36 is a Wupa (3x6) program file: open it "
                                               "from the model selection or the Wupa panel.");
        frame.findChild<QAction*>("recentFile1")->trigger();
        QCOMPARE(messages.texts(), QStringList{refusal});

        simtest::UseFastTick(session.Link(), 5);
        QVERIFY(frame.CurrentPanel()->ConnectTo(sim.Link(), kDeviceId));
        QVERIFY(session.Link().WaitUntilSettled(kWaitMs));
        const QByteArray program = ProgramBytes(session.GetDocument());
        const std::size_t mark = sim.Frames().size();
        FileChoiceScript files({path});
        frame.findChild<QAction*>("fileOpen")->trigger();
        QCOMPARE(messages.texts(), QStringList({refusal, refusal}));
        QVERIFY(session.Link().WaitUntilSettled(kWaitMs));
        QCOMPARE(Writes(sim, mark), 0);
        QVERIFY(questions.Asked().isEmpty());
        QCOMPARE(ProgramBytes(session.GetDocument()), program);
        QCOMPARE(frame.RecentFileList(), QStringList{path});

        frame.OnCommand(ScreenCommand::kSelection);
        frame.findChild<QAction*>("recentFile1")->trigger();
        QCOMPARE(frame.CurrentVariant(), &Variant::ThreeBySix());
        QVERIFY(questions.Asked().isEmpty());
        QCOMPARE(messages.texts().size(), 2);
    }
};

QTEST_MAIN(OpenWhileConnectedTest)
#include "open_while_connected_test.moc"
