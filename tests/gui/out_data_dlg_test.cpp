#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/scales/LogFrequencyScale.h"
#include "gui/GuiTest.h"
#include "gui/LayoutCheck.h"
#include "gui/OperatorActions.h"
#include "gui/editors/CrossoverGroup.h"
#include "gui/editors/FaderGroup.h"
#include "gui/editors/OutDataDlg.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/ControlColors.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/StateButton.h"
#include "gui/widgets/XPStyleButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>

#include <memory>

Q_DECLARE_METATYPE(const Variant*)

namespace {

// A program of a model at 25 C with an output dialog on output index, shown and active.
struct OutputDialogHost {
    CAudio_Data program;
    std::unique_ptr<OutDataDlg> dialog;

    explicit OutputDialogHost(const Variant& variant, int index = 0) {
        program.SetDeviceType(variant.deviceType);
        program.SetTemperature(25);
        dialog = std::make_unique<OutDataDlg>(program);
        dialog->SelectChannel(index);
    }
    bool ready() { return ShowActive(dialog.get()); }
    CAudio_OutData& output() { return *program.GetOutput(dialog->Channel()); }
    // Shows the channel again after the test changed the model.
    void reload() { dialog->SelectChannel(dialog->Channel()); }
    template <class T> T* control(int id) { return Control<T>(dialog.get(), id); }
    void click(int id) { QTest::mouseClick(Control<QWidget>(dialog.get(), id), Qt::LeftButton); }
};

void AddVariants() {
    QTest::addColumn<const Variant*>("variant");
    QTest::newRow("4x8") << &Variant::FourByEight();
    QTest::newRow("3x6") << &Variant::ThreeBySix();
    QTest::newRow("2x4") << &Variant::TwoByFour();
}

} // namespace

class OutDataDlgTest : public QObject {
    Q_OBJECT

private slots:
    void layoutOfTheModel_data() { AddVariants(); }

    // Source buttons of the model with their colours, family colours, ranges and modes, the
    // controls kept hidden, window size and title; nothing visible is cut off or overlaps.
    void layoutOfTheModel() {
        QFETCH(const Variant*, variant);
        OutputDialogHost host(*variant, 2);
        QVERIFY(host.ready());
        OutDataDlg* dialog = host.dialog.get();
        QCOMPARE(dialog->windowTitle(), QString("Out3"));
        QCOMPARE(dialog->size(), QSize(915, 250));
        QCOMPARE(dialog->pos(), QPoint(10, 450));
        for (int k = 0; k < 4; ++k) {
            auto* source = host.control<StateButton>(2604 + k);
            QCOMPARE(source->isVisible(), k < variant->inputCount);
            QCOMPARE(source->stateColor(1), QColor(0, 148, 65));
            QCOMPARE(source->stateColor(0), QColor(255, 0, 0));
            QCOMPARE(source->textColor(), QColor(Qt::white));
            QCOMPARE(source->caption(), k == 0 ? QString("ON") : QString("OFF"));
            QVERIFY(!host.control<QCheckBox>(2140 + k)->isVisible());
        }
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(host.control<XPStyleButton>(2150 + k)->text(), QString("Out%1").arg(k + 1));
            QVERIFY(!host.control<XPStyleButton>(2150 + k)->isVisible());
        }
        for (const int id : {1333, 1334, 1117, 1118, 1340}) {
            QVERIFY(!host.control<QComboBox>(id)->isVisible());
        }
        const struct {
            int id;
            const char* caption;
            QRgb raised;
            QRgb sunken;
        } families[] = {
            {1086, "BTWorth", ControlColors::HighPassFamily, ControlColors::HighPassFamilySelected},
            {1617, "L__R", ControlColors::HighPassFamily, ControlColors::HighPassFamilySelected},
            {1618, "Bessel", ControlColors::HighPassFamily, ControlColors::HighPassFamilySelected},
            {1622, "BTWorth", ControlColors::LowPassFamily, ControlColors::LowPassFamilySelected},
            {1623, "L__R", ControlColors::LowPassFamily, ControlColors::LowPassFamilySelected},
            {1624, "Bessel", ControlColors::LowPassFamily, ControlColors::LowPassFamilySelected},
        };
        for (const auto& family : families) {
            auto* button = host.control<StateButton>(family.id);
            QCOMPARE(button->text(), QString(family.caption));
            QCOMPARE(button->stateColor(1), QColor(family.raised));
            QCOMPARE(button->stateColor(0), QColor(family.sunken));
            QCOMPARE(button->textColor(), QColor(Qt::black));
        }
        // Default crossover: Butterworth on both filters.
        QCOMPARE(host.control<StateButton>(1086)->state(), 0);
        QCOMPARE(host.control<StateButton>(1617)->state(), 1);
        const bool big = variant->deviceType == 1;
        const struct {
            int id;
            int mode;
            int maximum;
        } fields[] = {{2160, big ? 0 : 12, big ? 52473 : 1465},
                      {2161, big ? 1 : 13, big ? 52473 : 1465},
                      {2162, big ? 2 : 14, big ? 52473 : 1465},
                      {1100, 8, 30000},
                      {1115, 9, 30000},
                      {1616, 17, 3},
                      {1621, 17, 3},
                      {1126, 10, 500},
                      {1127, 5, 106},
                      {1128, 6, 5},
                      {1135, 10, 100},
                      {1628, 18, 7}};
        for (const auto& field : fields) {
            auto* edit = host.control<NumEdit>(field.id);
            QCOMPARE(edit->mode(), field.mode);
            QCOMPARE(edit->maximum(), field.maximum);
        }
        for (const int id : {1616, 1621, 1128, 1628}) {
            QVERIFY(host.control<NumEdit>(id)->isReadOnly());
        }
        QCOMPARE(host.control<BitmapSlider>(1121)->maximum(), 240);

