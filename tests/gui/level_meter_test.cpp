#include "gui/widgets/LevelMeter.h"
#include "gui/GuiTest.h"

// A panel meter 8 x 94: segments of (94 - 14) / 8 = 10 pixels with 2-pixel gaps; segment i
// (0 = bottom) spans rows 84 - 12 i .. 93 - 12 i.
class LevelMeterTest : public QObject {
    Q_OBJECT

private slots:
    void levelBytesLightTheirSegments_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("segments"); // bottom to top, 1 = lit
        QTest::newRow("silent") << 0 << "00000000";
        QTest::newRow("7") << 7 << "11111110";
        QTest::newRow("8 as 7") << 8 << "11111110";
        QTest::newRow("12 all") << 12 << "11111111";
        QTest::newRow("16 top only") << 16 << "00000001";
        QTest::newRow("19") << 19 << "11100001";
        QTest::newRow("200 all") << 200 << "11111111";
    }

    void levelBytesLightTheirSegments() {
        QFETCH(int, level);
        QFETCH(QString, segments);
        QWidget window;
        auto* meter = new LevelMeter(&window);
        meter->setGeometry(0, 0, 8, 94);
        window.resize(8, 94);
        window.show();
        meter->setLevel(level);
        const QImage image = meter->grab().toImage();
        const QColor background(76, 85, 118);
        const QColor lit[] = {Qt::green, Qt::green, Qt::green,  Qt::green,
                              Qt::green, Qt::green, Qt::yellow, Qt::red};
        for (int i = 0; i < 8; ++i) {
            const int bottom = 93 - 12 * i;
            const QColor expected = segments.at(i) == '1' ? lit[i] : background;
            QCOMPARE(image.pixelColor(4, bottom - 5), expected);
            QCOMPARE(image.pixelColor(4, bottom), expected);       // lit down to the cell bottom
            QCOMPARE(image.pixelColor(4, bottom - 9), background); // one pixel inside at the top
            QCOMPARE(image.pixelColor(0, bottom - 5), background); // and on the left
            QCOMPARE(image.pixelColor(7, bottom - 5), background); // and on the right
            if (i < 7) {
                QCOMPARE(image.pixelColor(4, bottom - 10), background); // the gap
            }
        }
        if (level == 19) {
            QVERIFY(SaveGrab(&window, QStringLiteral("level_meter_19.png"), 6));
        }
    }
};

QTEST_MAIN(LevelMeterTest)
#include "level_meter_test.moc"
