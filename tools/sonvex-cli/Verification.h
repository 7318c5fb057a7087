#pragma once

#include "core/files/ZorvanDoc.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class CAudio_Data;
class DeviceSession;

// Reading back what push and restore wrote, and saying how it differs (--verify).
namespace Verification {

// Reads program 0..30 of the device as it now holds it (the live program as the connect
// reads it, a stored one without making it live). Null after the session's error is set.
std::unique_ptr<CAudio_Data> ReadBack(DeviceSession& session, int program);

// What was written against what was read back, for program 0..30 (0: no "P" in front).
struct Outcome {
    std::vector<std::string> lines;
    void Add(const CAudio_Data& written, const CAudio_Data& readBack, int deviceType, int program);
};

// Prints the lines on stdout; kSuccess when there are none, else kFailure after one line on
// stderr naming what differs from what.
int Report(const Outcome& outcome, const QString& what, const QString& file);

// push --verify: program 0..30 read back against the program written from file.
int CheckProgram(DeviceSession& session, const CAudio_Data& written, int program,
                 const QString& file);
// restore --verify: the thirty stored programs read back against the bank written from file.
int CheckBank(DeviceSession& session, const CZorvanDoc::StoredPrograms& written,
              const QString& file);

} // namespace Verification
