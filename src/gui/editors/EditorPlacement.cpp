#include "gui/editors/EditorPlacement.h"

#include <algorithm>
#include <limits>

namespace EditorPlacement {

namespace {

// The window's corner kept so that the frame stays inside area where it can.
QPoint Clamped(const QPoint& corner, const QSize& frame, const QRect& area) {
    const int right = std::max(area.left(), area.left() + area.width() - frame.width());
    const int bottom = std::max(area.top(), area.top() + area.height() - frame.height());
    return {std::clamp(corner.x(), area.left(), right), std::clamp(corner.y(), area.top(), bottom)};
}

bool IsFree(const QRect& window, const QList<QRect>& taken) {
    return std::none_of(taken.begin(), taken.end(),
                        [&](const QRect& other) { return other.intersects(window); });
}

long long Distance(const QPoint& a, const QPoint& b) {
    const long long dx = a.x() - b.x();
    const long long dy = a.y() - b.y();
    return dx * dx + dy * dy;
}

} // namespace

QPoint FreeSpot(const QSize& frame, const QPoint& preferred, const QList<QRect>& taken,
                const QRect& area) {
    if (IsFree(QRect(preferred, frame), taken)) {
        return preferred; // as it is, also where the screen does not hold all of the window
    }
    const QPoint start = Clamped(preferred, frame, area);
    QList<QPoint> candidates{start};
    const int w = frame.width();
    const int h = frame.height();
    for (const QRect& other : taken) {
        const int rightOf = other.right() + 1 + kGap;
        const int leftOf = other.left() - kGap - w;
        const int below = other.bottom() + 1 + kGap;
        const int above = other.top() - kGap - h;
        candidates << QPoint(rightOf, other.top()) << QPoint(leftOf, other.top())
                   << QPoint(other.left(), below) << QPoint(other.left(), above)
                   << QPoint(rightOf, start.y()) << QPoint(leftOf, start.y())
                   << QPoint(start.x(), below) << QPoint(start.x(), above);
    }
    for (int y = area.top(); y < area.top() + area.height(); y += kGridStep) {
        for (int x = area.left(); x < area.left() + area.width(); x += kGridStep) {
            candidates << QPoint(x, y);
        }
    }

    QPoint best;
    long long bestDistance = std::numeric_limits<long long>::max();
    for (const QPoint& candidate : candidates) {
        const QPoint corner = Clamped(candidate, frame, area);
        const long long distance = Distance(corner, start);
        if (distance < bestDistance && IsFree(QRect(corner, frame), taken)) {
            best = corner;
            bestDistance = distance;
        }
    }
    if (bestDistance != std::numeric_limits<long long>::max()) {
        return best;
    }
    const int steps = static_cast<int>(taken.size());
    return Clamped(start + QPoint(steps * kCascadeStep, steps * kCascadeStep), frame, area);
}

} // namespace EditorPlacement
