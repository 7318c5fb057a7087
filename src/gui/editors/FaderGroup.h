#pragma once

#include <QGroupBox>

class BitmapSlider;
class NumEdit;

// One value in a frame: its field (with an optional unit label under it) above a vertical
// fader whose position is the maximum minus the value. A value committed in the field moves
// the fader, a fader move is shown in the field; either is reported once with valueChanged().
// A read-only field is only written by the fader.
class FaderGroup : public QGroupBox {
    Q_OBJECT

public:
    struct Setup {
        QString title;
        int frameId; // 0: the frame has no id
        QString frameName;
        QString name; // of the field; the fader adds "Fader", the unit label "Unit"
        int editId;
        int faderId;
        int mode; // display mode of the field
        int maximum;
        double step = 0.0;
        double offset = 0.0;
        bool readOnly = false;
        QString unit;       // label under the field; none when empty
        int characters = 5; // width of the field
    };

    explicit FaderGroup(const Setup& setup, QWidget* parent = nullptr);

    // Field and fader show value, without a report.
    void Show(int value);
    int Maximum() const { return m_maximum; }
    // Enables or disables the field and the fader (the frame stays as it is).
    void SetControlsEnabled(bool enabled);

    NumEdit* Edit() const { return m_edit; }
    BitmapSlider* Fader() const { return m_fader; }

signals:
    void valueChanged(int value);

private:
    void OnEntered();
    void OnFaderMoved(int position);

    int m_maximum = 0;
    NumEdit* m_edit = nullptr;
    BitmapSlider* m_fader = nullptr;
};
