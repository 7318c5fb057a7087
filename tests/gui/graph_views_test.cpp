// The response graph's views and the sum of a loudspeaker: what each view draws (read back from
// the graph as it drew it), the sum following the edits that move it, measured drivers, and the
// placement of the axis labels and handle captions.
//
// Set SONVEX_SHOT_DIR to a directory to keep a picture of a two-way loudspeaker's sum.

#include "core/curves/ResponseTrace.h"
#include "core/model/AudioData.h"
#include "core/model/ChannelResponse.h"
#include "core/model/LoudspeakerSum.h"
#include "core/model/MeasuredDrivers.h"
#include "gui/editors/DelayGroup.h"
#include "gui/editors/OutDataDlg.h"
#include "gui/graph/GraphLabelAlignment.h"
#include "gui/graph/ResponseGraph.h"

#include "GuiTest.h"
#include "OperatorActions.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

constexpr int kGraphWidth = 903; // the panels' graph
constexpr int kGraphHeight = 252;

using DrawnTrace = GraphRenderer::DrawnTrace;

// A two-way loudspeaker on outputs 1 and 2: a woofer below and a tweeter above 2 kHz, both
// 24 dB Linkwitz-Riley.
void TwoWay(CAudio_Data& program) {
    CAudio_OutData* woofer = program.GetOutput(0);
    woofer->GetLowPass()->SetFrequency(2000);
    woofer->GetLowPass()->SetCrossoverType(CFilter::LinkwitzRiley);
    woofer->GetLowPass()->SetSlope(2);
    CAudio_OutData* tweeter = program.GetOutput(1);
    tweeter->GetHighPass()->SetFrequency(2000);
    tweeter->GetHighPass()->SetCrossoverType(CFilter::LinkwitzRiley);
    tweeter->GetHighPass()->SetSlope(2);
}

// The trace a response gives in view on graph, in control pixels.
Trace Expected(const CFStatic& graph, const ComplexResponse& response, ResponseView view) {
    const CRect plot = graph.GetPlotRect();
    Trace trace = TraceOf(response, view, plot.Width(), plot.Height());
    for (TracePoint& p : trace) {
        p.point = CPoint(p.point.x + plot.left, p.point.y + plot.top);
    }
    return trace;
}

bool SamePoints(const Trace& a, const Trace& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].valid != b[i].valid || (a[i].valid && a[i].point != b[i].point)) {
            return false;
        }
    }
    return true;
}

int Traces(const CFStatic& graph, DrawnTrace::Kind kind) {
    int count = 0;
    for (const DrawnTrace& t : graph.Renderer().GetTraces()) {
        count += t.kind == kind ? 1 : 0;
    }
    return count;
}

bool Overlap(const CRect& a, const CRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Every pair of rects apart; names the first pair that is not.
QString FirstOverlap(const std::vector<CRect>& rects) {
    for (std::size_t i = 0; i < rects.size(); ++i) {
        for (std::size_t j = i + 1; j < rects.size(); ++j) {
            if (Overlap(rects[i], rects[j])) {
                return QStringLiteral("%1 (%2,%3 %4,%5) and %6 (%7,%8 %9,%10)")
                    .arg(i)
                    .arg(rects[i].left)
                    .arg(rects[i].top)
                    .arg(rects[i].right)
                    .arg(rects[i].bottom)
                    .arg(j)
                    .arg(rects[j].left)
                    .arg(rects[j].top)
                    .arg(rects[j].right)
                    .arg(rects[j].bottom);
            }
        }
    }
    return QString();
}

bool Inside(const CRect& r, const CRect& area) {
    return r.left >= area.left && r.right <= area.right && r.top >= area.top &&
           r.bottom <= area.bottom;
}

MeasuredDriver FlatDriver(double levelDb, double phaseDegrees) {
    MeasuredDriver driver;
    driver.hz = {10.0, 1000.0, 30000.0};
    driver.levelDb = {levelDb, levelDb, levelDb};
    driver.phaseDegrees = {phaseDegrees, phaseDegrees, phaseDegrees};
    return driver;
}

} // namespace

class GraphViewsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CAudio_Data> m_program;
    std::unique_ptr<CFStatic> m_graph;

    CFStatic& Graph() {
        m_graph.reset();
        m_program = std::make_unique<CAudio_Data>();
        m_graph = std::make_unique<CFStatic>();
        m_graph->resize(kGraphWidth, kGraphHeight);
        m_graph->show();
        if (!QTest::qWaitForWindowExposed(m_graph.get())) {
            qWarning("graph window not exposed");
        }
        m_graph->SetProgram(m_program.get());
        return *m_graph;
    }

    const DrawnTrace* Sum() const { return m_graph->Renderer().GetSumTrace(); }

