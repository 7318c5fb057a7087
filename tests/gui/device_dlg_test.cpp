// The Device dialog: what it offers and what it hands back to the panel.

#include "control/PanelLink.h"
#include "gui/ConnectedPanel.h"
#include "gui/GuiTest.h"
#include "gui/QuestionScript.h"
#include "gui/dialogs/DeviceDlg.h"
#include "gui/dialogs/DialogLook.h"
#include "gui/panel/PanelLayout.h"
#include "gui/panel/PanelView.h"
#include "gui/widgets/MessageBox.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

constexpr int kWaitMs = 30000;

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

} // namespace

class DeviceDlgTest : public QObject {
    Q_OBJECT

private slots:

    // The new ID starts as the current one, so that OK alone gives the device no new ID.
    void opensOnTheCurrentId_data() {
        QTest::addColumn<int>("current");
        QTest::newRow("1") << 1;
        QTest::newRow("5") << 5;
        QTest::newRow("250") << 250;
    }

    void opensOnTheCurrentId() {
        QFETCH(int, current);
        DeviceDlg dialog(current, {});
        QCOMPARE(dialog.windowTitle(), QString("Device"));
        QCOMPARE(Control<QLabel>(&dialog, DeviceDlg::kCurrentTextId)->text(),
                 QString("Current device ID %1 To:").arg(current));
        auto* newIds = Control<QComboBox>(&dialog, DeviceDlg::kNewIdComboId);
        QCOMPARE(newIds->count(), 250);
        QCOMPARE(newIds->itemText(0), QString("1"));
        QCOMPARE(newIds->itemText(249), QString("250"));
        QCOMPARE(dialog.NewId(), current);
        QCOMPARE(newIds->currentText().toInt(), current);
        QCOMPARE(dialog.Mode(), int(DeviceDlg::kChangeIdMode));
    }

    // On a connected panel: OK alone sends no WriteDeviceId; an ID the last search found on
    // the line is asked about (No keeps the dialog open and sends nothing); an ID not on the
    // line is given without a question.
    void okAloneChangesNoIdAndAFoundIdAsksFirst() {
        simtest::ConnectedPanel connected(Variant::FourByEight(), {"--device", "8:1"});
        QVERIFY(connected.Connect(kWaitMs));
        PanelView& panel = connected.panel;
        PanelLink& link = panel.Session().Link();
        // As a search that found devices 3 and 8 leaves the table.
        link.GetFoundIds().Clear();
        link.GetFoundIds().MarkPresent(3);
        link.GetFoundIds().MarkPresent(8);
        MessageRecorder messages;
        QuestionScript questions({false});
        auto* deviceButton = Control<QPushButton>(&panel, panel.GetLayout().ids.device);
        const std::size_t mark = connected.sim.Frames().size();

        bool opened = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = RunningDialog<DeviceDlg>();
            QVERIFY(dialog != nullptr);
            opened = dialog->NewId() == 3;
            Control<QPushButton>(dialog, DeviceDlg::kOkId)->click();
        });
        deviceButton->click();
        QVERIFY(opened);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        QVERIFY(simtest::SystemWrites(connected.sim, Protocol::ItemDeviceId, mark).empty());
        QCOMPARE(link.GetDeviceId(), 3);
        QVERIFY(questions.Asked().isEmpty());

        bool stayedOpen = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = RunningDialog<DeviceDlg>();
            QVERIFY(dialog != nullptr);
            auto* newIds = Control<QComboBox>(dialog, DeviceDlg::kNewIdComboId);
            newIds->setCurrentIndex(newIds->findData(8));
            Control<QPushButton>(dialog, DeviceDlg::kOkId)->click();
            stayedOpen = dialog->isVisible() && RunningDialog<DeviceDlg>() == dialog;
            newIds->setCurrentIndex(newIds->findData(5));
            Control<QPushButton>(dialog, DeviceDlg::kOkId)->click();
        });
        deviceButton->click();
        QVERIFY(stayedOpen);
        QCOMPARE(questions.Asked(), QStringList{DeviceDlg::TakenIdQuestion(3, 8)});
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        const std::vector<simtest::LoggedFrame> writes =
            simtest::SystemWrites(connected.sim, Protocol::ItemDeviceId, mark);
        QCOMPARE(writes.size(), std::size_t(1));
        QCOMPARE(writes.front().DeviceId(), 3);
        QCOMPARE(link.GetDeviceId(), 5);
        QVERIFY(messages.texts().isEmpty());
    }

    void handsBackTheChosenModeAndIds() {
        DeviceDlg dialog(4, {4, 9, 120});
        QVERIFY(ShowActive(&dialog));
        auto* change = Control<QRadioButton>(&dialog, DeviceDlg::kChangeRadioId);
        auto* reconnect = Control<QRadioButton>(&dialog, DeviceDlg::kReconnectRadioId);
        QCOMPARE(change->text(), QString("Change Current Device ID"));
        QCOMPARE(reconnect->text(), QString("Re_Connect To Device"));
        auto* targets = Control<QComboBox>(&dialog, DeviceDlg::kTargetComboId);
        QCOMPARE(Items(targets), QStringList({"4", "9", "120"}));
        QCOMPARE(dialog.TargetId(), 4);
        QVERIFY(SaveGrab(&dialog, QStringLiteral("device_dialog.png"), 2));
        const QImage image = dialog.grab().toImage();
        QCOMPARE(image.pixelColor(4, 4), QColor(DialogLook::kBackground));

        QTest::mouseClick(reconnect, Qt::LeftButton);
        QCOMPARE(dialog.Mode(), int(DeviceDlg::kReconnectMode));
        targets->setCurrentIndex(targets->findText("120"));
        QCOMPARE(dialog.TargetId(), 120);
        QTest::mouseClick(change, Qt::LeftButton);
        QCOMPARE(dialog.Mode(), int(DeviceDlg::kChangeIdMode));
        auto* newIds = Control<QComboBox>(&dialog, DeviceDlg::kNewIdComboId);
        newIds->setCurrentIndex(newIds->findText("37"));
        QTest::mouseClick(reconnect, Qt::LeftButton);

        QTest::mouseClick(Control<QPushButton>(&dialog, DeviceDlg::kOkId), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Mode(), int(DeviceDlg::kReconnectMode));
        QCOMPARE(dialog.NewId(), 37);
        QCOMPARE(dialog.TargetId(), 120);
    }

    void noDeviceFoundGivesNoTarget() {
        DeviceDlg dialog(1, {});
        QCOMPARE(Control<QComboBox>(&dialog, DeviceDlg::kTargetComboId)->count(), 0);
        QCOMPARE(dialog.TargetId(), 0);
    }
};

QTEST_MAIN(DeviceDlgTest)
#include "device_dlg_test.moc"
