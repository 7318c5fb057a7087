// The Device dialog: what it offers and what it hands back to the panel.

#include "gui/GuiTest.h"
#include "gui/dialogs/DeviceDlg.h"
#include "gui/dialogs/DialogLook.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

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

    void offersAnotherIdThanTheCurrent_data() {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("preselected");
        QTest::newRow("1") << 1 << 2;
        QTest::newRow("5") << 5 << 1;
        QTest::newRow("250") << 250 << 1;
    }

    void offersAnotherIdThanTheCurrent() {
        QFETCH(int, current);
        DeviceDlg dialog(current, {});
        QCOMPARE(dialog.windowTitle(), QString("Device"));
        QCOMPARE(Control<QLabel>(&dialog, DeviceDlg::kCurrentTextId)->text(),
                 QString("Current device ID %1 To:").arg(current));
        auto* newIds = Control<QComboBox>(&dialog, DeviceDlg::kNewIdComboId);
        QCOMPARE(newIds->count(), 250);
        QCOMPARE(newIds->itemText(0), QString("1"));
        QCOMPARE(newIds->itemText(249), QString("250"));
        QTEST(dialog.NewId(), "preselected");
        QCOMPARE(newIds->currentText().toInt(), dialog.NewId());
        QCOMPARE(dialog.Mode(), int(DeviceDlg::kChangeIdMode));
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
