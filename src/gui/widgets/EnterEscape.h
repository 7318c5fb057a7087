#pragma once

#include <QKeyEvent>
#include <QWidget>

// Windows that stay open on Enter and Esc: the key only takes the focus to window, so an edit
// being typed in commits what it holds. True when event was such a key and has been used.
inline bool TakeFocusOnEnterOrEscape(QWidget* window, QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        window->setFocus(Qt::OtherFocusReason);
        event->accept();
        return true;
    default:
        return false;
    }
}
