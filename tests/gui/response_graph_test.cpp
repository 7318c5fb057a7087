// The response graph driven like an operator would: curves seen in a grabbed picture, handles
// dragged with the mouse, and the notifications an editor gets while a drag goes on.
//
// Set SONVEX_SHOT_DIR to a directory to keep a picture of the graph in each mode.

#include "gui/graph/GraphLabelAlignment.h"
#include "gui/graph/ResponseGraph.h"
#include "core/model/AudioData.h"
#include "core/model/ValueTables.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

constexpr int kGraphWidth = 903; // the panels' graph
constexpr int kGraphHeight = 252;

QPoint Centre(const CRect& r) {
    const CPoint c = r.CenterPoint();
    return {c.x, c.y};
}

QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Pixels within tolerance of colour, inside area (the whole image when area is empty).
int CountColour(const QImage& image, QColor colour, QRect area = QRect(), int tolerance = 24) {
    const QRect box = area.isNull() ? image.rect() : area.intersected(image.rect());
    int count = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - colour.red()) <= tolerance &&
                std::abs(p.green() - colour.green()) <= tolerance &&
                std::abs(p.blue() - colour.blue()) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

QColor Colour(COLORREF c) {
    return QColor(static_cast<int>(GetRValue(c)), static_cast<int>(GetGValue(c)),
                  static_cast<int>(GetBValue(c)));
}

// A peaking band at hz with the gain of gainIndex (300 is 0 dB) and the bandwidth of an index.
void SetPeak(CFilter* band, int hz, int gainIndex, int bandwidthIndex) {
    band->SetType(CFilter::Peaking);
    band->SetFrequency(hz);
    band->SetGainIndex(gainIndex);
    band->SetBandwidthIndex(bandwidthIndex);
}

// Control x of a frequency and y of a level in the graph's plot.
QPoint GraphPoint(const CFStatic& graph, double hz, double dB) {
    const CRect plot = graph.GetPlotRect();
    return {FreqToX(hz, plot.Width()) + plot.left, DbToY(dB, plot.Height()) + plot.top};
}

void KeepPicture(CFStatic& graph, const char* name) {
    const QByteArray dir = qgetenv("SONVEX_SHOT_DIR");
    if (!dir.isEmpty()) {
        graph.grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name) +
                          QLatin1String(".png"));
    }
}

// Presses at from, moves in steps to to and releases there, as a hand would.
void Drag(CFStatic& graph, QPoint from, QPoint to, int steps = 8) {
    QTest::mouseMove(&graph, from);
    QTest::mousePress(&graph, Qt::LeftButton, {}, from);
    for (int i = 1; i <= steps; ++i) {
        QTest::mouseMove(&graph, from + (to - from) * i / steps);
    }
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, to);
}

} // namespace

class ResponseGraphTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CAudio_Data> m_program;
    std::unique_ptr<CFStatic> m_graph;

    // A fresh program of deviceType on a shown graph of the panels' size.
    CFStatic& Graph(int deviceType = 1) {
        m_graph.reset();
        m_program = std::make_unique<CAudio_Data>();
        if (deviceType != 1) {
            m_program->SetDeviceType(deviceType);
        }
        m_graph = std::make_unique<CFStatic>();
        m_graph->resize(kGraphWidth, kGraphHeight);
        m_graph->show();
        if (!QTest::qWaitForWindowExposed(m_graph.get())) {
            qWarning("graph window not exposed");
        }
        m_graph->SetProgram(m_program.get());
        return *m_graph;
    }

