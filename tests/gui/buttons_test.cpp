#include "gui/widgets/ControlColors.h"
#include "gui/widgets/StateButton.h"
#include "gui/widgets/StatusLamp.h"
#include "gui/widgets/XPStyleButton.h"
#include "gui/GuiTest.h"

#include <QHBoxLayout>
#include <QSignalSpy>

class ButtonsTest : public QObject {
    Q_OBJECT

private slots:
    void stateButtonTogglesBeforeItsOwnerHearsTheClick() {
        QWidget window;
        auto* button = new StateButton("ON", &window);
        window.show();
        QCOMPARE(button->state(), 1);
        QList<int> seen;
        connect(button, &QPushButton::clicked, button, [&] { seen << button->state(); });
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(seen, QList<int>({0, 1}));

        // The owner may refuse the change by putting the state back.
        connect(button, &QPushButton::clicked, button, [&] { button->setState(1); });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(seen.last(), 0);
        QCOMPARE(button->state(), 1);
    }

    void stateButtonShowsTheColourAndCaptionOfItsState() {
        QWidget window;
        window.resize(140, 40);
        auto* button = new StateButton(&window);
        button->setGeometry(10, 10, 60, 24);
        button->setStateColors(QColor::fromRgb(ControlColors::SourceOn),
                               QColor::fromRgb(ControlColors::SourceOff));
        button->setTextColor(Qt::white);
        button->setStateCaptions("ON", "OFF");
        window.show();
        const auto face = [&] { return button->grab().toImage().pixelColor(5, 12); };
        QCOMPARE(button->caption(), QString("ON"));
        QCOMPARE(face(), QColor(0, 148, 65));
        QVERIFY(SaveGrab(&window, QStringLiteral("state_button_on.png"), 4));
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space); // the keyboard clicks it too
        QCOMPARE(button->state(), 0);
        QCOMPARE(button->caption(), QString("OFF"));
        QCOMPARE(face(), QColor(255, 0, 0));
        QVERIFY(SaveGrab(&window, QStringLiteral("state_button_off.png"), 4));
    }

    void twoColourButtonDimsWhenNotSelected() {
        QWidget window;
        auto* button = new XPStyleButton("Input A", &window);
        button->setGeometry(0, 0, 70, 22);
        button->setColors(QColor(0, 200, 255), Qt::black);
        button->setTextColors(Qt::white);
        window.resize(70, 22);
        window.show();
        const auto top = [&] { return button->grab().toImage().pixelColor(35, 3); };
        QVERIFY(button->isSelected());
        const QColor selected = top();
        QVERIFY(selected.blue() > 200 && selected.red() < 60);
        QVERIFY(SaveGrab(&window, QStringLiteral("xp_button_selected.png"), 4));
        button->setSelected(false);
        const QColor dimmed = top();
        QVERIFY(dimmed.blue() < selected.blue() - 40);
        QVERIFY(SaveGrab(&window, QStringLiteral("xp_button_unselected.png"), 4));
        QSignalSpy clicked(button, &QPushButton::clicked);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QVERIFY(!button->isSelected()); // selection is the owner's
    }

    void lampBlinksWithItsPeriod() {
        QWidget window;
        auto* lamp = new StatusLamp(&window);
        lamp->setGeometry(0, 0, 18, 18);
        window.resize(18, 18);
        window.show();
        QCOMPARE(lamp->blinkPeriod(), 600);
        QCOMPARE(lamp->color(), QColor(255, 0, 0));
        const auto centre = [&] { return lamp->grab().toImage().pixelColor(10, 10); };
        QVERIFY(centre().red() > 200);
        QVERIFY(SaveGrab(&window, QStringLiteral("lamp_lit.png"), 4));
        lamp->setBlinkPeriod(40);
        lamp->setBlinking(true);
        QTRY_VERIFY(!lamp->isLit());
        QVERIFY(centre().red() < 120);
        QVERIFY(SaveGrab(&window, QStringLiteral("lamp_dark.png"), 4));
        QTRY_VERIFY(lamp->isLit());
        lamp->setBlinking(false);
        QVERIFY(lamp->isLit());
        QVERIFY(!lamp->isBlinking());
    }
};

QTEST_MAIN(ButtonsTest)
#include "buttons_test.moc"
