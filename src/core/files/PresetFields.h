#pragma once

#include "core/files/JsonText.h"

#include <stdexcept>
#include <string>
#include <vector>

// The channels of a text preset as plain values, shared by the program file and the bank file
// forms, and their JSON. A program file keeps, besides the indices, the band gain and bandwidth
// as the doubles it archives, the flat flag and the frequency last sent; a bank file keeps
// indices only.

enum class PresetForm { ProgramFile, Bank };

struct PresetSection {
    int sectionType = 0; // 0..2 the EQ band types, 3 the high-pass, 4 the low-pass
    int frequency = 10;
    int slope = 0;
    int crossoverType = 2;
    int gainIndex = 300;
    int bandwidthIndex = 0;
    // Program file only.
    double gain = 0.0;
    double bandwidth = 0.05;
    bool flat = true;
    int sentFrequency = 10;
};

struct PresetChannel {
    bool output = false;
    std::string name;
    int on = 1;
    int polarity = 0;
    int gain = 0;
    int delay = 0;
    // Inputs.
    int auxFlag = 0;
    int auxValue = 0;
    int gateThreshold = 60;
    int gateOff = 0;
    // Outputs.
    int sourceMask = 1;
    int limitThreshold = 400;
    int attack = 0;
    int release = 0;
    int clipLimit = 20;
    int ratio = 0;
    int mode = 0;
    int timing = 0;
    // Program file: the output's two reserved ints; bank file: its reserved byte (first).
    int reserved1 = 0;
    int reserved2 = 0;
    std::vector<PresetSection> sections; // the EQ bands, the high-pass, the low-pass
};

// What is wrong in a preset: "line L: where: what".
struct PresetFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Raises the fault for value at path.
[[noreturn]] void PresetFail(const JsonValue& value, const std::string& path,
                             const std::string& what);
// The member key of object, which must be there.
const JsonValue& PresetMember(const JsonValue& object, const std::string& path,
                              const std::string& key);
// Refuses an object with members other than keys (or that is no object at all).
void PresetOnlyKeys(const JsonValue& object, const std::string& path,
                    const std::vector<std::string>& keys);
std::string PresetString(const JsonValue& value, const std::string& path);
int PresetInteger(const JsonValue& value, const std::string& path, int low, int high);

JsonValue ChannelToJson(const PresetChannel& channel, PresetForm form, int deviceType);
// The channel at path, with bandCount EQ bands, checked against the ranges of the model of
// deviceType (a value outside them throws PresetFault) and its editing rules (every state that
// breaks one is added to ruleBreaks as "line L: where: rule").
PresetChannel ChannelFromJson(const JsonValue& value, const std::string& path, bool output,
                              int bandCount, PresetForm form, int deviceType,
                              std::vector<std::string>& ruleBreaks);
