#pragma once

#include <optional>

class CAudio_Data;
class CAudio_InData;
class CAudio_OutData;

// One edited group of a program that the device has not been sent yet: which record carries
// it, for which channel, and (bands and sections) where in the channel's filter set.
struct PendingChange {
    enum class Kind {
        InputName,
        InputLevels,
        InputGate,
        InputSection, // section: 0..9, the EQ bands, then the high-pass and the low-pass
        OutputName,
        OutputLevels,
        OutputBand, // section: 0..5
        OutputCrossover,
        OutputDynamics,
    };

    Kind kind = Kind::InputName;
    int channel = 0;
    int section = 0;

    bool operator==(const PendingChange& other) const {
        return kind == other.kind && channel == other.channel && section == other.section;
    }
};

// Finds the program's pending changes one at a time, in the fixed scan order: inputs 0..3
// (name, levels, gate, sections 0..9), then outputs 0..7 (name, levels, bands 0..5, crossover,
// dynamics). Taking a change marks it as sent: its changed flag is cleared, except that a
// crossover section steps its sent frequency by one octave towards the set one and stays
// changed until it gets there. The encoder then builds the record from the program as it is.
class ChangeScan {
public:
    explicit ChangeScan(CAudio_Data& program) : m_program(program) {}

    // The first pending change, taken; nothing when every change has been taken.
    std::optional<PendingChange> TakeNext();

private:
    static std::optional<PendingChange> TakeInput(CAudio_InData& input, int channel);
    static std::optional<PendingChange> TakeOutput(CAudio_OutData& output, int channel);

    CAudio_Data& m_program;
};
