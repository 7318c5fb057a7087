#include "gui/widgets/KbutsliderCtrl.h"

#include "core/scales/KnobDial.h"
#include "core/scales/LogFrequencyScale.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kScaleDots = 11;
// Points this close to the centre have no usable direction.
constexpr double kMinimumReach = 2.0;

const QColor kRim(0x1a, 0x1d, 0x24);
const QColor kFaceLight(0x9a, 0xa2, 0xb4);
const QColor kFaceDark(0x3a, 0x40, 0x4e);
const QColor kScale(0xc8, 0xcc, 0xd8);
const QColor kPointer(0xff, 0x53, 0x53);
const QColor kFocus(0xff, 0xe6, 0xff);

} // namespace

KbutsliderCtrl::KbutsliderCtrl(QWidget* parent) : QWidget(parent) {
    setAccessibleName(tr("Knob"));
    setFocusPolicy(Qt::StrongFocus);
}

void KbutsliderCtrl::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    m_position = std::clamp(m_position, m_minimum, std::max(m_minimum, m_maximum));
    update();
}

void KbutsliderCtrl::setPosition(int position) {
    const int clamped = std::clamp(position, m_minimum, std::max(m_minimum, m_maximum));
    if (clamped == m_position) {
        return;
    }
    m_position = clamped;
    update();
}

double KbutsliderCtrl::pointerAngle() const {
    return KnobAngleOfPosition(m_position, m_minimum, m_maximum);
}

int KbutsliderCtrl::pageStep() const {
    return m_pageStep > 0 ? m_pageStep : std::max(1, (m_maximum - m_minimum) / 5);
}

void KbutsliderCtrl::setFrequency(int hz) {
    setPosition(KnobPositionOfFrequency(hz, m_minimum, m_maximum));
}

int KbutsliderCtrl::frequency() const {
    return KnobFrequency(m_position);
}

QPointF KbutsliderCtrl::centre() const {
    return QRectF(rect()).center();
}

qreal KbutsliderCtrl::radius() const {
    return std::max(4.0, std::min(width(), height()) / 2.0 - 4.0);
}

QPointF KbutsliderCtrl::pointAt(double angle, double distance) const {
    const double radians = angle * kPi / 180.0;
    return centre() + QPointF(std::sin(radians) * distance, -std::cos(radians) * distance);
}

QSize KbutsliderCtrl::sizeHint() const {
    return {48, 48};
}

bool KbutsliderCtrl::inDeadSector(const QPointF& point) const {
    const QPointF d = point - centre();
    return InKnobDeadSector(d.x(), d.y());
}

bool KbutsliderCtrl::followPointer(const QPointF& point, bool& moved) {
    moved = false;
    const QPointF d = point - centre();
    if (std::hypot(d.x(), d.y()) < kMinimumReach) {
        return false;
    }
    const int position = KnobPositionOfAngle(KnobAngleOfPoint(d.x(), d.y()), m_minimum, m_maximum);
    if (position != m_position) {
        m_position = position;
        moved = true;
        update();
    }
    return true;
}

void KbutsliderCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || inDeadSector(event->position())) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_dragging = true;
    bool moved = false;
    followPointer(event->position(), moved);
    // A press that turns the knob tells the owner, so the knob never shows a value the owner
    // does not have.
    if (moved) {
        emit knobDragging(m_position);
    }
}

void KbutsliderCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    if (inDeadSector(event->position())) {
        m_dragging = false;
        update();
        return;
    }
    bool moved = false;
    followPointer(event->position(), moved);
    if (moved) {
        emit knobDragging(m_position);
    }
}

void KbutsliderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    bool moved = false;
    if (!inDeadSector(event->position())) {
        followPointer(event->position(), moved);
    }
    update();
    if (moved) {
        emit knobDragging(m_position);
    }
}

void KbutsliderCtrl::keyPressEvent(QKeyEvent* event) {
    int target = m_position;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        target = m_position + 1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Left:
        target = m_position - 1;
        break;
    case Qt::Key_PageUp:
        target = m_position + pageStep();
        break;
    case Qt::Key_PageDown:
        target = m_position - pageStep();
        break;
    case Qt::Key_Home:
        target = m_minimum;
        break;
    case Qt::Key_End:
        target = m_maximum;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    setPosition(target);
    event->accept();
    // Reported after the move, so the owner reads the position the knob shows.
    emit knobKey(m_position);
}

void KbutsliderCtrl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void KbutsliderCtrl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void KbutsliderCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c = centre();
    const qreal r = radius();

    // Scale dots along the sweep, just outside the face.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kScale);
    for (int i = 0; i < kScaleDots; ++i) {
        const double angle = KnobMinimumAngle + KnobSweep * i / (kScaleDots - 1);
        const qreal dot = (i == 0 || i == kScaleDots - 1) ? 1.6 : 1.1;
        painter.drawEllipse(pointAt(angle, r + 2.0), dot, dot);
    }

    // Face: a dark rim, light while the knob has the focus, and a lit dome.
    const qreal face = r - 2.0;
    painter.setBrush(hasFocus() ? kFocus : kRim);
    painter.drawEllipse(c, face, face);
    QRadialGradient dome(c - QPointF(face * 0.35, face * 0.35), face * 1.4);
    dome.setColorAt(0.0, isEnabled() ? kFaceLight : kFaceDark);
    dome.setColorAt(1.0, kFaceDark);
    painter.setBrush(dome);
    painter.drawEllipse(c, face - 2.0, face - 2.0);

    // Pointer from near the centre to the rim.
    const double angle = pointerAngle();
    painter.setPen(QPen(kPointer, std::max(2.0, face / 8.0), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(pointAt(angle, face * 0.25), pointAt(angle, face - 3.0));
}
