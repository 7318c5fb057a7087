#include "gui/widgets/BitmapSlider.h"

#include "gui/widgets/ControlColors.h"

#include "core/scales/LogFrequencyScale.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Thumb of a vertical fader: a fader cap that fits the 20-30 pixel wide faders of the panels.
constexpr int kThumbAcross = 18;
constexpr int kThumbAlong = 11;
constexpr int kGrooveWidth = 4;
constexpr int kTickCount = 11;

const QColor kGroove(0x0e, 0x10, 0x16);
const QColor kGrooveEdge(0x7a, 0x84, 0x9a);
const QColor kTick(0x8c, 0x96, 0xac);
const QColor kCapLight(0xe8, 0xea, 0xee);
const QColor kCapDark(0x6e, 0x74, 0x80);
const QColor kCapLine(0x10, 0x10, 0x10);

} // namespace

BitmapSlider::BitmapSlider(QWidget* parent)
    : RangeControl(tr("Fader"), parent), m_thumb(kThumbAlong, kThumbAcross) {}

void BitmapSlider::setVertical(bool vertical) {
    if (vertical == m_vertical) {
        return;
    }
    m_vertical = vertical;
    m_thumb.transpose();
    updateGeometry();
    update();
}

void BitmapSlider::setMargin(int left, int top, int right, int bottom) {
    m_margins = QMargins(left, top, right, bottom);
    updateGeometry();
    update();
}

void BitmapSlider::setThumbSize(const QSize& size) {
    m_thumb = size;
    updateGeometry();
    update();
}

void BitmapSlider::setFrequency(int hz) {
    setPosition(FaderPositionOfFrequency(hz, minimum(), maximum()));
}

int BitmapSlider::frequency() const {
    return FaderFrequency(position(), maximum());
}

FaderTrack BitmapSlider::track() const {
    if (m_vertical) {
        return {minimum(),       maximum(),          height(),
                m_margins.top(), m_margins.bottom(), m_thumb.height()};
    }
    return {minimum(), maximum(), width(), m_margins.left(), m_margins.right(), m_thumb.width()};
}

int BitmapSlider::along(const QPointF& point) const {
    return static_cast<int>(std::floor(m_vertical ? point.y() : point.x()));
}

qreal BitmapSlider::crossCentre() const {
    if (m_vertical) {
        return (m_margins.left() + width() - m_margins.right()) / 2.0;
    }
    return (m_margins.top() + height() - m_margins.bottom()) / 2.0;
}

int BitmapSlider::thumbCentre() const {
    return track().CentreOf(position());
}

QRect BitmapSlider::thumbRect() const {
    const int centre = thumbCentre();
    const int cross = static_cast<int>(std::floor(crossCentre()));
    if (m_vertical) {
        return {cross - m_thumb.width() / 2, centre - m_thumb.height() / 2, m_thumb.width(),
                m_thumb.height()};
    }
    return {centre - m_thumb.width() / 2, cross - m_thumb.height() / 2, m_thumb.width(),
            m_thumb.height()};
}

QSize BitmapSlider::sizeHint() const {
    const int across = (m_vertical ? m_thumb.width() : m_thumb.height()) + 4;
    if (m_vertical) {
        return {across + m_margins.left() + m_margins.right(), 150};
    }
    return {150, across + m_margins.top() + m_margins.bottom()};
}

void BitmapSlider::dragTo(int pointer) {
    const FaderTrack t = track();
    const int centre = t.ClampCentre(pointer - m_grabOffset);
    if (centre == t.CentreOf(position())) {
        return;
    }
    if (storePosition(t.PositionAt(centre))) {
        emit faderDragging(position());
    }
}

void BitmapSlider::dragStarted(const QPointF& point) {
    const int pointer = along(point);
    const int centre = thumbCentre();
    const int halfThumb = (m_vertical ? m_thumb.height() : m_thumb.width()) / 2;
    // Grabbing the thumb keeps it where it was taken; a press on the track pulls the thumb
    // under the pointer.
    m_grabOffset = std::abs(pointer - centre) <= halfThumb ? pointer - centre : 0;
    update();
    dragTo(pointer);
}