private slots:
    void cleanup() {
        if (QTest::currentTestFailed() && m_graph) {
            // A drag cut short must not leave the button held for the next test.
            QTest::mouseRelease(m_graph.get(), Qt::LeftButton);
        }
        m_graph.reset();
        m_program.reset();
        // The next test's first hover must be a move, wherever it lands.
        QCursor::setPos(-1000, -1000);
    }

    void plotAndGridFollowTheControlSize() {
        CFStatic& graph = Graph();
        QCOMPARE(graph.GetPlotRect(), CRect(35, 10, 893, 232));
        QCOMPARE(m_program->GetGraphWidth(), 858);
        QCOMPARE(m_program->GetGraphHeight(), 222);
        QCOMPARE(graph.GetGridX().front(), 35);
        QCOMPARE(graph.GetGridX().back(), 35 + 858);
        // Curves are recomputed for the new size: a flat channel lies on the 0 dB line.
        graph.resize(600, 200);
        QCOMPARE(m_program->GetGraphWidth(), 555);
        QCOMPARE(m_program->GetGraphHeight(), 170);
        QCOMPARE(graph.GetGridX().back(), 35 + 555);
        QCOMPARE(m_program->GetOutput(3)->GetCurvePoint(120).y, DbToY(0.0, 170) + 10);
    }

    void overviewDropsTheCurveOfAHiddenChannel() {
        CFStatic& graph = Graph();
        CAudio_InData* inputB = m_program->GetInput(1);
        CAudio_OutData* output2 = m_program->GetOutput(1);
        SetPeak(inputB->GetFilter(0), 300, 400, 95);   // +10 dB
        SetPeak(output2->GetFilter(0), 3000, 200, 95); // -10 dB
        graph.Redraw();
        QImage picture = graph.grab().toImage();
        KeepPicture(graph, "mode0-overview");
        QVERIFY(CountColour(picture, Colour(inputB->GetColor())) > 40);
        QVERIFY(CountColour(picture, Colour(output2->GetColor())) > 40);

        inputB->SetEnabled(0);
        graph.Redraw();
        picture = graph.grab().toImage();
        QCOMPARE(CountColour(picture, Colour(inputB->GetColor())), 0);
        QVERIFY(CountColour(picture, Colour(output2->GetColor())) > 40);
    }

    void overviewHandlesDoNotRespond() {
        CFStatic& graph = Graph();
        CFilter* band = m_program->GetInput(0)->GetFilter(0);
        SetPeak(band, 1000, 360, 95);
        graph.Redraw();
        QSignalSpy edits(&graph, &CFStatic::graphEdit);
        const QPoint handle = Centre(band->GetBandHandle());

        QTest::mouseMove(&graph, handle);
        QCOMPARE(graph.GetCurrentFilter(), nullptr);
        QCOMPARE(graph.cursor().shape(), Qt::ArrowCursor);
        Drag(graph, handle, handle + QPoint(120, 40));
        QCOMPARE(band->GetFrequency(), 1000);
        QCOMPARE(band->GetGainIndex(), 360);
        QVERIFY(!edits.wait(2 * CFStatic::kNotifyIntervalMs));
    }

    void bandDragFollowsTheDragArithmetic_data() {
        QTest::addColumn<double>("targetHz");
        QTest::addColumn<double>("targetDb");
        QTest::addColumn<int>("expectedHz"); // 0: the frequency at the target's x
        QTest::addColumn<double>("expectedDb");

        QTest::newRow("inside the plot") << 2000.0 << -9.0 << 0 << 999.0;
        QTest::newRow("above the top stops at +15 dB") << 5000.0 << 25.0 << 0 << 15.0;
        QTest::newRow("below the 5/6 line stops at -30 dB") << 100.0 << -45.0 << 0 << -30.0;
        QTest::newRow("past the right end gives 30 kHz") << 60000.0 << 0.0 << 30000 << 999.0;
    }

    void bandDragFollowsTheDragArithmetic() {
        QFETCH(double, targetHz);
        QFETCH(double, targetDb);
        QFETCH(int, expectedHz);
        QFETCH(double, expectedDb);

        CFStatic& graph = Graph();
        graph.SetMode(CFStatic::InputEq);
        graph.SelectInput(2);
        CFilter* band = m_program->GetInput(2)->GetFilter(1);
        SetPeak(band, 1000, 360, 95);
        graph.Redraw();
        QSignalSpy edits(&graph, &CFStatic::graphEdit);

        // Grabbed off centre: the handle keeps that offset to the pointer.
        const QPoint grab = Centre(band->GetBandHandle()) + QPoint(3, -2);
        QTest::mouseMove(&graph, grab);
        QCOMPARE(graph.GetCurrentFilter(), band);
        QCOMPARE(graph.GetCurrentIndex(), 1);
        QCOMPARE(graph.cursor().shape(), Qt::PointingHandCursor);

        const QPoint target = GraphPoint(graph, targetHz, targetDb) + QPoint(3, -2);
        Drag(graph, grab, target);

        const CRect plot = graph.GetPlotRect();
        const QPoint centre = target - QPoint(3, -2) - QPoint(plot.left, plot.top);
        const int x = std::clamp(centre.x(), 0, plot.Width());
        const int y = std::clamp(centre.y(), plot.Height() / 11, plot.Height() * 5 / 6);
        if (expectedHz == 0) {
            expectedHz = XToFreq(x, plot.Width());
            QVERIFY(std::abs(expectedHz - targetHz) < targetHz * 0.02);
        }
        if (expectedDb == 999.0) {
            expectedDb = EqGainIndexToDb(
                TruncToInt((std::clamp(YToDb(y, plot.Height()), -30.0, 15.0) + 30.0) * 10.0 + 0.5));
            QVERIFY(std::abs(expectedDb - targetDb) < 1.0);
        }
        QCOMPARE(band->GetFrequency(), expectedHz);
        QCOMPARE(band->GetGain(), expectedDb);
        QVERIFY(edits.wait());
        QCOMPARE(edits.last(), (QList<QVariant>{1, int(CFStatic::InputEq)}));

        // Off every handle the pointer is an arrow again.
        QTest::mouseMove(&graph, GraphPoint(graph, 20, -35));
        QCOMPARE(graph.GetCurrentFilter(), nullptr);
        QCOMPARE(graph.cursor().shape(), Qt::ArrowCursor);
    }

    void continuousDragNotifiesAboutThreeTimesASecond() {
        CFStatic& graph = Graph();
        graph.SetMode(CFStatic::InputEq);
        CFilter* band = m_program->GetInput(0)->GetFilter(2);
        SetPeak(band, 200, 390, 95);
        graph.Redraw();
        QSignalSpy edits(&graph, &CFStatic::graphEdit);

        QPoint pointer = Centre(band->GetBandHandle());
        QTest::mouseMove(&graph, pointer);
        QTest::mousePress(&graph, Qt::LeftButton, {}, pointer);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1000) {
            pointer += QPoint(1, 0);
            QTest::mouseMove(&graph, pointer);
            QTest::qWait(10); // the pace of the hand, not a wait for a result
        }
        QVERIFY2(edits.count() >= 2 && edits.count() <= 4,
                 qPrintable(QString("%1 notifications in a second").arg(edits.count())));
        for (const QList<QVariant>& edit : edits) {
            QCOMPARE(edit, (QList<QVariant>{2, int(CFStatic::InputEq)}));
        }

        // Resting with the button held: at most the last change is still told, then nothing.
        const int whileMoving = edits.count();
        edits.wait(CFStatic::kNotifyIntervalMs + 100);
        QVERIFY(edits.count() <= whileMoving + 1);
        QVERIFY(!edits.wait(3 * CFStatic::kNotifyIntervalMs));
        QTest::mouseRelease(&graph, Qt::LeftButton, {}, pointer);
        QVERIFY(band->GetFrequency() > 200);
    }

    void inputEqShowsTheBandsOfTheDeviceType_data() {
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<int>("bands");
        QTest::newRow("4x8") << 1 << 8;
        QTest::newRow("3x6") << 2 << 6;
        QTest::newRow("2x4") << 3 << 6;
    }

    void inputEqShowsTheBandsOfTheDeviceType() {
        QFETCH(int, deviceType);
        QFETCH(int, bands);

        CFStatic& graph = Graph(deviceType);
        CAudio_InData* input = m_program->GetInput(0);
        for (int b = 0; b < 8; ++b) {
            // One octave apart, alternately 10 dB up and down, narrow: the labels stand apart.
            SetPeak(input->GetFilter(b), 40 << b, b % 2 == 0 ? 400 : 200, 5);
        }
        graph.SetMode(CFStatic::InputEq);
        graph.SelectInput(0);
        QCOMPARE(graph.GetShownBandCount(), bands);
        const QImage picture = graph.grab().toImage();
        if (deviceType == 2) {
            KeepPicture(graph, "mode1-input-eq-3x6");
        }
        for (int b = 0; b < 8; ++b) {
            const int white =
                CountColour(picture, Qt::white, ToQRect(input->GetFilter(b)->GetBandHandle()), 40);
            QVERIFY2((white > 0) == (b < bands), qPrintable(QString("band %1").arg(b + 1)));
        }

        // A band without a label does not take the mouse either.
        CFilter* last = input->GetFilter(7);
        const QPoint handle = Centre(last->GetBandHandle());
        QTest::mouseMove(&graph, handle);
        QCOMPARE(graph.GetCurrentFilter() == last, bands == 8);
        Drag(graph, handle, handle + QPoint(-60, 30));
        QCOMPARE(last->GetFrequency() == (40 << 7), bands == 6);
    }

    void crossoverHandleStopsAtTheOtherFilter_data() {
        QTest::addColumn<bool>("highPass");
        QTest::addColumn<double>("towardsHz");
        QTest::addColumn<int>("expectedHz");
        QTest::addColumn<int>("index");
        QTest::newRow("H to the right") << true << 10000.0 << 2000 << 6;
        QTest::newRow("L to the left") << false << 20.0 << 100 << 7;
    }

    void crossoverHandleStopsAtTheOtherFilter() {
        QFETCH(bool, highPass);
        QFETCH(double, towardsHz);
        QFETCH(int, expectedHz);
        QFETCH(int, index);

        CFStatic& graph = Graph();
        CAudio_OutData* output = m_program->GetOutput(4);
        output->GetHighPass()->SetFrequency(100);
        output->GetLowPass()->SetFrequency(2000);
        graph.SetMode(CFStatic::OutputCrossover);
        graph.SelectOutput(4);
        KeepPicture(graph, "mode3-crossover");
        QSignalSpy edits(&graph, &CFStatic::graphEdit);

        CFilter* section = highPass ? output->GetHighPass() : output->GetLowPass();
        const QPoint handle = Centre(section->GetBandHandle());
        Drag(graph, handle, {GraphPoint(graph, towardsHz, 0).x(), handle.y()});
        QCOMPARE(section->GetFrequency(), expectedHz);
        QVERIFY(edits.wait());
        QCOMPARE(edits.last(), (QList<QVariant>{index, int(CFStatic::OutputCrossover)}));
    }

    void bandwidthHandleDragChangesTheBandwidth() {
        CFStatic& graph = Graph();
        CAudio_OutData* output = m_program->GetOutput(0);
        CFilter* band = output->GetFilter(0);
        SetPeak(band, 1000, 360, 0); // 0.05 octave: the bandwidth handles touch the band's
        graph.SetMode(CFStatic::OutputEq);
        graph.SelectOutput(0);
        QSignalSpy edits(&graph, &CFStatic::graphEdit);

        QTest::mouseMove(&graph, Centre(band->GetBandHandle()));
        QCOMPARE(graph.GetCurrentFilter(), band);
        const QImage picture = graph.grab().toImage();
        KeepPicture(graph, "mode2-output-eq-bandwidth-handles");
        const CRect right = band->GetRightBandwidthHandle();
        // The outline is drawn in the channel's colour (its lower edge is clear of the curve).
        QVERIFY(CountColour(picture, Colour(output->GetColor()),
                            QRect(right.left, right.bottom - 1, right.Width(), 1)) >= 6);

        // The lower part of the right handle, clear of the band handle.
        const QPoint grip(right.right - 2, right.bottom - 2);
        QVERIFY(!band->GetBandHandle().PtInRect({grip.x(), grip.y()}));
        QTest::mouseMove(&graph, grip);
        QCOMPARE(graph.GetCurrentFilter(), band);
        QCOMPARE(graph.GetDragState().GetHovered(), GraphDragState::RightHandle);
        QCOMPARE(graph.GetDragState().GetHeld(), GraphDragState::NoHandle);
        const QPoint octaveUp(GraphPoint(graph, 2000, 0).x(), grip.y());
        QTest::mousePress(&graph, Qt::LeftButton, {}, grip);
        QCOMPARE(graph.GetDragState().GetHeld(), GraphDragState::RightHandle);
        // Held, the handle follows the pointer beyond its own rectangle.
        for (int i = 1; i <= 8; ++i) {
            QTest::mouseMove(&graph, grip + (octaveUp - grip) * i / 8);
            QCOMPARE(graph.GetDragState().GetHeld(), GraphDragState::RightHandle);
        }
        QTest::mouseRelease(&graph, Qt::LeftButton, {}, octaveUp);
        QCOMPARE(graph.GetDragState().GetHeld(), GraphDragState::NoHandle);

        const double expected = std::log2(
            XToFreq(octaveUp.x() - graph.GetPlotRect().left, graph.GetPlotRect().Width()) / 1000.0);
        QVERIFY(std::abs(band->GetBandwidth() - expected) <= 0.006);
        QVERIFY(std::abs(band->GetBandwidth() - 1.0) < 0.05);
        QCOMPARE(band->GetFrequency(), 1000);
        QVERIFY(edits.wait());
        QCOMPARE(edits.last(), (QList<QVariant>{0, int(CFStatic::OutputEq)}));
    }

    void wideBandKeepsItsBandwidthHandlesWithinReach() {
        CFStatic& graph = Graph();
        CAudio_OutData* output = m_program->GetOutput(0);
        CFilter* band = output->GetFilter(0);
        SetPeak(band, 1000, 360, 95); // one octave: the handles sit far beside the band's
        graph.SetMode(CFStatic::OutputEq);
        graph.SelectOutput(0);

        const QPoint start = Centre(band->GetBandHandle());
        QTest::mouseMove(&graph, start);
        QCOMPARE(graph.GetCurrentFilter(), band);
        const CRect right = band->GetRightBandwidthHandle();
        const QPoint grip = Centre(right);
        // Travel to the right handle in small steps, as a hand would.
        for (int x = start.x(); x <= grip.x(); x += 4) {
            QTest::mouseMove(&graph, {x, start.y() + (grip.y() - start.y()) * (x - start.x()) /
                                                         std::max(1, grip.x() - start.x())});
            QCOMPARE(graph.GetCurrentFilter(), band);
        }
        QTest::mouseMove(&graph, grip);
        Drag(graph, grip, {GraphPoint(graph, 4000, 0).x(), grip.y()});
        QVERIFY(std::abs(band->GetBandwidth() - 2.0) < 0.05);

        // Far below the band the pointer lets it go.
        QTest::mouseMove(&graph, {start.x(), graph.GetPlotRect().bottom - 5});
        QCOMPARE(graph.GetCurrentFilter(), nullptr);
    }

    void captionsMoveInsideThePlotAtTheEnds() {
        const int plotRight = 893;
        const CRect atRightEnd(plotRight - 8, 50, plotRight + 8, 66);
        const CRect inside(400, 50, 416, 66);
        QCOMPARE(BandLabelAlignment(atRightEnd, 30000, plotRight), Qt::AlignLeft);
        QCOMPARE(BandLabelAlignment(inside, 11, plotRight), Qt::AlignHCenter);
        QCOMPARE(BandLabelAlignment(inside, 10, plotRight), Qt::AlignRight);

        // "H" and "L" alike.
        const std::pair<int, Qt::Alignment> crossover[] = {{10, Qt::AlignRight},
                                                           {11, Qt::AlignHCenter},
                                                           {27999, Qt::AlignHCenter},
                                                           {28000, Qt::AlignLeft}};
        for (const auto& [hz, alignment] : crossover) {
            QCOMPARE(CrossoverLabelAlignment(hz), alignment);
        }
    }
};

QTEST_MAIN(ResponseGraphTest)
#include "response_graph_test.moc"
