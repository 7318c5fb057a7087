// The input and output EQ editors opened from the panel and driven through their controls: typed
// values, spins, knobs, combos and the On/OFF button; the graph following every edit and the
// editor following drags on the graph; and, against the simulator, a band edit reaching the
// device at the next ticks.
//
// Set SONVEX_SHOT_DIR to a directory to keep a picture of each editor on each model.

#include "common/FastLink.h"
#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/ValueTables.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/GuiTest.h"
#include "gui/editors/EqDlg.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/KbutsliderCtrl.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/NumSpin.h"
#include "gui/widgets/StateButton.h"
#include "gui/widgets/XPStyleButton.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>

#include <cmath>
#include <memory>

Q_DECLARE_METATYPE(const Variant*)

namespace {

constexpr int kWaitMs = 20000;
constexpr int kFastTickMs = 5;

// The ids of the first band's controls, as the two editors number them.
struct BandIds {
    int type, frequencyEdit, frequencySpin, frequencyKnob, bandwidthEdit, bandwidthSpin,
        bandwidthKnob, qEdit, qSpin, unitLabel, slopeCombo, gainEdit, gainSpin, gainKnob, onOff;
};
constexpr BandIds kInputIds{2170, 2180, 2230, 2630, 2190, 2240, 2640, 2360,
                            2380, 2280, 2210, 2200, 2250, 2650, 2620};
constexpr BandIds kOutputIds{1222, 2310, 2320, 2660, 1246, 2330, 2670, 2390,
                             2396, 1240, 1270, 1252, 1258, 2680, 2610};

// The controls of band b of an editor, found by their ids.
struct Band {
    QComboBox* type;
    NumEdit* frequency;
    NumSpin* frequencySpin;
    KbutsliderCtrl* frequencyKnob;
    NumEdit* bandwidth;
    NumSpin* bandwidthSpin;
    KbutsliderCtrl* bandwidthKnob;
    NumEdit* q;
    NumSpin* qSpin;
    QLabel* unit;
    QComboBox* slope;
    NumEdit* gain;
    NumSpin* gainSpin;
    KbutsliderCtrl* gainKnob;
    StateButton* onOff;

    Band(QWidget* editor, bool output, int b) {
        const BandIds& i = output ? kOutputIds : kInputIds;
        type = Control<QComboBox>(editor, i.type + b);
        frequency = Control<NumEdit>(editor, i.frequencyEdit + b);
        frequencySpin = Control<NumSpin>(editor, i.frequencySpin + b);
        frequencyKnob = Control<KbutsliderCtrl>(editor, i.frequencyKnob + b);
        bandwidth = Control<NumEdit>(editor, i.bandwidthEdit + b);
        bandwidthSpin = Control<NumSpin>(editor, i.bandwidthSpin + b);
        bandwidthKnob = Control<KbutsliderCtrl>(editor, i.bandwidthKnob + b);
        q = Control<NumEdit>(editor, i.qEdit + b);
        qSpin = Control<NumSpin>(editor, i.qSpin + b);
        unit = Control<QLabel>(editor, i.unitLabel + b);
        slope = Control<QComboBox>(editor, i.slopeCombo + b);
        gain = Control<NumEdit>(editor, i.gainEdit + b);
        gainSpin = Control<NumSpin>(editor, i.gainSpin + b);
        gainKnob = Control<KbutsliderCtrl>(editor, i.gainKnob + b);
        onOff = Control<StateButton>(editor, i.onOff + b);
    }
    bool Complete() const {
        return type && frequency && frequencySpin && frequencyKnob && bandwidth && bandwidthSpin &&
               bandwidthKnob && q && qSpin && unit && slope && gain && gainSpin && gainKnob &&
               onOff;
    }
};

// Types text into an edit and presses Enter, as the operator does.
void Type(NumEdit* edit, const QString& text) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

QPoint Centre(const CRect& r) {
    const CPoint c = r.CenterPoint();
    return {c.x, c.y};
}

// Presses at from, moves in steps to to and releases there, as a hand would.
void Drag(QWidget* graph, QPoint from, QPoint to, int steps = 8) {
    QTest::mouseMove(graph, from);
    QTest::mousePress(graph, Qt::LeftButton, {}, from);
    for (int i = 1; i <= steps; ++i) {
        QTest::mouseMove(graph, from + (to - from) * i / steps);
    }
    QTest::mouseRelease(graph, Qt::LeftButton, {}, to);
}

void KeepPicture(QWidget* widget, const QString& name) {
    const QByteArray dir = qgetenv("SONVEX_SHOT_DIR");
    if (!dir.isEmpty()) {
        widget->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name +
                            QLatin1String(".png"));
    }
}

