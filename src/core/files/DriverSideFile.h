#pragma once

#include <string>

class MeasuredDrivers;

// The measured drivers of a program live beside its program file, never inside the fixed
// program and bank formats: in the side file "<program file>.drivers", a text file with one
// block per output that has a driver, "[out2]" on a line of its own followed by the measurement
// lines (frequency in Hz, level in dB, phase in degrees when measured) as ReadMeasurement reads
// them. Lines starting with '*' or '#' are comments.

// "show.dia48" -> "show.dia48.drivers"
std::string DriverSideFilePath(const std::string& programPath);

struct DriverSideResult {
    bool ok = false;
    std::string path;  // the side file
    std::string error; // what failed, naming the line when the file is malformed
    int attached = 0;  // drivers read

    explicit operator bool() const { return ok; }
};

// Writes the attached drivers into the side file of programPath, replacing it only once every
// byte is written; with no driver attached the side file is removed.
DriverSideResult StoreDriverSideFile(const std::string& programPath,
                                     const MeasuredDrivers& drivers);
// Attaches the drivers of the side file of programPath. A missing side file is no error (none
// attached); a malformed one attaches nothing.
DriverSideResult LoadDriverSideFile(const std::string& programPath, MeasuredDrivers& drivers);
