#pragma once

#include <array>

// The constants that tell the three panels apart: the 4-in/8-out, 3-in/6-out and 2-in/4-out
// processors. Everything else of device control is the same for all three.
struct Variant {
    int deviceType;                  // 1, 2 or 3: given to the program and to the command engine
    int inputCount;                  // inputs the panel shows and copies (A..)
    int outputCount;                 // outputs the panel shows and copies (1..)
    int engineOutputs;               // output channels the engine counts per program (always 8)
    const char* modelCode;           // "Fosk", "Wupa", "Jexo"
    const char* receivedTitlePrefix; // title after a program arrived, followed by its name
    const char* programTitlePrefix;  // title of a stored or loaded program, followed by its name
    const char* typeCodeText;        // type code an identification reply must carry
    const char* bankExtension;       // bank file of thirty programs
    const char* programExtension;    // one-program file
    int firstOutputLevelByte;        // level byte of output 1; inputs start at byte 0
    int dataViewCode;                // variant code of the data view
    bool hasInputSourceDisplay;      // only the 4-in/8-out panel shows the input source
    int initialDeviceId;             // device ID before the first connect (0: not set)

    // Level byte shown by the meter of input i (0-based) or output n (0-based).
    int InputLevelByte(int input) const { return input; }
    int OutputLevelByte(int output) const { return firstOutputLevelByte + output; }

    static const Variant& FourByEight();
    static const Variant& ThreeBySix();
    static const Variant& TwoByFour();
    // The variant of device type 1..3; nullptr for any other type.
    static const Variant* ForDeviceType(int type);
};
