#pragma once

#include <string>
#include <vector>

class CAudio_Data;

// The parameters of a program's channels by name, as "sonvex-cli set" names them
// ("in1.gain", "out3.eq2.freq", "out1.hpf.slope", "out2.limiter.attack"), with their values
// as text that "set" reads back to the same value. One naming for every tool that prints or
// takes parameters: set, diff and the read-back check after a write.
//
// A parameter that does not matter in the state its channel is in has no value text, and so
// is neither listed nor compared. These are the parameters the parameter table leaves out or
// shows as a fixed text:
//   - the threshold of a noise gate that is off (the gate shows "off" instead);
//   - the gain of an EQ band that is off, the width (bw, q) of a shelf, the slope of a
//     peaking band;
//   - attack and release of a compressor with automatic timing;
//   - clip limit, ratio and timing of a limiter (they belong to the compressor).
// Device-wide settings (input source, backlight, temperature) and the program's own name are
// not channel parameters and are not named here.

enum class ParameterSection { Channel, Eq, HighPass, LowPass, Limiter };

// One parameter of a program: which channel, which part of it and which field.
struct ParameterRef {
    bool output = false;
    int channel = 0; // 0-based
    ParameterSection section = ParameterSection::Channel;
    int band = 0; // 0-based EQ band
    std::string field;
};

// A parameter named, with its value as text.
struct ParameterEntry {
    std::string name;
    std::string value;
};

namespace ParameterText {

// The field names of a section, in the order they are listed; the EQ band's "q" is the other
// face of its "bw" and is taken, but never listed.
const std::vector<std::string>& Fields(ParameterSection section);
// Whether a field of section exists on an input (output false) or an output: the gate is an
// input's, the source and the crossover and limiter sections an output's.
bool HasField(ParameterSection section, const std::string& field, bool output);
// Whether a field is another spelling of a listed one ("q").
bool IsAlias(ParameterSection section, const std::string& field);

// "in1", "out3" for a 0-based channel.
std::string ChannelName(bool output, int channel);
// "out3.eq2.freq"
std::string Name(const ParameterRef& ref);

// Every parameter the model of deviceType has on its channels, aliases included, in order.
std::vector<ParameterRef> Parameters(int deviceType);

// The value of ref in program as "set" takes it ("-3.0", "12.5000ms", "A+C", "off",
// "\"Kick\"" for a name in quotes); empty when the parameter does not matter in the program's
// state.
std::string Value(const CAudio_Data& program, const ParameterRef& ref);

// Every parameter of program that matters in its state, aliases left out, in order.
std::vector<ParameterEntry> List(const CAudio_Data& program);

} // namespace ParameterText
