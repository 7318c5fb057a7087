#include "gui/widgets/StatusLamp.h"

#include "gui/widgets/ControlColors.h"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>

StatusLamp::StatusLamp(QWidget* parent)
    : QWidget(parent), m_color(QColor::fromRgb(ControlColors::LampRed)) {
    setAccessibleName(tr("Status lamp"));
    setFocusPolicy(Qt::NoFocus);
    m_timer.setInterval(ControlSizes::LampBlinkPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_lit = !m_lit;
        update();
    });
}

void StatusLamp::setColor(const QColor& color) {
    m_color = color;
    update();
}

void StatusLamp::setBlinkPeriod(int ms) {
    m_timer.setInterval(ms);
}

void StatusLamp::setBlinking(bool blinking) {
    if (blinking == isBlinking()) {
        return;
    }
    m_lit = true;
    if (blinking) {
        m_timer.start();
    } else {
        m_timer.stop();
    }
    update();
}

QSize StatusLamp::sizeHint() const {
    return {18, 18};
}

void StatusLamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = std::min(width(), height()) / 2.0 - 1.0;
    const QPointF centre = QRectF(rect()).center();
    const QColor body = m_lit ? m_color : m_color.darker(350);
    QRadialGradient glass(centre - QPointF(radius * 0.35, radius * 0.35), radius * 1.3);
    glass.setColorAt(0.0, m_lit ? body.lighter(160) : body.lighter(130));
    glass.setColorAt(0.6, body);
    glass.setColorAt(1.0, body.darker(150));
    painter.setPen(QPen(QColor(0x10, 0x12, 0x18), 1));
    painter.setBrush(glass);
    painter.drawEllipse(centre, radius, radius);
}
