// The panel session on its own: programs from files applied to the document without any
// widget, and a session that outlives the panel that showed it.

#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "gui/ProgramBytes.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/session/ProgramFileActions.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"

#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Writes a one-program file named name with a gain on output 3 that no session starts with,
// and returns its path.
QString MakeProgramFile(const QString& path, const char* name, int deviceType, int gain) {
    CZorvanDoc document;
    document.GetProgram().SetDeviceType(deviceType);
    document.GetProgram().SetName(name);
    document.GetProgram().GetOutput(2)->SetGain(gain);
    return QString::fromStdString(StoreProgramToPC(document, deviceType, path.toStdString()).path);
}

// Every signal a session gives about a program coming from a file.
struct SessionSpies {
    explicit SessionSpies(PanelSession& session)
        : replaced(&session, &PanelSession::programReplaced),
          titles(&session, &PanelSession::mainTitleChanged),
          used(&session, &PanelSession::fileUsed),
          transfers(&session, &PanelSession::transferStarted) {}

    QSignalSpy replaced;
    QSignalSpy titles;
    QSignalSpy used;
    QSignalSpy transfers;
};

} // namespace

class PanelSessionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // With no panel at all, a one-program file replaces the document's program, names the title
    // after it and is reported as used; disconnected, no transfer starts and nothing is told.
    void appliesALoadedProgramWithoutAnyWidget() {
        QTemporaryDir dir;
        const QString path =
            MakeProgramFile(dir.filePath(QStringLiteral("loaded")), "Loaded", 3, 123);
        QVERIFY(!path.isEmpty());
        PanelSession session(Variant::TwoByFour());
        QVERIFY(session.Window() == nullptr);
        QVERIFY(session.GetDocument().GetProgram().GetOutput(2)->GetGain() != 123);
        SessionSpies spies(session);
        MessageRecorder messages;

        QVERIFY(session.Files().LoadProgram(path));

        QCOMPARE(session.GetDocument().GetProgram().GetOutput(2)->GetGain(), 123);
        QCOMPARE(spies.replaced.count(), 1);
        QCOMPARE(spies.titles.count(), 1);
        QCOMPARE(spies.titles.at(0).at(0).toString(),
                 QString::fromStdString(session.GetDocument().GetTitle()));
        QVERIFY(spies.titles.at(0).at(0).toString().startsWith(QStringLiteral("DSP24_Loaded")));
        QCOMPARE(spies.used.count(), 1);
        QCOMPARE(spies.used.at(0).at(0).toString(), path);
        QCOMPARE(spies.transfers.count(), 0);
        QVERIFY(messages.texts().isEmpty());
    }

    // A file too short to be a program is told once and applies nothing: the program stays as
    // it was and nothing is shown anew or entered in the recent files.
    void unreadableFileChangesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("short.dia24"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("abc");
        file.close();
        PanelSession session(Variant::TwoByFour());
        const QByteArray before = ProgramBytes(session.GetDocument());
        SessionSpies spies(session);
        MessageRecorder messages;

        QVERIFY(!session.Files().LoadProgram(path));

        QCOMPARE(messages.texts(), QStringList{QString::fromLatin1(kFileReadError)});
        QCOMPARE(ProgramBytes(session.GetDocument()), before);
        QCOMPARE(spies.replaced.count(), 0);
        QCOMPARE(spies.used.count(), 0);
    }

    // The panel shows the session's program and its dialogs open over it; once the panel is
    // gone the session goes on by itself, and a program applied then reaches no widget that
    // was destroyed with the panel.
    void outlivesThePanelThatShowedIt() {
        QTemporaryDir dir;
        const QString path =
            MakeProgramFile(dir.filePath(QStringLiteral("later")), "Later", 1, 321);
        PanelSession session(Variant::FourByEight());
        {
            PanelView panel(session);
            QCOMPARE(session.Window(), &panel);
            panel.Editors().OpenOutputEq(2);
            panel.Editors().OpenInputChannel(0);
            QVERIFY(panel.Editors().At(EditorSlots::OutputEq, 2) != nullptr);
            QVERIFY(session.Files().LoadProgram(path));
            QCOMPARE(panel.OutputStrip(2)->GainEdit()->value(), 321);
        }
        QVERIFY(session.Window() == nullptr);
        const QString again =
            MakeProgramFile(dir.filePath(QStringLiteral("again")), "Again", 1, 222);
        SessionSpies spies(session);
        QVERIFY(session.Files().LoadProgram(again));
        QCOMPARE(session.GetDocument().GetProgram().GetOutput(2)->GetGain(), 222);
        QCOMPARE(spies.replaced.count(), 1);
    }
};

QTEST_MAIN(PanelSessionTest)
#include "panel_session_test.moc"
