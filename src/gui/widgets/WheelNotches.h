#pragma once

#include <QWheelEvent>

// Turns wheel events into whole notches of 120 units (one notch of a common mouse wheel).
// Finer wheels and touchpads send parts of a notch; they add up until a whole one is there,
// so a control steps once per notch however the turn arrives. Up (away from the operator)
// is positive.
class WheelNotches {
public:
    static constexpr int kUnitsPerNotch = 120;

    // The whole notches event completes; the rest is kept for the next event.
    int take(const QWheelEvent* event) {
        const QPoint delta = event->angleDelta();
        m_rest += delta.y() != 0 ? delta.y() : delta.x();
        const int notches = m_rest / kUnitsPerNotch;
        m_rest -= notches * kUnitsPerNotch;
        return notches;
    }

private:
    int m_rest = 0;
};
