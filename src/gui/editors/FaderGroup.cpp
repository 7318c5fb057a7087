#include "gui/editors/FaderGroup.h"

#include "gui/editors/EditorParts.h"
#include "gui/widgets/BitmapSlider.h"
#include "gui/widgets/ControlId.h"
#include "gui/widgets/NumEdit.h"
#include "gui/widgets/SpokenNames.h"

#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

FaderGroup::FaderGroup(const Setup& setup, QWidget* parent)
    : QGroupBox(setup.title, parent), m_maximum(setup.maximum) {
    if (setup.frameId != 0) {
        SetControlId(this, setup.frameId, setup.frameName);
    } else {
        setObjectName(setup.frameName);
    }
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(3, 6, 3, 6);
    column->setSpacing(4);
    m_edit = EditorParts::Edit(this, setup.mode, setup.maximum, setup.editId, setup.name,
                               setup.characters);
    m_edit->setStep(setup.step);
    m_edit->setOffset(setup.offset);
    m_edit->setReadOnly(setup.readOnly);
    column->addWidget(m_edit, 0, Qt::AlignHCenter);
    if (!setup.unit.isEmpty()) {
        column->addWidget(
            EditorParts::Label(this, setup.unit, 0, setup.name + QStringLiteral("Unit")), 0,
            Qt::AlignHCenter);
    }
    m_fader = EditorParts::Fader(this, setup.maximum, setup.faderId,
                                 setup.name + QStringLiteral("Fader"));
    column->addWidget(m_fader, 1, Qt::AlignHCenter);
    // Spoken after the frame: "Out 3 attack", "Out 3 attack fader".
    const QString what = setup.title.toLower();
    SpokenNames::Say(m_edit, what);
    SpokenNames::Say(m_fader, what + QLatin1String(" fader"));
    connect(m_edit, &NumEdit::committed, this, &FaderGroup::OnEntered);
    connect(m_fader, &BitmapSlider::faderDragging, this, &FaderGroup::OnFaderMoved);
    connect(m_fader, &BitmapSlider::faderChanged, this, &FaderGroup::OnFaderMoved);
}

void FaderGroup::Show(int value) {
    m_edit->setValue(value);
    const QSignalBlocker blocker(m_fader);
    m_fader->setPosition(m_maximum - value);
}

void FaderGroup::SetControlsEnabled(bool enabled) {
    m_edit->setEnabled(enabled);
    m_fader->setEnabled(enabled);
}

void FaderGroup::OnEntered() {
    const int value = m_edit->value();
    {
        const QSignalBlocker blocker(m_fader);
        m_fader->setPosition(m_maximum - value);
    }
    emit valueChanged(value);
}

void FaderGroup::OnFaderMoved(int position) {
    const int value = m_maximum - position;
    m_edit->setValue(value);
    emit valueChanged(value);
}
