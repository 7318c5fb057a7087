#include "core/model/Filter.h"

#include "core/curves/CrossoverResponse.h"
#include "core/curves/EqResponse.h"
#include "core/model/ParameterValues.h"
#include "core/plot/Handles.h"
#include "core/plot/Truncation.h"

#include <algorithm>
#include <cmath>

// ---- Setters ----

void CFilter::SetType(int type) {
    m_type = type;
    if (type == LowPass) {
        m_sentFrequency = MaxFrequency;
    }
    ForgetResponse();
    m_changed = 1;
}

void CFilter::SetFrequency(int hz) {
    m_frequency = hz;
    UpdateHandles();
    ForgetResponse();
    m_changed = 1;
}

void CFilter::SetGain(double dB) {
    m_gain = dB;
    if (m_bandMode) {
        UpdateBandHandle();
    }
    ForgetResponse();
    m_changed = 1;
}

void CFilter::SetGainIndex(int index) {
    m_gain = EqGainIndexToDb(index);
    m_flat = m_gain == 0.0 ? 1 : 0;
    if (m_bandMode) {
        UpdateBandHandle();
    }
    ForgetResponse();
    m_changed = 1;
}

void CFilter::SetFlat(int flat) {
    m_flat = flat;
    if (m_bandMode) {
        UpdateBandHandle();
    }
    ForgetResponse();
    m_changed = 1;
}

void CFilter::SetBandwidth(double octaves) {
    m_bandwidth = octaves;
    if (m_bandMode) {
        UpdateBandwidthHandles();
    }
    ForgetResponse();
    m_changed = 1;
}

void CFilter::SetBandwidthIndex(int index) {
    m_bandwidth = BandwidthIndexToOctaves(index, m_deviceType);
    if (m_bandMode) {
        UpdateBandwidthHandles();
    }
    ForgetResponse();
    m_changed = 1;
}

void CFilter::SetCrossoverType(int type) {
    m_crossoverType = type;
    ForgetResponse();
    m_changed = 1;
}

void CFilter::SetSlope(int slope) {
    m_slope = slope;
    ForgetResponse();
    m_changed = 1;
}

void CFilter::SetSentFrequency(int hz) {
    m_sentFrequency = hz;
}

void CFilter::SetCode(int code) {
    m_code = code;
}

void CFilter::SetBandMode(int bandMode) {
    m_bandMode = bandMode;
}

void CFilter::SetDeviceType(int deviceType) {
    m_deviceType = deviceType;
}

void CFilter::SetCurveRect(const CRect& rect) {
    m_width = rect.Width();
    m_height = rect.Height();
    UpdateHandles();
    ForgetResponse();
}

// ---- Getters and texts ----

int CFilter::GetGainIndex() const {
    return TruncToInt((m_gain + 30.0) * 10.0 + 0.5);
}

int CFilter::GetBandwidthIndex() const {
    return BandwidthOctavesToIndex(m_bandwidth, m_deviceType);
}

double CFilter::GetQ() const {
    return BandwidthIndexToQ(GetBandwidthIndex(), m_deviceType);
}

double CFilter::GetResponse(int i) const {
    if (i < 0 || i >= PlotPointCount) {
        return 0.0;
    }
    return GetResponses()[static_cast<std::size_t>(i)];
}

const std::array<double, PlotPointCount>& CFilter::GetResponses() const {
    if (m_response == nullptr) {
        m_response = std::make_unique<std::array<double, PlotPointCount>>();
        m_response->fill(0.0);
        m_responseStale = true;
    }
    if (m_responseStale) {
        ComputeResponse();
        m_responseStale = false;
    }
    return *m_response;
}

void CFilter::GetBandwidthHandles(CRect& left, CRect& right) const {
    left = m_leftHandle;
    right = m_rightHandle;
}

std::string CFilter::GetFrequencyText() const {
    return FrequencyText(m_frequency);
}

std::string CFilter::GetGainText() const {
    return EqGainText(m_gain, m_flat != 0);
}

std::string CFilter::GetBandwidthText() const {
    return BandwidthText(m_bandwidth);
}

std::string CFilter::GetQText() const {
    return QText(GetQ());
}

std::string CFilter::GetTypeText() const {
    return EqTypeText(m_type, m_slope);
}

std::string CFilter::GetShelfSlopeText() const {
    return ShelfSlopeText(m_slope);
}

std::string CFilter::GetCrossoverTypeText() const {
    return CrossoverTypeText(m_crossoverType);
}

std::string CFilter::GetSlopeText() const {
    return SlopeText(m_slope);
}

// ---- Sending, response, copying ----

void CFilter::StepSentFrequency(int value) {
    if (m_bandMode || m_sentFrequency == m_frequency) {
        m_changed = value;
        return;
    }
    if (m_sentFrequency <= 0) {
        // No octave can be stepped from a sent frequency of zero or below; go straight to
        // the set frequency.
        m_sentFrequency = m_frequency;
    } else if (m_frequency / m_sentFrequency >= 2) {
        m_sentFrequency *= 2;
    } else if (static_cast<double>(m_frequency) / m_sentFrequency <= 0.5) {
        m_sentFrequency /= 2;
    } else {
        m_sentFrequency = m_frequency;
    }
    // The section stays changed until the sent frequency has reached the set one.
    m_changed = 1;
}

