#pragma once

#include "core/model/AudioData.h"

#include <QStringList>

#include <array>
#include <string>
#include <vector>

// The settings of the device that a program carries beside its channels and that the operator
// edits: the input source (input editor) and the front panel's texts, backlight and temperature
// (Interface dialog). None of them has a change mark to be sent by: each is written to the
// device at once when chosen, and an undo history puts them back the same way.
struct DeviceSettings {
    int inputSource = 0;
    int backlight = 0;
    int temperature = 0;
    std::array<std::string, CAudio_Data::kInfoLines> infoText;

    static DeviceSettings Of(const CAudio_Data& program);
    void ApplyTo(CAudio_Data& program) const;

    // Which settings differ between first and second.
    struct Difference {
        bool inputSource = false;
        bool backlight = false;
        bool temperature = false;
        bool infoText = false;
        bool Any() const { return inputSource || backlight || temperature || infoText; }
        // What differs in the panel's words, in the order the dialogs show it: "input source",
        // "interface text", "backlight", "temperature".
        QStringList Names() const;
        // The device items that write what differs (input source first).
        std::vector<int> Items() const;
    };
    static Difference Compare(const DeviceSettings& first, const DeviceSettings& second);
};