        // Nothing visible is cut off or overlaps another control; a picture to look at when
        // asked for.
        if (const QByteArray dir = qgetenv("SONVEX_SHOT_DIR"); !dir.isEmpty()) {
            SaveGrab(dialog, QString::fromLocal8Bit(dir) + "/out-data-" + variant->name + ".png");
        }
        QCOMPARE(LayoutFault(dialog), QString());
    }

    void lastSourceStaysOnWhereTheModelNeedsOne_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<bool>("keptOn");
        QTest::newRow("4x8") << &Variant::FourByEight() << false;
        QTest::newRow("3x6") << &Variant::ThreeBySix() << true;
        QTest::newRow("2x4") << &Variant::TwoByFour() << true;
    }

    // Sources switch on and off; the only remaining one of a 3x6 or 2x4 output stays on.
    void lastSourceStaysOnWhereTheModelNeedsOne() {
        QFETCH(const Variant*, variant);
        QFETCH(bool, keptOn);
        OutputDialogHost host(*variant);
        QVERIFY(host.ready());
        host.click(2605);
        QCOMPARE(int(host.output().GetSourceMask()), 0b11);
        QCOMPARE(host.control<StateButton>(2605)->caption(), QString("ON"));
        QCOMPARE(host.output().IsParamsChanged(), 1);
        host.click(2604);
        host.output().ClearChanged();
        host.click(2605);
        QCOMPARE(int(host.output().GetSourceMask()), keptOn ? 0b10 : 0);
        auto* last = host.control<StateButton>(2605);
        QCOMPARE(last->state(), keptOn ? 1 : 0);
        QCOMPARE(last->caption(), keptOn ? QString("ON") : QString("OFF"));
        QCOMPARE(host.output().IsParamsChanged(), keptOn ? 0 : 1);
    }

    // The high-pass never passes the low-pass, typed or dragged, and the reverse.
    void crossoverFrequenciesAreBoundedByEachOther() {
        OutputDialogHost host(Variant::FourByEight());
        host.output().GetLowPass()->SetFrequency(12000);
        host.reload();
        QVERIFY(host.ready());
        TypeValue(host.control<NumEdit>(1100), "20000");
        QTRY_COMPARE(host.output().GetHighPass()->GetFrequency(), 12000);
        QCOMPARE(host.control<NumEdit>(1100)->text(), QString("12000"));
        auto* highPassFader = host.control<BitmapSlider>(1121);
        QCOMPARE(highPassFader->position(), FaderPositionOfFrequency(12000, 0, 240));

        host.output().GetHighPass()->SetFrequency(1000);
        host.reload();
        auto* lowPassFader = host.control<BitmapSlider>(1122);
        PressFaderAt(lowPassFader, 200); // about 40 Hz
        QCOMPARE(host.output().GetLowPass()->GetFrequency(), 1000);
        QCOMPARE(host.control<NumEdit>(1115)->text(), QString("1000"));
        QCOMPARE(lowPassFader->position(), FaderPositionOfFrequency(1000, 0, 240));
        TypeValue(host.control<NumEdit>(1115), "500");
        QTRY_COMPARE(host.control<NumEdit>(1115)->text(), QString("1000"));
        QCOMPARE(host.output().GetLowPass()->GetFrequency(), 1000);
        QCOMPARE(host.output().GetLowPass()->IsChanged(), 1);
    }

    // 1000 Hz typed puts the fader at 102; the fader at 102 reads 998 Hz.
    void frequencyFaderIsLogarithmic() {
        OutputDialogHost host(Variant::TwoByFour());
        QVERIFY(host.ready());
        auto* fader = host.control<BitmapSlider>(1121);
        TypeValue(host.control<NumEdit>(1100), "1000");
        QTRY_COMPARE(fader->position(), 102);
        // A navigation key reports the position the fader shows.
        QTest::keyClick(fader, Qt::Key_Up);
        QCOMPARE(host.output().GetHighPass()->GetFrequency(), 998);
        QCOMPARE(host.control<NumEdit>(1100)->text(), QString("998"));
        QCOMPARE(fader->position(), 102);
        TypeValue(host.control<NumEdit>(1100), "30000");
        QTRY_COMPARE(fader->position(), 1);
        // The fader stays where it is put, so its release stores nothing else.
        PressFaderAt(fader, 240);
        QCOMPARE(host.output().GetHighPass()->GetFrequency(), 10);
        PressFaderAt(fader, 0);
        QCOMPARE(host.output().GetHighPass()->GetFrequency(), 30000);
        QCOMPARE(fader->position(), 0);
    }

    // Slope fader and family buttons change the filter; the selected family's button stays
    // selected when clicked again.
    void slopeAndFamily() {
        OutputDialogHost host(Variant::ThreeBySix());
        QVERIFY(host.ready());
        CFilter& lowPass = *host.output().GetLowPass();
        PressFaderAt(host.control<BitmapSlider>(1625), 0);
        QCOMPARE(lowPass.GetSlope(), 3);
        QCOMPARE(host.control<NumEdit>(1621)->text(), QString("48"));

        host.click(1624); // "Bessel"
        QCOMPARE(lowPass.GetCrossoverType(), int(CFilter::Bessel));
        QCOMPARE(host.control<StateButton>(1624)->state(), 0);
        QCOMPARE(host.control<StateButton>(1622)->state(), 1);
        QCOMPARE(host.control<StateButton>(1623)->state(), 1);
        host.output().ClearChanged();
        host.click(1624);
        QCOMPARE(lowPass.GetCrossoverType(), int(CFilter::Bessel));
        QCOMPARE(host.control<StateButton>(1624)->state(), 0);
        QCOMPARE(lowPass.IsChanged(), 0);
        QCOMPARE(host.output().GetHighPass()->GetCrossoverType(), int(CFilter::Butterworth));

        // The hidden lists choose like the buttons and the fader.
        emit host.control<QComboBox>(1334)->activated(int(CFilter::LinkwitzRiley));
        QCOMPARE(lowPass.GetCrossoverType(), int(CFilter::LinkwitzRiley));
        QCOMPARE(host.control<StateButton>(1623)->state(), 0);
        QCOMPARE(host.control<StateButton>(1624)->state(), 1);
        emit host.control<QComboBox>(1118)->activated(1);
        QCOMPARE(lowPass.GetSlope(), 1);
        QCOMPARE(host.control<NumEdit>(1621)->text(), QString("18"));
        QCOMPARE(host.control<BitmapSlider>(1625)->position(), 2);
    }

    void dynamicsRanges_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("outOfRange");
        QTest::newRow("threshold top") << 1126 << "25" << 500 << "20.0" << true;
        QTest::newRow("threshold bottom") << 1126 << "-30" << 0 << "-30.0" << false;
        QTest::newRow("threshold") << 1126 << "-12.5" << 175 << "-12.5" << false;
        QTest::newRow("clip limit bottom") << 1135 << "1" << 0 << "2.0" << true;
        QTest::newRow("clip limit top") << 1135 << "12" << 100 << "12.0" << false;
        QTest::newRow("attack") << 1127 << "50" << 56 << "50" << false;
        QTest::newRow("attack fraction") << 1127 << "0.6" << 3 << "0.6" << false;
    }

    // Threshold -30.0 .. 20.0 dBu, clip limit 2.0 .. 12.0, attack in ms: stored and shown on
    // the fader.
    void dynamicsRanges() {
        QFETCH(int, id);
        QFETCH(QString, typed);
        QFETCH(int, value);
        QFETCH(QString, shown);
        QFETCH(bool, outOfRange);
        MessageRecorder messages;
        OutputDialogHost host(Variant::FourByEight());
        QVERIFY(host.ready());
        host.click(1339); // "Compressor": the clip limit is enabled
        auto* edit = host.control<NumEdit>(id);
        TypeValue(edit, typed);
        QTRY_COMPARE(edit->text(), shown);
        CAudio_OutData& output = host.output();
        const int stored = id == 1126   ? output.GetLimitThreshold()
                           : id == 1135 ? output.GetClipLimit()
                                        : int(output.GetAttack());
        QCOMPARE(stored, value);
        auto* fader = Control<BitmapSlider>(edit->parentWidget(), id == 1126   ? 1129
                                                                  : id == 1135 ? 1138
                                                                               : 1130);
        QCOMPARE(fader->position(), fader->maximum() - value);
        QCOMPARE(output.IsDynamicsChanged(), 1);
        QCOMPARE(messages.texts(), outOfRange ? QStringList{"Out of Range"} : QStringList{});
    }

    // The release shows its multiple and the time it gives with the attack shown.
    void releaseText() {
        OutputDialogHost host(Variant::FourByEight());
        host.output().SetAttack(22);
        host.output().SetRelease(1);
        host.reload();
        QVERIFY(host.ready());
        auto* release = host.control<NumEdit>(1128);
        QCOMPARE(release->text(), QString("4X (64ms)"));
        PressFaderAt(host.control<BitmapSlider>(1131), 0);
        QCOMPARE(int(host.output().GetRelease()), 5);
        QCOMPARE(release->text(), QString("32X (512ms)"));
        PressFaderAt(host.control<BitmapSlider>(1130), 0);
        QCOMPARE(release->text(), QString("32X (3200ms)"));
        // The longest text fits the field.
        QVERIFY(release->fontMetrics().horizontalAdvance(release->text()) < release->width() - 6);
        PressFaderAt(host.control<BitmapSlider>(1130), 106);
        QCOMPARE(int(host.output().GetAttack()), 0);
        QCOMPARE(release->text(), QString("32X (9.6ms)"));
        host.click(1339); // "Compressor": the ratio is enabled
        PressFaderAt(host.control<BitmapSlider>(1629), 0);
        QCOMPARE(host.output().GetRatio(), 7);
        QCOMPARE(host.control<NumEdit>(1628)->text(), QString("1:maximum"));
        QCOMPARE(host.control<QComboBox>(1340)->currentText(), QString("1:maxmum"));
        emit host.control<QComboBox>(1340)->activated(2);
        QCOMPARE(host.output().GetRatio(), 2);
        QCOMPARE(host.control<NumEdit>(1628)->text(), QString("1:4"));
    }

    // Clip limit, ratio and timing work only for the compressor; automatic timing shows the
    // attack of the high-pass and "16X" and greys attack and release; "Limit" ends it.
    void modeAndTiming() {
        OutputDialogHost host(Variant::FourByEight());
        host.output().SetAttack(22);
        host.output().SetRelease(1);
        host.output().GetHighPass()->SetFrequency(100);
        host.reload();
        QVERIFY(host.ready());
        CAudio_OutData& output = host.output();
        QVERIFY(host.control<QRadioButton>(1338)->isChecked());
        for (const int id : {1135, 1138, 1628, 1629, 1341, 1342}) {
            QVERIFY2(!FindControl(host.dialog.get(), id)->isEnabled(),
                     qPrintable(QString::number(id)));
        }
        host.click(1339);
        QCOMPARE(output.GetCompressorMode(), 1);
        for (const int id : {1135, 1138, 1628, 1629, 1341, 1342}) {
            QVERIFY2(FindControl(host.dialog.get(), id)->isEnabled(),
                     qPrintable(QString::number(id)));
        }

        host.click(1342); // "Auto"
        QCOMPARE(output.GetAutoTiming(), 1);
        QCOMPARE(host.control<NumEdit>(1127)->value(), 14);
        QCOMPARE(host.control<NumEdit>(1127)->text(), QString("8"));
        QCOMPARE(host.control<BitmapSlider>(1130)->position(), 106 - 14);
        QCOMPARE(host.control<NumEdit>(1128)->text(), QString("16X (128ms)"));
        for (const int id : {1127, 1128, 1130, 1131}) {
            QVERIFY(!FindControl(host.dialog.get(), id)->isEnabled());
        }
        QCOMPARE(int(output.GetAttack()), 22);
        QCOMPARE(int(output.GetRelease()), 1);

        // The automatic attack follows the high-pass.
        TypeValue(host.control<NumEdit>(1100), "40");
        QTRY_COMPARE(host.control<NumEdit>(1127)->value(), 22);
        QCOMPARE(host.control<NumEdit>(1128)->text(), QString("16X (256ms)"));

        host.click(1338); // "Limit"
        QCOMPARE(output.GetCompressorMode(), 0);
        QCOMPARE(output.GetAutoTiming(), 0);
        QVERIFY(host.control<QRadioButton>(1341)->isChecked());
        QVERIFY(host.control<NumEdit>(1127)->isEnabled());
        QCOMPARE(host.control<NumEdit>(1128)->text(), QString("4X (64ms)"));
        QVERIFY(!host.control<NumEdit>(1135)->isEnabled());

        // A limiter stored with automatic timing is shown as manual, but showing it changes
        // nothing; it is stored as manual once its dynamics are edited.
        output.SetAutoTiming(1);
        output.SetDynamicsChanged(0);
        host.reload();
        QCOMPARE(output.GetAutoTiming(), 1);
        QCOMPARE(output.IsDynamicsChanged(), 0);
        QVERIFY(host.control<QRadioButton>(1341)->isChecked());
        QVERIFY(host.control<NumEdit>(1127)->isEnabled());
        QCOMPARE(host.control<NumEdit>(1128)->text(), QString("4X (64ms)"));
        host.click(1339); // "Compressor"
        QCOMPARE(output.GetCompressorMode(), 1);
        QCOMPARE(output.GetAutoTiming(), 0);
        QVERIFY(host.control<QRadioButton>(1341)->isChecked());
    }

    // In the panel the dialog drives the graph in the crossover mode; a drag of "H" comes back
    // into its high-pass field and fader; closing it returns the graph to the overview.
    void graphDragRefreshesTheDialog() {
        PanelSession session(Variant::FourByEight());
        PanelView panel(session);
        panel.resize(panel.minimumSize());
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        CAudio_OutData& output = *panel.Session().GetDocument().GetProgram().GetOutput(1);
        output.GetHighPass()->SetFrequency(100);
        panel.Editors().OpenOutputChannel(1);
        auto* dialog = qobject_cast<OutDataDlg*>(panel.Editors().At(EditorSlots::OutputChannel, 1));
        QVERIFY(dialog != nullptr);
        CFStatic* graph = panel.Graph();
        QCOMPARE(graph->GetMode(), int(CFStatic::OutputCrossover));
        QCOMPARE(graph->GetSelectedOutput(), 1);
        QCOMPARE(dialog->Graph(), graph);

        const CRect handle = output.GetHighPass()->GetBandHandle();
        const QPoint from((handle.left + handle.right) / 2, (handle.top + handle.bottom) / 2);
        const QPoint to = from + QPoint(120, 0);
        QTest::mouseMove(graph, from);
        QTest::mousePress(graph, Qt::LeftButton, {}, from);
        for (int i = 1; i <= 6; ++i) {
            QTest::mouseMove(graph, from + (to - from) * i / 6);
        }
        QTest::mouseRelease(graph, Qt::LeftButton, {}, to);
        const int dragged = output.GetHighPass()->GetFrequency();
        QVERIFY(dragged > 100);
        QTRY_COMPARE(dialog->HighPass()->FrequencyEdit()->value(), dragged);
        QCOMPARE(dialog->HighPass()->FrequencyFader()->position(),
                 FaderPositionOfFrequency(dragged, 0, 240));

        dialog->close();
        QCOMPARE(graph->GetMode(), int(CFStatic::Overview));
        QTRY_VERIFY(panel.Editors().At(EditorSlots::OutputChannel, 1) == nullptr);
    }
};

QTEST_MAIN(OutDataDlgTest)
#include "out_data_dlg_test.moc"
