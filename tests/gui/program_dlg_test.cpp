// The Program dialog: its list and name edit, its refusals, and the recall and store of a
// device slot against the simulated device.

#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/ConnectedPanel.h"
#include "gui/FileChoiceScript.h"
#include "gui/GuiTest.h"
#include "gui/dialogs/DisplayDlg.h"
#include "gui/dialogs/ProgramDlg.h"
#include "gui/panel/PanelLayout.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/CharEdit.h"
#include "gui/widgets/MessageBox.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTimer>

Q_DECLARE_METATYPE(const Variant*)

namespace {

constexpr int kWaitMs = 20000;

// Clicks the row of program (1..30) in the dialog's list.
void ClickRow(ProgramDlg& dialog, int program) {
    auto* list = Control<QTableWidget>(&dialog, ProgramDlg::kListId);
    QTableWidgetItem* item = list->item(program - 1, 1);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

void TypeName(ProgramDlg& dialog, const QString& text) {
    auto* edit = Control<CharEdit>(&dialog, ProgramDlg::kNameEditId);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

} // namespace

class ProgramDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Thirty rows numbered 1..30 with the panel's names, in the list's colours; program 1 is
    // chosen; the name is read-only for a recall and takes at most eight characters to store.
    void listsThirtyProgramsAndEditsTheName() {
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        for (int n = 0; n <= 30; ++n) {
            panel.Session().Link().SetProgramName(n, QStringLiteral("Name %1").arg(n));
        }
        ProgramDlg dialog(panel.Session());
        QVERIFY(ShowActive(&dialog));
        QCOMPARE(dialog.windowTitle(), QString("Program"));
        auto* list = Control<QTableWidget>(&dialog, ProgramDlg::kListId);
        QCOMPARE(list->rowCount(), 30);
        QCOMPARE(list->columnCount(), 2);
        QCOMPARE(list->horizontalHeaderItem(0)->text(), QString("Program"));
        QCOMPARE(list->horizontalHeaderItem(1)->text(), QString("Name"));
        QCOMPARE(list->columnWidth(0), 70);
        QCOMPARE(list->columnWidth(1), 195);
        QVERIFY(list->showGrid());
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(list->palette().color(QPalette::Base), QColor(247, 247, 255));
        QCOMPARE(list->palette().color(QPalette::Text), QColor(0, 0, 255));
        for (int n = 1; n <= 30; ++n) {
            QCOMPARE(list->item(n - 1, 0)->text(), QString::number(n));
            QCOMPARE(list->item(n - 1, 1)->text(), QStringLiteral("Name %1").arg(n));
            QCOMPARE(list->item(n - 1, 0)->textAlignment(), int(Qt::AlignCenter));
        }

        auto* number = Control<QLabel>(&dialog, ProgramDlg::kNumberId);
        auto* name = Control<CharEdit>(&dialog, ProgramDlg::kNameEditId);
        QCOMPARE(dialog.SelectedProgram(), 1);
        // The whole row is chosen.
        QCOMPARE(list->selectionModel()->selectedIndexes().size(), 2);
        QCOMPARE(number->text(), QString("1"));
        QCOMPARE(name->text(), QString("Name 1"));
        QVERIFY(Control<QRadioButton>(&dialog, ProgramDlg::kRecallRadioId)->isChecked());
        QVERIFY(name->isReadOnly());
        QVERIFY(Control<QRadioButton>(&dialog, ProgramDlg::kStoreToPcRadioId)->isChecked());

        ClickRow(dialog, 27);
        QCOMPARE(dialog.SelectedProgram(), 27);
        QCOMPARE(number->text(), QString("27"));
        QCOMPARE(name->text(), QString("Name 27"));
        QVERIFY(name->hasFocus());

        Control<QRadioButton>(&dialog, ProgramDlg::kStoreRadioId)->click();
        QVERIFY(!name->isReadOnly());
        TypeName(dialog, "Twelve chars");
        QCOMPARE(name->text(), QString("Twelve c"));
        Control<QRadioButton>(&dialog, ProgramDlg::kRecallRadioId)->click();
        QVERIFY(name->isReadOnly());
    }

    // Without a link the device actions are refused and the PC bank actions do nothing.
    void disconnectedPanelRefusesDeviceActions() {
        MessageRecorder messages;
        FileChoiceScript files;
        PanelSession session(Variant::TwoByFour());
        PanelView panel(session);
        ProgramDlg dialog(panel.Session());
        for (const int mode : {ProgramDlg::kRecallRadioId, ProgramDlg::kStoreRadioId}) {
            Control<QRadioButton>(&dialog, mode)->click();
            TypeName(dialog, "Show");
            Control<QPushButton>(&dialog, ProgramDlg::kDeviceOkId)->click();
        }
        QCOMPARE(messages.texts(),
                 QStringList({"Please to Open COM-Port", "Please to Open COM-Port"}));
        QCOMPARE(panel.Session().GetDocument().GetProgram().GetName(), std::string("NewProgram"));
        QCOMPARE(Control<QTableWidget>(&dialog, ProgramDlg::kListId)->item(0, 1)->text(),
                 QString());

        messages.clear();
        for (const int mode :
             {ProgramDlg::kRecallAllFromPcRadioId, ProgramDlg::kStoreAllToPcRadioId}) {
            Control<QRadioButton>(&dialog, mode)->click();
            Control<QPushButton>(&dialog, ProgramDlg::kPcOkId)->click();
        }
        QVERIFY(files.Requests().isEmpty());
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(panel.Session().Link().GetEngine().Count(), 0);
    }

    // A name of spaces is refused for a store; leading spaces are dropped from a stored name,
    // which the panel's program, the name table, the list and the device all take.
    void storeTakesTheNameWithoutLeadingSpaces() {
        simtest::ConnectedPanel connected;
        QVERIFY(connected.Connect(kWaitMs));
        PanelView& panel = connected.panel;
        MessageRecorder messages;
        QSignalSpy titles(&panel.Session(), &PanelSession::mainTitleChanged);
        ProgramDlg dialog(panel.Session());
        QVERIFY(ShowActive(&dialog));
        Control<QRadioButton>(&dialog, ProgramDlg::kStoreRadioId)->click();
        ClickRow(dialog, 5);

        std::size_t mark = connected.sim.Frames().size();
        TypeName(dialog, "    ");
        Control<QPushButton>(&dialog, ProgramDlg::kDeviceOkId)->click();
        QCOMPARE(messages.texts(), QStringList{"Program Name is not empty"});
        QVERIFY(panel.Session().Link().WaitUntilSettled(kWaitMs));
        QVERIFY(simtest::SystemWrites(connected.sim, Protocol::ItemProgramName, mark).empty());

        messages.clear();
        mark = connected.sim.Frames().size();
        TypeName(dialog, "  Venue");
        Control<QPushButton>(&dialog, ProgramDlg::kDeviceOkId)->click();
        // The click returned when the progress window closed.
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(panel.Session().Link().WaitUntilSettled(kWaitMs));
        QVERIFY(messages.texts().isEmpty());
        const auto names = simtest::SystemWrites(connected.sim, Protocol::ItemProgramName, mark);
        QCOMPARE(names.size(), std::size_t{1});
        QCOMPARE(names[0].Program(), 5);
        QCOMPARE(names[0].Payload(), QByteArray("Venue          "));
        int channelWrites = 0;
        for (const simtest::LoggedFrame& frame : connected.sim.Received(mark)) {
            channelWrites += frame.Code() == Protocol::WriteRequest && frame.Program() == 5 &&
                                     frame.Group() != Protocol::GroupSystem
                                 ? 1
                                 : 0;
        }
        QCOMPARE(channelWrites, 12);
        QCOMPARE(panel.Session().GetDocument().GetProgram().GetName(), std::string("Venue"));
        QCOMPARE(panel.Session().Link().GetProgramName(5), QString("Venue"));
        QCOMPARE(Control<QTableWidget>(&dialog, ProgramDlg::kListId)->item(4, 1)->text(),
                 QString("Venue"));
        QCOMPARE(Control<CharEdit>(&dialog, ProgramDlg::kNameEditId)->text(), QString("Venue"));
        QCOMPARE(titles.last().at(0).toString(), QString("DSP48_Venue"));
    }

    // Recalling slot 12 reads program 12 channel by channel behind the progress window; the
    // panel's program takes its channels and the name the device gave the slot.
    void recallOfSlot12() {
        simtest::ConnectedPanel connected;
        QVERIFY(connected.Connect(kWaitMs));
        PanelView& panel = connected.panel;
        PanelLink& link = panel.Session().Link();
        MessageRecorder messages;
        const QString slotName = link.GetProgramName(12);
        QVERIFY(!slotName.isEmpty());
        QVERIFY(slotName != link.GetProgramName(0));
        QSignalSpy titles(&panel.Session(), &PanelSession::mainTitleChanged);
        QSignalSpy arrived(&link, &PanelLink::programReceived);
        ProgramDlg dialog(panel.Session());
        QVERIFY(ShowActive(&dialog));
        ClickRow(dialog, 12);
        QCOMPARE(Control<CharEdit>(&dialog, ProgramDlg::kNameEditId)->text(), slotName);

        const std::size_t mark = connected.sim.Frames().size();
        Control<QPushButton>(&dialog, ProgramDlg::kDeviceOkId)->click();
        QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));

