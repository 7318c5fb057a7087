#include "model/OutData.h"

#include "model/ValueTables.h"

CAudio_OutData::CAudio_OutData() {
    m_eq.Create(false, kFilterCount);
}

void CAudio_OutData::SetName(const std::string& name) {
    m_name.Assign(name);
    m_nameChanged = 1;
}

std::string CAudio_OutData::GetName() const {
    return m_name.Text();
}

std::string CAudio_OutData::GetNameText() const {
    return m_name.Text();
}

void CAudio_OutData::SetOn(std::uint8_t on) {
    m_on = on;
    m_levelsChanged = 1;
}

void CAudio_OutData::SetPolarity(std::uint8_t polarity) {
    m_polarity = polarity;
    m_levelsChanged = 1;
}

void CAudio_OutData::SetDelay(int index) {
    m_delay = index;
    m_levelsChanged = 1;
}

void CAudio_OutData::SetGain(int index) {
    m_gain = index;
    UpdateCurve();
    m_levelsChanged = 1;
}

void CAudio_OutData::SetSourceMask(std::uint8_t mask) {
    m_sourceMask = mask;
    m_levelsChanged = 1;
}

void CAudio_OutData::SetLimitThreshold(int index) {
    m_limitThreshold = index;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetAttack(std::uint8_t index) {
    m_attack = index;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetRelease(std::uint8_t index) {
    m_release = index;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetClipLimit(int index) {
    m_clipLimit = index;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetRatio(int index) {
    m_ratio = index;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetCompressorMode(int mode) {
    m_mode = mode;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetAutoTiming(int timing) {
    m_timing = timing;
    m_dynamicsChanged = 1;
}

std::uint8_t CAudio_OutData::GetCrossoverCode() const {
    return static_cast<std::uint8_t>(m_eq.GetHighPass()->GetCode());
}

int CAudio_OutData::GetFilterCount() const {
    return m_eq.GetFilterCount();
}

CFilter* CAudio_OutData::GetFilter(int index) {
    return m_eq.GetFilter(index);
}

const CFilter* CAudio_OutData::GetFilter(int index) const {
    return m_eq.GetFilter(index);
}

CFilter* CAudio_OutData::GetHighPass() {
    return m_eq.GetHighPass();
}

CFilter* CAudio_OutData::GetLowPass() {
    return m_eq.GetLowPass();
}

int CAudio_OutData::GetHighPassClass() const {
    const int f = m_eq.GetHighPass()->GetFrequency();
    if (f < 31) {
        return 51;
    }
    if (f < 63) {
        return 22;
    }
    if (f < 125) {
        return 14;
    }
    if (f < 500) {
        return 8;
    }
    if (f < 1000) {
        return 7;
    }
    if (f < 2000) {
        return 2;
    }
    return 0;
}

void CAudio_OutData::SetDeviceType(int type) {
    m_deviceType = type;
    m_gain = ZeroDbGainIndex(type);
}

void CAudio_OutData::ClearChanged() {
    m_nameChanged = 0;
    m_levelsChanged = 0;
    m_dynamicsChanged = 0;
    for (int i = 0; i < m_eq.GetFilterCount(); ++i) {
        m_eq.GetFilter(i)->StepSentFrequency(0);
    }
}

void CAudio_OutData::SetCurveRect(const CRect& rect) {
    m_height = rect.Height();
    m_width = rect.Width();
    for (int i = 0; i < kCurvePoints; ++i) {
        m_curve[i] = CPoint(FreqToX(PlotFrequencies[i], m_width) + GraphLeftMargin, m_height / 2);
    }
    m_eq.SetCurveRect(rect);
    UpdateCurve();
}

void CAudio_OutData::UpdateCurve() {
    const int base = DbToY(0.0, m_height) + GraphTopMargin;
    m_gainOffset = DbToY(ChannelGainToDb(m_gain, m_deviceType), m_height) + GraphTopMargin;
    // The output curve includes the crossover filters.
    m_eq.SumAll();
    for (int i = 0; i < kCurvePoints; ++i) {
        m_curve[i].y = m_eq.GetCurvePoint(i).y + m_gainOffset - base;
    }
}

CPoint CAudio_OutData::GetCurvePoint(int index) const {
    if (index < 0 || index >= kCurvePoints) {
        return CPoint();
    }
    return m_curve[index];
}

std::string CAudio_OutData::GetOnText() const {
    return OnText(m_on);
}

std::string CAudio_OutData::GetPolarityText() const {
    return PolarityText(m_polarity);
}

std::string CAudio_OutData::GetGainText() const {
    return ChannelGainText(m_gain, m_deviceType);
}

std::string CAudio_OutData::GetDelayText() const {
    return DelayText(m_delay, m_deviceType);
}

std::string CAudio_OutData::GetSourceText(int input) const {
    const bool fed = input >= 0 && input < kInputCount && ((m_sourceMask >> input) & 1) != 0;
    return SourceText(fed);
}

std::string CAudio_OutData::GetThresholdText() const {
    return LimitThresholdText(m_limitThreshold);
}

std::string CAudio_OutData::GetAttackText() const {
    return IsAutoCompressor() ? std::string() : AttackText(m_attack);
}

std::string CAudio_OutData::GetReleaseText() const {
    return IsAutoCompressor() ? std::string() : ReleaseText(m_release);
}

std::string CAudio_OutData::GetClipLimitText() const {
    return m_mode != 0 ? ClipLimitText(m_clipLimit) : std::string();
}

std::string CAudio_OutData::GetRatioText() const {
    return m_mode != 0 ? RatioText(m_ratio) : std::string();
}

std::string CAudio_OutData::GetTimingText() const {
    return m_mode != 0 ? TimingText(m_timing != 0 ? 1 : 0) : std::string();
}

std::string CAudio_OutData::GetModeText() const {
    return CompressorModeText(m_mode != 0 ? 1 : 0);
}

void CAudio_OutData::CopyFrom(const CAudio_OutData& other) {
    m_name = other.m_name;
    m_reserved1 = other.m_reserved1;
    m_on = other.m_on;
    m_polarity = other.m_polarity;
    m_delay = other.m_delay;
    m_gain = other.m_gain;
    m_sourceMask = other.m_sourceMask;
    m_eq.CopyFrom(other.m_eq);
    m_limitThreshold = other.m_limitThreshold;
    m_attack = other.m_attack;
    m_release = other.m_release;
    m_clipLimit = other.m_clipLimit;
    m_ratio = other.m_ratio;
    m_mode = other.m_mode;
    m_timing = other.m_timing;
}
