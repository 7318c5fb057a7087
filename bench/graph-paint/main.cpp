// bench-graph-paint: how long the response graph takes, at the panels' size, to
//   - paint the overview with twelve shaped curves, the off-screen curve image rebuilt each time;
//   - follow one mouse step of a band drag in the input EQ mode (the drag operation on the
//     model, the channel curve recomputed, the picture rebuilt and painted);
//   - paint the phase overview of the twelve channels with the sum of all eight outputs, every
//     curve computed from its complex response each time;
//   - follow one mouse step of a low-pass handle drag in the crossover mode with the sum of
//     all eight outputs drawn over it.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include "core/model/AudioData.h"
#include "gui/graph/ResponseGraph.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <iterator>

namespace {

constexpr int kGraphWidth = 903;
constexpr int kGraphHeight = 252;

void Peak(CFilter* band, int hz, int gainIndex, int bandwidthIndex) {
    band->SetType(CFilter::Peaking);
    band->SetFrequency(hz);
    band->SetGainIndex(gainIndex);
    band->SetBandwidthIndex(bandwidthIndex);
}

// A 4-in/8-out program whose twelve channels all have curves of their own.
void ShapeChannels(CAudio_Data& program) {
    for (int i = 0; i < program.GetInputCount(); ++i) {
        CAudio_InData* input = program.GetInput(i);
        Peak(input->GetFilter(0), 60 + 40 * i, 390, 95);
        Peak(input->GetFilter(1), 2000 + 500 * i, 230, 45);
        input->GetFilter(2)->SetType(CFilter::HighShelf);
        input->GetFilter(2)->SetFrequency(8000);
        input->GetFilter(2)->SetGainIndex(340);
    }
    for (int i = 0; i < program.GetOutputCount(); ++i) {
        CAudio_OutData* output = program.GetOutput(i);
        Peak(output->GetFilter(0), 150 + 100 * i, 360, 120);
        Peak(output->GetFilter(1), 4000 + 300 * i, 240, 60);
        output->GetHighPass()->SetFrequency(30 + 10 * i);
        output->GetHighPass()->SetSlope(2);
        output->GetLowPass()->SetFrequency(12000 + 1000 * i);
        output->GetLowPass()->SetCrossoverType(CFilter::LinkwitzRiley);
    }
}

struct Scene {
    CAudio_Data program;
    CFStatic graph;
    QImage target{kGraphWidth, kGraphHeight, QImage::Format_ARGB32_Premultiplied};

    Scene() {
        ShapeChannels(program);
        graph.resize(kGraphWidth, kGraphHeight);
        graph.show();
        graph.SetProgram(&program);
    }
};

void SendMouse(QWidget& widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, widget.mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void BM_PaintOverview(benchmark::State& state) {
    Scene scene;
    scene.graph.SetMode(CFStatic::Overview);
    for (auto _ : state) {
        scene.graph.Redraw();
        scene.graph.render(&scene.target);
        benchmark::DoNotOptimize(scene.target.constBits());
    }
}
BENCHMARK(BM_PaintOverview)->Unit(benchmark::kMicrosecond);

void SumAllOutputs(CFStatic& graph, const CAudio_Data& program) {
    for (int i = 0; i < program.GetOutputCount(); ++i) {
        graph.SetSummed(i, true);
    }
}

void BM_PaintPhaseOverviewWithSum(benchmark::State& state) {
    Scene scene;
    scene.graph.SetMode(CFStatic::Overview);
    scene.graph.SetView(ResponseView::Phase);
    SumAllOutputs(scene.graph, scene.program);
    for (auto _ : state) {
        scene.graph.Redraw();
        scene.graph.render(&scene.target);
        benchmark::DoNotOptimize(scene.target.constBits());
    }
    if (scene.graph.Renderer().GetSumTrace() == nullptr) {
        state.SkipWithError("no sum was drawn");
    }
}
BENCHMARK(BM_PaintPhaseOverviewWithSum)->Unit(benchmark::kMicrosecond);

void BM_DragStepCrossoverWithSum(benchmark::State& state) {
    Scene scene;
    SumAllOutputs(scene.graph, scene.program);
    scene.graph.SelectOutput(0);
    scene.graph.SetMode(CFStatic::OutputCrossover);
    CFilter* lowPass = scene.program.GetOutput(0)->GetLowPass();
    const CPoint c = lowPass->GetBandHandle().CenterPoint();
    const QPoint grab(c.x, c.y);
    SendMouse(scene.graph, QEvent::MouseMove, grab, Qt::NoButton);
    SendMouse(scene.graph, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    if (scene.graph.GetCurrentFilter() != lowPass) {
        state.SkipWithError("the low-pass handle did not take the pointer");
        return;
    }
    const QPoint steps[] = {{6, 0}, {-6, 0}};
    std::size_t step = 0;
    int frequency = lowPass->GetFrequency();
    for (auto _ : state) {
        const QPoint pos = grab + steps[step++ % std::size(steps)];
        SendMouse(scene.graph, QEvent::MouseMove, pos, Qt::LeftButton);
        scene.graph.render(&scene.target);
        benchmark::DoNotOptimize(scene.target.constBits());
        if (lowPass->GetFrequency() == frequency ||
            scene.graph.Renderer().GetSumTrace() == nullptr) {
            state.SkipWithError("a drag step left the low-pass where it was or drew no sum");
            break;
        }
        frequency = lowPass->GetFrequency();
    }
    SendMouse(scene.graph, QEvent::MouseButtonRelease, grab, Qt::NoButton);
}
BENCHMARK(BM_DragStepCrossoverWithSum)->Unit(benchmark::kMicrosecond);

void BM_DragStepInputEq(benchmark::State& state) {
    Scene scene;
    scene.graph.SetMode(CFStatic::InputEq);
    scene.graph.SelectInput(0);
    CFilter* band = scene.program.GetInput(0)->GetFilter(0);
    const CPoint c = band->GetBandHandle().CenterPoint();
    const QPoint grab(c.x, c.y);
    SendMouse(scene.graph, QEvent::MouseMove, grab, Qt::NoButton);
    SendMouse(scene.graph, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    if (scene.graph.GetCurrentFilter() != band) {
        state.SkipWithError("the band handle did not take the pointer");
        return;
    }
    // Back and forth by a few pixels, so that every step moves the band.
    const QPoint steps[] = {{6, 3}, {-6, 3}, {6, -3}, {-6, -3}};
    std::size_t step = 0;
    int frequency = band->GetFrequency();
    for (auto _ : state) {
        const QPoint pos = grab + steps[step++ % std::size(steps)];
        SendMouse(scene.graph, QEvent::MouseMove, pos, Qt::LeftButton);
        scene.graph.render(&scene.target);
        benchmark::DoNotOptimize(scene.target.constBits());
        if (band->GetFrequency() == frequency) {
            state.SkipWithError("a drag step left the band where it was");
            break;
        }
        frequency = band->GetFrequency();
    }
    SendMouse(scene.graph, QEvent::MouseButtonRelease, grab, Qt::NoButton);
}
BENCHMARK(BM_DragStepInputEq)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
