#include "core/model/LoudspeakerSum.h"

#include "core/model/AudioData.h"
#include "core/model/ChannelResponse.h"
#include "core/model/MeasuredDrivers.h"

namespace {

const ComplexResponse* DriverOf(const MeasuredDrivers* drivers, int output) {
    const DriverOnGrid* grid = drivers != nullptr ? drivers->OnGrid(output) : nullptr;
    return grid != nullptr ? &grid->response : nullptr;
}

} // namespace

ComplexResponse OutputResponse(const CAudio_Data& program, int output,
                               const MeasuredDrivers* drivers) {
    if (output < 0 || output >= program.GetOutputCount()) {
        return ComplexResponse{};
    }
    return ChannelResponse(*program.GetOutput(output), DriverOf(drivers, output));
}

ComplexResponse SumOfOutputs(const CAudio_Data& program, const std::vector<int>& outputs,
                             const MeasuredDrivers* drivers) {
    ComplexResponse sum{};
    for (ComplexPoint& p : sum) {
        p.value = 0.0;
    }
    for (const int output : outputs) {
        if (output < 0 || output >= program.GetOutputCount() ||
            program.GetOutput(output)->GetOn() == 0) {
            continue;
        }
        Accumulate(sum, OutputResponse(program, output, drivers));
    }
    return sum;
}
