// Builds a default 4-in/8-out program, edits a few channels and prints what the model makes of
// it: names, gain and delay texts, and the filter response of every channel at a few
// frequencies.

#include "model/AudioData.h"
#include "model/ValueTables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr std::array<double, 5> kProbeHz = {20.0, 100.0, 1000.0, 10000.0, 20000.0};

// Grid point nearest to hz on the logarithmic plot grid.
int NearestGridPoint(double hz) {
    const auto distance = [hz](double f) { return std::fabs(std::log(f / hz)); };
    const auto best =
        std::min_element(PlotFrequencies.begin(), PlotFrequencies.end(),
                         [&](double a, double b) { return distance(a) < distance(b); });
    return static_cast<int>(best - PlotFrequencies.begin());
}

// Sum of the responses of the first `count` sections of a channel at grid point i, in dB.
template <typename Channel> double SummedResponse(const Channel& channel, int count, int i) {
    double sum = 0.0;
    for (int f = 0; f < count; ++f) {
        sum += channel.GetFilter(f)->GetResponse(i);
    }
    return std::fabs(sum) < 0.005 ? 0.0 : sum; // no "-0.00" in the table
}

void PrintHeader() {
    std::printf("%-8s %-9s %7s %11s", "channel", "name", "gain", "delay");
    for (double hz : kProbeHz) {
        const std::string label = hz >= 1000 ? std::to_string(static_cast<int>(hz / 1000)) + "k"
                                             : std::to_string(static_cast<int>(hz));
        std::printf(" %8s", (label + "Hz").c_str());
    }
    std::printf("\n");
}

template <typename Channel>
void PrintRow(const std::string& label, const Channel& channel, int drawnSections) {
    std::printf("%-8s %-9s %7s %11s", label.c_str(), channel.GetNameText().c_str(),
                channel.GetGainText().c_str(), channel.GetDelayText().c_str());
    for (double hz : kProbeHz) {
        std::printf(" %8.2f", SummedResponse(channel, drawnSections, NearestGridPoint(hz)));
    }
    std::printf("\n");
}

} // namespace

int main() {
    CAudio_Data program;
    const CRect graph(0, 0, 700, 300);
    program.SetCurveRect(graph);
    program.ClearChanged();

    // Output 1: high-pass at 80 Hz (24 dB/oct Linkwitz-Riley) and a +6 dB peak at 1 kHz.
    CAudio_OutData* out1 = program.GetOutput(0);
    out1->SetName("Mid Left");
    out1->GetHighPass()->SetCrossoverType(0);
    out1->GetHighPass()->SetSlope(2);
    out1->GetHighPass()->SetFrequency(80);
    CFilter* peak = out1->GetFilter(0);
    peak->SetFrequency(1000);
    peak->SetBandwidthIndex(95); // one octave
    peak->SetGainIndex(EqGainDbToIndex(6.0));
    out1->SetGain(ZeroDbGainIndex(1) - 30); // -3 dB
    out1->SetDelay(DelayFromMs(2.5, 1).index);

    // Output 8: a sub with a low-pass at 120 Hz and input A and B summed.
    CAudio_OutData* out8 = program.GetOutput(7);
    out8->SetName("Sub");
    out8->SetSourceMask(0x03);
    out8->GetLowPass()->SetFrequency(120);

    // Input B: a low shelf cut; its crossover pair is sent but not part of its curve.
    CAudio_InData* inB = program.GetInput(1);
    CFilter* shelf = inB->GetFilter(0);
    shelf->SetType(1);
    shelf->SetSlope(1);
    shelf->SetFrequency(200);
    shelf->SetGainIndex(EqGainDbToIndex(-4.5));
    inB->UpdateCurve();
    out1->UpdateCurve();
    out8->UpdateCurve();

    std::printf("Program \"%s\", device type %d (%d inputs, %d outputs), input source %s\n",
                program.GetName().c_str(), program.GetDeviceType(), program.GetInputCount(),
                program.GetOutputCount(), program.GetInputSourceText().c_str());
    std::printf("Graph %dx%d: 0 dB line at y=%d; output 1 gain line at y=%d\n\n",
                program.GetGraphWidth(), program.GetGraphHeight(),
                DbToY(0.0, graph.Height()) + GraphTopMargin, out1->GetGainOffset());
    std::printf("Filter response in dB (inputs: EQ bands; outputs: EQ bands and crossover)\n");
    PrintHeader();
    for (int i = 0; i < program.GetInputCount(); ++i) {
        const CAudio_InData& in = *program.GetInput(i);
        PrintRow("in " + std::to_string(i + 1), in, in.GetFilterCount() - 2);
    }
    for (int i = 0; i < program.GetOutputCount(); ++i) {
        const CAudio_OutData& out = *program.GetOutput(i);
        PrintRow("out " + std::to_string(i + 1), out, out.GetFilterCount());
    }

    std::printf("\nOutput 1: high-pass %s %s %s Hz, band 1 %s %s dB at %s Hz (Q %s), "
                "dynamics %s threshold %s dBu, high-pass class %d\n",
                out1->GetHighPass()->GetCrossoverTypeText().c_str(),
                out1->GetHighPass()->GetSlopeText().c_str(),
                out1->GetHighPass()->GetFrequencyText().c_str(), peak->GetTypeText().c_str(),
                peak->GetGainText().c_str(), peak->GetFrequencyText().c_str(),
                peak->GetQText().c_str(), out1->GetModeText().c_str(),
                out1->GetThresholdText().c_str(), out1->GetHighPassClass());
    std::printf("Output 8 sources: A %s, B %s, C %s, D %s\n", out8->GetSourceText(0).c_str(),
                out8->GetSourceText(1).c_str(), out8->GetSourceText(2).c_str(),
                out8->GetSourceText(3).c_str());
    return 0;
}
