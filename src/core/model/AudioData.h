#pragma once

#include "core/model/InData.h"
#include "core/model/InRoute.h"
#include "core/model/OutData.h"
#include "core/model/OutRoute.h"
#include "core/plot/Geometry.h"

#include <array>
#include <string>

class CArchive;
struct ProgramImage;

// One program of a processor with the device-wide settings that travel with it. Always four
// inputs and eight outputs; the smaller variants mark the channels they lack as disabled.
class CAudio_Data {
public:
    static constexpr int kInfoLines = 9;

    CAudio_Data() = default;
    CAudio_Data(const CAudio_Data&) = delete;
    CAudio_Data& operator=(const CAudio_Data&) = delete;

    // Stores the type, disables the channels the variant lacks (never enables one) and hands
    // the type to every channel and filter section (which resets the channel gains to 0 dB).
    void SetDeviceType(int type);
    int GetDeviceType() const { return m_deviceType; }

    void SetName(const std::string& name) { m_name = name; }
    const std::string& GetName() const { return m_name; }

    // Channel i, or nullptr outside 0..3 / 0..7.
    CAudio_InData* GetInput(int index) { return m_inputs.GetAt(index); }
    const CAudio_InData* GetInput(int index) const { return m_inputs.GetAt(index); }
    CAudio_OutData* GetOutput(int index) { return m_outputs.GetAt(index); }
    const CAudio_OutData* GetOutput(int index) const { return m_outputs.GetAt(index); }
    int GetInputCount() const { return m_inputs.GetSize(); }
    int GetOutputCount() const { return m_outputs.GetSize(); }
    CAudio_InRoute& GetInputs() { return m_inputs; }
    CAudio_OutRoute& GetOutputs() { return m_outputs; }

    void SetDeviceId(int id) { m_deviceId = id; }
    int GetDeviceId() const { return m_deviceId; }
    void SetInputSource(int source) { m_inputSource = source; }
    int GetInputSource() const { return m_inputSource; }
    std::string GetInputSourceText() const;
    void SetBacklight(int backlight) { m_backlight = backlight; }
    int GetBacklight() const { return m_backlight; }
    std::string GetBacklightText() const;
    void SetTemperature(int celsius) { m_temperature = celsius; }
    int GetTemperature() const { return m_temperature; }
    std::string GetTemperatureText() const;
    // Info text lines 0..8; a line outside that range is ignored / reads as empty.
    void SetInfoText(int line, const std::string& text);
    std::string GetInfoText(int line) const;
    void SetStatusByte(int value) { m_statusByte = value; }
    int GetStatusByte() const { return m_statusByte; }
    void SetSpareValue(int value) { m_spareValue = value; }
    int GetSpareValue() const { return m_spareValue; }

    int GetGraphWidth() const { return m_width; }
    int GetGraphHeight() const { return m_height; }

    // Copies the name and every channel's parameters; device-level settings, device ID, device
    // type and enabled flags stay.
    void CopyFrom(const CAudio_Data& other);
    // Takes the name and every channel from a program image (fixed-layout form).
    void LoadFromImage(const ProgramImage& image);
    // Stores or loads the name and the channels in the one-program file order; the device
    // settings are not archived.
    void Serialize(CArchive& ar);
    // Takes the device information of another record: the nine info lines, backlight,
    // temperature, input source, status byte, spare value and program name.
    void CopyDeviceInfoFrom(const CAudio_Data& other);
    // Clears every channel's changed flags and steps every filter section's sent frequency.
    void ClearChanged();
    void SetCurveRect(const CRect& rect);

private:
    int m_height = 0;
    int m_width = 0;
    int m_deviceType = 1;
    int m_inputSource = 0;
    int m_temperature = 25;
    std::array<std::string, kInfoLines> m_infoText;
    int m_backlight = 0;
    int m_statusByte = 20;
    int m_spareValue = 0;
    std::string m_name = "NewProgram";
    CAudio_InRoute m_inputs;
    CAudio_OutRoute m_outputs;
    int m_deviceId = 0;
};
