#pragma once

#include "model/ChannelNameBuffer.h"
#include "model/EQ.h"
#include "model/Filter.h"
#include "model/Geometry.h"

#include <array>
#include <cstdint>
#include <string>

class CArchive;
struct InputImage;

// One input channel of a program: name, levels, delay, noise gate and a filter set of eight EQ
// bands plus a high-pass and a low-pass filter (the crossover pair is sent but not drawn).
// Every parameter is held as the device's index; texts are derived on demand.
class CAudio_InData {
public:
    static constexpr int kNameLength = static_cast<int>(ChannelNameBuffer::kLength);
    static constexpr int kFilterCount = 10;
    static constexpr int kCurvePoints = 241;

    CAudio_InData();
    CAudio_InData(const CAudio_InData&) = delete;
    CAudio_InData& operator=(const CAudio_InData&) = delete;

    // Name: at most 8 characters; the rest of the buffer is filled with zero bytes.
    void SetName(const std::string& name);
    std::string GetName() const;
    std::string GetNameText() const;

    void SetOn(std::uint8_t on);
    std::uint8_t GetOn() const { return m_on; }
    void SetPolarity(std::uint8_t polarity);
    std::uint8_t GetPolarity() const { return m_polarity; }
    void SetDelay(int index);
    int GetDelay() const { return m_delay; }
    void SetGain(int index);
    int GetGain() const { return m_gain; }
    void SetAuxFlag(std::uint8_t flag);
    std::uint8_t GetAuxFlag() const { return m_auxFlag; }
    void SetAuxValue(int value);
    int GetAuxValue() const { return m_auxValue; }

    void SetGateThreshold(std::uint8_t index);
    std::uint8_t GetGateThreshold() const { return m_gateThreshold; }
    void SetGateOff(std::uint8_t off);
    std::uint8_t GetGateOff() const { return m_gateOff; }

    void SetChannelIndex(std::uint8_t index) { m_channelIndex = index; }
    std::uint8_t GetChannelIndex() const { return m_channelIndex; }
    void SetEnabled(int enabled) { m_enabled = enabled; }
    int IsEnabled() const { return m_enabled; }
    void SetColor(COLORREF color) { m_color = color; }
    COLORREF GetColor() const { return m_color; }

    std::uint8_t GetNameCode() const { return m_nameCode; }
    std::uint8_t GetLevelCode() const { return m_levelCode; }
    void SetLevelCode(std::uint8_t code) { m_levelCode = code; }
    std::uint8_t GetGateCode() const { return m_gateCode; }

    CEQ& GetEQ() { return m_eq; }
    const CEQ& GetEQ() const { return m_eq; }
    int GetFilterCount() const;
    // Section i (0..9), or nullptr outside that range.
    CFilter* GetFilter(int index);
    const CFilter* GetFilter(int index) const;
    CFilter* GetHighPass();
    CFilter* GetLowPass();

    // Stores the type and resets the gain to 0 dB in that type's encoding; no flag, no curve.
    void SetDeviceType(int type);
    int GetDeviceType() const { return m_deviceType; }

    // Changed flags of the name, levels and noise gate groups.
    void SetParamsChanged(int changed) { m_levelsChanged = changed; }
    int IsParamsChanged() const { return m_levelsChanged; }
    void SetNameChanged(int changed) { m_nameChanged = changed; }
    int IsNameChanged() const { return m_nameChanged; }
    void SetGateChanged(int changed) { m_gateChanged = changed; }
    int IsGateChanged() const { return m_gateChanged; }
    // Clears the three group flags and steps every filter section (StepSentFrequency(0)).
    void ClearChanged();

    void SetCurveRect(const CRect& rect);
    void UpdateCurve();
    // Curve point i (0..240); a default point outside that range.
    CPoint GetCurvePoint(int index) const;
    int GetGainOffset() const { return m_gainOffset; }

    std::string GetOnText() const;
    std::string GetPolarityText() const;
    std::string GetGainText() const;
    std::string GetDelayText() const;
    std::string GetGateText() const;

    // Copies the parameter values; index, colour, enabled flag, block codes, changed flags and
    // device type stay. The curve is not recomputed.
    void CopyFrom(const CAudio_InData& other);
    // Takes the parameters of an input record of a program image (fixed-layout form).
    void LoadFromImage(const InputImage& image);
    // Stores or loads the archived fields in the one-program file order.
    void Serialize(CArchive& ar);

private:
    std::array<CPoint, kCurvePoints> m_curve{};
    int m_gainOffset = 0;
    int m_height = 0;
    int m_width = 0;
    CEQ m_eq;
    ChannelNameBuffer m_name;
    std::uint8_t m_nameCode = 11;
    std::uint8_t m_on = 1;
    std::uint8_t m_polarity = 0;
    int m_delay = 0;
    int m_gain = 400;
    std::uint8_t m_auxFlag = 0;
    int m_auxValue = 0;
    std::uint8_t m_levelCode = 8;
    std::uint8_t m_channelIndex = 0;
    std::uint8_t m_gateThreshold = 60;
    std::uint8_t m_gateOff = 0;
    std::uint8_t m_gateCode = 10;
    int m_enabled = 1;
    COLORREF m_color = 0;
    int m_levelsChanged = 0;
    int m_nameChanged = 0;
    int m_gateChanged = 0;
    int m_deviceType = 1;
};
