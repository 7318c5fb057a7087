#include "gui/editors/DelayGroup.h"

#include "core/model/ParameterValues.h"
#include "core/scales/DisplayModes.h"
#include "gui/editors/EditorParts.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/NumSpin.h"
#include "gui/widgets/SpokenNames.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int kSpinWidth = 16;

struct UnitText {
    const char* name; // object name of the field; the spin adds "Spin"
    const char* what; // spoken: the field; the spin adds " step"
    int mode;         // display mode on the 4-in/8-out model
    int compactMode;  // display mode on the smaller models
};

constexpr std::array<UnitText, DelayGroup::UnitCount> kUnits{{
    {"delayMs", "delay ms", DisplayMode::DelayMs, DisplayMode::DelayMsCompact},
    {"delayMeters", "delay meters", DisplayMode::DelayMeters, DisplayMode::DelayMetersCompact},
    {"delayFeet", "delay feet", DisplayMode::DelayFeet, DisplayMode::DelayFeetCompact},
}};

} // namespace

DelayGroup::DelayGroup(const Ids& ids, const QString& msCaption, int deviceType, int temperature,
                       QWidget* parent)
    : QGroupBox(QStringLiteral("Delay"), parent), m_maximum(DelayRange(deviceType).max) {
    if (ids.frame != 0) {
        SetControlId(this, ids.frame, QStringLiteral("delayFrame"));
    } else {
        setObjectName(QStringLiteral("delayFrame"));
    }
    const bool compact = UsesCompactRules(deviceType);
    const QString captions[UnitCount] = {msCaption, QStringLiteral("Meter"),
                                         QStringLiteral("Feet")};

    // The fields with their unit above them on the left, the fader with "Time" on the right.
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 6);
    auto* fields = new QVBoxLayout;
    fields->setSpacing(1);
    for (int unit = 0; unit < UnitCount; ++unit) {
        const UnitText& text = kUnits[static_cast<std::size_t>(unit)];
        const QString name = QString::fromLatin1(text.name);
        NumEdit* edit = EditorParts::Edit(this, compact ? text.compactMode : text.mode, m_maximum,
                                          ids.edit[unit], name);
        if (unit != Milliseconds) {
            edit->setTemperature(temperature);
        }
        auto* spin =
            WithControlId(new NumSpin(this), ids.spin[unit], name + QStringLiteral("Spin"));
        spin->setBuddy(edit);
        spin->setRange(0, m_maximum);
        SpokenNames::Say(edit, QLatin1String(text.what));
        SpokenNames::Say(spin, QLatin1String(text.what) + QLatin1String(" step"));
        spin->setFixedSize(kSpinWidth, edit->sizeHint().height());
        m_edits[unit] = edit;
        m_spins[unit] = spin;
        fields->addStretch(1);
        fields->addWidget(
            EditorParts::Label(this, captions[unit], 0, name + QStringLiteral("Label")));
        auto* field = new QHBoxLayout;
        field->setSpacing(1);
        field->addWidget(edit);
        field->addWidget(spin);
        fields->addLayout(field);
        connect(edit, &NumEdit::committed, this, [this, unit] { OnUnitEntered(unit); });
        connect(spin, &NumSpin::committed, this, [this, unit] { OnUnitEntered(unit); });
    }
    fields->addStretch(1);
    row->addLayout(fields);

    auto* faderColumn = new QVBoxLayout;
    m_fader = EditorParts::Fader(this, m_maximum, ids.fader, QStringLiteral("delayFader"));
    SpokenNames::Say(m_fader, QStringLiteral("delay fader"));
    faderColumn->addWidget(m_fader, 1, Qt::AlignHCenter);
    faderColumn->addWidget(
        EditorParts::Label(this, QStringLiteral("Time"), 0, QStringLiteral("timeLabel")), 0,
        Qt::AlignHCenter);
    row->addLayout(faderColumn);
    connect(m_fader, &BitmapSlider::faderDragging, this, &DelayGroup::OnFaderMoved);
    connect(m_fader, &BitmapSlider::faderChanged, this, &DelayGroup::OnFaderMoved);
    ShowDelay(0);
}

void DelayGroup::ShowDelay(int steps) {
    ShowInUnits(steps, UnitCount);
    const QSignalBlocker blocker(m_fader);
    m_fader->setPosition(m_maximum - steps);
}

void DelayGroup::ShowInUnits(int steps, int except) {
    for (int unit = 0; unit < UnitCount; ++unit) {
        if (unit != except) {
            m_spins[unit]->setValue(steps);
        }
    }
}

void DelayGroup::OnUnitEntered(int unit) {
    // The spin takes the value from its field, which converts what was typed.
    const int steps = m_spins[unit]->value();
    ShowInUnits(steps, unit);
    {
        const QSignalBlocker blocker(m_fader);
        m_fader->setPosition(m_maximum - steps);
    }
    emit delayChanged(steps);
}

void DelayGroup::OnFaderMoved(int position) {
    const int steps = m_maximum - position;
    ShowInUnits(steps, UnitCount);
    emit delayChanged(steps);
}
