#include "gui/widgets/KbutsliderCtrl.h"

#include "gui/widgets/ControlColors.h"

#include "core/scales/KnobDial.h"
#include "core/scales/LogFrequencyScale.h"

#include <QKeyEvent>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kScaleDots = 11;
// Points this close to the centre have no usable direction.
constexpr double kMinimumReach = 2.0;

const QColor kRim(0x1a, 0x1d, 0x24);
const QColor kFaceLight(0x9a, 0xa2, 0xb4);
const QColor kFaceDark(0x3a, 0x40, 0x4e);
const QColor kScale(0xc8, 0xcc, 0xd8);

} // namespace

KbutsliderCtrl::KbutsliderCtrl(QWidget* parent) : RangeControl(tr("Knob"), parent) {}

double KbutsliderCtrl::pointerAngle() const {
    return KnobAngleOfPosition(position(), minimum(), maximum());
}

int KbutsliderCtrl::pageStep() const {
    return m_pageStep > 0 ? m_pageStep : std::max(1, (maximum() - minimum()) / 5);
}

void KbutsliderCtrl::setFrequency(int hz) {
    setPosition(KnobPositionOfFrequency(hz, minimum(), maximum()));
}

int KbutsliderCtrl::frequency() const {
    return KnobFrequency(position());
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

void KbutsliderCtrl::followPointer(const QPointF& point) {
    const QPointF d = point - centre();
    if (std::hypot(d.x(), d.y()) < kMinimumReach) {
        return;
    }
    const int angled = KnobPositionOfAngle(KnobAngleOfPoint(d.x(), d.y()), minimum(), maximum());
    if (storePosition(angled)) {
        emit knobDragging(position());
    }
}

bool KbutsliderCtrl::startsDrag(const QPointF& point) const {
    return !inDeadSector(point);
}

void KbutsliderCtrl::dragStarted(const QPointF& point) {
    // A press that turns the knob tells the owner, so the knob never shows a value the owner
    // does not have.
    followPointer(point);
}

void KbutsliderCtrl::dragMoved(const QPointF& point) {
    if (inDeadSector(point)) {
        cancelDrag();
        return;
    }
    followPointer(point);
}

void KbutsliderCtrl::dragEnded(const QPointF& point) {
    if (!inDeadSector(point)) {
        followPointer(point);
    }
    update();
}

void KbutsliderCtrl::keyPressEvent(QKeyEvent* event) {
    int target = position();
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        target = position() + 1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Left:
        target = position() - 1;
        break;
    case Qt::Key_PageUp:
        target = position() + pageStep();
        break;
    case Qt::Key_PageDown:
        target = position() - pageStep();
        break;
    case Qt::Key_Home:
        target = minimum();
        break;
    case Qt::Key_End:
        target = maximum();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    setPosition(target);
    event->accept();
    // Reported after the move, so the owner reads the position the knob shows.
    emit knobKey(position());
}

void KbutsliderCtrl::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int notches = m_wheel.take(event);
    if (isDragging()) {
        return;
    }
    for (int n = 0; n < std::abs(notches); ++n) {
        if (storePosition(position() + (notches > 0 ? 1 : -1))) {
            emit knobKey(position());
        }
    }
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
    painter.setBrush(hasFocus() ? QColor::fromRgb(ControlColors::RangeFocus) : kRim);
    painter.drawEllipse(c, face, face);
    QRadialGradient dome(c - QPointF(face * 0.35, face * 0.35), face * 1.4);
    dome.setColorAt(0.0, isEnabled() ? kFaceLight : kFaceDark);
    dome.setColorAt(1.0, kFaceDark);
    painter.setBrush(dome);
    painter.drawEllipse(c, face - 2.0, face - 2.0);

    // Pointer from near the centre to the rim.
    const double angle = pointerAngle();
    painter.setPen(QPen(QColor::fromRgb(ControlColors::RangePointer), std::max(2.0, face / 8.0),
                        Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(pointAt(angle, face * 0.25), pointAt(angle, face - 3.0));
}
