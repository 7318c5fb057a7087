#include "model/InData.h"

#include "model/ValueTables.h"

CAudio_InData::CAudio_InData() {
    m_eq.Create(true, kFilterCount);
}

void CAudio_InData::SetName(const std::string& name) {
    m_name.Assign(name);
    m_nameChanged = 1;
}

std::string CAudio_InData::GetName() const {
    return m_name.Text();
}

std::string CAudio_InData::GetNameText() const {
    return m_name.Text();
}

void CAudio_InData::SetOn(std::uint8_t on) {
    m_on = on;
    m_levelsChanged = 1;
}

void CAudio_InData::SetPolarity(std::uint8_t polarity) {
    m_polarity = polarity;
    m_levelsChanged = 1;
}

void CAudio_InData::SetDelay(int index) {
    m_delay = index;
    m_levelsChanged = 1;
}

void CAudio_InData::SetGain(int index) {
    m_gain = index;
    UpdateCurve();
    m_levelsChanged = 1;
}

void CAudio_InData::SetAuxFlag(std::uint8_t flag) {
    m_auxFlag = flag;
    m_levelsChanged = 1;
}

void CAudio_InData::SetAuxValue(int value) {
    m_auxValue = value & 0xFF;
}

void CAudio_InData::SetGateThreshold(std::uint8_t index) {
    m_gateThreshold = index;
    m_gateChanged = 1;
}

void CAudio_InData::SetGateOff(std::uint8_t off) {
    m_gateOff = off;
    m_gateChanged = 1;
}

int CAudio_InData::GetFilterCount() const {
    return m_eq.GetFilterCount();
}

CFilter* CAudio_InData::GetFilter(int index) {
    return m_eq.GetFilter(index);
}

const CFilter* CAudio_InData::GetFilter(int index) const {
    return m_eq.GetFilter(index);
}

CFilter* CAudio_InData::GetHighPass() {
    return m_eq.GetHighPass();
}

CFilter* CAudio_InData::GetLowPass() {
    return m_eq.GetLowPass();
}

void CAudio_InData::SetDeviceType(int type) {
    m_deviceType = type;
    m_gain = ZeroDbGainIndex(type);
}

void CAudio_InData::ClearChanged() {
    m_levelsChanged = 0;
    m_nameChanged = 0;
    m_gateChanged = 0;
    for (int i = 0; i < m_eq.GetFilterCount(); ++i) {
        m_eq.GetFilter(i)->StepSentFrequency(0);
    }
}

void CAudio_InData::SetCurveRect(const CRect& rect) {
    m_height = rect.Height();
    m_width = rect.Width();
    for (int i = 0; i < kCurvePoints; ++i) {
        m_curve[i] = CPoint(FreqToX(PlotFrequencies[i], m_width) + GraphLeftMargin, m_height / 2);
    }
    m_eq.SetCurveRect(rect);
    UpdateCurve();
}

void CAudio_InData::UpdateCurve() {
    const int base = DbToY(0.0, m_height) + GraphTopMargin;
    m_gainOffset = DbToY(ChannelGainToDb(m_gain, m_deviceType), m_height) + GraphTopMargin;
    // The high-pass and low-pass filters of an input are sent but not drawn.
    m_eq.SumBands();
    for (int i = 0; i < kCurvePoints; ++i) {
        m_curve[i].y = m_eq.GetCurvePoint(i).y + m_gainOffset - base;
    }
}

CPoint CAudio_InData::GetCurvePoint(int index) const {
    if (index < 0 || index >= kCurvePoints) {
        return CPoint();
    }
    return m_curve[index];
}

std::string CAudio_InData::GetOnText() const {
    return OnText(m_on);
}

std::string CAudio_InData::GetPolarityText() const {
    return PolarityText(m_polarity);
}

std::string CAudio_InData::GetGainText() const {
    return ChannelGainText(m_gain, m_deviceType);
}

std::string CAudio_InData::GetDelayText() const {
    return DelayText(m_delay, m_deviceType);
}

std::string CAudio_InData::GetGateText() const {
    return GateThresholdText(m_gateThreshold, m_gateOff != 0);
}

void CAudio_InData::CopyFrom(const CAudio_InData& other) {
    m_name = other.m_name;
    m_on = other.m_on;
    m_polarity = other.m_polarity;
    m_delay = other.m_delay;
    m_gain = other.m_gain;
    m_auxFlag = other.m_auxFlag;
    m_auxValue = other.m_auxValue;
    m_gateThreshold = other.m_gateThreshold;
    m_gateOff = other.m_gateOff;
    m_eq.CopyFrom(other.m_eq);
}
