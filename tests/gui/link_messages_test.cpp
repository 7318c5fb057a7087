// The boxes a panel shows for what its link reports, as the operator sees them: real message
// boxes, watched and closed one at a time.

#include "common/FastLink.h"
#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/model/Variant.h"
#include "gui/GuiTest.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"

#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kWaitMs = 30000;

// Every box that comes up is noted (text and icon) and closed with OK.
struct BoxWatcher {
    QStringList texts;
    QList<QMessageBox::Icon> icons;
    int mostAtOnce = 0;
    QTimer timer;

    BoxWatcher() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QList<QMessageBox*> boxes;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) {
                    boxes << box;
                }
            }
            mostAtOnce = std::max(mostAtOnce, static_cast<int>(boxes.size()));
            for (QMessageBox* box : boxes) {
                texts << box->text();
                icons << box->icon();
                box->accept();
            }
        });
        timer.start(20);
    }
};

} // namespace

class LinkMessagesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // A port that does not open is told with the stop icon.
    void aPortThatDoesNotOpenShowsTheStopIcon() {
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        BoxWatcher boxes;
        QVERIFY(!panel.ConnectTo(QStringLiteral("/nonexistent/sonvex-line"), 1));
        QTRY_COMPARE_WITH_TIMEOUT(boxes.texts.size(), 1, kWaitMs);
        QVERIFY2(boxes.texts[0].startsWith("Unable to open COM-port"), qPrintable(boxes.texts[0]));
        QCOMPARE(boxes.icons[0], QMessageBox::Critical);
    }

    // An identification that differs in five of its first eight characters and a foreign type
    // code: five "Device is error!" boxes, then "DeviceType is error!", one after the other.
    void identificationMismatchesAreToldOneBoxEachInOrder() {
        simtest::SimProcess sim({"--fast", "--send-identification", "--identification", "XY_Q_W2.7",
                                 "--type-code", "Qrst", "--device", "6:1"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        simtest::UseFastTick(panel.Session().Link(), 5);
        BoxWatcher boxes;
        panel.ConnectTo(sim.Link(), 6);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.texts.size(), 6, kWaitMs);
        QCOMPARE(boxes.texts,
                 QStringList({"Device is error!", "Device is error!", "Device is error!",
                              "Device is error!", "Device is error!", "DeviceType is error!"}));
        QCOMPARE(boxes.mostAtOnce, 1);
        QCOMPARE(boxes.icons.count(QMessageBox::Warning), 6);
        QVERIFY(!panel.Session().Link().IsConnected());
    }
};

QTEST_MAIN(LinkMessagesTest)
#include "link_messages_test.moc"
