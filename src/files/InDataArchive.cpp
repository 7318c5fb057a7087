// Archive and image loading of an input channel.
#include "files/Archive.h"
#include "files/ProgramImage.h"
#include "model/InData.h"

#include <cstdint>

void CAudio_InData::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_name.Text() << m_on << m_polarity << std::int32_t{m_delay} << std::int32_t{m_gain}
           << m_auxFlag << std::int32_t{m_auxValue} << m_gateThreshold << m_gateOff << m_levelCode
           << m_channelIndex;
    } else {
        std::string name;
        std::int32_t delay = 0, gain = 0, auxValue = 0;
        ar >> name >> m_on >> m_polarity >> delay >> gain >> m_auxFlag >> auxValue >>
            m_gateThreshold >> m_gateOff >> m_levelCode >> m_channelIndex;
        m_name.Assign(name);
        m_delay = delay;
        m_gain = gain;
        m_auxValue = auxValue;
    }
    m_eq.Serialize(ar);
}

void CAudio_InData::LoadFromImage(const InputImage& image) {
    SetAuxFlag(image.auxFlag);
    SetAuxValue(image.auxValue);
    SetGateThreshold(image.gateThreshold);
    SetGateOff(image.gateOff);
    LoadChannelFromImage(image);
}
