#include "gui/GuiTest.h"
#include "gui/WheelTurn.h"
#include "gui/widgets/KbutsliderCtrl.h"

#include <QSignalSpy>

// A 48 x 48 knob, 0..450, centre (24, 24).
struct KnobHost {
    QWidget window;
    KbutsliderCtrl* knob = new KbutsliderCtrl(&window);
    QSignalSpy dragging{knob, &KbutsliderCtrl::knobDragging};
    QSignalSpy keys{knob, &KbutsliderCtrl::knobKey};

    KnobHost() {
        knob->setGeometry(0, 0, 48, 48);
        knob->setRange(0, 450);
        window.resize(48, 48);
        window.show();
    }
    bool ready() { return ShowActive(&window); }
    static constexpr QPoint kTop{24, 9};
    static constexpr QPoint kRight{39, 24};
    static constexpr QPoint kLeft{9, 24};
    static constexpr QPoint kBottom{24, 39};
};

class KnobTest : public QObject {
    Q_OBJECT

private slots:
    void pointerAnglesOfPositions() {
        KnobHost host;
        host.knob->setPosition(225);
        QCOMPARE(host.knob->pointerAngle(), 0.0);
        host.knob->setPosition(0);
        QCOMPARE(host.knob->pointerAngle(), 245.0);
        host.knob->setPosition(450);
        QCOMPARE(host.knob->pointerAngle(), 115.0);
        host.knob->setPosition(451);
        QCOMPARE(host.knob->position(), 450);
    }

    void dragFollowsThePointerUntilTheDeadSector() {
        KnobHost host;
        QVERIFY(host.ready());
        host.knob->setPosition(225);
        QTest::mousePress(host.knob, Qt::LeftButton, {}, KnobHost::kRight);
        QVERIFY(host.knob->isDragging());
        QVERIFY(host.knob->hasFocus());
        QCOMPARE(host.knob->position(), 401); // 90 degrees: 205 of 230
        QCOMPARE(host.dragging.count(), 1);
        QTest::mouseMove(host.knob, KnobHost::kTop);
        QCOMPARE(host.knob->position(), 225);
        QTest::mouseMove(host.knob, KnobHost::kLeft);
        QCOMPARE(host.knob->position(), 49); // 270 degrees: 25 of 230
        QCOMPARE(host.dragging.count(), 3);
        QCOMPARE(host.dragging.last().at(0).toInt(), 49);

        QTest::mouseMove(host.knob, KnobHost::kBottom); // into the dead sector: the drag ends
        QVERIFY(!host.knob->isDragging());
        QTest::mouseMove(host.knob, KnobHost::kRight);
        QTest::mouseRelease(host.knob, Qt::LeftButton, {}, KnobHost::kRight);
        QCOMPARE(host.dragging.count(), 3);
        QCOMPARE(host.knob->position(), 49);
    }

    void pressInTheDeadSectorIsIgnored() {
        KnobHost host;
        QVERIFY(host.ready());
        host.knob->setPosition(100);
        QTest::mousePress(host.knob, Qt::LeftButton, {}, KnobHost::kBottom);
        QVERIFY(!host.knob->isDragging());
        QTest::mouseMove(host.knob, KnobHost::kTop);
        QTest::mouseRelease(host.knob, Qt::LeftButton, {}, KnobHost::kTop);
        QCOMPARE(host.knob->position(), 100);
        QCOMPARE(host.dragging.count(), 0);
    }

    void navigationKeysMoveAndReportTheNewPosition() {
        KnobHost host;
        QVERIFY(host.ready());
        host.knob->setPosition(200);
        host.knob->setFocus();
        struct Step {
            Qt::Key key;
            int position;
        };
        const Step steps[] = {{Qt::Key_Right, 201}, {Qt::Key_Up, 202},       {Qt::Key_Left, 201},
                              {Qt::Key_Down, 200},  {Qt::Key_PageUp, 290},   {Qt::Key_End, 450},
                              {Qt::Key_Up, 450},    {Qt::Key_PageDown, 360}, {Qt::Key_Home, 0}};
        for (const Step& step : steps) {
            QTest::keyClick(host.knob, step.key);
            QCOMPARE(host.knob->position(), step.position);
            QCOMPARE(host.keys.last().at(0).toInt(), step.position);
        }
        QCOMPARE(host.keys.count(), static_cast<qsizetype>(std::size(steps)));
        QCOMPARE(host.dragging.count(), 0);
    }

    // Like an arrow key: one notch turns one position and reports the new one.
    void wheelTurnsOncePerNotch() {
        KnobHost host;
        QVERIFY(host.ready());
        host.knob->setPosition(200);
        QVERIFY(TurnWheel(host.knob, 120));
        QCOMPARE(host.knob->position(), 201);
        QCOMPARE(host.keys.count(), 1);
        QCOMPARE(host.keys.at(0).at(0).toInt(), 201);
        for (int i = 0; i < 3; ++i) {
            TurnWheel(host.knob, -40); // a fine wheel: three events make one notch
        }
        QCOMPARE(host.knob->position(), 200);
        QCOMPARE(host.keys.count(), 2);
        host.knob->setPosition(450);
        TurnWheel(host.knob, 240);
        QCOMPARE(host.knob->position(), 450);
        QCOMPARE(host.keys.count(), 2);
        QCOMPARE(host.dragging.count(), 0);
    }

    void logarithmicFrequency() {
        KnobHost host;
        host.knob->setRange(0, 240);
        host.knob->setFrequency(1000);
        QCOMPARE(host.knob->position(), 138);
        host.knob->setPosition(0);
        QCOMPARE(host.knob->frequency(), 10);
        host.knob->setPosition(240);
        QCOMPARE(host.knob->frequency(), 30000);
    }

    void drawsThePointerAtItsAngle() {
        KnobHost host;
        QVERIFY(host.ready());
        host.window.setStyleSheet("background: rgb(48, 54, 68)");
        host.knob->setPosition(401); // pointing right
        QVERIFY(SaveGrab(&host.window, QStringLiteral("knob.png"), 4));
        const QImage image = host.knob->grab().toImage();
        const auto reddish = [&](QPointF p) {
            const QColor c = image.pixelColor(p.toPoint());
            return c.red() > 180 && c.green() < 140;
        };
        QVERIFY(reddish(host.knob->pointAt(host.knob->pointerAngle(), 12)));
        QVERIFY(!reddish(host.knob->pointAt(0, 12)));
        host.knob->setFocus();
        QVERIFY(SaveGrab(&host.window, QStringLiteral("knob_focus.png"), 4));
    }
};

QTEST_MAIN(KnobTest)
#include "knob_test.moc"
