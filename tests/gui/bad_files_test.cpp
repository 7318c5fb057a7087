// Files that are not what they claim, opened wherever the operator can open one: File > Open,
// a recent file, and the Program dialog's "Recall Program From PC" and "Recall  all Program From
// PC", on a panel connected to a device. Each is told once with "File read Error" and changes
// nothing: not the panel's program, not the stored programs, not the title, not the device.

#include "common/FastLink.h"
#include "common/FileBytes.h"
#include "common/NoFileAccessOverride.h"
#include "control/PanelLink.h"
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
#include "gui/dialogs/ProgramDlg.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/MessageBox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

using testfiles::ReadFile;
using testfiles::WriteFile;

namespace {

constexpr int kWaitMs = 20000;

// What is wrong with the file.
enum class Fault {
    Empty,
    Truncated,
    Oversized,  // a whole file of its kind with a great deal more after it
    Folder,     // a folder with the file's name
    Unreadable, // no read permission
    OtherKind,  // a file of the other kind under this kind's name
    Gone,       // no longer there
};

// Where the operator opens it from.
enum class Entry { FileOpen, RecentFile, ProgramDialog };

// A good file of each kind, with something in it that no panel starts with.
QByteArray GoodProgramFile(const QTemporaryDir& dir) {
    CZorvanDoc document;
    document.GetProgram().SetName("Good");
    document.GetProgram().GetOutput(2)->SetGain(123);
    const QString path = dir.filePath("good.dia48");
    StoreProgramToPC(document, 1, path.toStdString());
    return ReadFile(path);
}

QByteArray GoodBankFile(const QTemporaryDir& dir) {
    CZorvanDoc document;
    document.GetStoredPrograms()[4].name = "Fifth";
    const QString path = dir.filePath("good.dat48");
    StoreAllToPC(document, path.toStdString());
    return ReadFile(path);
}

// Makes the bad file and returns its path.
QString MakeBadFile(const QTemporaryDir& dir, Fault fault, bool bank) {
    const QString path = dir.filePath(bank ? "show.dat48" : "show.dia48");
    const QByteArray good = bank ? GoodBankFile(dir) : GoodProgramFile(dir);
    const QByteArray other = bank ? GoodProgramFile(dir) : GoodBankFile(dir);
    switch (fault) {
    case Fault::Empty:
        WriteFile(path, {});
        break;
    case Fault::Truncated:
        WriteFile(path, good.left(good.size() / 2));
        break;
    case Fault::Oversized:
        WriteFile(path, good + QByteArray(2 * 1024 * 1024, '\x5A'));
        break;
    case Fault::Folder:
        QDir(dir.path()).mkdir(QFileInfo(path).fileName());
        break;
    case Fault::Unreadable:
        WriteFile(path, good);
        QFile::setPermissions(path, {});
        break;
    case Fault::OtherKind:
        WriteFile(path, other);
        break;
    case Fault::Gone:
        break;
    }
    return path;
}

// What the panel holds, as far as a file can change it.
struct PanelState {
    QByteArray program;
    CZorvanDoc::StoredPrograms bank;
    QString title;

    static PanelState Of(PanelView& panel, const QString& title) {
        return {ProgramBytes(panel.Session().GetDocument()),
                panel.Session().GetDocument().GetStoredPrograms(), title};
    }
    bool operator==(const PanelState& other) const {
        return program == other.program && bank == other.bank && title == other.title;
    }
};

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Entry)

class BadFilesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        for (const QString& path : RecentFiles().Load()) {
            RecentFiles().Remove(path);
        }
    }

    void badFileChangesNothing_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<bool>("bank");
        QTest::addColumn<Entry>("entry");
        const struct {
            const char* name;
            Fault fault;
            bool bank;
        } files[] = {
            {"empty program", Fault::Empty, false},
            {"empty bank", Fault::Empty, true},
            {"truncated program", Fault::Truncated, false},
            {"truncated bank", Fault::Truncated, true},
            {"oversized program", Fault::Oversized, false},
            {"oversized bank", Fault::Oversized, true},
            {"folder as program", Fault::Folder, false},
            {"folder as bank", Fault::Folder, true},
            {"unreadable program", Fault::Unreadable, false},
            {"unreadable bank", Fault::Unreadable, true},
            {"bank as program", Fault::OtherKind, false},
            {"program as bank", Fault::OtherKind, true},
            {"gone program", Fault::Gone, false},
            {"gone bank", Fault::Gone, true},
        };
        const struct {
            const char* name;
            Entry entry;
        } entries[] = {{"File Open", Entry::FileOpen},
                       {"recent file", Entry::RecentFile},
                       {"Program dialog", Entry::ProgramDialog}};
        for (const auto& file : files) {
            for (const auto& entry : entries) {
                QTest::addRow("%s, %s", file.name, entry.name)
                    << file.fault << file.bank << entry.entry;
            }
        }
    }

    // One "File read Error", and the panel, its stored programs, its title and the device as
    // they were. A recent file that did not open leaves the list; the others stay.
    void badFileChangesNothing() {
        QFETCH(Fault, fault);
        QFETCH(bool, bank);
        QFETCH(Entry, entry);
        QTemporaryDir dir;
        const QString path = MakeBadFile(dir, fault, bank);
        const QString keptRecent = dir.filePath("kept.dia48");
        QVERIFY(WriteFile(keptRecent, GoodProgramFile(dir)));
        RecentFiles().Add(keptRecent);
        if (entry == Entry::RecentFile) {
            RecentFiles().Add(path);
        }

        // Connected to a simulated device, where a file that was taken would be sent at once
        // (and the bank actions of the Program dialog run only while connected).
        simtest::SimProcess sim({"--fast", "--device", "3:1"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        PanelView* panel = frame.CurrentPanel();
        simtest::UseFastTick(panel->Session().Link(), simtest::ConnectedPanel::kFastTickMs);
        QVERIFY(panel->ConnectTo(sim.Link(), 3));
        panel->Session().GetDocument().GetProgram().GetInput(1)->SetGain(321);
        panel->Session().GetDocument().GetStoredPrograms()[0].name = "Before";
        panel->RefreshPanel();
        QVERIFY(panel->Session().Link().WaitUntilSettled(kWaitMs));
        const PanelState before = PanelState::Of(*panel, frame.windowTitle());
        QSignalSpy sent(&panel->Session().Link(), &PanelLink::recordTransmitted);
        MessageRecorder messages;
        QSignalSpy used(&panel->Session(), &PanelSession::fileUsed);
        FileChoiceScript files({path});
        // Connected, the File menu asks before a file it has read overwrites the device; a file
        // that does not read is refused before that, so this Yes stays unused.
        QuestionScript questions({true});

        {
            // Read as an ordinary user reads it, also when the tests run as the superuser.
            const NoFileAccessOverride asUser;
            if (fault == Fault::Unreadable) {
                QVERIFY(!QFile(path).open(QIODevice::ReadOnly));
            }
            switch (entry) {
            case Entry::FileOpen:
                frame.findChild<QAction*>("fileOpen")->trigger();
                break;
            case Entry::RecentFile:
                frame.findChild<QAction*>("recentFile1")->trigger();
                break;
            case Entry::ProgramDialog: {
                ProgramDlg dialog(panel->Session());
                Control<QRadioButton>(&dialog, bank ? ProgramDlg::kRecallAllFromPcRadioId
                                                    : ProgramDlg::kRecallFromPcRadioId)
                    ->click();
                Control<QPushButton>(&dialog, ProgramDlg::kPcOkId)->click();
                break;
            }
            }
        }

        QCOMPARE(frame.CurrentPanel(), panel);
        QVERIFY(questions.Asked().isEmpty());
        QCOMPARE(messages.texts(), QStringList{kFileReadError});
        QVERIFY(PanelState::Of(*panel, frame.windowTitle()) == before);
        QCOMPARE(used.count(), 0);
        QCOMPARE(files.Requests().size(), entry == Entry::RecentFile ? 0 : 1);
        QCOMPARE(frame.RecentFileList(), QStringList{keptRecent});
        {
            // Only the idle link's meter requests went out.
            QVERIFY(panel->Session().Link().WaitUntilSettled(kWaitMs));
            QVERIFY(!sent.isEmpty());
            for (const QList<QVariant>& record : sent) {
                const QByteArray frameOut = record.at(0).toByteArray();
                QCOMPARE(int(quint8(frameOut.at(Protocol::OffsetCode))),
                         int(Protocol::ReadRequest));
                QCOMPARE(int(quint8(frameOut.at(Protocol::OffsetChannel))),
                         int(Protocol::ItemMeters));
            }
            QVERIFY(panel->Session().Link().IsConnected());
        }
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
};

QTEST_MAIN(BadFilesTest)
#include "bad_files_test.moc"
