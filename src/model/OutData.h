#pragma once

#include "model/ChannelNameBuffer.h"
#include "model/EQ.h"
#include "model/Filter.h"
#include "model/Geometry.h"

#include <array>
#include <cstdint>
#include <string>

class CArchive;
struct OutputImage;

// One output channel of a program: name, source mask over the inputs, levels, delay, a filter
// set of six EQ bands plus the crossover high-pass and low-pass filters, and a dynamics
// processor working as a limiter or a compressor. Parameters are held as device indices.
class CAudio_OutData {
public:
    static constexpr int kNameLength = static_cast<int>(ChannelNameBuffer::kLength);
    static constexpr int kFilterCount = 8;
    static constexpr int kCurvePoints = 241;
    static constexpr int kInputCount = 4;

    CAudio_OutData();
    CAudio_OutData(const CAudio_OutData&) = delete;
    CAudio_OutData& operator=(const CAudio_OutData&) = delete;

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
    // Bit n set: input n + 1 feeds this output.
    void SetSourceMask(std::uint8_t mask);
    std::uint8_t GetSourceMask() const { return m_sourceMask; }

    void SetLimitThreshold(int index);
    int GetLimitThreshold() const { return m_limitThreshold; }
    void SetAttack(std::uint8_t index);
    std::uint8_t GetAttack() const { return m_attack; }
    void SetRelease(std::uint8_t index);
    std::uint8_t GetRelease() const { return m_release; }
    void SetClipLimit(int index);
    int GetClipLimit() const { return m_clipLimit; }
    void SetRatio(int index);
    int GetRatio() const { return m_ratio; }
    void SetCompressorMode(int mode);
    int GetCompressorMode() const { return m_mode; }
    void SetAutoTiming(int timing);
    int GetAutoTiming() const { return m_timing; }

    // Always 0 on this device family; archived and copied.
    void SetReserved1(int value) { m_reserved1 = value; }
    int GetReserved1() const { return m_reserved1; }
    void SetReserved2(int value) { m_reserved2 = value; }
    int GetReserved2() const { return m_reserved2; }

    void SetChannelIndex(std::uint8_t index) { m_channelIndex = index; }
    std::uint8_t GetChannelIndex() const { return m_channelIndex; }
    void SetEnabled(int enabled) { m_enabled = enabled; }
    int IsEnabled() const { return m_enabled; }
    void SetColor(COLORREF color) { m_color = color; }
    COLORREF GetColor() const { return m_color; }

    std::uint8_t GetNameCode() const { return m_nameCode; }
    void SetNameCode(std::uint8_t code) { m_nameCode = code; }
    std::uint8_t GetLevelCode() const { return m_levelCode; }
    void SetLevelCode(std::uint8_t code) { m_levelCode = code; }
    std::uint8_t GetDynamicsCode() const { return m_dynamicsCode; }
    void SetDynamicsCode(std::uint8_t code) { m_dynamicsCode = code; }
    // Block code of the two crossover sections.
    std::uint8_t GetCrossoverCode() const;

    CEQ& GetEQ() { return m_eq; }
    const CEQ& GetEQ() const { return m_eq; }
    int GetFilterCount() const;
    // Section i (0..7), or nullptr outside that range.
    CFilter* GetFilter(int index);
    const CFilter* GetFilter(int index) const;
    CFilter* GetHighPass();
    CFilter* GetLowPass();
    // Code derived from the high-pass frequency, carried in the dynamics record.
    int GetHighPassClass() const;

    // Stores the type and resets the gain to 0 dB in that type's encoding; no flag, no curve.
    void SetDeviceType(int type);
    int GetDeviceType() const { return m_deviceType; }

    void SetNameChanged(int changed) { m_nameChanged = changed; }
    int IsNameChanged() const { return m_nameChanged; }
    void SetParamsChanged(int changed) { m_levelsChanged = changed; }
    int IsParamsChanged() const { return m_levelsChanged; }
    void SetDynamicsChanged(int changed) { m_dynamicsChanged = changed; }
    int IsDynamicsChanged() const { return m_dynamicsChanged; }
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
    // "On" if input `input` (0..3) feeds this output, else "Off".
    std::string GetSourceText(int input) const;
    std::string GetThresholdText() const;
    std::string GetAttackText() const;
    std::string GetReleaseText() const;
    std::string GetClipLimitText() const;
    std::string GetRatioText() const;
    std::string GetTimingText() const;
    std::string GetModeText() const;

    // Copies the parameter values; block codes, index, colour, enabled flag, changed flags and
    // device type stay. The curve is not recomputed.
    void CopyFrom(const CAudio_OutData& other);
    // Takes the parameters of an output record of a program image (fixed-layout form).
    void LoadFromImage(const OutputImage& image);
    // Stores or loads the archived fields in the one-program file order.
    void Serialize(CArchive& ar);

private:
    bool IsAutoCompressor() const { return m_mode != 0 && m_timing != 0; }

    std::array<CPoint, kCurvePoints> m_curve{};
    int m_gainOffset = 0;
    int m_height = 0;
    int m_width = 0;
    CEQ m_eq;
    ChannelNameBuffer m_name;
    std::uint8_t m_nameCode = 9;
    int m_reserved1 = 0;
    std::uint8_t m_on = 1;
    int m_gain = 400;
    std::uint8_t m_polarity = 0;
    std::uint8_t m_sourceMask = 1;
    int m_delay = 0;
    std::uint8_t m_levelCode = 6;
    int m_reserved2 = 0;
    int m_limitThreshold = 400;
    std::uint8_t m_attack = 0;
    std::uint8_t m_release = 0;
    int m_clipLimit = 20;
    int m_ratio = 0;
    int m_mode = 0;
    int m_timing = 0;
    std::uint8_t m_dynamicsCode = 8;
    std::uint8_t m_channelIndex = 0;
    int m_enabled = 1;
    COLORREF m_color = 0;
    int m_nameChanged = 0;
    int m_levelsChanged = 0;
    int m_dynamicsChanged = 0;
    int m_deviceType = 1;
};