private slots:
    void cleanup() {
        m_graph.reset();
        m_program.reset();
    }

    // The magnitude overview draws the channel curves as before and nothing from complex
    // responses; phase and group delay draw every shown channel from its response, with their
    // own axis labels; the editor modes stay on the magnitude.
    void viewSwitchChangesWhatIsDrawn() {
        CFStatic& graph = Graph();
        TwoWay(*m_program);
        m_program->GetInput(2)->SetEnabled(0);
        graph.Redraw();
        QCOMPARE(graph.GetView(), ResponseView::Magnitude);
        QVERIFY(graph.Renderer().GetTraces().empty());
        QCOMPARE(graph.Renderer().GetFrameView(), ResponseView::Magnitude);

        for (const ResponseView view : {ResponseView::Phase, ResponseView::GroupDelay}) {
            graph.SetView(view);
            QCOMPARE(graph.Renderer().GetFrameView(), view);
            QCOMPARE(Traces(graph, DrawnTrace::Input), m_program->GetInputCount() - 1);
            QCOMPARE(Traces(graph, DrawnTrace::Output), m_program->GetOutputCount());
            for (const DrawnTrace& t : graph.Renderer().GetTraces()) {
                QCOMPARE(t.view, view);
                QVERIFY(!(t.kind == DrawnTrace::Input && t.channel == 2));
                if (t.kind == DrawnTrace::Output && t.channel == 1) {
                    QVERIFY(
                        SamePoints(t.trace, Expected(graph, OutputResponse(*m_program, 1), view)));
                }
            }
        }
        // The tweeter's high-pass turns its phase at the crossover: the trace is not flat.
        graph.SetView(ResponseView::Phase);
        const DrawnTrace* tweeter = nullptr;
        for (const DrawnTrace& t : graph.Renderer().GetTraces()) {
            if (t.kind == DrawnTrace::Output && t.channel == 1) {
                tweeter = &t;
            }
        }
        QVERIFY(tweeter != nullptr);
        QVERIFY(tweeter->trace[100].point.y != tweeter->trace[240].point.y);

        graph.SetMode(CFStatic::OutputCrossover);
        QCOMPARE(graph.Renderer().GetFrameView(), ResponseView::Magnitude);
        QVERIFY(graph.Renderer().GetTraces().empty());
        graph.SetMode(CFStatic::Overview);
        QCOMPARE(graph.Renderer().GetFrameView(), ResponseView::Phase);

        // The context menu shows the view and switches it.
        std::unique_ptr<QMenu> menu(graph.MakeContextMenu());
        QVERIFY(menu->findChild<QAction*>("viewPhase")->isChecked());
        menu->findChild<QAction*>("viewMagnitude")->trigger();
        QCOMPARE(graph.GetView(), ResponseView::Magnitude);
        QVERIFY(graph.Renderer().GetTraces().empty());
    }

    // Ticked outputs are summed in every mode and view; the sum is the core's sum of exactly
    // those outputs and follows a fader, a crossover handle drag and a delay as they happen.
    void sumFollowsTheEditsLive() {
        CFStatic& graph = Graph();
        TwoWay(*m_program);
        QVERIFY(Sum() == nullptr);
        {
            std::unique_ptr<QMenu> menu(graph.MakeContextMenu());
            menu->findChild<QAction*>("sumOut1")->setChecked(true);
            menu->findChild<QAction*>("sumOut2")->setChecked(true);
        }
        QCOMPARE(graph.GetSummedOutputs(), (std::vector<int>{0, 1}));
        const auto expectSum = [&](ResponseView view) {
            return Sum() != nullptr && Sum()->view == view &&
                   SamePoints(Sum()->trace,
                              Expected(graph, SumOfOutputs(*m_program, {0, 1}), view));
        };
        QVERIFY(expectSum(ResponseView::Magnitude));
        // A Linkwitz-Riley pair sums flat: 0 dB at the crossover and far from it.
        const int zeroDb = DbToY(0.0, graph.GetPlotRect().Height()) + graph.GetPlotRect().top;
        for (const int i : {40, 165, 200}) {
            QVERIFY(std::abs(Sum()->trace[static_cast<std::size_t>(i)].point.y - zeroDb) <= 1);
        }
        graph.SetView(ResponseView::Phase);
        QVERIFY(expectSum(ResponseView::Phase));
        graph.SetView(ResponseView::Magnitude);

        // A fader: the panel's strip sets the gain and redraws.
        const Trace before = Sum()->trace;
        m_program->GetOutput(1)->SetGain(m_program->GetOutput(1)->GetGain() - 60);
        graph.Redraw();
        QVERIFY(expectSum(ResponseView::Magnitude));
        QVERIFY(!SamePoints(Sum()->trace, before));

        // The woofer's low-pass handle dragged down an octave: the sum dips between.
        OutDataDlg dialog(*m_program);
        dialog.SetGraph(&graph);
        dialog.SelectChannel(0);
        QVERIFY(ShowActive(&dialog));
        QCOMPARE(graph.GetMode(), static_cast<int>(CFStatic::OutputCrossover));
        const Trace beforeDrag = Sum()->trace;
        const CPoint grip = m_program->GetOutput(0)->GetLowPass()->GetBandHandle().CenterPoint();
        const QPoint from(grip.x, grip.y);
        const QPoint to = from - QPoint(graph.GetPlotRect().Width() / 10, 0);
        QTest::mouseMove(&graph, from);
        QTest::mousePress(&graph, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step) {
            QTest::mouseMove(&graph, from + (to - from) * step / 4);
            // Every step of the drag redraws the sum from the moved filter.
            QVERIFY(expectSum(ResponseView::Magnitude));
        }
        QTest::mouseRelease(&graph, Qt::LeftButton, {}, to);
        QVERIFY(m_program->GetOutput(0)->GetLowPass()->GetFrequency() < 1500);
        QVERIFY(!SamePoints(Sum()->trace, beforeDrag));

        // A delay typed in the output dialog.
        const Trace beforeDelay = Sum()->trace;
        TypeValue(dialog.findChild<DelayGroup*>()->Edit(DelayGroup::Milliseconds),
                  QStringLiteral("0.25"));
        QTRY_VERIFY(m_program->GetOutput(0)->GetDelay() > 0);
        QVERIFY(expectSum(ResponseView::Magnitude));
        QVERIFY(!SamePoints(Sum()->trace, beforeDelay));

        // Unticked, the output leaves the sum; none ticked, no sum.
        graph.SetSummed(0, false);
        QVERIFY(SamePoints(
            Sum()->trace, Expected(graph, SumOfOutputs(*m_program, {1}), ResponseView::Magnitude)));
        graph.SetSummed(1, false);
        QVERIFY(Sum() == nullptr);
    }

    // A measured driver on an output enters the sum and the output's own curve; detached, both
    // are the filters' again.
    void measuredDriverChangesTheSum() {
        CFStatic& graph = Graph();
        TwoWay(*m_program);
        graph.SetSummed(0, true);
        graph.SetSummed(1, true);
        const Trace filtersOnly = Sum()->trace;

        MeasuredDrivers drivers;
        // A tweeter 6 dB down and 180 degrees off: the sum cancels around the crossover.
        QVERIFY(drivers.Attach(1, FlatDriver(-6.0, 180.0)));
        graph.SetDrivers(&drivers);
        QVERIFY(SamePoints(Sum()->trace, Expected(graph, SumOfOutputs(*m_program, {0, 1}, &drivers),
                                                  ResponseView::Magnitude)));
        QVERIFY(!SamePoints(Sum()->trace, filtersOnly));
        const int crossover = 165; // 2036 Hz
        QVERIFY(Sum()->trace[crossover].point.y > filtersOnly[crossover].point.y + 20);
        // The measured output is drawn as it sounds, the other one from its curve.
        QCOMPARE(Traces(graph, DrawnTrace::Output), 1);
        QCOMPARE(graph.Renderer().GetTraces().front().channel, 1);
        QVERIFY(SamePoints(
            graph.Renderer().GetTraces().front().trace,
            Expected(graph, OutputResponse(*m_program, 1, &drivers), ResponseView::Magnitude)));
        {
            std::unique_ptr<QMenu> menu(graph.MakeContextMenu());
            QVERIFY(menu->findChild<QAction*>("detachOut2") != nullptr);
            QVERIFY(menu->findChild<QAction*>("detachOut1") == nullptr);
            QSignalSpy detach(&graph, &CFStatic::measurementDetachRequested);
            menu->findChild<QAction*>("detachOut2")->trigger();
            QCOMPARE(detach.count(), 1);
            QCOMPARE(detach.at(0).at(0).toInt(), 1);
        }
        drivers.Detach(1);
        graph.Redraw();
        QVERIFY(SamePoints(Sum()->trace, filtersOnly));
        QCOMPARE(Traces(graph, DrawnTrace::Output), 0);

        if (const QByteArray dir = qgetenv("SONVEX_SHOT_DIR"); !dir.isEmpty()) {
            graph.grab().save(QString::fromLocal8Bit(dir) + "/graph-two-way-sum.png");
            graph.SetView(ResponseView::Phase);
            graph.grab().save(QString::fromLocal8Bit(dir) + "/graph-two-way-phase.png");
            graph.SetView(ResponseView::GroupDelay);
            graph.grab().save(QString::fromLocal8Bit(dir) + "/graph-two-way-group-delay.png");
        }
    }

    // The axis labels keep apart from each other and inside the control, the lowest level
    // label above the frequency row and "30K" clear of the border, in every view.
    void axisLabelsDoNotOverlap() {
        CFStatic& graph = Graph();
        const CRect control(1, 1, kGraphWidth - 2, kGraphHeight - 1);
        for (const ResponseView view :
             {ResponseView::Magnitude, ResponseView::Phase, ResponseView::GroupDelay}) {
            graph.SetView(view);
            const std::vector<CRect>& labels = graph.Renderer().GetAxisLabelRects();
            QCOMPARE(static_cast<int>(labels.size()), AxisLabelCount + 12);
            const QString overlap = FirstOverlap(labels);
            QVERIFY2(overlap.isEmpty(), qPrintable(overlap));
            for (const CRect& r : labels) {
                QVERIFY(Inside(r, control));
            }
        }
    }

    // Captions of handles that sit on one another are spread so that each stays readable and
    // inside the plot: new bands all at 10 Hz, bands at 30 kHz, and the crossover pair.
    void stackedHandleCaptionsAreSpread_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("hz");
        QTest::newRow("input bands at 10 Hz") << static_cast<int>(CFStatic::InputEq) << 10;
        QTest::newRow("output bands at 10 Hz") << static_cast<int>(CFStatic::OutputEq) << 10;
        QTest::newRow("input bands at 30 kHz") << static_cast<int>(CFStatic::InputEq) << 30000;
        QTest::newRow("input bands at 1 kHz") << static_cast<int>(CFStatic::InputEq) << 1000;
        QTest::newRow("crossover at 10 Hz") << static_cast<int>(CFStatic::OutputCrossover) << 10;
    }

    void stackedHandleCaptionsAreSpread() {
        QFETCH(int, mode);
        QFETCH(int, hz);
        CFStatic& graph = Graph();
        for (int band = 0; band < 8; ++band) {
            m_program->GetInput(0)->GetFilter(band)->SetFrequency(hz);
            m_program->GetOutput(0)->GetFilter(band)->SetFrequency(hz);
        }
        m_program->GetOutput(0)->GetHighPass()->SetFrequency(hz);
        m_program->GetOutput(0)->GetLowPass()->SetFrequency(hz);
        graph.SelectInput(0);
        graph.SelectOutput(0);
        graph.SetMode(mode);
        const std::vector<CRect>& captions = graph.Renderer().GetHandleLabelRects();
        QCOMPARE(static_cast<int>(captions.size()),
                 mode == CFStatic::OutputCrossover ? 2 : graph.GetShownBandCount());
        const QString overlap = FirstOverlap(captions);
        QVERIFY2(overlap.isEmpty(), qPrintable(overlap));
        for (const CRect& r : captions) {
            QVERIFY(Inside(r, graph.GetPlotRect()));
            QVERIFY(r.Width() > 0);
        }
        if (const QByteArray dir = qgetenv("SONVEX_SHOT_DIR"); !dir.isEmpty()) {
            graph.grab().save(QString::fromLocal8Bit(dir) + "/graph-captions-" +
                              QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-') +
                              ".png");
        }
    }

    // Captions clear of each other stay where they were wanted.
    void spreadLeavesSeparateCaptionsAlone() {
        const CRect plot(35, 10, 893, 232);
        const std::vector<CRect> apart = {
            {100, 50, 108, 62}, {110, 50, 118, 62}, {100, 70, 108, 82}};
        QCOMPARE(SpreadLabels(apart, plot), apart);
        // A pile at the right end spreads to the left, the first caption staying put.
        const std::vector<CRect> pile(3, CRect(880, 50, 888, 62));
        const std::vector<CRect> spread = SpreadLabels(pile, plot);
        QCOMPARE(spread[0], pile[0]);
        QVERIFY(spread[1].right <= spread[0].left && spread[2].right <= spread[1].left);
    }
};

QTEST_MAIN(GraphViewsTest)
#include "graph_views_test.moc"
