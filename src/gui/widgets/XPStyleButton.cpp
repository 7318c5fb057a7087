#include "gui/widgets/XPStyleButton.h"

#include "gui/widgets/ButtonPainting.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

// Unselected buttons mix their colours this far towards the panel grey.
constexpr qreal kDimming = 0.55;
const QColor kDimTarget(0x50, 0x56, 0x64);

QColor Dimmed(const QColor& c) {
    return QColor::fromRgbF(c.redF() + (kDimTarget.redF() - c.redF()) * kDimming,
                            c.greenF() + (kDimTarget.greenF() - c.greenF()) * kDimming,
                            c.blueF() + (kDimTarget.blueF() - c.blueF()) * kDimming);
}

} // namespace

XPStyleButton::XPStyleButton(QWidget* parent) : XPStyleButton(QString(), parent) {}

XPStyleButton::XPStyleButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent), m_first(0xcf, 0xcf, 0xd7), m_second(0x80, 0x80, 0x80),
      m_text(Qt::black) {
    setFocusPolicy(Qt::StrongFocus);
    if (text.isEmpty()) {
        setAccessibleName(tr("Button"));
    }
}

void XPStyleButton::setColors(const QColor& first, const QColor& second) {
    m_first = first;
    m_second = second;
    update();
}

void XPStyleButton::setTextColors(const QColor& normal, const QColor& pressed) {
    m_text = normal;
    m_pressedText = pressed;
    update();
}

void XPStyleButton::setSelected(bool selected) {
    if (selected == m_selected) {
        return;
    }
    m_selected = selected;
    update();
}

void XPStyleButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool down = isDown();
    const QColor top = m_selected ? m_first : Dimmed(m_first);
    const QColor bottom = m_selected ? m_second : Dimmed(m_second);
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient shade(face.topLeft(), face.bottomLeft());
    shade.setColorAt(0.0, down ? bottom : top);
    shade.setColorAt(1.0, down ? top : bottom);
    painter.setPen(QPen(QColor(0x10, 0x12, 0x18), 1));
    painter.setBrush(shade);
    painter.drawRoundedRect(face, 3, 3);
    if (m_selected) {
        painter.setPen(QPen(QColor(255, 255, 255, 150), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(face.adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
    }
    QColor caption = down && m_pressedText.isValid() ? m_pressedText : m_text;
    if (!isEnabled()) {
        caption = Dimmed(caption);
    }
    ButtonPainting::DrawCaption(painter, rect(), text(), font(), caption, down);
    if (hasFocus()) {
        ButtonPainting::DrawFocus(painter, rect(), caption);
    }
}
