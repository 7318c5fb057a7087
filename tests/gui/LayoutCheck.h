#pragma once

// A layout check for the widget tests: every visible control lies inside its parent, and no two
// visible controls of one parent overlap (frames may hold controls drawn over them).

#include <QGroupBox>
#include <QString>
#include <QWidget>

// The first fault found in window's layout, as "name" (cut off) or "name / name" (overlap);
// empty when there is none.
inline QString LayoutFault(QWidget* window) {
    const auto isFrame = [](const QWidget* w) { return qobject_cast<const QGroupBox*>(w); };
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (!child->isVisible()) {
            continue;
        }
        if (!child->parentWidget()->rect().contains(child->geometry())) {
            return child->objectName();
        }
        if (isFrame(child)) {
            continue;
        }
        for (QWidget* sibling :
             child->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (sibling != child && sibling->isVisible() && !isFrame(sibling) &&
                sibling->geometry().intersects(child->geometry())) {
                return child->objectName() + QStringLiteral(" / ") + sibling->objectName();
            }
        }
    }
    return {};
}
