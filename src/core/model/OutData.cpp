#include "core/model/OutData.h"

#include "core/model/ValueTables.h"

namespace {

constexpr std::uint8_t kNameCode = 9;
constexpr std::uint8_t kLevelCode = 6;

} // namespace

CAudio_OutData::CAudio_OutData()
    : CAudio_Channel(false, kFilterCount, kNameCode, kLevelCode, CurveSections::All) {}

void CAudio_OutData::SetSourceMask(std::uint8_t mask) {
    m_sourceMask = mask;
    m_levelsChanged = 1;
}

void CAudio_OutData::SetLimitThreshold(int index) {
    m_limitThreshold = index;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetAttack(std::uint8_t index) {
    m_attack = index;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetRelease(std::uint8_t index) {
    m_release = index;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetClipLimit(int index) {
    m_clipLimit = index;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetRatio(int index) {
    m_ratio = index;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetCompressorMode(int mode) {
    m_mode = mode;
    m_dynamicsChanged = 1;
}

void CAudio_OutData::SetAutoTiming(int timing) {
    m_timing = timing;
    m_dynamicsChanged = 1;
}

std::uint8_t CAudio_OutData::GetCrossoverCode() const {
    return static_cast<std::uint8_t>(m_eq.GetHighPass()->GetCode());
}

int CAudio_OutData::GetHighPassClass() const {
    const int f = m_eq.GetHighPass()->GetFrequency();
    if (f < 31) {
        return 51;
    }
    if (f < 63) {
        return 22;
    }
    if (f < 125) {
        return 14;
    }
    if (f < 500) {
        return 8;
    }
    if (f < 1000) {
        return 7;
    }
    if (f < 2000) {
        return 2;
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
