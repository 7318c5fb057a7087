#include "gui/GuiTest.h"
#include "gui/WheelTurn.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/NumSpin.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QSignalSpy>

// A spin with its buddy field, 0..1000 in whole steps.
struct SpinHost {
    QWidget window;
    NumEdit* edit = new NumEdit(&window);
    NumSpin* spin = new NumSpin(&window);
    QSignalSpy committed{spin, &NumSpin::committed};

    SpinHost() {
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(spin);
        spin->resize(16, 22);
        edit->setMode(DisplayMode::Linear);
        edit->setStep(1.0);
        spin->setBuddy(edit);
        spin->setRange(0, 1000);
        spin->setValue(500);
        window.show();
    }
    bool ready() { return ShowActive(&window); }
    QPoint upArrow() const { return {spin->width() / 2, spin->height() / 4}; }
    QPoint downArrow() const { return {spin->width() / 2, spin->height() * 3 / 4}; }
};

class NumSpinTest : public QObject {
    Q_OBJECT

private slots:
    void aClickStepsAndNotifiesOnce() {
        SpinHost host;
        QVERIFY(host.ready());
        QCOMPARE(host.edit->text(), QString("500.0"));
        QTest::mouseClick(host.spin, Qt::LeftButton, {}, host.upArrow());
        QCOMPARE(host.committed.count(), 1);
        QCOMPARE(host.spin->value(), 501);
        QCOMPARE(host.edit->text(), QString("501.0"));
        QTest::mouseClick(host.spin, Qt::LeftButton, {}, host.downArrow());
        QTest::mouseClick(host.spin, Qt::LeftButton, {}, host.downArrow());
        QCOMPARE(host.committed.count(), 3);
        QCOMPARE(host.spin->value(), 499);
    }

    void aClickAtTheEndOfTheRangeChangesNothing() {
        SpinHost host;
        QVERIFY(host.ready());
        host.spin->setValue(1000);
        QTest::mouseClick(host.spin, Qt::LeftButton, {}, host.upArrow());
        QCOMPARE(host.spin->value(), 1000);
        QCOMPARE(host.committed.count(), 0);
    }

    void heldButtonNotifiesAtMostEvery400Ms() {
        SpinHost host;
        QVERIFY(host.ready());
        QList<int> whileHeld;    // values the owner saw while the button was held
        QList<int> afterRelease; // and at the release
        connect(host.spin, &NumSpin::committed, host.spin,
                [&] { (host.spin->isHeld() ? whileHeld : afterRelease) << host.spin->value(); });
        QElapsedTimer held;
        QTest::mousePress(host.spin, Qt::LeftButton, {}, host.upArrow());
        held.start();
        QCOMPARE(host.spin->value(), 501);   // the press steps at once ...
        QCOMPARE(host.committed.count(), 0); // ... but tells nobody while held
        QTRY_VERIFY_WITH_TIMEOUT(whileHeld.size() >= 2, 5000);
        QTest::mouseRelease(host.spin, Qt::LeftButton, {}, host.upArrow());
        const qint64 heldMs = held.elapsed();
        const int final = host.spin->value();

        // While held the owner hears only from the 400 ms period, though the value moved
        // more often.
        QVERIFY2(
            whileHeld.size() <= heldMs / 400,
            qPrintable(QString("%1 notifications in %2 ms").arg(whileHeld.size()).arg(heldMs)));
        QVERIFY2(final - 500 > whileHeld.size(), "auto-repeat stepped no more than it notified");
        // The release tells the owner once more exactly when the value moved since.
        const bool movedSince = whileHeld.last() != final;
        QCOMPARE(afterRelease.size(), movedSince ? 1 : 0);
        if (movedSince) {
            QCOMPARE(afterRelease.first(), final);
        }
        QCOMPARE(host.edit->text(), QString::number(final) + ".0");
        QVERIFY(!host.spin->isHeld());
        // Nothing more arrives after the release.
        QVERIFY(!host.committed.wait(600));
    }

    void stepsStartFromTextTypedIntoTheBuddy() {
        SpinHost host;
        QVERIFY(host.ready());
        host.edit->setFocus();
        host.edit->selectAll();
        QTest::keyClicks(host.edit, "12");
        QTest::mouseClick(host.spin, Qt::LeftButton, {}, host.upArrow());
        QCOMPARE(host.spin->value(), 13);
        QCOMPARE(host.edit->text(), QString("13.0"));
        QCOMPARE(host.committed.count(), 1);
    }

    void arrowKeysStepAndNotifyEachTime() {
        SpinHost host;
        QVERIFY(host.ready());
        host.spin->setFocus();
        QTest::keyClick(host.spin, Qt::Key_Up);
        QTest::keyClick(host.spin, Qt::Key_Up);
        QTest::keyClick(host.spin, Qt::Key_Down);
        QCOMPARE(host.spin->value(), 501);
        QCOMPARE(host.committed.count(), 3);
        QVERIFY(SaveGrab(&host.window, QStringLiteral("num_spin.png"), 4));
    }

    // A wheel notch is an arrow key: one step, shown in the buddy, reported at once.
    void wheelStepsOncePerNotch() {
        SpinHost host;
        QVERIFY(host.ready());
        QVERIFY(TurnWheel(host.spin, 120));
        QCOMPARE(host.spin->value(), 501);
        QCOMPARE(host.edit->value(), 501);
        QCOMPARE(host.committed.count(), 1);
        TurnWheel(host.spin, 100);
        QCOMPARE(host.committed.count(), 1);
        TurnWheel(host.spin, -460); // 100 - 460 = -360: three down
        QCOMPARE(host.spin->value(), 498);
        QCOMPARE(host.committed.count(), 4);
    }

    void aValueOutsideTheRangeIsReportedAndRefused() {
        MessageRecorder messages;
        SpinHost host;
        host.spin->setValue(1001);
        host.spin->setValue(-1);
        QCOMPARE(messages.texts(),
                 QStringList({QString::fromUtf8("Pos设定错误"), QString::fromUtf8("Pos设定错误")}));
        QCOMPARE(host.spin->value(), 500);
        QCOMPARE(host.edit->text(), QString("500.0"));
        QCOMPARE(host.committed.count(), 0);
        // The buddy got the spin's range.
        QCOMPARE(host.edit->maximum(), 1000);
    }
};

QTEST_MAIN(NumSpinTest)
#include "num_spin_test.moc"
