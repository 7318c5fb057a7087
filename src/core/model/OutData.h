#pragma once

#include "core/model/Channel.h"

#include <cstdint>
#include <string>

class CArchive;
struct OutputImage;

// One output channel of a program: besides what every channel has (CAudio_Channel), the source
// mask over the inputs, a filter set of six EQ bands plus the crossover high-pass and low-pass
// filters (both part of the curve), and a dynamics processor working as a limiter or a
// compressor.
class CAudio_OutData : public CAudio_Channel {
public:
    static constexpr int kFilterCount = 8;
    static constexpr int kInputCount = 4;
    // Block codes of the name and levels records.
    static constexpr std::uint8_t kNameCode = 9;
    static constexpr std::uint8_t kLevelCode = 6;

    CAudio_OutData();

    // Bit n set: input n + 1 feeds this output. Part of the levels group.
    void SetSourceMask(std::uint8_t mask) { SetInGroup(m_sourceMask, mask, m_levelsChanged); }
    std::uint8_t GetSourceMask() const { return m_sourceMask; }

    // Dynamics group: each setter sets the dynamics changed flag.
    void SetLimitThreshold(int index) { SetInGroup(m_limitThreshold, index, m_dynamicsChanged); }
    int GetLimitThreshold() const { return m_limitThreshold; }
    void SetAttack(std::uint8_t index) { SetInGroup(m_attack, index, m_dynamicsChanged); }
    std::uint8_t GetAttack() const { return m_attack; }
    void SetRelease(std::uint8_t index) { SetInGroup(m_release, index, m_dynamicsChanged); }
    std::uint8_t GetRelease() const { return m_release; }
    void SetClipLimit(int index) { SetInGroup(m_clipLimit, index, m_dynamicsChanged); }
    int GetClipLimit() const { return m_clipLimit; }
    void SetRatio(int index) { SetInGroup(m_ratio, index, m_dynamicsChanged); }
    int GetRatio() const { return m_ratio; }
    void SetCompressorMode(int mode) { SetInGroup(m_mode, mode, m_dynamicsChanged); }
    int GetCompressorMode() const { return m_mode; }
    void SetAutoTiming(int timing) { SetInGroup(m_timing, timing, m_dynamicsChanged); }
    int GetAutoTiming() const { return m_timing; }
    std::uint8_t GetDynamicsCode() const { return m_dynamicsCode; }
    void SetDynamicsCode(std::uint8_t code) { m_dynamicsCode = code; }
    void SetDynamicsChanged(int changed) { m_dynamicsChanged = changed; }
    int IsDynamicsChanged() const { return m_dynamicsChanged; }

    // Always 0 on this device family; archived and copied.
    void SetReserved1(int value) { m_reserved1 = value; }
    int GetReserved1() const { return m_reserved1; }
    void SetReserved2(int value) { m_reserved2 = value; }
    int GetReserved2() const { return m_reserved2; }

    // Block code of the two crossover sections.
    std::uint8_t GetCrossoverCode() const;
    // Code derived from the high-pass frequency, carried in the dynamics record.
    int GetHighPassClass() const;

    void ClearChanged() override;

    // "On" if input `input` (0..3) feeds this output, else "Off".
    std::string GetSourceText(int input) const;
    std::string GetThresholdText() const;
    std::string GetAttackText() const;
    std::string GetReleaseText() const;
    std::string GetClipLimitText() const;
    std::string GetRatioText() const;
    std::string GetTimingText() const;
    std::string GetModeText() const;

    // Copies the parameter values; block codes, index, colour, enabled flag, changed flags and
    // device type stay. The curve is not recomputed.
    void CopyFrom(const CAudio_OutData& other);
    // Takes the parameters of an output record of a program image (fixed-layout form), each
    // limited to the ranges of the channel's device type.
    void LoadFromImage(const OutputImage& image);
    // Stores or loads the archived fields in the one-program file order.
    void Serialize(CArchive& ar);

private:
    bool IsAutoCompressor() const { return m_mode != 0 && m_timing != 0; }

    int m_reserved1 = 0;
    std::uint8_t m_sourceMask = 1;
    int m_reserved2 = 0;
    int m_limitThreshold = 400;
    std::uint8_t m_attack = 0;
    std::uint8_t m_release = 0;
    int m_clipLimit = 20;
    int m_ratio = 0;
    int m_mode = 0;
    int m_timing = 0;
    std::uint8_t m_dynamicsCode = 8;
    int m_dynamicsChanged = 0;
};
