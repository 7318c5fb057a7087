#pragma once

#include "core/curves/ResponseTrace.h"

#include <array>
#include <vector>

class CAudio_Data;
class CFilter;
class MeasuredDrivers;

// What the response graph shows: the program, the mode, the input and output channels the
// editor modes show, the view of the overview, the outputs summed as one loudspeaker and the
// measured drivers of the outputs. The renderer and the mouse handling read the shown filters
// through it. View, sum and drivers are settings of the view, not of the program.
struct GraphScene {
    enum Mode { Overview = 0, InputEq = 1, OutputEq = 2, OutputCrossover = 3 };

    CAudio_Data* program = nullptr;
    int mode = Overview;
    int selectedInput = 0;
    int selectedOutput = 0;
    // The overview's view; the editor modes always show the magnitude, where their handles are.
    ResponseView view = ResponseView::Magnitude;
    // Outputs (0-based) whose sum is drawn over the curves, in every mode.
    std::array<bool, 8> summed{};
    const MeasuredDrivers* drivers = nullptr;

    static bool IsEditorMode(int mode);
    ResponseView ShownView() const { return mode == Overview ? view : ResponseView::Magnitude; }
    // The ticked outputs that the program has, in ascending order.
    std::vector<int> SummedOutputs() const;
    // The output's measured driver is drawn with it (the program has the output and drivers one
    // for it).
    bool HasDriver(int output) const;
    // Outputs of the program's model (0 without a program).
    int OutputCount() const;
    bool IsEqMode() const { return mode == InputEq || mode == OutputEq; }

    // Filter index of the shown channel (the selected input in mode 1, the selected output in
    // modes 2 and 3); nullptr in mode 0 or when there is none.
    CFilter* ShownFilter(int index) const;
    // Number of EQ bands shown and draggable in the current mode (0 outside modes 1 and 2).
    int ShownBandCount() const;
    // Filters of the shown channel whose handles take the pointer are among the first this many.
    int HandleFilterCount() const;
};
