// Archive and image loading of an output channel.
#include "core/files/Archive.h"
#include "core/files/ImageRanges.h"
#include "core/files/ProgramImage.h"
#include "core/model/OutData.h"
#include "core/model/ParameterValues.h"

#include <cstdint>

void CAudio_OutData::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_name.Text() << std::int32_t{m_reserved1} << m_nameCode << m_on
           << std::int32_t{m_gain} << m_polarity << m_sourceMask << std::int32_t{m_delay}
           << m_levelCode << std::int32_t{m_reserved2} << std::int32_t{m_limitThreshold} << m_attack
           << m_release << std::int32_t{m_clipLimit} << std::int32_t{m_ratio}
           << std::int32_t{m_mode} << std::int32_t{m_timing} << m_dynamicsCode << m_channelIndex;
    } else {
        std::string name;
        std::int32_t reserved1 = 0, gain = 0, delay = 0, reserved2 = 0, limitThreshold = 0,
                     clipLimit = 0, ratio = 0, mode = 0, timing = 0;
        ar >> name >> reserved1 >> m_nameCode >> m_on >> gain >> m_polarity >> m_sourceMask >>
            delay >> m_levelCode >> reserved2 >> limitThreshold >> m_attack >> m_release >>
            clipLimit >> ratio >> mode >> timing >> m_dynamicsCode >> m_channelIndex;
        // Limited to the model's ranges for the channel's device type, as the decoders do.
        LimitLoadedLevels(name, delay, gain, OutputGainRange(m_deviceType));
        m_reserved1 = reserved1;
        m_reserved2 = reserved2;
        m_limitThreshold = LimitThresholdRange.Clamp(limitThreshold);
        m_attack = static_cast<std::uint8_t>(AttackRange.Clamp(m_attack));
        m_release = static_cast<std::uint8_t>(ReleaseRange.Clamp(m_release));
        m_clipLimit = ClipLimitRange.Clamp(clipLimit);
        m_ratio = RatioRange.Clamp(ratio);
        m_mode = mode != 0 ? 1 : 0;
        m_timing = timing != 0 ? 1 : 0;
    }
    m_eq.Serialize(ar);
}

void CAudio_OutData::LoadFromImage(const OutputImage& record) {
    // Limited to the ranges of the channel's device type, as a file or a device may hold anything.
    const OutputImage image = WithinRanges(record, m_deviceType);
    SetSourceMask(image.sourceMask);
    SetLimitThreshold(image.limitThreshold);
    SetAttack(image.attack);
    SetRelease(image.release);
    SetClipLimit(image.clipLimit);
    SetRatio(image.ratio);
    SetCompressorMode(image.mode);
    SetAutoTiming(image.timing);
    LoadChannelFromImage(image);
}
