#pragma once

#include "core/model/Channel.h"

#include <cstdint>
#include <string>

class CArchive;
struct InputImage;

// One input channel of a program: besides what every channel has (CAudio_Channel), the noise
// gate, two auxiliary values the device reports and a filter set of eight EQ bands plus a
// high-pass and a low-pass filter (the crossover pair is sent but not drawn).
class CAudio_InData : public CAudio_Channel {
public:
    static constexpr int kFilterCount = 10;
    // Block codes of the name, levels and noise gate records.
    static constexpr std::uint8_t kNameCode = 11;
    static constexpr std::uint8_t kLevelCode = 8;
    static constexpr std::uint8_t kGateCode = 10;

    CAudio_InData();

    // Received from the device with the channel, kept and archived, never sent. The flag is
    // part of the levels group; the value keeps its low 8 bits and sets no flag.
    void SetAuxFlag(std::uint8_t flag) { SetInGroup(m_auxFlag, flag, m_levelsChanged); }
    std::uint8_t GetAuxFlag() const { return m_auxFlag; }
    void SetAuxValue(int value);
    int GetAuxValue() const { return m_auxValue; }

    // Noise gate group: each setter sets the gate changed flag.
    void SetGateThreshold(std::uint8_t index) { SetInGroup(m_gateThreshold, index, m_gateChanged); }
    std::uint8_t GetGateThreshold() const { return m_gateThreshold; }
    void SetGateOff(std::uint8_t off) { SetInGroup(m_gateOff, off, m_gateChanged); }
    std::uint8_t GetGateOff() const { return m_gateOff; }
    std::uint8_t GetGateCode() const { return kGateCode; }
    void SetGateChanged(int changed) { m_gateChanged = changed; }
    int IsGateChanged() const { return m_gateChanged; }

    void ClearChanged() override;

    std::string GetGateText() const;

    // Copies the parameter values; index, colour, enabled flag, block codes, changed flags and
    // device type stay. The curve is not recomputed.
    void CopyFrom(const CAudio_InData& other);
    // Takes the parameters of an input record of a program image (fixed-layout form), each
    // limited to the ranges of the channel's device type.
    void LoadFromImage(const InputImage& image);
    // Stores or loads the archived fields in the one-program file order.
    void Serialize(CArchive& ar);

private:
    std::uint8_t m_auxFlag = 0;
    int m_auxValue = 0;
    std::uint8_t m_gateThreshold = 60;
    std::uint8_t m_gateOff = 0;
    int m_gateChanged = 0;
};
