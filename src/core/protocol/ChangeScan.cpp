#include "core/protocol/ChangeScan.h"

#include "core/model/AudioData.h"
#include "core/model/Filter.h"
#include "core/model/InData.h"
#include "core/model/OutData.h"

using Kind = PendingChange::Kind;

std::optional<PendingChange> ChangeScan::TakeInput(CAudio_InData& input, int channel) {
    if (input.IsNameChanged()) {
        input.SetNameChanged(0);
        return PendingChange{Kind::InputName, channel, 0};
    }
    if (input.IsParamsChanged()) {
        input.SetParamsChanged(0);
        return PendingChange{Kind::InputLevels, channel, 0};
    }
    if (input.IsGateChanged()) {
        input.SetGateChanged(0);
        return PendingChange{Kind::InputGate, channel, 0};
    }
    for (int section = 0; section < input.GetFilterCount(); ++section) {
        CFilter* filter = input.GetFilter(section);
        if (filter->IsChanged()) {
            filter->StepSentFrequency(0);
            return PendingChange{Kind::InputSection, channel, section};
        }
    }
    return std::nullopt;
}

std::optional<PendingChange> ChangeScan::TakeOutput(CAudio_OutData& output, int channel) {
    if (output.IsNameChanged()) {
        output.SetNameChanged(0);
        return PendingChange{Kind::OutputName, channel, 0};
    }
    if (output.IsParamsChanged()) {
        output.SetParamsChanged(0);
        return PendingChange{Kind::OutputLevels, channel, 0};
    }
    const int bands = output.GetFilterCount() - 2;
    for (int band = 0; band < bands; ++band) {
        CFilter* filter = output.GetFilter(band);
        if (filter->IsChanged()) {
            filter->StepSentFrequency(0);
            return PendingChange{Kind::OutputBand, channel, band};
        }
    }
    // One record carries both crossover sections; each pick steps the first changed one.
    for (CFilter* section : {output.GetHighPass(), output.GetLowPass()}) {
        if (section->IsChanged()) {
            section->StepSentFrequency(0);
            return PendingChange{Kind::OutputCrossover, channel, 0};
        }
    }
    if (output.IsDynamicsChanged()) {
        output.SetDynamicsChanged(0);
        return PendingChange{Kind::OutputDynamics, channel, 0};
    }
    return std::nullopt;
}

std::optional<PendingChange> ChangeScan::TakeNext() {
    for (int channel = 0; channel < m_program.GetInputCount(); ++channel) {
        if (auto change = TakeInput(*m_program.GetInput(channel), channel)) {
            return change;
        }
    }
    for (int channel = 0; channel < m_program.GetOutputCount(); ++channel) {
        if (auto change = TakeOutput(*m_program.GetOutput(channel), channel)) {
            return change;
        }
    }
    return std::nullopt;
}
