#pragma once

#include "core/model/ChannelNameBuffer.h"
#include "core/model/EQ.h"
#include "core/model/Filter.h"
#include "core/model/ParameterValues.h"
#include "core/plot/Geometry.h"

#include <array>
#include <cstdint>
#include <string>

// What an input and an output channel of a program share: the name, the levels (on, polarity,
// gain, delay), the filter set, the name and levels changed flags, the device type, the block
// codes of the name and levels records, and the channel's curve in the graph. Every parameter
// is held as the device's index; texts are derived on demand. CAudio_InData and CAudio_OutData
// add what only they have.
class CAudio_Channel {
public:
    static constexpr int kNameLength = static_cast<int>(ChannelNameBuffer::kLength);
    static constexpr int kCurvePoints = 241;

    CAudio_Channel(const CAudio_Channel&) = delete;
    CAudio_Channel& operator=(const CAudio_Channel&) = delete;
    virtual ~CAudio_Channel() = default;

    // Name: at most 8 characters; the rest of the buffer is filled with zero bytes. Sets the
    // name changed flag. GetName and GetNameText give the same text.
    void SetName(const std::string& name);
    std::string GetName() const { return m_name.Text(); }
    std::string GetNameText() const { return m_name.Text(); }

    // The levels group: each setter sets the levels changed flag.
    void SetOn(std::uint8_t on) { SetInGroup(m_on, on, m_levelsChanged); }
    std::uint8_t GetOn() const { return m_on; }
    void SetPolarity(std::uint8_t polarity) { SetInGroup(m_polarity, polarity, m_levelsChanged); }
    std::uint8_t GetPolarity() const { return m_polarity; }
    void SetDelay(int index) { SetInGroup(m_delay, index, m_levelsChanged); }
    int GetDelay() const { return m_delay; }
    // Also recomputes the curve.
    void SetGain(int index);
    int GetGain() const { return m_gain; }

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

    CEQ& GetEQ() { return m_eq; }
    const CEQ& GetEQ() const { return m_eq; }
    int GetFilterCount() const { return m_eq.GetFilterCount(); }
    // Section i of the filter set, or nullptr outside it.
    CFilter* GetFilter(int index) { return m_eq.GetFilter(index); }
    const CFilter* GetFilter(int index) const { return m_eq.GetFilter(index); }
    CFilter* GetHighPass() { return m_eq.GetHighPass(); }
    CFilter* GetLowPass() { return m_eq.GetLowPass(); }

    // Stores the type and resets the gain to 0 dB in that type's encoding; no flag, no curve.
    void SetDeviceType(int type);
    int GetDeviceType() const { return m_deviceType; }

    // Changed flags. The "params" flag is the levels group's (on, polarity, gain, delay and
    // what a kind of channel adds to its levels record).
    void SetParamsChanged(int changed) { m_levelsChanged = changed; }
    int IsParamsChanged() const { return m_levelsChanged; }
    void SetNameChanged(int changed) { m_nameChanged = changed; }
    int IsNameChanged() const { return m_nameChanged; }
    // Clears every group flag and steps every filter section (StepSentFrequency(0)).
    virtual void ClearChanged();

    void SetCurveRect(const CRect& rect);
    void UpdateCurve();
    // Curve point i (0..240); a default point outside that range.
    CPoint GetCurvePoint(int index) const;
    int GetGainOffset() const { return m_gainOffset; }
    // The sections the channel's curve sums: the EQ bands of an input (its crossover pair is
    // sent but not drawn), every section of an output.
    int GetCurveSectionCount() const;
    // The summed response of those sections in dB at plot point i (0..240), without the gain.
    double GetCurveResponse(int point) const;

    std::string GetOnText() const;
    std::string GetPolarityText() const;
    std::string GetGainText() const;
    std::string GetDelayText() const;

protected:
    // Which sections the channel's curve sums: the EQ bands only (inputs, whose crossover
    // pair is sent but not drawn) or every section (outputs).
    enum class CurveSections { BandsOnly, All };

    CAudio_Channel(bool input, int filterCount, std::uint8_t nameCode, std::uint8_t levelCode,
                   CurveSections curve);

    // What every setter of a group does: stores the value and sets the group's changed flag.
    template <typename Field, typename Value>
    static void SetInGroup(Field& field, Value value, int& groupChanged) {
        field = value;
        groupChanged = 1;
    }

    // Copies the shared parameter values (name, levels, filter set); index, colour, enabled
    // flag, block codes, changed flags and device type stay.
    void CopyChannelFrom(const CAudio_Channel& other);
    // After the archived fields were read: takes the name and keeps on and polarity at 0 or 1,
    // delay and gain inside the ranges of the channel's device type, as the decoders do.
    void LimitLoadedLevels(const std::string& name, std::int32_t delay, std::int32_t gain,
                           const IndexRange& gainRange);
    // Takes name, levels, EQ bands and crossover sections from a channel record of a program
    // image (InputImage or OutputImage, which share these fields).
    template <typename Image> void LoadChannelFromImage(const Image& image) {
        SetName(image.name);
        SetOn(image.on);
        SetPolarity(image.polarity);
        SetDelay(image.delay);
        SetGain(image.gain);
        for (std::size_t i = 0; i < image.bands.size(); ++i) {
            m_eq.GetFilter(static_cast<int>(i))->LoadFromImage(image.bands[i]);
        }
        m_eq.GetHighPass()->LoadFromImage(image.highPass, image.lowPass);
        m_eq.GetLowPass()->LoadFromImage(image.highPass, image.lowPass);
    }

    std::array<CPoint, kCurvePoints> m_curve{};
    int m_gainOffset = 0;
    int m_height = 0;
    int m_width = 0;
    CEQ m_eq;
    ChannelNameBuffer m_name;
    std::uint8_t m_nameCode;
    std::uint8_t m_on = 1;
    std::uint8_t m_polarity = 0;
    int m_delay = 0;
    int m_gain = 400;
    std::uint8_t m_levelCode;
    std::uint8_t m_channelIndex = 0;
    int m_enabled = 1;
    COLORREF m_color = 0;
    int m_levelsChanged = 0;
    int m_nameChanged = 0;
    int m_deviceType = 1;

private:
    CurveSections m_curveSections;
};
