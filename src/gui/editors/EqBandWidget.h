#pragma once

#include <QGroupBox>

#include <functional>

class CFilter;
class KbutsliderCtrl;
class NumEdit;
class NumSpin;
class QComboBox;
class QLabel;
class StateButton;

// Control ids of one EQ band's controls.
struct EqBandIds {
    int type;
    int frequencyEdit;
    int frequencySpin;
    int frequencyKnob;
    int bandwidthEdit;
    int bandwidthSpin;
    int bandwidthKnob;
    int qEdit;
    int qSpin;
    int unitLabel;
    int slopeCombo;
    int gainEdit;
    int gainSpin;
    int gainKnob;
    int onOff;

    // The ids of band number band when these are the ids of the first band and each id of a
    // band follows the same id of the band before it.
    EqBandIds OfBand(int band) const;
};

// What the gain controls show after a drag on the graph moved a band that is switched off:
// "0.0" with the gain knob at 0.0 dB (input EQ), or the band's stored gain on both (output EQ).
enum class FlatBandRefresh { ZeroGain, StoredGain };

// The controls of one EQ band, framed "EQ1", "EQ2", ...: type, frequency (edit, spin,
// logarithmic knob), bandwidth in octaves and as Q (one index, with a knob), shelf slope in
// place of the bandwidth for shelves, gain (edit, spin, knob) and the On/OFF button.
//
// The widget works on the band its source gives (asked again before every use) and changes
// only the model; after each change it emits bandEdited() so the owner redraws the curves.
class EqBandWidget : public QGroupBox {
    Q_OBJECT

public:
    using BandSource = std::function<CFilter*()>;

    // band: 0-based band number; deviceType selects the fine or the coarse bandwidth index.
    EqBandWidget(int band, const EqBandIds& ids, int deviceType, FlatBandRefresh refresh,
                 BandSource source, QWidget* parent = nullptr);

    // Shows every parameter of the band (the channel was selected).
    void ShowBand();
    // Shows frequency, bandwidth, gain and the On/OFF state again after a drag on the graph.
    void RefreshBand();

    int Band() const { return m_band; }

signals:
    // The band in the model changed.
    void bandEdited();

private:
    enum class Source { Edit, Knob };

    void Build(const EqBandIds& ids, int deviceType);
    void ConnectControls();
    // Bandwidth controls for "PEQ", the slope combo for a shelf.
    void ShowTypeLook(int type);
    void ShowFrequency(int hz);
    void ShowBandwidth(int index);
    // On/OFF caption and state.
    void ShowActive(bool active);
    // A band that is switched off: "0.0" in the gain edit while the spin keeps index.
    void ShowZeroGainText();

    void OnType(int type);
    void OnFrequency(Source source);
    void OnBandwidth(int index);
    void OnGain(Source source);
    void OnSlope(int slope);
    void OnOnOff();

    const int m_band;
    const FlatBandRefresh m_refresh;
    BandSource m_source;

    QComboBox* m_type = nullptr;
    NumEdit* m_frequencyEdit = nullptr;
    NumSpin* m_frequencySpin = nullptr;
    KbutsliderCtrl* m_frequencyKnob = nullptr;
    NumEdit* m_bandwidthEdit = nullptr;
    NumSpin* m_bandwidthSpin = nullptr;
    KbutsliderCtrl* m_bandwidthKnob = nullptr;
    QLabel* m_bandwidthCaption = nullptr;
    NumEdit* m_qEdit = nullptr;
    NumSpin* m_qSpin = nullptr;
    QLabel* m_unitLabel = nullptr;
    QComboBox* m_slope = nullptr;
    NumEdit* m_gainEdit = nullptr;
    NumSpin* m_gainSpin = nullptr;
    KbutsliderCtrl* m_gainKnob = nullptr;
    StateButton* m_onOff = nullptr;
};
