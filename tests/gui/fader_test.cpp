#include "gui/GuiTest.h"
#include "gui/WheelTurn.h"
#include "gui/widgets/BitmapSlider.h"

#include <QSignalSpy>

// A panel gain fader: vertical, 24 x 160, margins 4 / 0 / 0 / 2, 18 x 11 thumb, 0..460.
// Usable length 160 - 0 - 2 - 11 = 147; the thumb centre runs from y 5 to 152.
struct FaderHost {
    QWidget window;
    BitmapSlider* fader = new BitmapSlider(&window);
    QSignalSpy dragging{fader, &BitmapSlider::faderDragging};
    QSignalSpy changed{fader, &BitmapSlider::faderChanged};

    FaderHost() {
        window.resize(60, 200);
        fader->setVertical(true);
        fader->setMargin(4, 0, 0, 2);
        fader->setRange(0, 460);
        fader->setGeometry(10, 10, 24, 160);
        window.show();
    }
    bool ready() { return ShowActive(&window); }
    QPoint at(int y) const { return {14, y}; }
};

int PositionOf(const QSignalSpy& spy, int i) {
    return spy.at(i).at(0).toInt();
}

class FaderTest : public QObject {
    Q_OBJECT

private slots:
    void positionIsClampedAndDrawnAlongTheTrack() {
        FaderHost host;
        QCOMPARE(host.fader->thumbSize(), QSize(18, 11));
        host.fader->setPosition(0);
        QCOMPARE(host.fader->thumbRect().top(), 0); // position 0 at the top of the track
        host.fader->setPosition(999);
        QCOMPARE(host.fader->position(), 460);
        QCOMPARE(host.fader->thumbCentre(), 5 + 147);
        host.fader->setPosition(-3);
        QCOMPARE(host.fader->position(), 0);
        host.fader->setRange(100, 200);
        QCOMPARE(host.fader->position(), 100);
        QCOMPARE(host.dragging.count() + host.changed.count(), 0);
    }

    void pressOnTheTrackJumpsThenDragsAndReleaseReports() {
        FaderHost host;
        QVERIFY(host.ready());
        host.fader->setPosition(0);
        QTest::mousePress(host.fader, Qt::LeftButton, {}, host.at(78));
        QVERIFY(host.fader->hasFocus());
        QCOMPARE(host.dragging.count(), 1);
        QCOMPARE(host.fader->thumbCentre(), 78);
        const int pressed = host.fader->position();
        QCOMPARE(PositionOf(host.dragging, 0), pressed);
        QVERIFY(qAbs(pressed - 229) <= 2); // the middle of the track
        QCOMPARE(host.changed.count(), 0);

        QTest::mouseMove(host.fader, host.at(152));
        QCOMPARE(host.fader->position(), 460);
        QTest::mouseMove(host.fader, host.at(190)); // beyond the end: stays at the end
        QCOMPARE(host.fader->position(), 460);
        const int drags = static_cast<int>(host.dragging.count());
        QCOMPARE(PositionOf(host.dragging, drags - 1), 460);

        QTest::mouseRelease(host.fader, Qt::LeftButton, {}, host.at(190));
        QCOMPARE(host.changed.count(), 1);
        QCOMPARE(PositionOf(host.changed, 0), 460);
        QVERIFY(!host.fader->isDragging());
    }

    void grabbingTheThumbKeepsItsOffset() {
        FaderHost host;
        QVERIFY(host.ready());
        host.fader->setPosition(230);
        const int centre = host.fader->thumbCentre();
        QTest::mousePress(host.fader, Qt::LeftButton, {}, host.at(centre + 4));
        QCOMPARE(host.dragging.count(), 0); // no jump
        QCOMPARE(host.fader->position(), 230);
        QTest::mouseMove(host.fader, host.at(centre + 4 - 20));
        QCOMPARE(host.fader->thumbCentre(), centre - 20);
        QCOMPARE(host.dragging.count(), 1);
        QVERIFY(host.fader->position() < 230);
        QTest::mouseRelease(host.fader, Qt::LeftButton, {}, host.at(centre + 4 - 20));
        QCOMPARE(host.changed.count(), 1);
        QCOMPARE(PositionOf(host.changed, 0), host.fader->position());
    }

    void releaseCanStayQuiet() {
        FaderHost host;
        QVERIFY(host.ready());
        host.fader->setNotifyOnRelease(false);
        QTest::mouseClick(host.fader, Qt::LeftButton, {}, host.at(100));
        QCOMPARE(host.dragging.count(), 1);
        QCOMPARE(host.changed.count(), 0);
    }

