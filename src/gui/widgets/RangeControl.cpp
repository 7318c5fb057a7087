#include "gui/widgets/RangeControl.h"

#include <QMouseEvent>

#include <algorithm>

RangeControl::RangeControl(const QString& accessibleName, QWidget* parent) : QWidget(parent) {
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
}

int RangeControl::clamped(int position) const {
    return std::clamp(position, m_minimum, std::max(m_minimum, m_maximum));
}

void RangeControl::setRange(int minimum, int maximum, bool redraw) {
    m_minimum = minimum;
    m_maximum = maximum;
    m_position = clamped(m_position);
    if (redraw) {
        update();
    }
}

bool RangeControl::storePosition(int position) {
    const int kept = clamped(position);
    if (kept == m_position) {
        return false;
    }
    m_position = kept;
    update();
    return true;
}

void RangeControl::cancelDrag() {
    m_dragging = false;
    update();
}

bool RangeControl::startsDrag(const QPointF&) const {
    return true;
}

void RangeControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !startsDrag(event->position())) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_dragging = true;
    dragStarted(event->position());
}

void RangeControl::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    dragMoved(event->position());
}

void RangeControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    dragEnded(event->position());
}

void RangeControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void RangeControl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}
