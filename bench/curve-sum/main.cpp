// bench-curve-sum: how long the core takes for what the response graph recomputes on every
// mouse step of a drag in the summed view:
//   - the complex sum of all eight outputs of a 4-in/8-out program, each with six active EQ
//     bands, a high-pass and a low-pass, gain, polarity and delay, with level, phase and group
//     delay at the 241 plot frequencies;
//   - the same after moving one band (its magnitude curve recomputed as a drag does);
//   - the same with a measured driver attached to every output.

#include "core/curves/ComplexResponse.h"
#include "core/model/AudioData.h"
#include "core/model/LoudspeakerSum.h"
#include "core/model/MeasuredDrivers.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numeric>
#include <vector>

namespace {

// Eight outputs with every section doing something, crossover families and slopes mixed.
void ShapeOutputs(CAudio_Data& program) {
    for (int i = 0; i < program.GetOutputCount(); ++i) {
        CAudio_OutData& out = *program.GetOutput(i);
        for (int b = 0; b < 6; ++b) {
            CFilter& band = *out.GetFilter(b);
            band.SetType(b == 0 ? CFilter::LowShelf
                                : (b == 5 ? CFilter::HighShelf : CFilter::Peaking));
            band.SetFrequency(60 * (b + 1) * (b + 1) + 25 * i);
            band.SetGainIndex(b % 2 == 0 ? 340 + 5 * i : 250 - 3 * i);
            band.SetBandwidthIndex(40 + 20 * b);
        }
        out.GetHighPass()->SetFrequency(40 + 150 * i);
        out.GetHighPass()->SetCrossoverType(i % 3);
        out.GetHighPass()->SetSlope(i % 4);
        out.GetLowPass()->SetFrequency(400 + 2500 * i);
        out.GetLowPass()->SetCrossoverType((i + 1) % 3);
        out.GetLowPass()->SetSlope((i + 2) % 4);
        out.SetGain(380 + 5 * i);
        out.SetPolarity(static_cast<std::uint8_t>(i % 2));
        out.SetDelay(30 * i);
    }
}

std::vector<int> AllOutputs(const CAudio_Data& program) {
    std::vector<int> outputs(static_cast<std::size_t>(program.GetOutputCount()));
    std::iota(outputs.begin(), outputs.end(), 0);
    return outputs;
}

void SumAndTraces(benchmark::State& state, const CAudio_Data& program,
                  const std::vector<int>& outputs, const MeasuredDrivers* drivers) {
    const ResponseTraces traces = TracesOf(SumOfOutputs(program, outputs, drivers));
    benchmark::DoNotOptimize(traces.groupDelayMs.data());
    if (!std::isfinite(traces.levelDb[120])) {
        state.SkipWithError("the sum is a null at 539 Hz");
    }
}

void BM_SumOfEightOutputs(benchmark::State& state) {
    CAudio_Data program;
    ShapeOutputs(program);
    const std::vector<int> outputs = AllOutputs(program);
    for (auto _ : state) {
        SumAndTraces(state, program, outputs, nullptr);
    }
}
BENCHMARK(BM_SumOfEightOutputs)->Unit(benchmark::kMicrosecond);

void BM_DragStepThenSum(benchmark::State& state) {
    CAudio_Data program;
    ShapeOutputs(program);
    const std::vector<int> outputs = AllOutputs(program);
    CFilter& band = *program.GetOutput(3)->GetFilter(2);
    int step = 0;
    for (auto _ : state) {
        band.SetFrequency(step++ % 2 == 0 ? 560 : 600);
        SumAndTraces(state, program, outputs, nullptr);
    }
}
BENCHMARK(BM_DragStepThenSum)->Unit(benchmark::kMicrosecond);

void BM_SumWithMeasuredDrivers(benchmark::State& state) {
    CAudio_Data program;
    ShapeOutputs(program);
    const std::vector<int> outputs = AllOutputs(program);
    MeasuredDrivers drivers;
    for (int i = 0; i < MeasuredDrivers::kOutputCount; ++i) {
        MeasuredDriver driver;
        for (double hz = 20.0; hz <= 20000.0; hz *= std::pow(2.0, 1.0 / 48.0)) {
            driver.hz.push_back(hz);
            driver.levelDb.push_back(85.0 + 3.0 * std::sin(std::log(hz) * (i + 1)));
            driver.phaseDegrees.push_back(std::remainder(-360.0 * hz * 0.0002 * i, 360.0));
        }
        drivers.Attach(i, driver);
    }
    for (auto _ : state) {
        SumAndTraces(state, program, outputs, &drivers);
    }
}
BENCHMARK(BM_SumWithMeasuredDrivers)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