void BitmapSlider::dragMoved(const QPointF& point) {
    dragTo(along(point));
}

void BitmapSlider::dragEnded(const QPointF&) {
    m_grabOffset = 0;
    update();
    if (m_notifyOnRelease) {
        emit faderChanged(position());
    }
}

void BitmapSlider::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        emit faderChanged(position());
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void BitmapSlider::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int notches = m_wheel.take(event);
    if (isDragging()) {
        return;
    }
    // Positions count down the track of a vertical fader: up is towards 0.
    const int step = notches > 0 ? (m_vertical ? -1 : 1) : (m_vertical ? 1 : -1);
    for (int n = 0; n < std::abs(notches); ++n) {
        if (storePosition(position() + step)) {
            emit faderChanged(position());
        }
    }
}

void BitmapSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const FaderTrack t = track();
    const qreal cross = crossCentre();
    const qreal start = t.FirstCentre();
    const qreal end = start + t.Usable();

    // Scale ticks on both sides of the groove.
    const qreal tickReach = (m_vertical ? m_thumb.width() : m_thumb.height()) / 2.0;
    painter.setPen(QPen(kTick, 1));
    for (int i = 0; i < kTickCount; ++i) {
        const qreal at = std::floor(start + (end - start) * i / (kTickCount - 1)) + 0.5;
        const qreal inner = kGrooveWidth / 2.0 + 2;
        const qreal outer = tickReach - (i % 5 == 0 ? 0 : 3);
        if (m_vertical) {
            painter.drawLine(QPointF(cross - outer, at), QPointF(cross - inner, at));
            painter.drawLine(QPointF(cross + inner, at), QPointF(cross + outer, at));
        } else {
            painter.drawLine(QPointF(at, cross - outer), QPointF(at, cross - inner));
            painter.drawLine(QPointF(at, cross + inner), QPointF(at, cross + outer));
        }
    }

    // The groove the cap slides in.
    const QRectF groove =
        m_vertical ? QRectF(cross - kGrooveWidth / 2.0, start - 2, kGrooveWidth, end - start + 4)
                   : QRectF(start - 2, cross - kGrooveWidth / 2.0, end - start + 4, kGrooveWidth);
    painter.setPen(QPen(kGrooveEdge, 1));
    painter.setBrush(kGroove);
    painter.drawRoundedRect(groove, 1.5, 1.5);

    // The cap: brushed from light to dark across its length, with a centre line.
    const QRectF cap = QRectF(thumbRect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool active = isDragging() || hasFocus();
    QLinearGradient shade(cap.topLeft(), m_vertical ? cap.bottomLeft() : cap.topRight());
    const QColor light = active ? kCapLight.lighter(106) : kCapLight;
    shade.setColorAt(0.0, light);
    shade.setColorAt(0.45, kCapDark);
    shade.setColorAt(0.55, kCapDark.darker(110));
    shade.setColorAt(1.0, light.darker(130));
    painter.setPen(QPen(QColor(0x20, 0x22, 0x28), 1));
    painter.setBrush(isEnabled() ? QBrush(shade) : QBrush(kCapDark));
    painter.drawRoundedRect(cap, 2, 2);
    painter.setPen(QPen(active ? QColor::fromRgb(ControlColors::RangePointer) : kCapLine, 1.5));
    const QPointF mid = cap.center();
    if (m_vertical) {
        painter.drawLine(QPointF(cap.left() + 2, mid.y()), QPointF(cap.right() - 2, mid.y()));
    } else {
        painter.drawLine(QPointF(mid.x(), cap.top() + 2), QPointF(mid.x(), cap.bottom() - 2));
    }

    if (hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(QColor::fromRgb(ControlColors::RangeFocus), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
