#include "gui/session/DeviceSettings.h"

#include "core/protocol/ProtocolCodes.h"

DeviceSettings DeviceSettings::Of(const CAudio_Data& program) {
    DeviceSettings settings;
    settings.inputSource = program.GetInputSource();
    settings.backlight = program.GetBacklight();
    settings.temperature = program.GetTemperature();
    for (int line = 0; line < CAudio_Data::kInfoLines; ++line) {
        settings.infoText[static_cast<std::size_t>(line)] = program.GetInfoText(line);
    }
    return settings;
}

void DeviceSettings::ApplyTo(CAudio_Data& program) const {
    program.SetInputSource(inputSource);
    program.SetBacklight(backlight);
    program.SetTemperature(temperature);
    for (int line = 0; line < CAudio_Data::kInfoLines; ++line) {
        program.SetInfoText(line, infoText[static_cast<std::size_t>(line)]);
    }
}

DeviceSettings::Difference DeviceSettings::Compare(const DeviceSettings& first,
                                                   const DeviceSettings& second) {
    Difference d;
    d.inputSource = first.inputSource != second.inputSource;
    d.backlight = first.backlight != second.backlight;
    d.temperature = first.temperature != second.temperature;
    d.infoText = first.infoText != second.infoText;
    return d;
}

QStringList DeviceSettings::Difference::Names() const {
    QStringList names;
    const auto add = [&names](bool differs, const char* name) {
        if (differs) {
            names << QString::fromLatin1(name);
        }
    };
    add(inputSource, "input source");
    add(infoText, "interface text");
    add(backlight, "backlight");
    add(temperature, "temperature");
    return names;
}

std::vector<int> DeviceSettings::Difference::Items() const {
    std::vector<int> items;
    const auto add = [&items](bool differs, int item) {
        if (differs) {
            items.push_back(item);
        }
    };
    add(inputSource, Protocol::ItemInputSource);
    add(infoText, Protocol::ItemInterfaceText);
    add(backlight, Protocol::ItemBacklight);
    add(temperature, Protocol::ItemTemperature);
    return items;
}
