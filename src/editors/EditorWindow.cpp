#include "editors/EditorWindow.h"

#include "editors/ResponseGraph.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPalette>

namespace {
const QColor kBackground(48, 54, 68);
const QColor kLabel(255, 255, 255);
} // namespace

EditorWindow::EditorWindow(QWidget* parent) : QDialog(parent) {
    setModal(false);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    palette.setColor(QPalette::WindowText, kLabel);
    setPalette(palette);
}

void EditorWindow::ReloadFilter(int) {}

void EditorWindow::ShowOnGraph() {}

void EditorWindow::reject() {}

void EditorWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        setFocus(Qt::OtherFocusReason);
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void EditorWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // Several editors may be open: the one the operator turns to takes the graph.
        ShowOnGraph();
    }
}

void EditorWindow::closeEvent(QCloseEvent* event) {
    if (m_graph != nullptr) {
        m_graph->SetMode(CFStatic::Overview);
    }
    // The close box closes the window. (A dialog's own close handling would ask reject(),
    // which an editor refuses so that Esc cannot close it, and the window would stay.)
    event->accept();
}

void EditorWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        move(kScreenX, kScreenY);
    }
}