        QList<int> inputs;
        QList<int> outputs;
        for (const simtest::LoggedFrame& frame : connected.sim.Received(mark)) {
            if (frame.Code() != Protocol::ReadRequest || frame.Group() == Protocol::GroupSystem) {
                continue;
            }
            QCOMPARE(frame.Program(), 12);
            (frame.Group() == Protocol::GroupInput ? inputs : outputs).append(frame.Channel());
        }
        QCOMPARE(inputs.size(), 4);
        QCOMPARE(outputs.size(), 8);
        const CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        QCOMPARE(QString::fromStdString(program.GetName()), slotName);
        QCOMPARE(titles.last().at(0).toString(), "Sonvex1.1 Fosk  " + slotName);
        const CAudio_Data& device = link.GetEngine().GetDeviceImage();
        for (int n = 0; n < 8; ++n) {
            QCOMPARE(program.GetOutput(n)->GetGain(), device.GetOutput(n)->GetGain());
            QCOMPARE(program.GetOutput(n)->GetDelay(), device.GetOutput(n)->GetDelay());
        }
        QVERIFY(messages.texts().isEmpty());
    }

    void panelButtonOpensTheDialog_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::newRow("4x8") << &Variant::FourByEight();
        QTest::newRow("3x6") << &Variant::ThreeBySix();
        QTest::newRow("2x4") << &Variant::TwoByFour();
    }

    // The panel's "Program" button runs the dialog modally, inactive itself meanwhile.
    void panelButtonOpensTheDialog() {
        QFETCH(const Variant*, variant);
        PanelSession session(*variant);
        PanelView panel(session);
        for (int n = 1; n <= 30; ++n) {
            panel.Session().Link().SetProgramName(n, QStringLiteral("Preset%1").arg(n));
        }
        auto* button = Control<QPushButton>(&panel, panel.GetLayout().ids.program);
        bool opened = false;
        bool buttonPressed = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<ProgramDlg*>(QApplication::activeModalWidget());
            opened = dialog != nullptr;
            buttonPressed = button->isDown();
            if (dialog != nullptr) {
                const QString shots = qEnvironmentVariable("SONVEX_SHOT_DIR");
                if (!shots.isEmpty()) {
                    SaveGrab(dialog, shots + "/program-" + variant->name + ".png");
                }
                dialog->close();
            }
        });
        button->click();
        QVERIFY(opened);
        QVERIFY(buttonPressed);
        QVERIFY(!button->isDown());
    }
};

QTEST_MAIN(ProgramDlgTest)
#include "program_dlg_test.moc"
