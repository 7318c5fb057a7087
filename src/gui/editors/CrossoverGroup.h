#pragma once

#include <QColor>
#include <QGroupBox>

#include <array>

class BitmapSlider;
class NumEdit;
class QComboBox;
class StateButton;

// One crossover filter of an output, framed "HPF" or "LPF": the frequency as a field and a
// logarithmic fader, the three filter family buttons (the selected one sunken), and the slope
// as a read-only field with its fader. It shows what the owner gives it and reports what the
// operator does; bounding the frequency and writing the model are the owner's.
//
// Two lists kept from an older layout, the family and the slope list, stay hidden; choosing in
// them reports like the buttons and the fader.
class CrossoverGroup : public QGroupBox {
    Q_OBJECT

public:
    static constexpr int kFamilyCount = 3;

    struct Setup {
        QString title; // "HPF" or "LPF"
        QString name;  // prefix of the object names, "highPass" or "lowPass"
        int frequencyMode;
        int frequencyId;
        int frequencyFaderId;
        // "BTWorth", "L__R" and "Bessel" buttons, in this order.
        std::array<int, kFamilyCount> familyIds;
        int slopeId;
        int slopeFaderId;
        int familyListId;
        int slopeListId;
        QColor familyColour;         // family buttons not selected (raised)
        QColor selectedFamilyColour; // the selected family (sunken)
    };

    explicit CrossoverGroup(const Setup& setup, QWidget* parent = nullptr);

    // Field and fader show hz, without a report.
    void ShowFrequency(int hz);
    // Only the field shows hz.
    void ShowFrequencyInField(int hz);
    // Slope 0..3 ("12" .. "48") in the field, on the fader (at 3 - slope) and in the list.
    void ShowSlope(int slope);
    // Every family button raised except the one of family (0 L_R, 1 Bessel, 2 BTWorth).
    void ShowFamily(int family);

    NumEdit* FrequencyEdit() const { return m_frequency; }
    BitmapSlider* FrequencyFader() const { return m_frequencyFader; }
    NumEdit* SlopeEdit() const { return m_slope; }
    BitmapSlider* SlopeFader() const { return m_slopeFader; }
    // The button of family (0 L_R, 1 Bessel, 2 BTWorth).
    StateButton* FamilyButton(int family) const;

signals:
    // A frequency committed in the field.
    void frequencyEntered(int hz);
    // The frequency the fader reads after a move.
    void frequencyFaderMoved(int hz);
    void slopeChosen(int slope);
    // A family button was clicked (it has toggled itself) or the family list chosen.
    void familyChosen(int family);

private:
    std::array<StateButton*, kFamilyCount> m_families{}; // by family
    NumEdit* m_frequency = nullptr;
    BitmapSlider* m_frequencyFader = nullptr;
    NumEdit* m_slope = nullptr;
    BitmapSlider* m_slopeFader = nullptr;
    QComboBox* m_familyList = nullptr;
    QComboBox* m_slopeList = nullptr;
};
