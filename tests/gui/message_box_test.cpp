#include "gui/widgets/MessageBox.h"
#include "gui/GuiTest.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

QList<QMessageBox*> VisibleBoxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) {
            boxes << box;
        }
    }
    return boxes;
}

} // namespace

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void aRecorderTakesTheMessagesInstead() {
        QWidget parent;
        {
            MessageRecorder outer;
            {
                MessageRecorder inner;
                ShowMessage(&parent, "Out of Range");
                QCOMPARE(inner.texts(), QStringList({"Out of Range"}));
            }
            ShowMessage(&parent, "Out of Range");
            QCOMPARE(outer.texts(), QStringList({"Out of Range"}));
        }
        QVERIFY(VisibleBoxes().isEmpty());
    }

    void aTextAlreadyShowingIsNotStacked() {
        bool secondReturned = false;
        int boxesSeen = -1;
        QString title;
        // While the first box runs its modal loop: ask for the same text again, then look at
        // the screen and close whatever is open, so a stacked box cannot hang the test.
        QTimer::singleShot(0, this, [&] {
            ShowMessage(nullptr, "Out of Range");
            secondReturned = true;
        });
        QTimer::singleShot(300, this, [&] {
            const auto boxes = VisibleBoxes();
            boxesSeen = static_cast<int>(boxes.size());
            if (!boxes.isEmpty()) {
                title = boxes.first()->windowTitle();
            }
            for (QMessageBox* box : boxes) {
                box->accept();
            }
        });
        ShowMessage(nullptr, "Out of Range");
        QVERIFY(secondReturned);
        QCOMPARE(boxesSeen, 1);
        QCOMPARE(title, QString("Sonvex1.1"));
        QVERIFY(VisibleBoxes().isEmpty());
    }
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
