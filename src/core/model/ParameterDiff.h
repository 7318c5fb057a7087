#pragma once

#include <string>
#include <vector>

class CAudio_Data;

// A parameter whose value differs between two programs, named as ParameterText names it.
struct ParameterDifference {
    std::string name;
    std::string first;
    std::string second;
};

namespace ParameterDiff {

// The parameters of the model of deviceType whose value texts differ between first and second,
// in the order ParameterText lists them. A parameter that does not matter in the state of
// either program (ParameterText) is not compared: the parameter that makes that state (the
// gate, the band's switch, its type, the limiter's mode or timing) shows the difference.
std::vector<ParameterDifference> Compare(const CAudio_Data& first, const CAudio_Data& second,
                                         int deviceType);

// "out3.gain: -3.0 != 0.0"; for stored program 1..30 with "P12 " in front (0: the live
// program or a file, nothing in front).
std::string Line(const ParameterDifference& difference, int program = 0);

} // namespace ParameterDiff
