#pragma once

#include <QGroupBox>

#include <array>

class BitmapSlider;
class NumEdit;
class NumSpin;

// The delay of a channel, framed "Delay": milliseconds, metres and feet, each a field with its
// spin buttons, beside a vertical delay fader. The three fields always show the same step
// count, each in its unit, the distances at the air temperature given at construction. The
// delay range and the display modes are those of the device type. What the operator enters
// anywhere in the group (a field, a spin, the fader) is shown everywhere else and reported
// once with delayChanged().
class DelayGroup : public QGroupBox {
    Q_OBJECT

public:
    enum Unit { Milliseconds, Meters, Feet, UnitCount };

    struct Ids {
        int frame;                       // 0: the frame has no id
        std::array<int, UnitCount> edit; // ms, metre and feet fields
        std::array<int, UnitCount> spin; // their spin buttons
        int fader;
    };

    // msCaption is the label beside the milliseconds field ("mS" or "Ms").
    DelayGroup(const Ids& ids, const QString& msCaption, int deviceType, int temperature,
               QWidget* parent = nullptr);

    // Shows steps (device steps) in the three fields and on the fader, without a report.
    void ShowDelay(int steps);
    int Maximum() const { return m_maximum; }

    NumEdit* Edit(Unit unit) const { return m_edits[unit]; }
    NumSpin* Spin(Unit unit) const { return m_spins[unit]; }
    BitmapSlider* Fader() const { return m_fader; }

signals:
    // The operator entered a delay of steps.
    void delayChanged(int steps);

private:
    void OnUnitEntered(int unit);
    void OnFaderMoved(int position);
    // Every unit except except (UnitCount: all) shows steps.
    void ShowInUnits(int steps, int except);

    int m_maximum = 0;
    std::array<NumEdit*, UnitCount> m_edits{};
    std::array<NumSpin*, UnitCount> m_spins{};
    BitmapSlider* m_fader = nullptr;
};
