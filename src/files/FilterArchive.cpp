// Archive and image loading of a filter section and of a channel's filter set.
#include "files/Archive.h"
#include "files/ProgramImage.h"
#include "model/EQ.h"
#include "model/Filter.h"

#include <cstdint>

void CFilter::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << std::int32_t{m_type} << std::int32_t{m_frequency} << std::int32_t{m_sentFrequency}
           << m_gain << std::int32_t{m_flat} << m_bandwidth << std::int32_t{m_crossoverType}
           << std::int32_t{m_slope} << std::int32_t{m_code};
        return;
    }
    std::int32_t type = 0, frequency = 0, sentFrequency = 0, flat = 0, crossoverType = 0, slope = 0,
                 code = 0;
    double gain = 0.0, bandwidth = 0.0;
    ar >> type >> frequency >> sentFrequency >> gain >> flat >> bandwidth >> crossoverType >>
        slope >> code;
    m_type = type;
    m_frequency = frequency;
    m_sentFrequency = sentFrequency;
    m_gain = gain;
    m_flat = flat;
    m_bandwidth = bandwidth;
    m_crossoverType = crossoverType;
    m_slope = slope;
    m_code = code;
    UpdateResponse();
}

void CFilter::LoadFromImage(const BandImage& band) {
    SetType(band.type);
    SetFrequency(band.frequency);
    SetGainIndex(band.gain);
    SetBandwidthIndex(band.bandwidth);
    SetSlope(band.shelfSlope);
}

void CFilter::LoadFromImage(const CrossoverImage& highPass, const CrossoverImage& lowPass) {
    const CrossoverImage* source = nullptr;
    if (m_type == HighPass)
        source = &highPass;
    else if (m_type == LowPass)
        source = &lowPass;
    if (source == nullptr)
        return;
    m_frequency = source->frequency;
    m_crossoverType = source->type;
    m_slope = source->slope;
}

void CEQ::Serialize(CArchive& ar) {
    for (const auto& filter : m_filters)
        filter->Serialize(ar);
}
