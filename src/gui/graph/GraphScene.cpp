#include "gui/graph/GraphScene.h"

#include "core/model/AudioData.h"
#include "core/model/MeasuredDrivers.h"
#include "core/model/Variant.h"

#include <algorithm>

bool GraphScene::IsEditorMode(int mode) {
    return mode == InputEq || mode == OutputEq || mode == OutputCrossover;
}

CFilter* GraphScene::ShownFilter(int index) const {
    if (program == nullptr) {
        return nullptr;
    }
    if (mode == InputEq) {
        CAudio_InData* input = program->GetInput(selectedInput);
        return input != nullptr ? input->GetFilter(index) : nullptr;
    }
    if (mode == OutputEq || mode == OutputCrossover) {
        CAudio_OutData* output = program->GetOutput(selectedOutput);
        return output != nullptr ? output->GetFilter(index) : nullptr;
    }
    return nullptr;
}

int GraphScene::ShownBandCount() const {
    if (program == nullptr) {
        return 0;
    }
    switch (mode) {
    case InputEq:
        return program->GetDeviceType() == 1 ? 8 : 6;
    case OutputEq:
        return 6;
    default:
        return 0;
    }
}

int GraphScene::HandleFilterCount() const {
    if (mode == OutputCrossover) {
        const CAudio_OutData* output =
            program != nullptr ? program->GetOutput(selectedOutput) : nullptr;
        return output != nullptr ? output->GetFilterCount() : 0;
    }
    return ShownBandCount();
}

std::vector<int> GraphScene::SummedOutputs() const {
    std::vector<int> outputs;
    if (program == nullptr) {
        return outputs;
    }
    const int count = std::min(OutputCount(), static_cast<int>(summed.size()));
    for (int i = 0; i < count; ++i) {
        if (summed[static_cast<std::size_t>(i)]) {
            outputs.push_back(i);
        }
    }
    return outputs;
}

bool GraphScene::HasDriver(int output) const {
    return program != nullptr && drivers != nullptr && output >= 0 && output < OutputCount() &&
           drivers->OnGrid(output) != nullptr;
}

int GraphScene::OutputCount() const {
    if (program == nullptr) {
        return 0;
    }
    const Variant* variant = Variant::ForDeviceType(program->GetDeviceType());
    return variant != nullptr ? variant->outputCount : program->GetOutputCount();
}
