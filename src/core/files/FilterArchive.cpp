// Archive and image loading of a filter section and of a channel's filter set.
#include "core/files/Archive.h"
#include "core/files/ProgramImage.h"
#include "core/model/EQ.h"
#include "core/model/Filter.h"
#include "core/model/ParameterValues.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// A number read from a file, limited to the range the model accepts; one that is not a number
// at all keeps the value the section had.
double Limited(double value, double low, double high, double current) {
    return std::isfinite(value) ? std::clamp(value, low, high) : current;
}

} // namespace

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
    // A file is read as far as its bytes go, so every value is limited to what the model accepts,
    // as the decoders limit what a device reports.
    m_type = std::clamp<std::int32_t>(type, Peaking, LowPass);
    m_frequency = FrequencyRange.Clamp(frequency);
    m_sentFrequency = FrequencyRange.Clamp(sentFrequency);
    m_gain = Limited(gain, MinEqGainDb, MaxEqGainDb, m_gain);
    m_flat = flat != 0 ? 1 : 0;
    m_bandwidth = Limited(bandwidth, MinBandwidth, MaxBandwidth, m_bandwidth);
    m_crossoverType = CrossoverTypeRange.Clamp(crossoverType);
    // Crossover slopes 0..3; a band's shelf slope uses 0..1 of them.
    m_slope = CrossoverSlopeRange.Clamp(slope);
    m_code = code;
    ForgetResponse();
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
