#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "gui/GuiTest.h"
#include "gui/LayoutCheck.h"
#include "gui/OperatorActions.h"
#include "gui/editors/DelayGroup.h"
#include "gui/editors/FaderGroup.h"
#include "gui/editors/InDataDlg.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/NumSpin.h"
#include "gui/widgets/XPStyleButton.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>

#include <memory>
#include <utility>

Q_DECLARE_METATYPE(const Variant*)

namespace {

// A program of a model at 25 C with an input dialog on input index, shown and active.
struct InputDialogHost {
    CAudio_Data program;
    std::unique_ptr<InDataDlg> dialog;

    explicit InputDialogHost(const Variant& variant, int index = 0) {
        program.SetDeviceType(variant.deviceType);
        program.SetTemperature(25);
        dialog = std::make_unique<InDataDlg>(program);
        dialog->SelectChannel(index);
    }
    bool ready() { return ShowActive(dialog.get()); }
    CAudio_InData& input() { return *program.GetInput(dialog->Channel()); }
    template <class T> T* control(int id) { return Control<T>(dialog.get(), id); }
};

} // namespace

class InDataDlgTest : public QObject {
    Q_OBJECT

private slots:
    void delayShowsTheSameStepsInEveryUnit_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QStringList>("shown"); // ms, metres, feet; empty: not compared
        QTest::addColumn<bool>("outOfRange");
        const Variant* big = &Variant::FourByEight();
        const Variant* mid = &Variant::ThreeBySix();
        const Variant* small = &Variant::TwoByFour();
        QTest::newRow("4x8 10 ms")
            << big << 1313 << "10" << 961 << QStringList{"9.9944", "3.4581", "11.3424"} << false;
        QTest::newRow("4x8 1000 ms")
            << big << 1313 << "1000" << 52473 << QStringList{"1000"} << false;
        QTest::newRow("4x8 negative") << big << 1313 << "-3" << 0 << QStringList{"0.0000"} << true;
        QTest::newRow("3x6 5 ms") << mid << 1313 << "5" << 238
                                  << QStringList{"4.998", "1.729", "5.672"} << false;
        QTest::newRow("3x6 10 ms")
            << mid << 1313 << "10" << 476 << QStringList{"10.0", "3.5", "11.3"} << false;
        QTest::newRow("3x6 999 ms")
            << mid << 1313 << "999" << 1465 << QStringList{"999.0"} << false;
        QTest::newRow("2x4 3.5 m")
            << small << 1314 << "3.5" << 476 << QStringList{"10.0", "3.5", "11.3"} << false;
        QTest::newRow("2x4 too far") << small << 1315 << "99999" << 1464 << QStringList{} << true;
    }

    // A delay typed in one unit is stored in steps and shown by all three fields and the fader.
    void delayShowsTheSameStepsInEveryUnit() {
        QFETCH(const Variant*, variant);
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(int, steps);
        QFETCH(QStringList, shown);
        QFETCH(bool, outOfRange);
        MessageRecorder messages;
        InputDialogHost host(*variant);
        host.input().SetDelay(100);
        host.dialog->SelectChannel(0);
        host.input().ClearChanged();
        QVERIFY(host.ready());

        TypeValue(host.control<NumEdit>(field), typed);
        QTRY_COMPARE(host.input().GetDelay(), steps);
        QCOMPARE(host.input().IsParamsChanged(), 1);
        QCOMPARE(messages.texts(), outOfRange ? QStringList{"Out of Range"} : QStringList{});
        const int ids[] = {1313, 1314, 1315};
        for (int unit = 0; unit < shown.size(); ++unit) {
            QCOMPARE(host.control<NumEdit>(ids[unit])->text(), shown[unit]);
        }
        for (const int spin : {1613, 1614, 1615}) {
            QCOMPARE(host.control<NumSpin>(spin)->value(), steps);
        }
        auto* fader = host.control<BitmapSlider>(1317);
        QCOMPARE(fader->position(), fader->maximum() - steps);
    }

    // Spins step the steps of their unit; the fader sets the delay and every field follows.
    void spinsAndFaderMoveTheDelay() {
        InputDialogHost host(Variant::FourByEight(), 2);
        host.input().SetDelay(961);
        host.dialog->SelectChannel(2);
        QVERIFY(host.ready());
        auto* feetSpin = host.control<NumSpin>(1615);
        QTest::mouseClick(feetSpin, Qt::LeftButton, {}, QPoint(feetSpin->width() / 2, 2));
        QCOMPARE(host.input().GetDelay(), 962);
        QCOMPARE(host.control<NumSpin>(1613)->value(), 962);

        auto* fader = host.control<BitmapSlider>(1317);
        QCOMPARE(fader->maximum(), 52473);
        PressFaderAt(fader, 0);
        QCOMPARE(host.input().GetDelay(), 52473);
        QCOMPARE(host.control<NumEdit>(1313)->text(), QString("1000"));
        PressFaderAt(fader, fader->maximum());
        QCOMPARE(host.input().GetDelay(), 0);
        QCOMPARE(host.control<NumEdit>(1315)->text(), QString("0.0000"));
    }

    void thresholdRangeFollowsTheModel_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QString>("top");
        QTest::newRow("4x8") << &Variant::FourByEight() << 130 << "10.0";
        QTest::newRow("3x6") << &Variant::ThreeBySix() << 60 << "-60.0";
        QTest::newRow("2x4") << &Variant::TwoByFour() << 60 << "-60.0";
    }

    // The threshold runs from -120.0 dBu to the model's top on every path: fader, edit, and a
    // typed value beyond either end.
    void thresholdRangeFollowsTheModel() {
        QFETCH(const Variant*, variant);
        QFETCH(int, maximum);
        QFETCH(QString, top);
        MessageRecorder messages;
        InputDialogHost host(*variant);
        QVERIFY(host.ready());
        auto* edit = host.control<NumEdit>(1316);
        auto* fader = host.control<BitmapSlider>(1318);
        QCOMPARE(fader->maximum(), maximum);

        PressFaderAt(fader, 0);
        QCOMPARE(int(host.input().GetGateThreshold()), maximum);
        QCOMPARE(edit->text(), top);
        QCOMPARE(host.input().IsGateChanged(), 1);

        TypeValue(edit, "-120");
        QTRY_COMPARE(int(host.input().GetGateThreshold()), 0);
        QCOMPARE(fader->position(), maximum);
        QVERIFY(messages.texts().isEmpty());

        TypeValue(edit, "15");
        QTRY_COMPARE(int(host.input().GetGateThreshold()), maximum);
        QCOMPARE(edit->text(), top);
        QCOMPARE(fader->position(), 0);
        QCOMPARE(messages.texts(), QStringList{"Out of Range"});
    }

    // "Disble" greys the threshold and stores gate-off 1; "Enable" brings it back with the
    // channel's threshold and stores 0.
    void gateSwitchEnablesTheThreshold() {
        InputDialogHost host(Variant::FourByEight(), 1);
        host.input().SetGateThreshold(90);
        host.dialog->SelectChannel(1);
        QVERIFY(host.ready());
        auto* edit = host.control<NumEdit>(1316);
        auto* fader = host.control<BitmapSlider>(1318);
        auto* gateOff = host.control<QRadioButton>(1319);
        auto* gateOn = host.control<QRadioButton>(1320);
        QCOMPARE(gateOff->accessibleName(), QString("Disble"));
        QCOMPARE(gateOn->accessibleName(), QString("Enable"));
        QVERIFY(gateOn->isChecked());

        QTest::mouseClick(gateOff, Qt::LeftButton);
        QCOMPARE(int(host.input().GetGateOff()), 1);
        QVERIFY(!edit->isEnabled());
        QVERIFY(!fader->isEnabled());

        host.input().SetGateThreshold(100);
        host.input().ClearChanged();
        QTest::mouseClick(gateOn, Qt::LeftButton);
        QCOMPARE(int(host.input().GetGateOff()), 0);
        QCOMPARE(host.input().IsGateChanged(), 1);
        QVERIFY(edit->isEnabled());
        QVERIFY(fader->isEnabled());
        QCOMPARE(edit->text(), QString("-20.0"));
        QCOMPARE(fader->position(), 30);

        // A dialog opened on a channel whose gate is off starts greyed.
        InputDialogHost other(Variant::FourByEight(), 0);
        other.input().SetGateOff(1);
        other.dialog->SelectChannel(0);
        QVERIFY(other.control<QRadioButton>(1319)->isChecked());
        QVERIFY(!other.control<NumEdit>(1316)->isEnabled());
    }

    void layoutOfTheModel_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::newRow("4x8") << &Variant::FourByEight();
        QTest::newRow("3x6") << &Variant::ThreeBySix();
        QTest::newRow("2x4") << &Variant::TwoByFour();
    }

    // Frames, gate switch and channel buttons of each model; nothing visible leaves its
    // parent or overlaps another control; title and place of the window.
    void layoutOfTheModel() {
        QFETCH(const Variant*, variant);
        const bool big = variant->deviceType == 1;
        InputDialogHost host(*variant, variant->inputCount - 1);
        QVERIFY(host.ready());
        InDataDlg* dialog = host.dialog.get();
        QCOMPARE(dialog->windowTitle(), QString("CH %1").arg(QChar('A' + variant->inputCount - 1)));
        QCOMPARE(dialog->size(), QSize(400, 260));
        QCOMPARE(dialog->pos(), QPoint(10, 450));
        for (const int id : {1311, 1312, 1319, 1320}) {
            QCOMPARE(FindControl(dialog, id)->isVisible(), big);
        }
        QCOMPARE(FindControl(dialog, 1810)->isVisible(), !big);
        QCOMPARE(host.control<QGroupBox>(1310)->title(), QString("Delay"));
        QCOMPARE(host.control<QGroupBox>(1137)->title(), QString("Input"));
        QCOMPARE(host.control<QGroupBox>(big ? 1312 : 1810)->title(),
                 big ? QString("Threshold") : QString("Noisegate"));
        QCOMPARE(host.control<QRadioButton>(1321)->accessibleName(), QString("Analog"));
        QCOMPARE(host.control<QRadioButton>(1322)->accessibleName(), QString("Digital"));
        const std::pair<int, QString> labels[] = {
            {1400, "mS"},     {1401, "Meter"},  {1402, "Feet"},   {1108, "Time"},
            {1403, "dBu"},    {1404, "Source"}, {1586, "Disble"}, {1587, "Enable"},
            {1588, "Analog"}, {1589, "Digital"}};
        for (const auto& [id, text] : labels) {
            auto* label = host.control<QLabel>(id);
            QVERIFY2(label != nullptr, qPrintable(text));
            QCOMPARE(label->text(), text);
            // The gate captions are shown with the gate switch only (the larger model).
            const bool shown = big || (id != 1586 && id != 1587);
            QCOMPARE(label->isVisible(), shown);
        }
        // A click on a caption chooses its radio.
        auto* digital = host.control<QRadioButton>(1322);
        QTest::mouseClick(host.control<QLabel>(1589), Qt::LeftButton, {},
                          host.control<QLabel>(1589)->rect().center());
        QTRY_VERIFY(digital->isChecked());
        for (int k = 0; k < 4; ++k) {
            auto* button = host.control<XPStyleButton>(2130 + k);
            QCOMPARE(button->text(), QString("CH %1").arg(QChar('A' + k)));
            QVERIFY(!button->isVisible());
        }
        QCOMPARE(host.control<NumEdit>(1313)->mode(), big ? 0 : 12);
        QCOMPARE(host.control<NumEdit>(1314)->mode(), big ? 1 : 13);
        QCOMPARE(host.control<NumEdit>(1315)->mode(), big ? 2 : 14);
        QCOMPARE(host.control<NumEdit>(1316)->mode(), 10);

        // Nothing visible is cut off or overlaps another control; a picture to look at when
        // asked for.
        if (const QByteArray dir = qgetenv("SONVEX_SHOT_DIR"); !dir.isEmpty()) {
            SaveGrab(dialog, QString::fromLocal8Bit(dir) + "/in-data-" + variant->name + ".png");
        }
        QCOMPARE(LayoutFault(dialog), QString());
    }

    // The source radios write the program's source and hand it on once per click.
    void sourceRadiosWriteTheProgram() {
        InputDialogHost host(Variant::FourByEight());
        QVERIFY(host.ready());
        QSignalSpy chosen(host.dialog.get(), &InDataDlg::sourceChosen);
        QVERIFY(host.control<QRadioButton>(1321)->isChecked());
        QTest::mouseClick(host.control<QRadioButton>(1322), Qt::LeftButton);
        QCOMPARE(host.program.GetInputSource(), 1);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toInt(), 1);
        host.program.SetInputSource(0);
        host.dialog->RefreshSource();
        QVERIFY(host.control<QRadioButton>(1321)->isChecked());
    }

    // The panel opens one dialog per input slot without a graph; a source chosen in one dialog
    // shows on the panel and in every other open input dialog; nothing is queued while the
    // panel is disconnected.
    void panelOpensInputDialogsAndSharesTheSource() {
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        panel.Editors().OpenInputChannel(1);
        panel.Editors().OpenInputChannel(3);
        auto* second = qobject_cast<InDataDlg*>(panel.Editors().At(EditorSlots::InputChannel, 1));
        auto* fourth = qobject_cast<InDataDlg*>(panel.Editors().At(EditorSlots::InputChannel, 3));
        QVERIFY(second != nullptr && fourth != nullptr);
        QCOMPARE(second->windowTitle(), QString("CH B"));
        QVERIFY(second->Graph() == nullptr);
        QVERIFY(second->isVisible());
        panel.Editors().OpenInputChannel(1);
        QCOMPARE(panel.Editors().At(EditorSlots::InputChannel, 1), second);

        QVERIFY(ShowActive(second));
        QTest::mouseClick(Control<QRadioButton>(second, 1322), Qt::LeftButton);
        QCOMPARE(panel.Session().GetDocument().GetProgram().GetInputSource(), 1);
        QVERIFY(Control<QRadioButton>(fourth, 1322)->isChecked());
        QCOMPARE(Control<QLabel>(&panel, 1583)->text(), QString("Digital"));
        QCOMPARE(panel.Session().Link().GetEngine().Count(), 0);

        second->close();
        QTRY_VERIFY(panel.Editors().At(EditorSlots::InputChannel, 1) == nullptr);
    }
};

QTEST_MAIN(InDataDlgTest)
#include "in_data_dlg_test.moc"