// A panel of one model with its EQ editors opened the way the panel's EQ buttons open them.
class Bench {
public:
    explicit Bench(const Variant& variant)
        : session(std::make_unique<PanelSession>(variant)),
          panel(std::make_unique<PanelView>(*session)) {}

    CAudio_Data& Program() { return panel->Session().GetDocument().GetProgram(); }
    CAudio_Channel* Channel(bool output, int channel) {
        if (output) {
            return Program().GetOutput(channel);
        }
        return Program().GetInput(channel);
    }
    CFilter* Filter(bool output, int channel, int band) {
        return Channel(output, channel)->GetFilter(band);
    }
    EqDlg* Open(bool output, int channel) {
        if (output) {
            panel->Editors().OpenOutputEq(channel);
        } else {
            panel->Editors().OpenInputEq(channel);
        }
        return qobject_cast<EqDlg*>(
            panel->Editors().At(output ? EditorSlots::OutputEq : EditorSlots::InputEq, channel));
    }
    CFStatic* Graph() { return panel->Graph(); }

    // The session outlives the panel that shows it.
    std::unique_ptr<PanelSession> session;
    std::unique_ptr<PanelView> panel;
};

} // namespace

class EqDlgTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QCursor::setPos(-1000, -1000); }

    void editorsOfEachModel_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<bool>("output");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("bands");
        QTest::addColumn<int>("bandwidthMaximum");
        QTest::addColumn<int>("channelButtons");
        QTest::newRow("4x8 input D")
            << &Variant::FourByEight() << false << 3 << "EQ>>CH D" << 8 << 295 << 4;
        QTest::newRow("4x8 output 8")
            << &Variant::FourByEight() << true << 7 << "EQ>>OUT8" << 6 << 295 << 8;
        QTest::newRow("3x6 input C")
            << &Variant::ThreeBySix() << false << 2 << "EQ>>CH C" << 8 << 59 << 4;
        QTest::newRow("3x6 output 6")
            << &Variant::ThreeBySix() << true << 5 << "EQ>>OUT6" << 6 << 59 << 8;
        QTest::newRow("2x4 input A")
            << &Variant::TwoByFour() << false << 0 << "EQ>>CH A" << 8 << 59 << 4;
        QTest::newRow("2x4 output 4")
            << &Variant::TwoByFour() << true << 3 << "EQ>>OUT4" << 6 << 59 << 8;
    }

    // Title, bands with every control id, the bandwidth index of the model, hidden channel
    // buttons, the window's place and size, and every control inside its band with room for
    // its widest text.
    void editorsOfEachModel() {
        QFETCH(const Variant*, variant);
        QFETCH(bool, output);
        QFETCH(int, channel);
        QFETCH(QString, title);
        QFETCH(int, bands);
        QFETCH(int, bandwidthMaximum);
        QFETCH(int, channelButtons);
        Bench bench(*variant);
        EqDlg* editor = bench.Open(output, channel);
        QVERIFY(editor != nullptr);
        QVERIFY(editor->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        QCOMPARE(editor->windowTitle(), title);
        QCOMPARE(editor->pos(), QPoint(EditorWindow::kScreenX, EditorWindow::kScreenY));
        QCOMPARE(bench.Graph()->GetMode(), int(output ? CFStatic::OutputEq : CFStatic::InputEq));
        QCOMPARE(output ? bench.Graph()->GetSelectedOutput() : bench.Graph()->GetSelectedInput(),
                 channel);

        for (int b = 0; b < bands; ++b) {
            const Band band(editor, output, b);
            QVERIFY2(band.Complete(), qPrintable(QString("band %1").arg(b + 1)));
            QCOMPARE(band.bandwidth->maximum(), bandwidthMaximum);
            QCOMPARE(band.q->maximum(), bandwidthMaximum);
            QCOMPARE(band.bandwidthKnob->maximum(), bandwidthMaximum);
            QCOMPARE(band.frequencyKnob->maximum(), 240);
            QCOMPARE(band.gainKnob->maximum(), 450);
            QCOMPARE(band.gain->maximum(), 450);
            QCOMPARE(band.frequency->maximum(), 30000);
            QCOMPARE(band.type->count(), 3);
            QCOMPARE(band.type->itemText(1), QString("Lo -- Shf"));
            QCOMPARE(band.slope->itemText(1), QString("12"));
            QCOMPARE(band.unit->text(), QString("Oct"));
            // A new program's bands are flat PEQ bands.
            QCOMPARE(band.onOff->caption(), QString("OFF"));
            QCOMPARE(band.onOff->stateColor(0), QColor(187, 42, 35));
            QCOMPARE(band.onOff->stateColor(1), QColor(0, 141, 12));
            QCOMPARE(band.onOff->textColor(), QColor(Qt::white));
        }
        const BandIds& ids = output ? kOutputIds : kInputIds;
        QVERIFY(FindControl(editor, ids.type + bands) == nullptr);
        QVERIFY(FindControl(editor, ids.onOff + bands) == nullptr);
        const int firstButton = output ? 2300 : 2290;
        for (int k = 0; k < channelButtons; ++k) {
            auto* button = Control<XPStyleButton>(editor, firstButton + k);
            QVERIFY(button != nullptr);
            QVERIFY(button->isHidden());
            QCOMPARE(button->isSelected(), k == channel);
            QCOMPARE(button->text(),
                     output ? QString("Out%1").arg(k + 1) : QString("CH %1").arg(QChar('A' + k)));
        }

        // Eight bands side by side fit on the screen: the 3-in/6-out and 2-in/4-out input
        // editor is 938 x 280, the others are no larger.
        if (!output && variant->deviceType != 1) {
            QCOMPARE(editor->size(), QSize(938, 280));
        }
        QVERIFY(editor->width() <= 938 && editor->height() <= 280);

        // Every control inside its band, the bands apart, and the widest texts readable.
        Band first(editor, output, 0);
        for (NumEdit* edit : {first.frequency, first.q, first.gain}) {
            const int room = edit->contentsRect().width() - 4;
            for (const QString& text : {QString("30000"), QString("28.852"), QString("-30.0")}) {
                QVERIFY2(edit->fontMetrics().horizontalAdvance(text) <= room,
                         qPrintable(edit->objectName() + " " + text));
            }
        }
        QList<QRect> bandRects;
        for (int b = 0; b < bands; ++b) {
            EqBandWidget* band = editor->BandWidget(b);
            const QRect rect(band->mapTo(editor, QPoint(0, 0)), band->size());
            QVERIFY(editor->rect().contains(rect));
            for (const QRect& other : bandRects) {
                QVERIFY(!other.intersects(rect));
            }
            bandRects.append(rect);
            for (QWidget* child : band->findChildren<QWidget*>()) {
                if (!child->isHidden()) {
                    QVERIFY2(band->rect().contains(QRect(child->pos(), child->size())),
                             qPrintable(child->objectName()));
                }
            }
        }
        KeepPicture(editor, QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
    }

    // Shelves: the slope combo and "dB" in place of the bandwidth, Q disabled; a low shelf
    // stops at 20000 Hz whether chosen at a higher frequency or given one.
    void lowShelfStopsAt20000Hz() {
        Bench bench(Variant::FourByEight());
        for (int b = 0; b < 8; ++b) {
            bench.Filter(false, 1, b)->SetFrequency(25000);
        }
        EqDlg* editor = bench.Open(false, 1);
        QVERIFY(ShowActive(editor));
        const struct {
            int band;
            int type;
            int hz;
        } choices[] = {{4, CFilter::HighShelf, 25000},
                       {5, CFilter::LowShelf, 20000},
                       {5, CFilter::Peaking, 20000},
                       {6, CFilter::Peaking, 25000}};
        for (const auto& choice : choices) {
            const Band band(editor, false, choice.band);
            CFilter* filter = bench.Filter(false, 1, choice.band);
            band.type->setCurrentIndex(choice.type);
            QCOMPARE(filter->GetType(), choice.type);
            QCOMPARE(filter->GetFrequency(), choice.hz);
            QCOMPARE(band.frequency->text(), QString::number(choice.hz));
            // The knob shows the frequency within one of its steps.
            QVERIFY(band.frequencyKnob->frequency() <= choice.hz);
            QVERIFY(band.frequencyKnob->frequency() * 1.034 > choice.hz);
            const bool shelf = choice.type != CFilter::Peaking;
            QCOMPARE(band.bandwidth->isHidden(), shelf);
            QCOMPARE(band.bandwidthSpin->isHidden(), shelf);
            QCOMPARE(band.bandwidthKnob->isHidden(), shelf);
            QCOMPARE(band.slope->isHidden(), !shelf);
            QCOMPARE(band.unit->text(), shelf ? QString("dB") : QString("Oct"));
            QCOMPARE(band.q->isEnabled(), !shelf);
            QCOMPARE(band.qSpin->isEnabled(), !shelf);
        }

        // On a low shelf, typed frequencies and the knob stop at 20000 as well.
        const Band band(editor, false, 7);
        CFilter* filter = bench.Filter(false, 1, 7);
        band.type->setCurrentIndex(CFilter::LowShelf);
        QCOMPARE(filter->GetFrequency(), 20000);
        Type(band.frequency, "26000");
        QCOMPARE(filter->GetFrequency(), 20000);
        QCOMPARE(band.frequency->text(), QString("20000"));
        band.frequencyKnob->setFocus();
        QTest::keyClick(band.frequencyKnob, Qt::Key_End);
        QCOMPARE(filter->GetFrequency(), 20000);
        QCOMPARE(band.frequency->text(), QString("20000"));
        QVERIFY(band.frequencyKnob->frequency() <= 20000);
        band.slope->setCurrentIndex(1);
        QCOMPARE(filter->GetSlope(), 1);
        Type(band.gain, "-6.5");
        KeepPicture(editor, QStringLiteral("4x8-input-shelves"));
    }

    void onOffAtZeroGain_data() {
        QTest::addColumn<bool>("output");
        QTest::newRow("input") << false;
        QTest::newRow("output") << true;
    }

    // A band at 0.0 dB cannot be switched on; typing 0.0 switches a band off and any other
    // gain on; switching off shows "0.0" with the knob at 0 dB while the model keeps its gain,
    // and selecting the channel again shows the stored gain on the knob only.
    void onOffAtZeroGain() {
        QFETCH(bool, output);
        Bench bench(Variant::FourByEight());
        EqDlg* editor = bench.Open(output, 2);
        QVERIFY(ShowActive(editor));
        const Band band(editor, output, 1);
        CFilter* filter = bench.Filter(output, 2, 1);
        QCOMPARE(filter->GetGainIndex(), 300);
        QCOMPARE(band.gain->text(), QString("0.0"));

        QTest::mouseClick(band.onOff, Qt::LeftButton);
        QCOMPARE(band.onOff->state(), 0);
        QCOMPARE(band.onOff->caption(), QString("OFF"));
        QCOMPARE(filter->IsFlat(), 1);
        QCOMPARE(filter->IsChanged(), 0);

        Type(band.gain, "6.0");
        QCOMPARE(filter->GetGainIndex(), 360);
        QCOMPARE(filter->IsFlat(), 0);
        QCOMPARE(band.onOff->state(), 1);
        QCOMPARE(band.onOff->caption(), QString("On"));
        QCOMPARE(band.gainKnob->position(), 360);

        Type(band.gain, "0.0");
        QCOMPARE(filter->GetGainIndex(), 300);
        QCOMPARE(filter->IsFlat(), 1);
        QCOMPARE(band.onOff->caption(), QString("OFF"));
        QCOMPARE(band.gainKnob->position(), 300);

        // The knob turns the band on again.
        band.gainKnob->setFocus();
        QTest::keyClick(band.gainKnob, Qt::Key_Up);
        QCOMPARE(filter->GetGainIndex(), 301);
        QCOMPARE(filter->IsFlat(), 0);
        QCOMPARE(band.gain->text(), QString("0.1"));
        QCOMPARE(band.onOff->caption(), QString("On"));

        Type(band.gain, "6.0");
        QTest::mouseClick(band.onOff, Qt::LeftButton);
        QCOMPARE(band.onOff->state(), 0);
        QCOMPARE(band.onOff->caption(), QString("OFF"));
        QCOMPARE(band.gain->text(), QString("0.0"));
        QCOMPARE(band.gainKnob->position(), 300);
        QCOMPARE(filter->IsFlat(), 1);
        QCOMPARE(filter->GetGainIndex(), 360);

        bench.Open(output, 2);
        QCOMPARE(band.gain->text(), QString("0.0"));
        QCOMPARE(band.gainKnob->position(), 360);
        QCOMPARE(band.onOff->caption(), QString("OFF"));

        QTest::mouseClick(band.onOff, Qt::LeftButton);
        QCOMPARE(band.onOff->state(), 1);
        QCOMPARE(band.onOff->caption(), QString("On"));
        QCOMPARE(band.gain->text(), QString("6.0"));
        QCOMPARE(band.gainKnob->position(), 360);
        QCOMPARE(filter->IsFlat(), 0);

        // Switched off, the band takes its stored gain typed again as the order to play.
        QTest::mouseClick(band.onOff, Qt::LeftButton);
        Type(band.gain, "6.0");
        QCOMPARE(filter->IsFlat(), 0);
        QCOMPARE(band.onOff->caption(), QString("On"));
    }

    void qAndOctavesInStep_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<bool>("typeQ");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("octaves");
        QTest::addColumn<QString>("q");
        QTest::addColumn<double>("bandwidth");
        const Variant* fine = &Variant::FourByEight();
        const Variant* coarse = &Variant::ThreeBySix();
        QTest::newRow("4x8 0.05 oct") << fine << false << "0.05" << 0 << "0.05"
                                      << "28.852" << 0.05;
        QTest::newRow("4x8 3 oct") << fine << false << "3" << 295 << "3.00"
                                   << "0.404" << 3.0;
        QTest::newRow("4x8 Q 28.852") << fine << true << "28.852" << 0 << "0.05"
                                      << "28.852" << 0.05;
        QTest::newRow("4x8 Q 1.414") << fine << true << "1.414" << 95 << "1.00"
                                     << "1.414" << 1.0;
        QTest::newRow("3x6 3 oct") << coarse << false << "3" << 59 << "3.00"
                                   << "0.404" << 3.0;
        QTest::newRow("3x6 0.52 oct") << coarse << false << "0.52" << 9 << "0.50"
                                      << "2.871" << 0.5;
        QTest::newRow("3x6 Q 1.414") << coarse << true << "1.414" << 19 << "1.00"
                                     << "1.414" << 1.0;
        QTest::newRow("2x4 Q 0.404") << &Variant::TwoByFour() << true << "0.404" << 59 << "3.00"
                                     << "0.404" << 3.0;
    }

    // Octaves and Q show one index: typing either moves the other and the knob.
    void qAndOctavesInStep() {
        QFETCH(const Variant*, variant);
        QFETCH(bool, typeQ);
        QFETCH(QString, typed);
        QFETCH(int, index);
        QFETCH(QString, octaves);
        QFETCH(QString, q);
        QFETCH(double, bandwidth);
        Bench bench(*variant);
        CFilter* filter = bench.Filter(false, 0, 3);
        // Start from a bandwidth no row asks for.
        filter->SetBandwidth(2.0);
        EqDlg* editor = bench.Open(false, 0);
        QVERIFY(ShowActive(editor));
        const Band band(editor, false, 3);
        Type(typeQ ? band.q : band.bandwidth, typed);
        QCOMPARE(filter->GetBandwidthIndex(), index);
        QVERIFY(std::abs(filter->GetBandwidth() - bandwidth) < 1e-9);
        QCOMPARE(band.bandwidth->text(), octaves);
        QCOMPARE(band.q->text(), q);
        QCOMPARE(band.bandwidthKnob->position(), index);

        // The knob moves both fields.
        band.bandwidthKnob->setFocus();
        QTest::keyClick(band.bandwidthKnob, index == 0 ? Qt::Key_Up : Qt::Key_Down);
        const int moved = index == 0 ? 1 : index - 1;
        QCOMPARE(filter->GetBandwidthIndex(), moved);
        QCOMPARE(band.bandwidth->value(), moved);
        QCOMPARE(band.q->value(), moved);
    }

    void dragOnTheGraphRefreshesTheEditor_data() {
        QTest::addColumn<bool>("output");
        QTest::addColumn<bool>("switchedOff");
        QTest::addColumn<int>("gainKnob");
        QTest::addColumn<QString>("gainText");
        // A band switched off at +6.0 dB: its bandwidth is dragged, the band stays off.
        QTest::newRow("input, switched off") << false << true << 300 << "0.0";
        QTest::newRow("output, switched off") << true << true << 360 << "6.0";
        // A band that plays: its handle is dragged, frequency and gain follow.
        QTest::newRow("input, playing") << false << false << -1 << "";
        QTest::newRow("output, playing") << true << false << -1 << "";
    }

    // A drag on the graph reaches the open editor of the graph's mode and channel, which shows
    // the dragged band again: the input editor shows a band that is switched off at 0.0 dB,
    // the output editor with its stored gain.
    void dragOnTheGraphRefreshesTheEditor() {
        QFETCH(bool, output);
        QFETCH(bool, switchedOff);
        QFETCH(int, gainKnob);
        QFETCH(QString, gainText);
        Bench bench(Variant::FourByEight());
        QVERIFY(ShowActive(bench.panel.get()));
        CFilter* filter = bench.Filter(output, 1, 2);
        filter->SetFrequency(1000);
        filter->SetGainIndex(360);
        filter->SetBandwidthIndex(0); // the bandwidth handles touch the band's
        filter->SetFlat(switchedOff ? 1 : 0);
        EqDlg* editor = bench.Open(output, 1);
        const Band band(editor, output, 2);
        CFStatic* graph = bench.Graph();
        QCOMPARE(graph->GetMode(), int(output ? CFStatic::OutputEq : CFStatic::InputEq));
        QSignalSpy edits(graph, &CFStatic::graphEdit);

        const QPoint handle = Centre(filter->GetBandHandle());
        QTest::mouseMove(graph, handle);
        QCOMPARE(graph->GetCurrentFilter(), filter);
        const CRect plot = graph->GetPlotRect();
        if (switchedOff) {
            const CRect right = filter->GetRightBandwidthHandle();
            const QPoint grip(right.right - 2, right.bottom - 2);
            QTest::mouseMove(graph, grip);
            QCOMPARE(graph->GetCurrentFilter(), filter);
            Drag(graph, grip, {FreqToX(2000, plot.Width()) + plot.left, grip.y()});
            QVERIFY(filter->GetBandwidthIndex() > 50);
            QCOMPARE(filter->IsFlat(), 1);
        } else {
            Drag(graph, handle, {FreqToX(4000, plot.Width()) + plot.left, handle.y() - 40});
            QVERIFY(filter->GetFrequency() > 3000);
            QVERIFY(filter->GetGainIndex() > 360);
        }
        QVERIFY(edits.wait());
        QCOMPARE(edits.last(), (QList<QVariant>{2, graph->GetMode()}));

        QCOMPARE(band.frequency->text(), QString::number(filter->GetFrequency()));
        QVERIFY(band.frequencyKnob->frequency() <= filter->GetFrequency());
        QVERIFY(band.frequencyKnob->frequency() * 1.034 > filter->GetFrequency());
        QCOMPARE(band.bandwidth->value(), filter->GetBandwidthIndex());
        QCOMPARE(band.q->value(), filter->GetBandwidthIndex());
        QCOMPARE(band.bandwidthKnob->position(), filter->GetBandwidthIndex());
        QCOMPARE(band.onOff->caption(), switchedOff ? QString("OFF") : QString("On"));
        QCOMPARE(band.onOff->state(), switchedOff ? 0 : 1);
        if (switchedOff) {
            QCOMPARE(band.gainKnob->position(), gainKnob);
            QCOMPARE(band.gain->text(), gainText);
            QCOMPARE(filter->GetGainIndex(), 360);
        } else {
            QCOMPARE(band.gainKnob->position(), filter->GetGainIndex());
            QCOMPARE(band.gain->value(), filter->GetGainIndex());
            QCOMPARE(band.gain->text(), QString::fromStdString(filter->GetGainText()));
        }
    }

    // Every edit redraws the graph at once: the channel's curve moves.
    void editsRedrawTheGraph() {
        Bench bench(Variant::TwoByFour());
        EqDlg* editor = bench.Open(true, 3);
        QVERIFY(ShowActive(editor));
        const QImage before = bench.Graph()->grab().toImage();
        Type(Band(editor, true, 0).gain, "12.0");
        QCOMPARE(bench.Filter(true, 3, 0)->GetGainIndex(), 420);
        QVERIFY(bench.Graph()->grab().toImage() != before);
    }

    // The editor the operator turns to takes the graph back onto its channel and mode;
    // closing it returns the graph to the overview and empties its slot.
    void activationTakesTheGraphBack() {
        Bench bench(Variant::ThreeBySix());
        EqDlg* input = bench.Open(false, 2);
        EqDlg* output = bench.Open(true, 4);
        CFStatic* graph = bench.Graph();
        QCOMPARE(graph->GetMode(), int(CFStatic::OutputEq));
        QCOMPARE(graph->GetSelectedOutput(), 4);

        QVERIFY(ShowActive(input));
        QTRY_COMPARE(graph->GetMode(), int(CFStatic::InputEq));
        QCOMPARE(graph->GetSelectedInput(), 2);
        QVERIFY(ShowActive(output));
        QTRY_COMPARE(graph->GetMode(), int(CFStatic::OutputEq));
        QCOMPARE(graph->GetSelectedOutput(), 4);

        output->close();
        QCOMPARE(graph->GetMode(), int(CFStatic::Overview));
        QTRY_VERIFY(bench.panel->Editors().At(EditorSlots::OutputEq, 4) == nullptr);
        QVERIFY(bench.panel->Editors().At(EditorSlots::InputEq, 2) == input);
        // Opened again, the slot's editor is reused.
        QCOMPARE(bench.Open(false, 2), input);

        // A connect or a change of device closes every open editor.
        bench.Open(true, 0);
        bench.panel->Editors().CloseAll();
        QTRY_VERIFY(bench.panel->Editors().At(EditorSlots::InputEq, 2) == nullptr);
        QTRY_VERIFY(bench.panel->Editors().At(EditorSlots::OutputEq, 0) == nullptr);
    }

    void bandEditReachesTheDevice_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<bool>("output");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("band");
        QTest::newRow("4x8 input B, gain typed") << &Variant::FourByEight() << false << 1 << 2;
        QTest::newRow("3x6 output 6, bandwidth knob") << &Variant::ThreeBySix() << true << 5 << 0;
    }

    // Against the simulator: one band edit goes out at the next ticks as that band's record,
    // and only once.
    void bandEditReachesTheDevice() {
        QFETCH(const Variant*, variant);
        QFETCH(bool, output);
        QFETCH(int, channel);
        QFETCH(int, band);
        simtest::SimProcess sim({"--fast", "--device", QString("1:%1").arg(variant->deviceType)});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        Bench bench(*variant);
        PanelLink& link = bench.panel->Session().Link();
        simtest::UseFastTick(link, kFastTickMs);
        QSignalSpy arrived(&link, &PanelLink::programReceived);
        QVERIFY(bench.panel->ConnectTo(sim.Link(), 1));
        QTRY_VERIFY_WITH_TIMEOUT(arrived.count() == 1, kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));

        EqDlg* editor = bench.Open(output, channel);
        QVERIFY(ShowActive(editor));
        const Band controls(editor, output, band);
        CFilter* filter = bench.Filter(output, channel, band);
        const std::size_t mark = sim.Frames().size();
        if (output) {
            controls.bandwidthKnob->setFocus();
            const bool atTop = filter->GetBandwidthIndex() == 59;
            QTest::keyClick(controls.bandwidthKnob, atTop ? Qt::Key_Home : Qt::Key_End);
            QCOMPARE(filter->GetBandwidthIndex(), atTop ? 0 : 59);
        } else {
            const bool at12 = filter->GetGainIndex() == 420;
            Type(controls.gain, at12 ? "-12.0" : "12.0");
            QCOMPARE(filter->GetGainIndex(), at12 ? 180 : 420);
        }

        const int group = output ? Protocol::GroupOutput : Protocol::GroupInput;
        const int channelByte = bench.Channel(output, channel)->GetChannelIndex();
        auto bandRecords = [&] {
            QList<QByteArray> payloads;
            for (const simtest::LoggedFrame& frame : sim.Received(mark)) {
                if (frame.Code() == Protocol::WriteRequest && frame.Group() == group &&
                    frame.Channel() == channelByte && frame.Block() == band &&
                    frame.Length() == int(Protocol::BlockLength)) {
                    payloads.append(frame.bytes.mid(int(Protocol::OffsetPayload), 8));
                }
            }
            return payloads;
        };
        QTRY_VERIFY_WITH_TIMEOUT(!bandRecords().isEmpty(), kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));
        const int gainCode = filter->IsFlat() != 0 ? 600 : filter->GetGainIndex() + 300;
        const int bandwidthCode = filter->GetBandwidthIndex() * (variant->deviceType != 1 ? 5 : 1);
        QByteArray expected;
        for (const int word : {filter->GetFrequency(), gainCode, bandwidthCode}) {
            expected.append(char(word & 0xFF));
            expected.append(char(word >> 8));
        }
        expected.append(char(filter->GetSlope()));
        expected.append(char(filter->GetType()));
        QCOMPARE(bandRecords(), QList<QByteArray>{expected});
        QVERIFY(messages.texts().isEmpty());
    }
};

QTEST_MAIN(EqDlgTest)
#include "eq_dlg_test.moc"