    void navigationKeysReportWithoutMoving() {
        FaderHost host;
        QVERIFY(host.ready());
        host.fader->setPosition(123);
        host.fader->setFocus();
        const Qt::Key keys[] = {Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Left, Qt::Key_Right,
                                Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
        for (Qt::Key key : keys) {
            QTest::keyClick(host.fader, key);
        }
        QCOMPARE(host.changed.count(), 8);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(PositionOf(host.changed, i), 123);
        }
        QCOMPARE(host.fader->position(), 123);
        QTest::keyClick(host.fader, Qt::Key_A);
        QCOMPARE(host.changed.count(), 8);
        QCOMPARE(host.dragging.count(), 0);
    }

    // One notch is one position and one report; parts of a notch add up; up moves the thumb
    // up a vertical fader (towards 0) and right along a horizontal one.
    void wheelStepsOncePerNotch() {
        FaderHost host;
        QVERIFY(host.ready());
        host.fader->setPosition(123);
        QVERIFY(TurnWheel(host.fader, 120));
        QCOMPARE(host.fader->position(), 122);
        QCOMPARE(host.changed.count(), 1);
        QCOMPARE(PositionOf(host.changed, 0), 122);
        TurnWheel(host.fader, 60);
        QCOMPARE(host.changed.count(), 1);
        TurnWheel(host.fader, 60);
        QCOMPARE(host.fader->position(), 121);
        QCOMPARE(host.changed.count(), 2);
        TurnWheel(host.fader, -360);
        QCOMPARE(host.fader->position(), 124);
        QCOMPARE(host.changed.count(), 5);
        QCOMPARE(PositionOf(host.changed, 4), 124);
        host.fader->setPosition(0);
        TurnWheel(host.fader, 120);
        QCOMPARE(host.fader->position(), 0);
        QCOMPARE(host.changed.count(), 5); // nothing to report at the end of the track
        QCOMPARE(host.dragging.count(), 0);

        host.fader->setVertical(false);
        host.fader->setPosition(10);
        TurnWheel(host.fader, 120);
        QCOMPARE(host.fader->position(), 11);
    }

    void horizontalFaderRunsAlongX() {
        QWidget window;
        auto* fader = new BitmapSlider(&window);
        fader->setGeometry(0, 0, 200, 24);
        fader->setRange(0, 3);
        QSignalSpy dragging(fader, &BitmapSlider::faderDragging);
        window.show();
        QCOMPARE(fader->thumbSize(), QSize(11, 18));
        QTest::mouseClick(fader, Qt::LeftButton, {}, QPoint(195, 12));
        QCOMPARE(fader->position(), 3);
        QTest::mouseClick(fader, Qt::LeftButton, {}, QPoint(2, 12));
        QCOMPARE(fader->position(), 0);
        QCOMPARE(dragging.count(), 2);
    }

    void logarithmicFrequency() {
        FaderHost host;
        host.fader->setRange(0, 240);
        host.fader->setFrequency(1000);
        QCOMPARE(host.fader->position(), 102);
        QCOMPARE(host.fader->frequency(), 998);
        host.fader->setPosition(0);
        QCOMPARE(host.fader->frequency(), 30000);
        host.fader->setPosition(240);
        QCOMPARE(host.fader->frequency(), 10);
        host.fader->setFrequency(30000);
        QCOMPARE(host.fader->position(), 1);
    }

    void drawsTrackAndThumb() {
        FaderHost host;
        QVERIFY(host.ready());
        host.window.setStyleSheet("background: rgb(48, 54, 68)");
        host.fader->setPosition(150);
        QVERIFY(SaveGrab(&host.window, QStringLiteral("fader.png"), 4));
        host.fader->setFocus();
        QVERIFY(SaveGrab(&host.window, QStringLiteral("fader_focus.png"), 4));
        // The thumb is drawn where it is reported, and the track is drawn above and below it.
        const QImage image = host.fader->grab().toImage();
        const QRect thumb = host.fader->thumbRect();
        QVERIFY(qGray(image.pixel(thumb.center())) <
                qGray(image.pixel(thumb.center().x(), thumb.top() + 2)));
        QVERIFY(image.pixelColor(14, thumb.top() - 20) != image.pixelColor(1, thumb.top() - 20));
    }
};

QTEST_MAIN(FaderTest)
#include "fader_test.moc"
