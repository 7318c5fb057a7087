#pragma once

class CAudio_Data;
class CFilter;

// What the response graph shows: the program, the mode, and the input and output channels the
// editor modes show. The renderer and the mouse handling read the shown filters through it.
struct GraphScene {
    enum Mode { Overview = 0, InputEq = 1, OutputEq = 2, OutputCrossover = 3 };

    CAudio_Data* program = nullptr;
    int mode = Overview;
    int selectedInput = 0;
    int selectedOutput = 0;

    static bool IsEditorMode(int mode);
    bool IsEqMode() const { return mode == InputEq || mode == OutputEq; }

    // Filter index of the shown channel (the selected input in mode 1, the selected output in
    // modes 2 and 3); nullptr in mode 0 or when there is none.
    CFilter* ShownFilter(int index) const;
    // Number of EQ bands shown and draggable in the current mode (0 outside modes 1 and 2).
    int ShownBandCount() const;
    // Filters of the shown channel whose handles take the pointer are among the first this many.
    int HandleFilterCount() const;
};
