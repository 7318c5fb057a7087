#include "gui/widgets/StateButton.h"

#include "gui/widgets/ButtonPainting.h"

#include <QPainter>

StateButton::StateButton(QWidget* parent) : StateButton(QString(), parent) {}

StateButton::StateButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent), m_raisedColor(0xcf, 0xcf, 0xd7), m_sunkenColor(0x80, 0x80, 0x80),
      m_textColor(Qt::black) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    if (text.isEmpty()) {
        setAccessibleName(tr("State button"));
    }
}

void StateButton::setState(int state) {
    setChecked(state == 0);
    update();
}

void StateButton::setStateColors(const QColor& raised, const QColor& sunken) {
    m_raisedColor = raised;
    m_sunkenColor = sunken;
    update();
}

void StateButton::setTextColor(const QColor& color) {
    m_textColor = color;
    update();
}

void StateButton::setStateCaptions(const QString& raised, const QString& sunken) {
    m_raisedCaption = raised;
    m_sunkenCaption = sunken;
    update();
}

QString StateButton::caption() const {
    if (m_raisedCaption.isEmpty() && m_sunkenCaption.isEmpty()) {
        return text();
    }
    return state() == 0 ? m_sunkenCaption : m_raisedCaption;
}

void StateButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool sunken = state() == 0 || isDown();
    ButtonPainting::DrawBevelFace(painter, rect(), stateColor(state()), sunken);
    ButtonPainting::DrawCaption(painter, rect(), caption(), font(),
                                isEnabled() ? m_textColor : m_textColor.lighter(160), sunken);
    if (hasFocus()) {
        ButtonPainting::DrawFocus(painter, rect(), m_textColor);
    }
}
