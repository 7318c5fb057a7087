#pragma once

#include "core/files/ProgramImage.h"
#include "core/model/AudioData.h"

#include <array>
#include <string>

// What the device has reported to one command engine. The reply decoders fill it; the panel
// copies from it when the engine tells it that something has arrived. The contents outlive
// a disconnection.
struct DeviceImages {
    static constexpr int kProgramNameCount = 31; // program 0 (live) and the stored 1..30
    static constexpr int kMeterCount = 12;       // inputs 1..4, then outputs 1..8
    static constexpr int kIdentificationLength = 9;
    static constexpr int kTypeCodeLength = 4;

    CAudio_Data program;  // mirror of the device's live program and device settings
    ProgramImage archive; // one stored program, filled by replies marked with ArchiveFlag
    std::array<std::string, kProgramNameCount> programNames;
    std::string lastProgramName; // the name decoded last
    std::array<int, kMeterCount> meters{};
    int inputSource = 0; // 0 analog, 1 digital
    std::string identificationText;
    std::string typeCodeText;
};
