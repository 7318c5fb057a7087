#pragma once

#include "core/model/ParameterText.h"

#include <string>
#include <vector>

class CAudio_Data;

// One PARAM=VALUE of "sonvex-cli set": which parameter of which channel, and the typed value.
// Parsing checks the names against the variant (with the names of ParameterText); applying
// converts the value with the model's conversions and calls the channel's setters, as an
// editor does on commit.
struct ParamAssignment {
    using Section = ParameterSection;

    std::string text; // as given, for messages
    bool output = false;
    int channel = 0; // 0-based
    Section section = Section::Channel;
    int band = 0; // 0-based EQ band
    std::string field;
    std::string value;

    ParameterRef Ref() const { return {output, channel, section, band, field}; }
};

// Parses "out1.eq2.freq=250" for a program of deviceType (1..3). False with a message naming
// the assignment when a name is unknown or the channel or band does not exist on the variant.
bool ParseAssignment(const std::string& text, int deviceType, ParamAssignment& out,
                     std::string& error);

// Converts the value and sets it in program. A value that cannot be read, or lies outside the
// accepted range, changes nothing: false with the message ("Out of Range" and the valid range
// for the latter). The editing rules are not checked here.
bool ApplyAssignment(const ParamAssignment& assignment, CAudio_Data& program, std::string& error);

// One "set" command: every assignment as ApplyAssignment does, in order, and then the editing
// rules (EditRules) on the parts they changed, in the state they leave together, so that
// "out1.lpf.freq=8000 out1.hpf.freq=5000" holds in either order. A value or a rule that refuses
// an assignment changes nothing: false with the message naming the assignment and the range or
// the rule ("out1.hpf.freq=5000: High-pass above low-pass").
bool ApplyAssignments(const std::vector<ParamAssignment>& assignments, CAudio_Data& program,
                      std::string& error);

// Every PARAM name ParseAssignment takes for deviceType ("in1.gain", "out2.eq3.freq", ...), for
// the shell completion of "sonvex-cli set".
std::vector<std::string> ParameterNames(int deviceType);
