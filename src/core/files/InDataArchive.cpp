// Archive and image loading of an input channel.
#include "core/files/Archive.h"
#include "core/files/ImageRanges.h"
#include "core/files/ProgramImage.h"
#include "core/model/InData.h"
#include "core/model/ParameterValues.h"

#include <algorithm>
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
        // Limited to the model's ranges for the channel's device type, as the decoders do.
        LimitLoadedLevels(name, delay, gain, InputGainRange(m_deviceType));
        m_auxFlag = m_auxFlag != 0 ? 1 : 0;
        m_auxValue = std::clamp<std::int32_t>(auxValue, 0, 255);
        m_gateThreshold =
            static_cast<std::uint8_t>(GateThresholdRange(m_deviceType).Clamp(m_gateThreshold));
        m_gateOff = m_gateOff != 0 ? 1 : 0;
    }
    m_eq.Serialize(ar);
}

void CAudio_InData::LoadFromImage(const InputImage& record) {
    // Limited to the ranges of the channel's device type, as a file or a device may hold anything.
    const InputImage image = WithinRanges(record, m_deviceType);
    SetAuxFlag(image.auxFlag);
    SetAuxValue(image.auxValue);
    SetGateThreshold(image.gateThreshold);
    SetGateOff(image.gateOff);
    LoadChannelFromImage(image);
}
