#include "core/model/EQ.h"

#include <algorithm>

void CEQ::Create(bool forInput, int count) {
    // A set always holds at least its two crossover filters.
    count = std::max(count, 2);
    const int crossoverCode = forInput ? 9 : 7;
    m_filters.clear();
    m_filters.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count - 2; ++i) {
        auto band = std::make_unique<CFilter>();
        band->SetCode(i);
        m_filters.push_back(std::move(band));
    }

    auto highPass = std::make_unique<CFilter>();
    highPass->SetType(CFilter::HighPass);
    highPass->SetBandMode(0);
    highPass->SetFrequency(MinFrequency);
    highPass->SetCode(crossoverCode);
    m_filters.push_back(std::move(highPass));

    auto lowPass = std::make_unique<CFilter>();
    lowPass->SetType(CFilter::LowPass);
    lowPass->SetBandMode(0);
    lowPass->SetFrequency(MaxFrequency);
    lowPass->SetCode(crossoverCode);
    m_filters.push_back(std::move(lowPass));
}

CFilter* CEQ::GetFilter(int index) const {
    if (index < 0 || index >= GetFilterCount()) {
        return nullptr;
    }
    return m_filters[static_cast<std::size_t>(index)].get();
}

CFilter* CEQ::GetHighPass() const {
    return GetFilter(GetFilterCount() - 2);
}

CFilter* CEQ::GetLowPass() const {
    return GetFilter(GetFilterCount() - 1);
}

void CEQ::SetCurveRect(const CRect& rect) {
    m_height = rect.Height();
    m_width = rect.Width();
    for (int i = 0; i < PlotPointCount; ++i) {
        m_points[static_cast<std::size_t>(i)] =
            CPoint(FreqToX(PlotFrequencies[static_cast<std::size_t>(i)], m_width) + GraphLeftMargin,
                   m_height / 2);
    }
    for (const auto& filter : m_filters) {
        filter->SetCurveRect(rect);
    }
}

void CEQ::SumBands() {
    SumSections(GetFilterCount() - 2);
}

void CEQ::SumAll() {
    SumSections(GetFilterCount());
}

void CEQ::SumSections(int count) {
    count = std::clamp(count, 0, GetFilterCount());
    for (int i = 0; i < PlotPointCount; ++i) {
        double sum = 0.0;
        for (int k = 0; k < count; ++k) {
            sum += m_filters[static_cast<std::size_t>(k)]->GetResponse(i);
        }
        m_points[static_cast<std::size_t>(i)].y = DbToY(sum, m_height) + GraphTopMargin;
    }
}

CPoint CEQ::GetCurvePoint(int index) const {
    if (index < 0 || index >= PlotPointCount) {
        return {};
    }
    return m_points[static_cast<std::size_t>(index)];
}

void CEQ::CopyFrom(const CEQ& other) {
    const int count = std::min(GetFilterCount(), other.GetFilterCount());
    for (int i = 0; i < count; ++i) {
        m_filters[static_cast<std::size_t>(i)]->CopyFrom(
            *other.m_filters[static_cast<std::size_t>(i)]);
    }
}
