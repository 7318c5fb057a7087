#include "core/model/OutData.h"

#include "core/model/ValueTables.h"

CAudio_OutData::CAudio_OutData()
    : CAudio_Channel(false, kFilterCount, kNameCode, kLevelCode, CurveSections::All) {}

std::uint8_t CAudio_OutData::GetCrossoverCode() const {
    return static_cast<std::uint8_t>(m_eq.GetHighPass()->GetCode());
}

int CAudio_OutData::GetHighPassClass() const {
    // The code of the first band whose upper end lies above the frequency; 0 from 2000 Hz on.
    struct Band {
        int below;
        int code;
    };
    static constexpr Band kBands[] = {{31, 51}, {63, 22},  {125, 14},
                                      {500, 8}, {1000, 7}, {2000, 2}};
    const int f = m_eq.GetHighPass()->GetFrequency();
    for (const Band& band : kBands) {
        if (f < band.below) {
            return band.code;
        }
    }
    return 0;
}

void CAudio_OutData::ClearChanged() {
    CAudio_Channel::ClearChanged();
    m_dynamicsChanged = 0;
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
    CopyChannelFrom(other);
    m_reserved1 = other.m_reserved1;
    m_sourceMask = other.m_sourceMask;
    m_limitThreshold = other.m_limitThreshold;
    m_attack = other.m_attack;
    m_release = other.m_release;
    m_clipLimit = other.m_clipLimit;
    m_ratio = other.m_ratio;
    m_mode = other.m_mode;
    m_timing = other.m_timing;
}
