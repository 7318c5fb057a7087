#pragma once

// Helpers shared by the widget tests: find a control by its id and fail loudly when it is
// missing or of another kind.

#include "controls/ControlId.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

template <class T> T* Control(QWidget* root, int id) {
    QWidget* widget = FindControl(root, id);
    if (widget == nullptr) {
        qWarning("no control with id %d", id);
        return nullptr;
    }
    T* typed = qobject_cast<T*>(widget);
    if (typed == nullptr) {
        qWarning("control %d is a %s", id, widget->metaObject()->className());
    }
    return typed;
}

// Saves a picture of widget for a person to look at, enlarged zoom times without smoothing so
// single pixels stay visible.
inline bool SaveGrab(QWidget* widget, const QString& fileName, int zoom = 1) {
    const QImage image = widget->grab().toImage();
    return image.scaled(image.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(fileName);
}

// Shows window and waits until it is active, which focus changes need.
inline bool ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// The modal dialog of type T now running; nullptr while there is none.
template <class T> T* RunningDialog() {
    return qobject_cast<T*>(QApplication::activeModalWidget());
}
