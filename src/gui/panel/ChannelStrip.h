#pragma once

#include "gui/panel/PanelLayout.h"

#include <QColor>
#include <QWidget>

class BitmapSlider;
class LevelMeter;
class MuteButton;
class NumEdit;
class QLabel;
class StripButton;
class XPStyleButton;

// One channel strip of a panel, input or output: select and polarity buttons, the EQ and
// channel buttons, the gain edit box, the fader beside its level meter, the mute button and
// the name. It shows what the panel gives it and reports what the operator does; the gain edit
// box and the fader follow each other here, so the panel hears of a gain change once.
class ChannelStrip : public QWidget {
    Q_OBJECT

public:
    struct Setup {
        int index;       // 0-based channel index within its group
        bool output;     // an output strip (else an input strip)
        StripIds ids;    // ids of the group's first strip; this strip adds its index
        int gainMaximum; // gain index range 0..gainMaximum; the fader shows maximum - gain
        double gainEditOffset;
        QColor colour; // the channel's colour (first colour of the select button)
    };

    ChannelStrip(const Setup& setup, QWidget* parent = nullptr);

    int Index() const { return m_setup.index; }
    bool IsOutput() const { return m_setup.output; }

    // Edit box and fader show gain, without a report.
    void ShowGain(int gain);
    int Gain() const { return m_gain; }
    // "-Invert" for 1, "+Normal" for 0.
    void ShowPolarity(int polarity);
    // 1 plays, 0 muted.
    void ShowOn(int on);
    // Select button: the channel's label while enabled, "Hide" while hidden.
    void ShowState(bool enabled);
    void ShowName(const QString& name);
    void ShowLevel(int levelByte);

    XPStyleButton* SelectButton() const { return m_select; }
    XPStyleButton* PolarityButton() const { return m_polarity; }
    NumEdit* GainEdit() const { return m_gainEdit; }
    BitmapSlider* Fader() const { return m_fader; }
    LevelMeter* Meter() const { return m_meter; }
    MuteButton* Mute() const { return m_mute; }

signals:
    // The operator set a new gain with the edit box or the fader.
    void gainChanged(int gain);
    void selectClicked();
    void polarityClicked();
    void muteClicked();
    void eqClicked();
    void channelClicked();

private:
    QString Name(const char* kind) const;
    // Each control's accessible name: the channel and what the control sets ("Out 3 gain").
    void NameForScreenReaders();
    int Id(int firstId) const { return firstId + m_setup.index; }
    void OnGainEdited();
    void OnFaderMoved(int position);
    void ReportGain(int gain);

    Setup m_setup;
    int m_gain = 0;
    XPStyleButton* m_select = nullptr;
    XPStyleButton* m_polarity = nullptr;
    StripButton* m_eq = nullptr;
    StripButton* m_channel = nullptr;
    NumEdit* m_gainEdit = nullptr;
    BitmapSlider* m_fader = nullptr;
    LevelMeter* m_meter = nullptr;
    MuteButton* m_mute = nullptr;
    QLabel* m_dbLabel = nullptr;
    QLabel* m_nameLabel = nullptr;
};