void CFilter::ComputeResponse() const {
    std::array<double, PlotPointCount>& response = *m_response;
    switch (m_type) {
    case Peaking:
        if (m_flat) {
            response.fill(0.0);
        } else {
            response = PeakingResponse(m_frequency, m_gain, m_bandwidth);
        }
        break;
    case LowShelf:
    case HighShelf:
        if (m_flat) {
            response.fill(0.0);
        } else {
            response = ShelfResponse(m_type == HighShelf, m_frequency, m_gain, m_slope);
        }
        break;
    case HighPass:
        if (m_frequency > MinFrequency) {
            response = HighPassResponse(m_frequency, m_crossoverType, m_slope);
        } else {
            response.fill(0.0);
        }
        break;
    case LowPass:
        if (m_frequency < MaxFrequency) {
            response = LowPassResponse(m_frequency, m_crossoverType, m_slope);
        } else {
            response.fill(0.0);
        }
        break;
    default:
        break;
    }
}

void CFilter::CopyFrom(const CFilter& other) {
    m_type = other.m_type;
    m_frequency = other.m_frequency;
    m_gain = other.m_gain;
    m_flat = other.m_flat;
    m_bandwidth = other.m_bandwidth;
    m_crossoverType = other.m_crossoverType;
    m_slope = other.m_slope;
    m_sentFrequency = other.m_frequency;
    UpdateHandles();
    ForgetResponse();
}

// ---- Handles ----

void CFilter::UpdateHandles() {
    if (m_bandMode) {
        UpdateBandHandle();
    } else {
        m_bandHandle = CrossoverHandleRect(m_frequency, m_type == HighPass, m_width, m_height);
    }
}

void CFilter::UpdateBandHandle() {
    m_bandHandle = BandHandleRect(m_frequency, m_gain, m_flat != 0, m_width, m_height);
    UpdateBandwidthHandles();
}

void CFilter::UpdateBandwidthHandles() {
    const BandwidthHandleRects rects =
        BandwidthHandles(m_bandHandle, m_frequency, m_gain, m_bandwidth, m_width);
    m_leftHandle = rects.left;
    m_rightHandle = rects.right;
}

// ---- Graph editing ----

CPoint CFilter::BeginDrag(CPoint point) const {
    const CPoint centre = m_bandHandle.CenterPoint();
    return CPoint(point.x - centre.x, point.y - centre.y);
}

bool CFilter::DragTo(CPoint point, CPoint grabOffset) {
    const int x = std::clamp(point.x - grabOffset.x - GraphLeftMargin, 0, std::max(m_width, 0));
    const int yLow = m_height / 11;
    const int yHigh = std::max(m_height * 5 / 6, yLow);
    const int y = std::clamp(point.y - grabOffset.y - GraphTopMargin, yLow, yHigh);

    const int oldFrequency = m_frequency;
    const int oldGainIndex = GetGainIndex();

    const int frequency = LimitEqBandFrequency(m_type, XToFreq(x, m_width));
    m_gain = std::clamp(YToDb(y, m_height), MinEqGainDb, MaxEqGainDb);
    m_flat = m_gain == 0.0 ? 1 : 0;
    m_frequency = frequency;

    const bool changed = frequency != oldFrequency || GetGainIndex() != oldGainIndex;
    if (changed) {
        SetFrequency(frequency);
    }
    m_gain = EqGainIndexToDb(GetGainIndex());
    UpdateBandHandle();
    ForgetResponse();
    return changed;
}

int CFilter::BeginBandwidthDrag(int x, BandwidthSide side) const {
    switch (side) {
    case LeftSide:
        return x - m_leftHandle.right;
    case RightSide:
        return x - m_rightHandle.left;
    default:
        return 0;
    }
}

bool CFilter::DragBandwidth(int x, BandwidthSide side) {
    const bool left = side == LeftSide;
    if (left || side == RightSide) {
        const double edge = XToFreq(x - GraphLeftMargin, m_width);
        const double ratio = left ? m_frequency / edge : edge / m_frequency;
        double octaves = std::log10(ratio) / std::log10(2.0);
        if (!(octaves >= MinBandwidth)) {
            octaves = MinBandwidth;
        } else if (octaves > MaxBandwidth) {
            octaves = MaxBandwidth;
        }
        m_bandwidth = octaves;
        SetBandwidthIndex(GetBandwidthIndex());
    }
    return true;
}

bool CFilter::DragCrossoverTo(CPoint point, CPoint grabOffset, int limit) {
    const int oldFrequency = m_frequency;
    const int x = point.x - grabOffset.x - GraphLeftMargin;
    if (x <= 0 && m_type == HighPass) {
        SetFrequency(MinFrequency);
        return m_frequency != oldFrequency;
    }
    const int f = XToFreq(std::clamp(x, 0, std::max(m_width, 0)), m_width);
    if (f == m_frequency) {
        return false;
    }
    if (m_type == HighPass) {
        SetFrequency(std::min(f, limit));
    } else {
        SetFrequency(std::max(f, limit));
    }
    return m_frequency != oldFrequency;
}
