#include "gui/widgets/NumSpin.h"

#include "gui/widgets/ControlColors.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <algorithm>
#include <cstdlib>

namespace {

const QString kPositionError = QStringLiteral("Pos设定错误");

} // namespace

NumSpin::NumSpin(QWidget* parent) : QWidget(parent) {
    setAccessibleName(tr("Step value"));
    setFocusPolicy(Qt::TabFocus);
    // Precise: the owner must never hear of the value twice within one period.
    m_notifyTimer.setTimerType(Qt::PreciseTimer);
    m_notifyTimer.setInterval(ControlSizes::SpinNotifyPeriodMs);
    connect(&m_notifyTimer, &QTimer::timeout, this, &NumSpin::notifyIfChanged);
    connect(&m_repeatTimer, &QTimer::timeout, this, [this] {
        m_repeatTimer.setInterval(style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate));
        stepBy(m_heldDelta);
    });
}

void NumSpin::setBuddy(NumEdit* edit) {
    m_buddy = edit;
}

void NumSpin::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    if (m_buddy) {
        m_buddy->setRange(minimum, maximum);
    }
}

int NumSpin::value() {
    if (m_buddy) {
        m_value = m_buddy->value();
    }
    return m_value;
}

void NumSpin::setValue(int v) {
    if (v < m_minimum || v > m_maximum) {
        ShowMessage(this, kPositionError);
        return;
    }
    m_value = v;
    if (m_buddy) {
        m_buddy->setValue(v);
    }
    update();
}

QSize NumSpin::sizeHint() const {
    return {16, 22};
}

void NumSpin::stepBy(int delta) {
    const int start = m_buddy && m_buddy->isValueModified() ? m_buddy->value() : m_value;
    const int stepped = std::clamp(start + delta, m_minimum, std::max(m_minimum, m_maximum));
    if (stepped != m_value) {
        m_value = stepped;
        m_changed = true;
    }
    if (m_buddy) {
        m_buddy->setValue(stepped);
    }
    if (m_held) {
        return;
    }
    m_changed = false;
    emit committed();
}

void NumSpin::notifyIfChanged() {
    if (m_changed) {
        m_changed = false;
        emit committed();
    }
}

void NumSpin::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_held) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_held = true;
    m_heldDelta = event->position().y() < height() / 2.0 ? 1 : -1;
    m_notifyTimer.start();
    m_repeatTimer.start(style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold));
    stepBy(m_heldDelta);
    update();
}

void NumSpin::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_held) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_held = false;
    m_heldDelta = 0;
    m_repeatTimer.stop();
    m_notifyTimer.stop();
    notifyIfChanged();
    update();
}

void NumSpin::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        stepBy(1);
        break;
    case Qt::Key_Down:
        stepBy(-1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void NumSpin::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int notches = m_wheel.take(event);
    if (m_held) {
        return;
    }
    for (int n = 0; n < std::abs(notches); ++n) {
        stepBy(notches > 0 ? 1 : -1);
    }
}

void NumSpin::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void NumSpin::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void NumSpin::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal half = area.height() / 2.0;
    const QColor face(0x5a, 0x63, 0x78);
    const QColor pressed = face.darker(140);
    const QColor arrow = isEnabled() ? QColor(0xf0, 0xf0, 0xf4) : QColor(0x90, 0x90, 0x98);

    for (int part = 0; part < 2; ++part) {
        const QRectF box(area.left(), area.top() + part * half, area.width(), half);
        const bool down = m_held && m_heldDelta == (part == 0 ? 1 : -1);
        painter.setPen(QColor(0x20, 0x24, 0x2e));
        painter.setBrush(down ? pressed : face);
        painter.drawRect(box);
        const QPointF c = box.center() + (down ? QPointF(0.5, 0.5) : QPointF());
        const qreal w = std::min(box.width(), box.height()) * 0.30;
        QPainterPath triangle;
        if (part == 0) {
            triangle.moveTo(c.x() - w, c.y() + w / 2);
            triangle.lineTo(c.x() + w, c.y() + w / 2);
            triangle.lineTo(c.x(), c.y() - w / 2);
        } else {
            triangle.moveTo(c.x() - w, c.y() - w / 2);
            triangle.lineTo(c.x() + w, c.y() - w / 2);
            triangle.lineTo(c.x(), c.y() + w / 2);
        }
        triangle.closeSubpath();
        painter.fillPath(triangle, arrow);
    }
    if (hasFocus()) {
        painter.setPen(QPen(QColor(0xff, 0xe6, 0xff), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(1, 1, -1, -1));
    }
}
