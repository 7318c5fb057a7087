#pragma once

#include "core/curves/MeasuredDriver.h"

#include <cstddef>
#include <string>

// Reads a driver measurement as text: one point a line, frequency in Hz, level in dB and
// optionally phase in degrees, separated by spaces, tabs, commas or semicolons (in a line with
// semicolons a comma is a decimal comma); lines starting with '*' or '#' and empty lines are
// comments; columns after the third are ignored. Frequencies must rise from line to line. This
// covers the text exports of the usual measurement programs and the FRD format.
struct MeasurementRead {
    bool ok = false;
    MeasuredDriver driver;
    std::string error; // why the file was refused, naming the line: "line 7: ..."

    explicit operator bool() const { return ok; }
};

// Measurement files larger than this are not read.
inline constexpr std::size_t kMaxMeasurementFileSize = 8u << 20;

// firstLine: the number of the text's first line in the messages (for a text inside a larger
// file).
MeasurementRead ReadMeasurement(const std::string& text, int firstLine = 1);
// The same from a file; a file that cannot be read gives "cannot be opened (...)" as error.
MeasurementRead ReadMeasurementFile(const std::string& path);
// The whole text of a measurement file (or of a file of several, see DriverSideFile.h); false
// with why in error ("cannot be opened (...)", "is a folder, not a file", too large).
bool ReadMeasurementText(const std::string& path, std::string& text, std::string& error);
