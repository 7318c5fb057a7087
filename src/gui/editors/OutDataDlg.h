#pragma once

#include "gui/editors/ChannelDlg.h"

#include <array>

class CAudio_OutData;
class CrossoverGroup;
class FaderGroup;
class QCheckBox;
class QComboBox;
class QRadioButton;
class StateButton;

// The output channel dialog: which inputs feed the output, its delay, its crossover (high-pass
// and low-pass frequency, slope and family) and its limiter or compressor (threshold, attack,
// release, clip limit, ratio, mode and timing). Every edit only changes the channel record;
// the panel's service tick sends it. While it is shown the dialog keeps the response graph on
// its output in the crossover mode, so every crossover edit shows as a curve at once, and a
// drag of "H" or "L" on the graph comes back through ReloadFilter.
class OutDataDlg : public ChannelDlg {
    Q_OBJECT

public:
    // Control ids.
    static constexpr int kFirstSourceId = 2604;
    static constexpr int kFirstSourceCheckId = 2140;
    static constexpr int kDelayMsId = 2160;
    static constexpr int kDelayMetersId = 2161;
    static constexpr int kDelayFeetId = 2162;
    static constexpr int kDelayMsSpinId = 1610;
    static constexpr int kDelayMetersSpinId = 1611;
    static constexpr int kDelayFeetSpinId = 1612;
    static constexpr int kDelayFaderId = 1111;
    static constexpr int kHighPassId = 1100;
    static constexpr int kHighPassFaderId = 1121;
    static constexpr int kHighPassButterworthId = 1086;
    static constexpr int kHighPassLinkwitzRileyId = 1617;
    static constexpr int kHighPassBesselId = 1618;
    static constexpr int kHighPassSlopeId = 1616;
    static constexpr int kHighPassSlopeFaderId = 1619;
    static constexpr int kLowPassId = 1115;
    static constexpr int kLowPassFaderId = 1122;
    static constexpr int kLowPassButterworthId = 1622;
    static constexpr int kLowPassLinkwitzRileyId = 1623;
    static constexpr int kLowPassBesselId = 1624;
    static constexpr int kLowPassSlopeId = 1621;
    static constexpr int kLowPassSlopeFaderId = 1625;
    static constexpr int kThresholdId = 1126;
    static constexpr int kThresholdFaderId = 1129;
    static constexpr int kAttackId = 1127;
    static constexpr int kAttackFaderId = 1130;
    static constexpr int kReleaseId = 1128;
    static constexpr int kReleaseFaderId = 1131;
    static constexpr int kClipLimitId = 1135;
    static constexpr int kClipLimitFaderId = 1138;
    static constexpr int kRatioId = 1628;
    static constexpr int kRatioFaderId = 1629;
    static constexpr int kLimitId = 1338;
    static constexpr int kCompressorId = 1339;
    static constexpr int kManualId = 1341;
    static constexpr int kAutoId = 1342;
    static constexpr int kFirstOutputButtonId = 2150;
    static constexpr int kHighPassFamilyListId = 1333;
    static constexpr int kLowPassFamilyListId = 1334;
    static constexpr int kHighPassSlopeListId = 1117;
    static constexpr int kLowPassSlopeListId = 1118;
    static constexpr int kRatioListId = 1340;
    static constexpr int kSourceCount = 4;
    static constexpr int kOutputButtonCount = 8;
    static constexpr int kWidth = 915;
    static constexpr int kHeight = 250;

    explicit OutDataDlg(CAudio_Data& program, QWidget* parent = nullptr);

    void ShowProgram() override;
    // Filter index of the high-pass (6) or the low-pass (7) of the output: its frequency is
    // shown again after a drag on the graph.
    void ReloadFilter(int filterIndex) override;
    void ShowOnGraph() override;

    StateButton* SourceButton(int input) const;
    CrossoverGroup* HighPass() const { return m_highPass; }
    CrossoverGroup* LowPass() const { return m_lowPass; }
    FaderGroup* Threshold() const { return m_threshold; }
    FaderGroup* Attack() const { return m_attack; }
    FaderGroup* Release() const { return m_release; }
    FaderGroup* ClipLimit() const { return m_clipLimit; }
    FaderGroup* Ratio() const { return m_ratio; }

private:
    QWidget* BuildSources();
    void BuildCrossover();
    QWidget* BuildDynamics();
    QWidget* BuildModes();
    CAudio_OutData* Output() const;
    CAudio_Channel* ShownChannel() const override;
    bool EditsOutput() const override { return true; }
    QString ChannelTitle(int index) const override;
    void Redraw();

    void ShowSources(int mask);
    void ShowCrossover(bool highPass);
    void ShowManualTiming();
    void ShowAutomaticTiming();
    void ShowReleaseText();
    void ShowModeEnabled(bool compressor);
    void ShowTimingEnabled(bool automatic);
    void SetTimingRadio(bool automatic);

    void OnSource(int input, bool on);
    CrossoverGroup* Crossover(bool highPass) const { return highPass ? m_highPass : m_lowPass; }
    void CrossoverFrequencyChanged(bool highPass);
    void OnFrequencyEntered(bool highPass, int hz);
    void OnFrequencyFader(bool highPass, int hz);
    void OnSlope(bool highPass, int slope);
    void OnFamily(bool highPass, int family);
    void OnAttack(int attack);
    void OnRelease(int release);
    void OnRatio(int ratio);
    void OnModeRadio();
    void OnTimingRadio();

    std::array<StateButton*, kSourceCount> m_sources{};
    std::array<QCheckBox*, kSourceCount> m_sourceChecks{};
    CrossoverGroup* m_highPass = nullptr;
    CrossoverGroup* m_lowPass = nullptr;
    FaderGroup* m_threshold = nullptr;
    FaderGroup* m_attack = nullptr;
    FaderGroup* m_release = nullptr;
    FaderGroup* m_clipLimit = nullptr;
    FaderGroup* m_ratio = nullptr;
    QComboBox* m_ratioList = nullptr;
    QRadioButton* m_limit = nullptr;
    QRadioButton* m_compressor = nullptr;
    QRadioButton* m_manual = nullptr;
    QRadioButton* m_auto = nullptr;
};
