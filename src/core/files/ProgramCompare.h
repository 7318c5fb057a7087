#pragma once

#include "core/files/ZorvanDoc.h"

#include <memory>
#include <string>
#include <vector>

class CAudio_Data;
struct ProgramImage;

// What was meant to be in a program against what is there, parameter by parameter
// (ParameterDiff), as the lines a read-back check and a diff print.
namespace ProgramCompare {

// A program of deviceType made from a stored program's image, as a recall makes it.
std::unique_ptr<CAudio_Data> FromImage(const ProgramImage& image, int deviceType);

// One line per parameter in which second differs from first, "P12 out3.gain: -3.0 != 0.0"
// for stored program 1..30 (0: the live program or a file, nothing in front).
std::vector<std::string> Lines(const CAudio_Data& first, const CAudio_Data& second, int deviceType,
                               int program = 0);

// The stored programs slot by slot, each slot's lines with its number in front.
std::vector<std::string> BankLines(const CZorvanDoc::StoredPrograms& first,
                                   const CZorvanDoc::StoredPrograms& second, int deviceType);

} // namespace ProgramCompare
