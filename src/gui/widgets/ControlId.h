#pragma once

#include <QString>

class QObject;
class QWidget;

// Controls that the panels and dialogs number carry that number as the property "controlId"
// and a readable object name, so that code and tests find them the same way.
inline constexpr const char* kControlIdProperty = "controlId";

// Gives widget its control id and object name; returns the widget for chaining.
template <class W> W* WithControlId(W* widget, int id, const QString& name);
void SetControlId(QObject* object, int id, const QString& name);
// The control id of object; 0 when it has none.
int GetControlId(const QObject* object);
// The first descendant of root (or root itself) carrying id; nullptr when there is none.
QWidget* FindControl(QWidget* root, int id);

template <class W> W* WithControlId(W* widget, int id, const QString& name) {
    SetControlId(widget, id, name);
    return widget;
}
