#include "gui/GuiTest.h"
#include "gui/widgets/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>

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

    // Messages asked for while a box is open wait for it and follow one another, each in a box
    // of its own with its icon: the stop icon for a port that does not open, else the warning.
    // A queued text is shown as often as it was asked for.
    void boxesFollowOneAnotherInTheOrderAsked() {
        const QString portText = QStringLiteral("Unable to open COM-port\nNo such file");
        bool laterCallsReturned = false;
        QTimer::singleShot(0, this, [&] {
            ShowMessage(nullptr, portText);
            QueueMessage(nullptr, "Device is error!");
            QueueMessage(nullptr, "Device is error!");
            QueueMessage(nullptr, "DeviceType is error!");
            ShowMessage(nullptr, "Unable to Open COM-Port");
            laterCallsReturned = true;
        });
        QStringList texts;
        QList<QMessageBox::Icon> icons;
        int mostAtOnce = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            const auto boxes = VisibleBoxes();
            mostAtOnce = std::max(mostAtOnce, static_cast<int>(boxes.size()));
            for (QMessageBox* box : boxes) {
                texts << box->text();
                icons << box->icon();
                box->accept();
            }
        });
        watch.start(20);
        ShowMessage(nullptr, "Out of Range");
        watch.stop();
        QVERIFY(laterCallsReturned);
        QCOMPARE(mostAtOnce, 1);
        QCOMPARE(texts,
                 QStringList({"Out of Range", portText, "Device is error!", "Device is error!",
                              "DeviceType is error!", "Unable to Open COM-Port"}));
        using Icon = QMessageBox::Icon;
        QCOMPARE(icons, QList<Icon>({Icon::Warning, Icon::Critical, Icon::Warning, Icon::Warning,
                                     Icon::Warning, Icon::Warning}));
        QVERIFY(VisibleBoxes().isEmpty());
    }

    // The bare port message has the stop icon too; a box whose window went away while it
    // waited is still shown.
    void aWaitingBoxOutlivesItsWindow() {
        auto* parent = new QWidget;
        QTimer::singleShot(0, this, [&] {
            QueueMessage(parent, "Unable to open COM-port");
            delete parent;
        });
        QStringList texts;
        QList<QMessageBox::Icon> icons;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            for (QMessageBox* box : VisibleBoxes()) {
                texts << box->text();
                icons << box->icon();
                box->accept();
            }
        });
        watch.start(20);
        ShowMessage(nullptr, "Out of Range");
        watch.stop();
        QCOMPARE(texts, QStringList({"Out of Range", "Unable to open COM-port"}));
        QCOMPARE(icons.last(), QMessageBox::Critical);
    }
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
