#include "gui/editors/EditorWindow.h"

#include "gui/widgets/EnterEscape.h"
#include "gui/graph/ResponseGraph.h"

#include <QCloseEvent>
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
    if (!TakeFocusOnEnterOrEscape(this, event)) {
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
    // The close box closes the window. (QDialog would ask reject() instead, which an editor
    // ignores because Esc must not close it, and so the window would stay open.)
    event->accept();
}

void EditorWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        move(kScreenX, kScreenY);
    }
}
