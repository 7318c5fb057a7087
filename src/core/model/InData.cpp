#include "core/model/InData.h"

#include "core/model/ValueTables.h"

CAudio_InData::CAudio_InData()
    : CAudio_Channel(true, kFilterCount, kNameCode, kLevelCode, CurveSections::BandsOnly) {}

void CAudio_InData::SetAuxValue(int value) {
    m_auxValue = value & 0xFF;
}

void CAudio_InData::ClearChanged() {
    CAudio_Channel::ClearChanged();
    m_gateChanged = 0;
}

std::string CAudio_InData::GetGateText() const {
    return GateThresholdText(m_gateThreshold, m_gateOff != 0);
}

void CAudio_InData::CopyFrom(const CAudio_InData& other) {
    CopyChannelFrom(other);
    m_auxFlag = other.m_auxFlag;
    m_auxValue = other.m_auxValue;
    m_gateThreshold = other.m_gateThreshold;
    m_gateOff = other.m_gateOff;
}
