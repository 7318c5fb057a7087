#pragma once

// A turn of the mouse wheel over a widget, as the window system delivers it: units of the
// wheel's angle (120 = one notch of a common wheel, less from a fine wheel or a touchpad),
// positive away from the operator.

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

inline bool TurnWheel(QWidget* widget, int units) {
    const QPointF at = QPointF(widget->rect().center());
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, units), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
}
