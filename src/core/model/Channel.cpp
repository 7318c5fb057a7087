#include "core/model/Channel.h"

#include "core/model/ValueTables.h"

CAudio_Channel::CAudio_Channel(bool input, int filterCount, std::uint8_t nameCode,
                               std::uint8_t levelCode, CurveSections curve)
    : m_nameCode(nameCode), m_levelCode(levelCode), m_curveSections(curve) {
    m_eq.Create(input, filterCount);
}

void CAudio_Channel::SetName(const std::string& name) {
    m_name.Assign(name);
    m_nameChanged = 1;
}

void CAudio_Channel::SetGain(int index) {
    m_gain = index;
    UpdateCurve();
    m_levelsChanged = 1;
}

void CAudio_Channel::SetDeviceType(int type) {
    m_deviceType = type;
    m_gain = ZeroDbGainIndex(type);
}

void CAudio_Channel::ClearChanged() {
    m_levelsChanged = 0;
    m_nameChanged = 0;
    for (int i = 0; i < m_eq.GetFilterCount(); ++i) {
        m_eq.GetFilter(i)->StepSentFrequency(0);
    }
}

void CAudio_Channel::SetCurveRect(const CRect& rect) {
    m_height = rect.Height();
    m_width = rect.Width();
    for (int i = 0; i < kCurvePoints; ++i) {
        m_curve[i] = CPoint(FreqToX(PlotFrequencies[i], m_width) + GraphLeftMargin, m_height / 2);
    }
    m_eq.SetCurveRect(rect);
    UpdateCurve();
}

void CAudio_Channel::UpdateCurve() {
    const int base = DbToY(0.0, m_height) + GraphTopMargin;
    m_gainOffset = DbToY(ChannelGainToDb(m_gain, m_deviceType), m_height) + GraphTopMargin;
    if (m_curveSections == CurveSections::All) {
        m_eq.SumAll();
    } else {
        m_eq.SumBands();
    }
    for (int i = 0; i < kCurvePoints; ++i) {
        m_curve[i].y = m_eq.GetCurvePoint(i).y + m_gainOffset - base;
    }
}

int CAudio_Channel::GetCurveSectionCount() const {
    // The crossover pair closes every filter set.
    constexpr int kCrossoverSections = 2;
    return m_curveSections == CurveSections::All ? m_eq.GetFilterCount()
                                                 : m_eq.GetFilterCount() - kCrossoverSections;
}

double CAudio_Channel::GetCurveResponse(int point) const {
    double sum = 0.0;
    for (int s = 0; s < GetCurveSectionCount(); ++s) {
        sum += m_eq.GetFilter(s)->GetResponse(point);
    }
    return sum;
}

CPoint CAudio_Channel::GetCurvePoint(int index) const {
    if (index < 0 || index >= kCurvePoints) {
        return CPoint();
    }
    return m_curve[index];
}

std::string CAudio_Channel::GetOnText() const {
    return OnText(m_on);
}

std::string CAudio_Channel::GetPolarityText() const {
    return PolarityText(m_polarity);
}

std::string CAudio_Channel::GetGainText() const {
    return ChannelGainText(m_gain, m_deviceType);
}

std::string CAudio_Channel::GetDelayText() const {
    return DelayText(m_delay, m_deviceType);
}

void CAudio_Channel::CopyChannelFrom(const CAudio_Channel& other) {
    m_name = other.m_name;
    m_on = other.m_on;
    m_polarity = other.m_polarity;
    m_delay = other.m_delay;
    m_gain = other.m_gain;
    m_eq.CopyFrom(other.m_eq);
}
