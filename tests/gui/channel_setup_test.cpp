// The channel naming ("Ch Setup") and copy dialogs, on their own and opened from the panel,
// and a copy that reaches the simulated device.

#include "common/FastLink.h"
#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/GuiTest.h"
#include "gui/dialogs/CHSetupDlg.h"
#include "gui/dialogs/CopyDlg.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/PanelLayout.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/CharEdit.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/XPStyleButton.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>

#include <functional>

Q_DECLARE_METATYPE(const Variant*)

namespace {

constexpr int kWaitMs = 20000;
constexpr int kFastTickMs = 5;

// Runs act on the modal dialog of type T as soon as it runs (a panel button has just opened
// it and waits in its event loop).
template <class T> void WhenRunning(QObject* context, std::function<void(T*)> act) {
    auto* poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [poll, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
        }
    });
    poll->start(1);
}

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items.append(list->itemText(i));
    }
    return items;
}

// Types text into edit after clearing it, as the operator does.
void Retype(QLineEdit* edit, const QString& text) {
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    // A key event per character, carrying characters no key of the test keyboard has.
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The write requests among the frames the device received from mark on.
std::vector<simtest::LoggedFrame> Writes(const simtest::SimProcess& sim, std::size_t mark) {
    std::vector<simtest::LoggedFrame> writes;
    for (const simtest::LoggedFrame& frame : sim.Received(mark)) {
        if (frame.Code() == Protocol::WriteRequest) {
            writes.push_back(frame);
        }
    }
    return writes;
}

} // namespace

class ChannelSetupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void nameEditsKeepSingleByteNamesOfEightCharacters_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("ninth character refused") << "ABCDEFGHI"
                                                 << "ABCDEFGH" << QByteArray("ABCDEFGH");
        QTest::newRow("Chinese character refused")
            << QString::fromUtf8("Bass\xE5\x90\x8DL") << "BassL" << QByteArray("BassL");
        QTest::newRow("Chinese character last")
            << QString::fromUtf8("Bass\xE5\x90\x8D") << "Bass" << QByteArray("Bass");
        QTest::newRow("only a Chinese character")
            << QString::fromUtf8("\xE5\x90\x8D") << "" << QByteArray();
        QTest::newRow("Latin letters, digits, signs") << "Sub-1 #2"
                                                      << "Sub-1 #2" << QByteArray("Sub-1 #2");
        QTest::newRow("accented letter is one byte")
            << QString::fromUtf8("Caf\xC3\xA9 L") << QString::fromUtf8("Caf\xC3\xA9 L")
            << QByteArray("Caf\xE9 L");
    }

    // Typed into the name edit of input B and applied when the focus moves on: the channel
    // holds the name as single bytes and is marked for sending; nothing else changes.
    void nameEditsKeepSingleByteNamesOfEightCharacters() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QByteArray, stored);
        CZorvanDoc doc;
        CAudio_Data& program = doc.GetProgram();
        program.GetInput(1)->SetName("Old");
        program.ClearChanged();
        CHSetupDlg dialog(program, Variant::FourByEight());
        QSignalSpy applied(&dialog, &CHSetupDlg::nameApplied);
        QVERIFY(ShowActive(&dialog));
        CharEdit* edit = Control<CharEdit>(&dialog, 1152);
        QVERIFY(edit == dialog.NameEdit(1, false));
        QCOMPARE(edit->text(), QString("Old"));

        Retype(edit, typed);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(applied.count(), 0);
        Control<CharEdit>(&dialog, 1155)->setFocus(Qt::TabFocusReason);
        QCOMPARE(QByteArray::fromStdString(program.GetInput(1)->GetName()), stored);
        QCOMPARE(program.GetInput(1)->IsNameChanged(), 1);
        QCOMPARE(applied.count(), 1);
        QCOMPARE(applied.front(), (QList<QVariant>{1, false}));
        for (int i : {0, 2, 3}) {
            QCOMPARE(program.GetInput(i)->IsNameChanged(), 0);
        }
    }

    // Tabbing through every edit, and closing, apply nothing: no name changes, no channel is
    // marked, the panel is not told.
    void passingThroughTheEditsChangesNothing() {
        CZorvanDoc doc;
        CAudio_Data& program = doc.GetProgram();
        program.GetOutput(4)->SetName("Top L");
        program.ClearChanged();
        CHSetupDlg dialog(program, Variant::FourByEight());
        QSignalSpy applied(&dialog, &CHSetupDlg::nameApplied);
        QVERIFY(ShowActive(&dialog));
        Control<CharEdit>(&dialog, 1151)->setFocus(Qt::TabFocusReason);
        for (int step = 0; step < 12; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // Enter in an untouched edit only takes the focus away.
        Control<CharEdit>(&dialog, 1159)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(Control<CharEdit>(&dialog, 1159), Qt::Key_Return);
        dialog.close();
        QCOMPARE(applied.count(), 0);
        QCOMPARE(program.GetOutput(4)->GetName(), std::string("Top L"));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(program.GetInput(i)->IsNameChanged(), 0);
        }
        for (int n = 0; n < 8; ++n) {
            QCOMPARE(program.GetOutput(n)->IsNameChanged(), 0);
        }
    }

    // Enter and Esc commit the edit being typed in and leave the dialog open; an edit whose
    // name was applied is not applied again when the focus passes through it later.
    void enterAndEscCommitWithoutClosing() {
        CZorvanDoc doc;
        CAudio_Data& program = doc.GetProgram();
        CHSetupDlg dialog(program, Variant::FourByEight());
        QSignalSpy applied(&dialog, &CHSetupDlg::nameApplied);
        QVERIFY(ShowActive(&dialog));
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
            CharEdit* edit = Control<CharEdit>(&dialog, 1162);
            const QString name = key == Qt::Key_Return ? "Sub R" : "Sub L";
            Retype(edit, name);
            QTest::keyClick(edit, key);
            QVERIFY(dialog.isVisible());
            QVERIFY(!edit->hasFocus());
            QCOMPARE(QString::fromStdString(program.GetOutput(7)->GetName()), name);
        }
        QCOMPARE(applied.count(), 2);
        program.ClearChanged();
        Control<CharEdit>(&dialog, 1162)->setFocus(Qt::TabFocusReason);
        Control<CharEdit>(&dialog, 1151)->setFocus(Qt::TabFocusReason);
        QCOMPARE(applied.count(), 2);
        QCOMPARE(program.GetOutput(7)->IsNameChanged(), 0);
    }

    void editsOfMissingChannelsAreHidden_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<QString>("shown");
        QTest::newRow("4x8") << &Variant::FourByEight() << "ABCD12345678";
        QTest::newRow("3x6") << &Variant::ThreeBySix() << "ABC123456";
        QTest::newRow("2x4") << &Variant::TwoByFour() << "AB1234";
    }

    void editsOfMissingChannelsAreHidden() {
        QFETCH(const Variant*, variant);
        QFETCH(QString, shown);
        CZorvanDoc doc;
        CHSetupDlg dialog(doc.GetProgram(), *variant);
        dialog.show();
        QString visible;
        for (int id = CHSetupDlg::kFirstInputEditId; id <= 1162; ++id) {
            auto* edit = Control<CharEdit>(&dialog, id);
            QVERIFY(edit != nullptr);
            QCOMPARE(edit->maxLength(), 8);
            const QString label = id < CHSetupDlg::kFirstOutputEditId
                                      ? QString("CH") + QChar('A' + id - 1151)
                                      : QString("CH%1").arg(id - 1154);
            const auto labels = dialog.findChildren<QLabel*>();
            const auto caption = std::find_if(labels.begin(), labels.end(),
                                              [&](QLabel* l) { return l->text() == label; });
            QVERIFY2(caption != labels.end(), qPrintable(label));
            QCOMPARE((*caption)->isVisible(), edit->isVisible());
            if (edit->isVisible()) {
                visible += label.mid(2);
            }
        }
        QCOMPARE(visible, shown);
        SaveGrab(&dialog, QStringLiteral("ch_setup_%1.png").arg(variant->name));
    }

    // "BoxName" opens the dialog with the button pressed; a name applied there shows on the
    // strip's name label at once.
    void boxNameButtonNamesTheStrips() {
        PanelSession session(Variant::ThreeBySix());
        PanelView panel(session);
        const PanelIds& ids = panel.GetLayout().ids;
        auto* button = Control<QPushButton>(&panel, ids.boxName);
        bool pressed = false;
        WhenRunning<CHSetupDlg>(this, [&](CHSetupDlg* dialog) {
            pressed = button->isDown();
            Retype(dialog->NameEdit(2, true), "Fill");
            Retype(dialog->NameEdit(0, false), "Vox");
            dialog->close();
        });
        button->click();
        QVERIFY(pressed);
        QVERIFY(!button->isDown());
        CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        QCOMPARE(program.GetOutput(2)->GetName(), std::string("Fill"));
        QCOMPARE(program.GetInput(0)->GetName(), std::string("Vox"));
        QCOMPARE(Control<QLabel>(&panel, ids.output.nameLabel + 2)->text(), QString("Fill"));
        QCOMPARE(Control<QLabel>(&panel, ids.input.nameLabel)->text(), QString("Vox"));
    }

    void copyListsFollowTheVariant_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("outputs");
        QTest::newRow("4x8") << &Variant::FourByEight() << QStringList{"CHA", "CHB", "CHC", "CHD"}
                             << QStringList{"CH1", "CH2", "CH3", "CH4", "CH5", "CH6", "CH7", "CH8"};
        QTest::newRow("3x6") << &Variant::ThreeBySix() << QStringList{"CHA", "CHB", "CHC"}
                             << QStringList{"CH1", "CH2", "CH3", "CH4", "CH5", "CH6"};
        QTest::newRow("2x4") << &Variant::TwoByFour() << QStringList{"CHA", "CHB"}
                             << QStringList{"CH1", "CH2", "CH3", "CH4"};
    }

    void copyListsFollowTheVariant() {
        QFETCH(const Variant*, variant);
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, outputs);
        CZorvanDoc doc;
        PanelLink link(doc, *variant);
        CopyDlg dialog(link, *variant);
        QCOMPARE(dialog.windowTitle(), QString("Copy"));
        QCOMPARE(Control<QRadioButton>(&dialog, 1141)->text(), QString("Copy In  Route"));
        QCOMPARE(Control<QRadioButton>(&dialog, 1142)->text(), QString("Copy Out  Route"));
        QVERIFY(Control<QRadioButton>(&dialog, 1141)->isChecked());
        QVERIFY(!Control<QRadioButton>(&dialog, 1142)->isChecked());
        for (const int id : {1131, 1133}) {
            QCOMPARE(Items(Control<QComboBox>(&dialog, id)), inputs);
        }
        for (const int id : {1132, 1134}) {
            QCOMPARE(Items(Control<QComboBox>(&dialog, id)), outputs);
        }
        QCOMPARE(Control<QComboBox>(&dialog, 1131)->currentIndex(), 0);
        QCOMPARE(Control<QComboBox>(&dialog, 1133)->currentIndex(), 1);
        QCOMPARE(Control<QComboBox>(&dialog, 1132)->currentIndex(), 0);
        QCOMPARE(Control<QComboBox>(&dialog, 1134)->currentIndex(), 1);
        QCOMPARE(Control<QPushButton>(&dialog, 1)->text(), QString("OK"));
        dialog.show();
        SaveGrab(&dialog, QStringLiteral("copy_%1.png").arg(variant->name));
    }

    // Without a device the copy changes the program and the strip; Esc copies nothing.
    void copyWhileDisconnectedChangesTheProgramOnly() {
        PanelSession session(Variant::TwoByFour());
        PanelView panel(session);
        CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        program.GetOutput(0)->SetName("Main");
        program.GetOutput(0)->SetGain(150);
        program.GetOutput(0)->SetPolarity(1);
        program.ClearChanged();
        auto* button = Control<QPushButton>(&panel, panel.GetLayout().ids.copy);
        const std::string targetName = program.GetOutput(3)->GetName();

        bool pressed = false;
        WhenRunning<CopyDlg>(this, [&](CopyDlg* dialog) {
            Control<QComboBox>(dialog, 1134)->setCurrentIndex(3);
            Control<QRadioButton>(dialog, 1142)->click();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        button->click();
        QCOMPARE(program.GetOutput(3)->GetName(), targetName);

        WhenRunning<CopyDlg>(this, [&](CopyDlg* dialog) {
            pressed = button->isDown();
            Control<QRadioButton>(dialog, 1142)->click();
            Control<QComboBox>(dialog, 1134)->setCurrentIndex(3);
            Control<QPushButton>(dialog, 1)->click();
        });
        button->click();
        QVERIFY(pressed);
        QVERIFY(!button->isDown());
        const CAudio_OutData& target = *program.GetOutput(3);
        QCOMPARE(target.GetName(), std::string("Main"));
        QCOMPARE(target.GetGain(), 150);
        QCOMPARE(int(target.GetPolarity()), 1);
        QCOMPARE(target.IsParamsChanged(), 0);
        ChannelStrip* strip = panel.OutputStrip(3);
        QCOMPARE(strip->GainEdit()->value(), 150);
        QCOMPARE(strip->PolarityButton()->text(), QString("-Invert"));
        QCOMPARE(Control<QLabel>(&panel, panel.GetLayout().ids.output.nameLabel + 3)->text(),
                 QString("Main"));
    }

    // Connected to the simulator: CHA onto CHB sends exactly one whole-channel record for input
    // B of the live program; CH3 onto CH3 sends nothing.
    void copySendsOneWholeChannelRecord() {
        simtest::SimProcess sim({"--fast", "--device", "5:1"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        PanelLink& link = panel.Session().Link();
        simtest::UseFastTick(link, kFastTickMs);
        QVERIFY(panel.ConnectTo(sim.Link(), 5));
        QVERIFY(link.WaitForTransfer(kWaitMs));
        CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        const int gainA = program.GetInput(1)->GetGain() == 300 ? 310 : 300;
        program.GetInput(0)->SetGain(gainA);
        program.GetInput(0)->SetName("Kick");
        QVERIFY(link.WaitUntilSettled(kWaitMs));

        auto* button = Control<QPushButton>(&panel, panel.GetLayout().ids.copy);
        std::size_t mark = sim.Frames().size();
        WhenRunning<CopyDlg>(this, [](CopyDlg* dialog) {
            Control<QPushButton>(dialog, 1)->click(); // CHA onto CHB, as the lists start
        });
        button->click();
        QCOMPARE(program.GetInput(1)->GetGain(), gainA);
        QCOMPARE(panel.InputStrip(1)->GainEdit()->value(), gainA);
        QTRY_VERIFY_WITH_TIMEOUT(!Writes(sim, mark).empty(), kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        std::vector<simtest::LoggedFrame> writes = Writes(sim, mark);
        QCOMPARE(writes.size(), std::size_t(1));
        QCOMPARE(writes[0].Group(), int(Protocol::GroupInput));
        QCOMPARE(writes[0].Channel(), int(program.GetInput(1)->GetChannelIndex()));
        QCOMPARE(writes[0].Block(), int(Protocol::InputBlockWholeChannel));
        QCOMPARE(writes[0].Length(), int(Protocol::InputChannelLength));
        QCOMPARE(writes[0].Program(), Protocol::LiveProgram);

        mark = sim.Frames().size();
        WhenRunning<CopyDlg>(this, [](CopyDlg* dialog) {
            Control<QRadioButton>(dialog, 1142)->click();
            Control<QComboBox>(dialog, 1132)->setCurrentIndex(2);
            Control<QComboBox>(dialog, 1134)->setCurrentIndex(2);
            Control<QPushButton>(dialog, 1)->click();
        });
        button->click();
        // Idle polls keep coming; none of them may be a write.
        QTRY_VERIFY_WITH_TIMEOUT(sim.Received(mark).size() >= 10, kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QVERIFY(Writes(sim, mark).empty());
        QVERIFY(messages.texts().isEmpty());
    }
};

QTEST_MAIN(ChannelSetupTest)
#include "channel_setup_test.moc"
