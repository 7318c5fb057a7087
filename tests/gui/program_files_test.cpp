// Programs on the PC through the panel: the Program dialog's four PC actions and the File
// menu's Open and recent files, against files and the simulated device.

#include "common/FileBytes.h"
#include "control/PanelLink.h"
#include "core/files/Archive.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/ConnectedPanel.h"
#include "gui/FileChoiceScript.h"
#include "gui/GuiTest.h"
#include "gui/ProgramBytes.h"
#include "gui/QuestionScript.h"
#include "gui/app/MainFrame.h"
#include "gui/app/RecentFiles.h"
#include "gui/app/ScreenCommands.h"
#include "gui/app/SelectionView.h"
#include "gui/dialogs/ProgramDlg.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>

using testfiles::ReadFile;
using testfiles::WriteFile;

namespace {

constexpr int kWaitMs = 30000;

// Writes a one-program file of the given name with a gain on output 3 that no panel starts
// with, and returns its path.
QString MakeProgramFile(const QString& path, const char* name, int deviceType, int gain) {
    CZorvanDoc document;
    document.GetProgram().SetDeviceType(deviceType);
    document.GetProgram().SetName(name);
    document.GetProgram().GetOutput(2)->SetGain(gain);
    return QString::fromStdString(StoreProgramToPC(document, deviceType, path.toStdString()).path);
}

// Runs a PC action of the dialog.
void RunPcAction(ProgramDlg& dialog, int radioId) {
    Control<QRadioButton>(&dialog, radioId)->click();
    Control<QPushButton>(&dialog, ProgramDlg::kPcOkId)->click();
}

bool IsRequest(const FileRequest& request, FileRequest::Mode mode, const QStringList& patterns) {
    return request.mode == mode && request.patterns == patterns;
}

} // namespace

class ProgramFilesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        for (const QString& path : RecentFiles().Load()) {
            RecentFiles().Remove(path);
        }
    }

    // "Store Program to PC" appends the model's extension and titles the panel; "Recall Program
    // From PC" brings the program back into the panel; a cancelled dialog changes nothing.
    // Disconnected, nothing is sent.
    void programFileRoundTrip() {
        QTemporaryDir dir;
        MessageRecorder messages;
        PanelSession session(Variant::TwoByFour());
        PanelView panel(session);
        QSignalSpy titles(&panel.Session(), &PanelSession::mainTitleChanged);
        QSignalSpy used(&panel.Session(), &PanelSession::fileUsed);
        CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        program.SetName("Chapel");
        program.GetOutput(1)->SetGain(555); // +19.5 dB: above the 4-in/8-out models' top
        const QByteArray stored = ProgramBytes(panel.Session().GetDocument());
        ProgramDlg dialog(panel.Session());

        FileChoiceScript files({dir.filePath("chapel")});
        RunPcAction(dialog, ProgramDlg::kStoreToPcRadioId);
        const QString path = dir.filePath("chapel.dia24");
        QCOMPARE(ReadFile(path), stored);
        QCOMPARE(titles.last().at(0).toString(), QString("DSP24_Chapel"));
        QCOMPARE(used.last().at(0).toString(), path);
        QVERIFY(IsRequest(files.Requests().last(), FileRequest::Save, {"*.dia24"}));

        program.SetName("Other");
        program.GetOutput(1)->SetGain(100);
        panel.RefreshPanel();
        files.Answer(path);
        RunPcAction(dialog, ProgramDlg::kRecallFromPcRadioId);
        QVERIFY(IsRequest(files.Requests().last(), FileRequest::Open, {"*.dia24"}));
        QCOMPARE(ProgramBytes(panel.Session().GetDocument()), stored);
        QCOMPARE(panel.OutputStrip(1)->GainEdit()->value(), 555);
        QCOMPARE(titles.last().at(0).toString(), QString("DSP24_Chapel"));
        QCOMPARE(used.count(), 2);

        // Cancelled both ways: nothing happens.
        program.SetName("Third");
        const int titleCount = titles.count();
        RunPcAction(dialog, ProgramDlg::kStoreToPcRadioId);
        RunPcAction(dialog, ProgramDlg::kRecallFromPcRadioId);
        QCOMPARE(program.GetName(), std::string("Third"));
        QCOMPARE(titles.count(), titleCount);
        QCOMPARE(used.count(), 2);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"chapel.dia24"});
        QCOMPARE(panel.Session().Link().GetEngine().Count(), 0);
        QVERIFY(messages.texts().isEmpty());
    }

    // A file that cannot be read, or ends early, is told with "File read Error" and leaves the
    // program and the title as they were; a file that cannot be written gets
    // "MusicFile Write Error".
    void failedFilesChangeNothing() {
        QTemporaryDir dir;
        MessageRecorder messages;
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        QSignalSpy titles(&panel.Session(), &PanelSession::mainTitleChanged);
        QSignalSpy used(&panel.Session(), &PanelSession::fileUsed);
        panel.Session().GetDocument().GetProgram().GetInput(0)->SetGain(300);
        panel.RefreshPanel();
        const QByteArray before = ProgramBytes(panel.Session().GetDocument());
        const QString whole = MakeProgramFile(dir.filePath("whole"), "Whole", 1, 123);
        const QString truncated = dir.filePath("truncated.dia48");
        QVERIFY(WriteFile(truncated, ReadFile(whole).left(1000)));

        ProgramDlg dialog(panel.Session());
        FileChoiceScript files(
            {truncated, dir.filePath("missing.dia48"), dir.filePath("no-such-folder/show")});
        RunPcAction(dialog, ProgramDlg::kRecallFromPcRadioId);
        RunPcAction(dialog, ProgramDlg::kRecallFromPcRadioId);
        RunPcAction(dialog, ProgramDlg::kStoreToPcRadioId);
        QCOMPARE(messages.texts(),
                 QStringList({"File read Error", "File read Error", "MusicFile Write Error"}));
        QCOMPARE(ProgramBytes(panel.Session().GetDocument()), before);
        QCOMPARE(panel.InputStrip(0)->GainEdit()->value(), 300);
        QCOMPARE(titles.count(), 0);
        QCOMPARE(used.count(), 0);
    }

    // Connected, a loaded one-program file becomes the device's live program behind the
    // progress window.
    void loadedProgramIsStoredToTheLiveProgram() {
        QTemporaryDir dir;
        simtest::ConnectedPanel connected;
        QVERIFY(connected.Connect(kWaitMs));
        PanelView& panel = connected.panel;
        PanelLink& link = panel.Session().Link();
        MessageRecorder messages;
        const QString path = MakeProgramFile(dir.filePath("loaded"), "Loaded", 1, 123);
        QVERIFY(link.GetEngine().GetDeviceImage().GetOutput(2)->GetGain() != 123);

        ProgramDlg dialog(panel.Session());
        QSignalSpy titles(&panel.Session(), &PanelSession::mainTitleChanged);
        const std::size_t mark = connected.sim.Frames().size();
        FileChoiceScript files({path});
        RunPcAction(dialog, ProgramDlg::kRecallFromPcRadioId);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QCOMPARE(titles.last().at(0).toString(), QString("DSP48_Loaded"));
        QCOMPARE(panel.OutputStrip(2)->GainEdit()->value(), 123);
        int liveWrites = 0;
        for (const simtest::LoggedFrame& frame : connected.sim.Received(mark)) {
            liveWrites += frame.Code() == Protocol::WriteRequest && frame.Program() == 0 ? 1 : 0;
        }
        QVERIFY(liveWrites >= 13);

        // Read back from the device: it holds the file's program.
        QSignalSpy arrived(&link, &PanelLink::programReceived);
        QVERIFY(panel.Session().RecallProgram(Protocol::LiveProgram));
        QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, kWaitMs);
        QCOMPARE(link.GetEngine().GetDeviceImage().GetOutput(2)->GetGain(), 123);
        QVERIFY(messages.texts().isEmpty());
    }

    // "Store all Program to PC " reads the thirty programs from the device and, once program 30
    // has arrived, saves the bank: byte for byte the bank the command-line backup writes.
    void bankFromTheDeviceMatchesTheCommandLineBackup() {
        QTemporaryDir dir;
        simtest::ConnectedPanel connected;
        QVERIFY(connected.sim.Started());
        QProcess cli;
        cli.start(QStringLiteral(SONVEX_BIN_DIR "/sonvex-cli"),
                  {"backup", "--port", connected.sim.Link(), "--id", "3", "--tick", "5", "-o",
                   dir.filePath("cli.dat48")});
        QVERIFY(cli.waitForFinished(kWaitMs));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
        const QByteArray expected = ReadFile(dir.filePath("cli.dat48"));
        QVERIFY(!expected.isEmpty());

        QVERIFY(connected.Connect(kWaitMs));
        PanelView& panel = connected.panel;
        MessageRecorder messages;
        QSignalSpy used(&panel.Session(), &PanelSession::fileUsed);
        ProgramDlg dialog(panel.Session());
        FileChoiceScript files({dir.filePath("gui.dat48")});
        RunPcAction(dialog, ProgramDlg::kStoreAllToPcRadioId);
        QTRY_COMPARE_WITH_TIMEOUT(used.count(), 1, kWaitMs);
        QCOMPARE(used.last().at(0).toString(), dir.filePath("gui.dat48"));
        QVERIFY(IsRequest(files.Requests().last(), FileRequest::Save, {"*.dat48"}));
        QCOMPARE(ReadFile(dir.filePath("gui.dat48")), expected);
        QVERIFY(messages.texts().isEmpty());
    }

    // "Recall  all Program From PC" sends the thirty programs of a bank file and lists their
    // names.
    void bankFromThePcGoesToTheDevice() {
        QTemporaryDir dir;
        CZorvanDoc bank;
        for (int k = 0; k < CZorvanDoc::kStoredProgramCount; ++k) {
            bank.GetStoredPrograms()[static_cast<std::size_t>(k)].name =
                QStringLiteral("Bank%1").arg(k + 1, 2, 10, QLatin1Char('0')).toStdString();
        }
        const QString path = dir.filePath("venue.dat36");
        QVERIFY(StoreAllToPC(bank, path.toStdString()));

        simtest::ConnectedPanel connected(Variant::ThreeBySix());
        QVERIFY(connected.Connect(kWaitMs));
        PanelView& panel = connected.panel;
        const simtest::SimProcess& sim = connected.sim;
        MessageRecorder messages;
        ProgramDlg dialog(panel.Session());
        const std::size_t mark = sim.Frames().size();
        FileChoiceScript files({path});
        RunPcAction(dialog, ProgramDlg::kRecallAllFromPcRadioId);
        QVERIFY(IsRequest(files.Requests().last(), FileRequest::Open, {"*.dat36"}));
        QVERIFY(panel.Session().Link().WaitUntilSettled(kWaitMs));

        QStringList names;
        int writes = 0;
        for (const simtest::LoggedFrame& frame : sim.Received(mark)) {
            if (frame.Code() != Protocol::WriteRequest) {
                continue;
            }
            ++writes;
            if (frame.Group() == Protocol::GroupSystem &&
                frame.Channel() == Protocol::ItemProgramName) {
                names << QString::fromLatin1(frame.Payload()).trimmed();
            }
        }
        QCOMPARE(writes, 390);
        QCOMPARE(names.size(), 30);
        auto* list = Control<QTableWidget>(&dialog, ProgramDlg::kListId);
        for (int k = 1; k <= 30; ++k) {
            const QString name = QStringLiteral("Bank%1").arg(k, 2, 10, QLatin1Char('0'));
            QCOMPARE(names[k - 1], name);
            QCOMPARE(list->item(k - 1, 1)->text(), name);
        }
        QVERIFY(messages.texts().isEmpty());
    }

    // On the model selection a recent file that no longer reads is told while the selection
    // is still shown, and the selection stays; the file leaves the list.
    void aRecentFileThatDoesNotReadLeavesTheSelectionShown_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("contents"); // empty: the file is gone
        QTest::newRow("gone program") << "gone.dia36" << QByteArray();
        QTest::newRow("truncated program") << "short.dia48" << QByteArray(40, '\x01');
        QTest::newRow("truncated bank") << "short.dat24" << QByteArray(700, '\x02');
    }

    void aRecentFileThatDoesNotReadLeavesTheSelectionShown() {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        if (!contents.isEmpty()) {
            QVERIFY(WriteFile(path, contents));
        }
        const QString kept = MakeProgramFile(dir.filePath("kept"), "Kept", 2, 300);
        RecentFiles().Add(kept);
        RecentFiles().Add(path);
        CMainFrame frame;
        QWidget* selection = frame.CurrentScreen();
        QVERIFY(qobject_cast<KeltraCaptionView*>(selection) != nullptr);
        QSignalSpy screens(&frame, &CMainFrame::screenChanged);

        QStringList texts;
        QList<bool> onSelection;
        const MessageHook previous = SetMessageHook([&](QWidget*, const QString& text) {
            texts << text;
            onSelection << (frame.CurrentScreen() == selection && frame.CurrentPanel() == nullptr);
        });
        frame.findChild<QAction*>("recentFile1")->trigger();
        SetMessageHook(previous);

        QCOMPARE(texts, QStringList{"File read Error"});
        QCOMPARE(onSelection, QList<bool>{true});
        QCOMPARE(frame.CurrentScreen(), selection);
        QCOMPARE(screens.count(), 0);
        QCOMPARE(frame.windowTitle(), QString("Sonvex1.1"));
        QCOMPARE(frame.RecentFileList(), QStringList{kept});
    }

    // On the model selection a file opens the panel its extension names; in a panel the File
    // menu and the recent files open it into that panel. Opened files head the recent list; a
    // recent file that no longer opens leaves it.
    void fileMenuOpensProgramFiles() {
        QTemporaryDir dir;
        MessageRecorder messages;
        // +20.0 dB on a 3-in/6-out model, above what the 4-in/8-out model allows.
        const QString wupa = MakeProgramFile(dir.filePath("hall"), "Hall", 2, 560);
        const QString fosk = MakeProgramFile(dir.filePath("club"), "Club", 1, 123);
        CZorvanDoc bank;
        bank.GetStoredPrograms()[4].name = "Fifth";
        const QString jexoBank = dir.filePath("tour.dat24");
        QVERIFY(StoreAllToPC(bank, jexoBank.toStdString()));

        QuestionScript questions; // disconnected, nothing is asked
        CMainFrame frame;
        QVERIFY(frame.OpenFile(wupa));
        QCOMPARE(frame.CurrentVariant(), &Variant::ThreeBySix());
        QCOMPARE(frame.windowTitle(), QString("DSP36_Hall"));
        QCOMPARE(frame.CurrentPanel()->OutputStrip(2)->GainEdit()->value(), 560);

        frame.OnCommand(ScreenCommand::kSelection);
        QVERIFY(frame.OpenFile(jexoBank));
        QCOMPARE(frame.CurrentVariant(), &Variant::TwoByFour());
        QCOMPARE(frame.CurrentPanel()->Session().GetDocument().GetStoredPrograms()[4].name,
                 std::string("Fifth"));

        // File > Open in the 2-in/4-out panel: its own patterns; a 4-in/8-out program file is
        // not read with this model's rules: refused, and the panel stays as it was.
        const QByteArray jexoProgram = ProgramBytes(frame.CurrentSession()->GetDocument());
        FileChoiceScript files({fosk});
        frame.findChild<QAction*>("fileOpen")->trigger();
        QVERIFY(IsRequest(files.Requests().last(), FileRequest::Open, {"*.dia24", "*.dat24"}));
        QCOMPARE(frame.CurrentVariant(), &Variant::TwoByFour());
        QCOMPARE(messages.texts(), QStringList{"club.dia48 is a Fosk (4x8) program file: open it "
                                               "from the model selection or the Fosk panel."});
        QCOMPARE(ProgramBytes(frame.CurrentSession()->GetDocument()), jexoProgram);
        QCOMPARE(frame.RecentFileList(), QStringList({jexoBank, wupa}));
        messages.clear();
        // From the selection it opens into its own model's panel.
        frame.OnCommand(ScreenCommand::kSelection);
        QVERIFY(frame.OpenFile(fosk));
        QCOMPARE(frame.CurrentVariant(), &Variant::FourByEight());
        QCOMPARE(frame.windowTitle(), QString("DSP48_Club"));
        QCOMPARE(frame.CurrentPanel()->OutputStrip(2)->GainEdit()->value(), 123);
        QCOMPARE(frame.RecentFileList(), QStringList({fosk, jexoBank, wupa}));

        // The recent file opens from the selection into its own model's panel.
        frame.OnCommand(ScreenCommand::kSelection);
        frame.findChild<QAction*>("recentFile3")->trigger();
        QCOMPARE(frame.CurrentVariant(), &Variant::ThreeBySix());
        QCOMPARE(frame.CurrentPanel()->OutputStrip(2)->GainEdit()->value(), 560);
        QCOMPARE(frame.RecentFileList().first(), wupa);
        QVERIFY(messages.texts().isEmpty());

        // Gone from disk: told, and dropped from the list.
        QVERIFY(QFile::remove(fosk));
        frame.OnCommand(ScreenCommand::kSelection);
        frame.findChild<QAction*>("recentFile2")->trigger();
        QCOMPARE(messages.texts(), QStringList{"File read Error"});
        QCOMPARE(frame.RecentFileList(), QStringList({wupa, jexoBank}));
        QVERIFY(!frame.findChild<QAction*>("recentFile3")->isVisible());

        // On the selection a file that names no model opens nothing.
        messages.clear();
        frame.OnCommand(ScreenCommand::kSelection);
        QVERIFY(!frame.OpenFile(dir.filePath("notes.txt")));
        QVERIFY(frame.CurrentPanel() == nullptr);
        QCOMPARE(messages.texts(), QStringList{"File read Error"});
        // File > Open there offers every model's files.
        files.Answer(wupa);
        frame.findChild<QAction*>("fileOpen")->trigger();
        QCOMPARE(files.Requests().last().patterns,
                 QStringList({"*.dia48", "*.dat48", "*.dia36", "*.dat36", "*.dia24", "*.dat24"}));
        QCOMPARE(frame.CurrentVariant(), &Variant::ThreeBySix());
        QVERIFY(questions.Asked().isEmpty());
    }
};

QTEST_MAIN(ProgramFilesTest)
#include "program_files_test.moc"
