#include "gui/GuiTest.h"
#include "gui/WheelTurn.h"
#include "gui/widgets/CharEdit.h"
#include "gui/widgets/ControlColors.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>

namespace M = DisplayMode;

// A window with the field under test and a second field that takes the focus away.
struct EditHost {
    QWidget window;
    NumEdit* edit = new NumEdit(&window);
    QLineEdit* other = new QLineEdit(&window);
    QSignalSpy committed{edit, &NumEdit::committed};

    EditHost() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        window.show();
    }
    bool ready() { return ShowActive(&window); }
    void configure(int mode, int minimum, int maximum, double step, double offset, int temp) {
        edit->setRange(minimum, maximum);
        edit->setStep(step);
        edit->setOffset(offset);
        edit->setTemperature(temp);
        edit->setMode(mode);
    }
    // Replaces the text as the operator would.
    void type(const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    void leave() { other->setFocus(); }
};

class NumEditTest : public QObject {
    Q_OBJECT

private slots:
    void typedTextIsCommittedOnFocusLoss_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<double>("step");
        QTest::addColumn<double>("offset");
        QTest::addColumn<int>("initial");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("reports");
        QTest::addColumn<int>("commits");

        QTest::newRow("input gain")
            << M::Linear << 0 << 460 << 0.1 << 40.0 << 400 << "-6.5" << 335 << "-6.5" << 0 << 1;
        QTest::newRow("gain shown value")
            << M::Linear << 0 << 460 << 0.1 << 40.0 << 400 << "-39.7" << 3 << "-39.7" << 0 << 1;
        QTest::newRow("eq gain above range")
            << M::Linear << 0 << 450 << 0.1 << 30.0 << 300 << "15.1" << 450 << "15.0" << 1 << 1;
        QTest::newRow("eq gain lowest")
            << M::Linear << 0 << 450 << 0.1 << 30.0 << 300 << "-30" << 0 << "-30.0" << 0 << 1;
        QTest::newRow("delay 4x8") << M::DelayMs << 0 << 52473 << 0.0 << 0.0 << 0 << "100.0274"
                                   << 9617 << "100.0274" << 0 << 1;
        QTest::newRow("delay 4x8 negative")
            << M::DelayMs << 0 << 52473 << 0.0 << 0.0 << 50 << "-3" << 0 << "0.0000" << 1 << 1;
        QTest::newRow("delay compact") << M::DelayMsCompact << 0 << 1465 << 0.0 << 0.0 << 0
                                       << "9.996" << 476 << "10.0" << 0 << 1;
        QTest::newRow("metres above limit") << M::DelayMeters << 0 << 52473 << 0.0 << 0.0 << 0
                                            << "400" << 52473 << "346.0012" << 1 << 1;
        QTest::newRow("attack 0.6")
            << M::Attack << 0 << 106 << 0.0 << 0.0 << 20 << "0.6" << 3 << "0.6" << 0 << 1;
        QTest::newRow("attack 0.95 keeps")
            << M::Attack << 0 << 106 << 0.0 << 0.0 << 20 << "0.95" << 20 << "14" << 0 << 1;
        QTest::newRow("attack 50")
            << M::Attack << 0 << 106 << 0.0 << 0.0 << 20 << "50" << 56 << "50" << 0 << 1;
        QTest::newRow("frequency OFF") << M::EqFrequency << 10 << 30000 << 0.0 << 0.0 << 1000
                                       << "OFF" << 1000 << "1000" << 0 << 1;
        QTest::newRow("frequency too high") << M::HighPassFrequency << 10 << 30000 << 0.0 << 0.0
                                            << 1000 << "40000" << 30000 << "30000" << 1 << 1;
        QTest::newRow("q 1.0") << M::QFine << 0 << 295 << 0.0 << 0.0 << 95 << "1.0" << 134
                               << "0.999" << 0 << 1;
        QTest::newRow("no number")
            << M::Linear << 0 << 460 << 0.1 << 40.0 << 400 << "abc" << 400 << "0.0" << 0 << 0;
        QTest::newRow("slope is not typed")
            << M::CrossoverSlope << 0 << 3 << 0.0 << 0.0 << 2 << "48" << 2 << "48" << 0 << 0;
    }

    void typedTextIsCommittedOnFocusLoss() {
        QFETCH(int, mode);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(double, step);
        QFETCH(double, offset);
        QFETCH(int, initial);
        QFETCH(QString, typed);
        QFETCH(int, value);
        QFETCH(QString, shown);
        QFETCH(int, reports);
        QFETCH(int, commits);

        MessageRecorder messages;
        EditHost host;
        QVERIFY(host.ready());
        host.configure(mode, minimum, maximum, step, offset, 25);
        host.edit->setValue(initial);
        host.type(typed);
        QCOMPARE(host.committed.count(), 0); // nothing before the focus leaves
        host.leave();
        QCOMPARE(host.committed.count(), commits);
        QCOMPARE(host.edit->text(), shown);
        QCOMPARE(messages.texts().count(), reports);
        if (reports > 0) {
            QCOMPARE(messages.texts().first(), QString("Out of Range"));
        }
        QCOMPARE(host.edit->value(), value);
        QCOMPARE(host.committed.count(), commits); // reading the value tells nobody
    }

    void leavingWithoutTypingCommitsNothing() {
        MessageRecorder messages;
        EditHost host;
        QVERIFY(host.ready());
        host.configure(M::Linear, 0, 460, 0.1, 40.0, 0);
        host.edit->setValue(401);
        host.edit->setFocus();
        host.leave();
        QCOMPARE(host.committed.count(), 0);
        QCOMPARE(host.edit->text(), QString("0.1"));
        QCOMPARE(host.edit->value(), 401);
        QVERIFY(messages.texts().isEmpty());
    }

    // A notch steps the value by one and commits it at once, starting from text typed but not
    // yet committed; the ends of the range stop it; a field the owner writes ignores the wheel.
    void wheelStepsAndCommitsOncePerNotch() {
        MessageRecorder messages;
        EditHost host;
        QVERIFY(host.ready());
        host.configure(M::Linear, 0, 460, 0.1, 40.0, 0);
        host.edit->setValue(401);
        QVERIFY(TurnWheel(host.edit, 120));
        QCOMPARE(host.edit->text(), QString("0.2"));
        QCOMPARE(host.edit->value(), 402);
        QCOMPARE(host.committed.count(), 1);
        host.type("1.0");
        TurnWheel(host.edit, -240);
        QCOMPARE(host.edit->value(), 408);
        QCOMPARE(host.edit->text(), QString("0.8"));
        QCOMPARE(host.committed.count(), 3);
        host.leave();
        QCOMPARE(host.committed.count(), 3); // the wheel has committed it already
        host.edit->setValue(460);
        TurnWheel(host.edit, 120);
        QCOMPARE(host.edit->value(), 460);
        QCOMPARE(host.committed.count(), 3);
        QVERIFY(messages.texts().isEmpty());

        host.configure(M::OwnerText, 0, 10, 1.0, 0.0, 0);
        host.edit->setValue(5);
        QVERIFY(!TurnWheel(host.edit, 120));
        QCOMPARE(host.edit->value(), 5);
        QCOMPARE(host.committed.count(), 3);
    }

    void theChangedMarkFollowsTheMode() {
        MessageRecorder messages;
        // Milliseconds keep the mark: the next focus loss tells the owner again until the
        // owner reads the value.
        EditHost ms;
        QVERIFY(ms.ready());
        ms.configure(M::DelayMs, 0, 52473, 0, 0, 25);
        ms.type("10");
        ms.leave();
        QCOMPARE(ms.committed.count(), 1);
        QVERIFY(ms.edit->isValueModified());
        ms.edit->setFocus();
        ms.leave();
        QCOMPARE(ms.committed.count(), 2);
        QCOMPARE(ms.edit->value(), 961);
        QVERIFY(!ms.edit->isValueModified());
        ms.edit->setFocus();
        ms.leave();
        QCOMPARE(ms.committed.count(), 2);

        // Distances clear it at once.
        EditHost metres;
        QVERIFY(metres.ready());
        metres.configure(M::DelayMeters, 0, 52473, 0, 0, 25);
        metres.type("3.464");
        metres.leave();
        QCOMPARE(metres.committed.count(), 1);
        QVERIFY(!metres.edit->isValueModified());
        metres.edit->setFocus();
        metres.leave();
        QCOMPARE(metres.committed.count(), 1);
        QCOMPARE(metres.edit->value(), 961);
    }

    void valueConvertsTypedTextSilently() {
        MessageRecorder messages;
        EditHost host;
        QVERIFY(host.ready());
        host.configure(M::Linear, 0, 450, 0.1, 30.0, 0);
        host.type("99");
        QCOMPARE(host.edit->value(), 450);
        QCOMPARE(host.edit->text(), QString("15.0"));
        QCOMPARE(host.committed.count(), 0);
        QVERIFY(messages.texts().isEmpty());
    }

    void setValueIgnoresValuesOutsideTheRange() {
        EditHost host;
        QVERIFY(host.ready());
        host.configure(M::Linear, 0, 100, 0.1, -2.0, 0);
        host.edit->setValue(20);
        host.edit->setValue(101);
        host.edit->setValue(-1);
        QCOMPARE(host.edit->value(), 20);
        QCOMPARE(host.edit->text(), QString("4.0"));
        QCOMPARE(host.committed.count(), 0);
    }

    void textIsLimitedToNineCharactersExceptOwnerText() {
        EditHost host;
        QVERIFY(host.ready());
        host.configure(M::Linear, 0, 460, 0.1, 40.0, 0);
        host.type("1234567890");
        QCOMPARE(host.edit->text(), QString("123456789"));
        host.edit->setMode(M::OwnerText);
        host.edit->setText("16X (128ms)");
        host.edit->setValue(4);
        QCOMPARE(host.edit->text(), QString("16X (128ms)"));
    }

    void looksFollowClicksEnterAndFocusLoss() {
        EditHost host;
        QVERIFY(host.ready());
        host.configure(M::Linear, 0, 460, 0.1, 40.0, 0);
        const auto textOf = [&] { return host.edit->palette().color(QPalette::Text); };
        const auto baseOf = [&] { return host.edit->palette().color(QPalette::Base); };
        QCOMPARE(textOf(), QColor::fromRgb(ControlColors::EditIdleText));
        QCOMPARE(baseOf().alpha(), 0); // the parent's background shows through

        QTest::mouseClick(host.edit, Qt::LeftButton);
        QVERIFY(host.edit->isEditingLook());
        QCOMPARE(textOf(), QColor(255, 83, 83));
        QCOMPARE(baseOf(), QColor(Qt::white));

        host.leave();
        QVERIFY(!host.edit->isEditingLook());
        QCOMPARE(textOf(), QColor::fromRgb(ControlColors::EditIdleText));
        QCOMPARE(baseOf(), QColor(48, 54, 68));

        // Enter keeps the focus in the field and shows the editing look.
        host.type("2");
        QVERIFY(!host.edit->isEditingLook());
        QTest::keyClick(host.edit, Qt::Key_Return);
        QVERIFY(host.edit->hasFocus());
        QVERIFY(host.edit->isEditingLook());
        QCOMPARE(host.committed.count(), 0);
        host.leave();
        QCOMPARE(host.committed.count(), 1);
        QCOMPARE(host.edit->text(), QString("2.0"));
        QVERIFY(SaveGrab(&host.window, QStringLiteral("num_edit.png"), 4));
    }

    void nameFieldDropsDoubleByteCharacters() {
        QWidget window;
        auto* name = new CharEdit(&window);
        name->setMaxLength(8);
        QVERIFY(ShowActive(&window));
        name->setFocus();
        // Typed one character at a time, as a keyboard or an input method delivers them.
        for (const QChar c : QString::fromUtf8("名A1字b")) {
            QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        QCOMPARE(name->text(), QString("A1b"));
        name->insert(QString::fromUtf8("é通z"));
        QCOMPARE(name->text(), QString::fromUtf8("A1béz"));
        QTest::keyClicks(name, "LongName");
        QCOMPARE(name->text().size(), 8);
    }
};

QTEST_MAIN(NumEditTest)
#include "num_edit_test.moc"
