#pragma once

// Helpers shared by the widget tests: find a control by its id and fail loudly when it is
// missing or of another kind.

#include "gui/widgets/ControlId.h"

#include <QApplication>
#include <QDir>
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

// Keeps a picture of widget for a person to look at, enlarged zoom times without smoothing so
// single pixels stay visible, as fileName in the folder that SONVEX_SHOT_DIR names. Without that
// variable nothing is written (a test leaves no files behind). False when the widget gives no
// picture or the picture asked for could not be saved.
inline bool SaveGrab(QWidget* widget, const QString& fileName, int zoom = 1) {
    const QImage image = widget->grab().toImage();
    if (image.isNull()) {
        return false;
    }
    const QString folder = qEnvironmentVariable("SONVEX_SHOT_DIR");
    if (folder.isEmpty()) {
        return true;
    }
    return image.scaled(image.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(QDir(folder).filePath(fileName));
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
