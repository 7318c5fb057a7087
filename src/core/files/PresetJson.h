#pragma once

#include "core/files/ZorvanDoc.h"

#include <string>
#include <vector>

class CAudio_Data;
struct Variant;

// Text presets: a one-program file or a bank file as JSON that people read and review as a
// diff. Keys come in a fixed order, one parameter a line, every value in the panel's own unit
// with the device's index beside it, channels and bands named as "sonvex-cli set" names them
// (in1, out2, eq3, hpf, lpf). Written and read back, a preset gives the file it came from byte
// for byte. Reading checks every value against the model's ranges and refuses the preset at the
// first one outside them, naming it with its line; states that break an editing rule (which a
// file or a device may hold, and a loader keeps) are named as well but do not refuse the
// preset. The format is described in docs/presets-format.md.

// "program" or "bank", and the model name ("4x8", ...) a preset says it is for.
struct PresetHeader {
    std::string kind;
    std::string model;
};

std::string ProgramToJson(const CAudio_Data& program, const Variant& variant);
std::string BankToJson(const CZorvanDoc::StoredPrograms& bank, const Variant& variant);

// The kind and model of a preset text; false with the reason in error.
bool ReadPresetHeader(const std::string& text, PresetHeader& header, std::string& error);
// A program preset of the variant's model into program (of that model's device type). False
// with "line L: where: what" in error, program then being partly set. Every editing rule the
// program breaks is one line of ruleBreaks ("line L: where: rule").
bool ProgramFromJson(const std::string& text, const Variant& variant, CAudio_Data& program,
                     std::string& error, std::vector<std::string>& ruleBreaks);
// A bank preset of the variant's model into bank; false with the error, bank unchanged.
bool BankFromJson(const std::string& text, const Variant& variant, CZorvanDoc::StoredPrograms& bank,
                  std::string& error, std::vector<std::string>& ruleBreaks);
