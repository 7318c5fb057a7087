#pragma once

#include "core/model/ParameterValues.h"

#include <array>
#include <string>
#include <vector>

// The three models of the processor family, 4 inputs / 8 outputs, 3 / 6 and 2 / 4, and the device
// facts that tell them apart: counts, codes, texts, file extensions and gain ranges. How a panel
// looks for a model is the panel layout's business; value rules, encoders and decoders that differ
// by model ask the program's device type.
//
// A program record always holds 4 inputs and 8 outputs, and every transfer moves all of them;
// the counts here are the channels the model has, shows and copies.
struct Variant {
    // Fixed part of the title after a program arrived from the device.
    static constexpr const char* kReceivedTitleStart = "Sonvex1.1 ";

    int deviceType;        // 1, 2 or 3: the type code on the wire, in files and in the program
    const char* name;      // "4x8", "3x6", "2x4": how the command-line tool names the model
    const char* modelCode; // "Fosk", "Wupa", "Jexo": shown in titles and printed tables
    int inputCount;        // inputs the model has (A..)
    int outputCount;       // outputs the model has (1..)
    int inputEqBands;      // EQ bands the editors offer on an input
    int outputEqBands;     // EQ bands the editors offer on an output

    // Channel gain: index ranges of the faders and edit boxes, the index of 0 dB and the
    // offset of the gain edit box (shown value = index * 0.1 - offset).
    IndexRange inputGainRange;
    IndexRange outputGainRange;
    int zeroDbGainIndex;
    double gainEditOffset;
    // Scale labels beside the first fader of each group, top to bottom.
    std::vector<std::string> inputScaleLabels;
    std::vector<std::string> outputScaleLabels;

    const char* programTitlePrefix; // "DSP48_": title of a stored or loaded program
    const char* typeCodeText;       // type code an identification reply must carry
    const char* bankExtension;      // ".dat48": bank file of thirty programs
    const char* programExtension;   // ".dia48": one-program file
    int firstOutputLevelByte;       // level byte of output 1; inputs start at byte 0
    bool hasInputSourceDisplay;     // only the 4-in/8-out panel shows the input source
    int interfaceTextLimit;         // characters of each interface text line: 20, or 16
    int initialDeviceId;            // device ID before the first connect (0: not set)

    // "Sonvex1.1 Fosk  " followed by the program name.
    std::string ReceivedTitle(const std::string& programName) const;
    // "DSP48_" followed by the program name.
    std::string ProgramTitle(const std::string& programName) const;
    // "*.dia48" and "*.dat48": the patterns of the file dialogs.
    std::string ProgramFilePattern() const;
    std::string BankFilePattern() const;
    // Caption of the select button of input i (0-based) and output n (0-based) in the template.
    std::string InputSelectCaption(int input) const;
    std::string OutputSelectCaption(int output) const;
    // Level byte shown by the meter of input i (0-based) or output n (0-based).
    int InputLevelByte(int input) const { return input; }
    int OutputLevelByte(int output) const { return firstOutputLevelByte + output; }
    // Fader positions are stored inverted: the range maximum minus the gain index.
    int InputFaderPosition(int gainIndex) const { return inputGainRange.max - gainIndex; }
    int OutputFaderPosition(int gainIndex) const { return outputGainRange.max - gainIndex; }

    static const Variant& FourByEight();
    static const Variant& ThreeBySix();
    static const Variant& TwoByFour();
    // The three models in the order of their device types.
    static const std::array<const Variant*, 3>& All();
    // The variant of device type 1..3; nullptr for any other type.
    static const Variant* ForDeviceType(int type);
    // The variant of device type 1..3; the 4-in/8-out model for any other type.
    static const Variant& OfDeviceType(int type);
};
