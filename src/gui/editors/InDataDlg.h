#pragma once

#include "gui/editors/ChannelDlg.h"

class CAudio_InData;
class FaderGroup;
class QRadioButton;

// The input channel dialog: delay in milliseconds, metres and feet with the delay fader, the
// noise gate threshold with its fader, the gate on/off choice (4-in/8-out only) and the input
// source of the whole program. Delay and gate edits only change the channel record; the panel's
// service tick sends them. The input source is written into the program and then handed to the
// panel with sourceChosen(), which sends it at once and has every open input dialog show it
// again (RefreshSource).
class InDataDlg : public ChannelDlg {
    Q_OBJECT

public:
    // Control ids.
    static constexpr int kDelayFrameId = 1310;
    static constexpr int kDelayMsId = 1313;
    static constexpr int kDelayMetersId = 1314;
    static constexpr int kDelayFeetId = 1315;
    static constexpr int kDelayMsSpinId = 1613;
    static constexpr int kDelayMetersSpinId = 1614;
    static constexpr int kDelayFeetSpinId = 1615;
    static constexpr int kDelayFaderId = 1317;
    static constexpr int kThresholdId = 1316;
    static constexpr int kThresholdFaderId = 1318;
    static constexpr int kGateOffId = 1319;
    static constexpr int kGateOnId = 1320;
    static constexpr int kAnalogId = 1321;
    static constexpr int kDigitalId = 1322;
    static constexpr int kFirstChannelButtonId = 2130;
    static constexpr int kGateFrameId = 1311;
    static constexpr int kThresholdFrameId = 1312;
    static constexpr int kInputFrameId = 1137;
    static constexpr int kNarrowGateFrameId = 1810;
    // The unit and caption labels.
    static constexpr int kDelayMsLabelId = 1400;
    static constexpr int kDelayMetersLabelId = 1401;
    static constexpr int kDelayFeetLabelId = 1402;
    static constexpr int kTimeLabelId = 1108;
    static constexpr int kThresholdUnitId = 1403;
    static constexpr int kSourceLabelId = 1404;
    // The captions of the gate and source radios.
    static constexpr int kGateOffCaptionId = 1586;
    static constexpr int kGateOnCaptionId = 1587;
    static constexpr int kAnalogCaptionId = 1588;
    static constexpr int kDigitalCaptionId = 1589;
    static constexpr int kChannelButtonCount = 4;
    // Size of the window on every model (the smaller models have no gate switch).
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 260;

    explicit InDataDlg(CAudio_Data& program, QWidget* parent = nullptr);

    void ShowProgram() override;
    // Shows the program's input source on the source radios.
    void RefreshSource();

    FaderGroup* Threshold() const { return m_threshold; }

signals:
    // The operator chose the input source 0 (analog) or 1 (digital); the program holds it.
    void sourceChosen(int source);

private:
    void BuildGate(bool hasGateSwitch);
    void BuildSource();
    CAudio_InData* InputChannel() const;
    CAudio_Channel* ShownChannel() const override;
    bool EditsOutput() const override { return false; }
    QString ChannelTitle(int index) const override;
    void OnThreshold(int threshold);
    void OnGateRadio();
    void OnSourceRadio();

    FaderGroup* m_threshold = nullptr;
    QRadioButton* m_gateOff = nullptr;
    QRadioButton* m_gateOn = nullptr;
    QRadioButton* m_analog = nullptr;
    QRadioButton* m_digital = nullptr;
};
