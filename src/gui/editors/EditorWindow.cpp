#include "gui/editors/EditorWindow.h"

#include "gui/editors/EditorPlacement.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/widgets/EnterEscape.h"

#include <QCloseEvent>
#include <QPalette>
#include <QScreen>

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
    if (m_placed && m_places != nullptr && pos() != m_firstPlace) {
        // The operator moved the window: the next editor of its slot opens there.
        m_places->Remember(m_placeKey, pos());
    }
    if (m_graph != nullptr) {
        m_graph->SetMode(CFStatic::Overview);
    }
    // The close box closes the window. (QDialog would ask reject() instead, which an editor
    // ignores because Esc must not close it, and so the window would stay open.)
    event->accept();
}

void EditorWindow::RememberPlaceIn(EditorPlaces* places, int key) {
    m_places = places;
    m_placeKey = key;
}

void EditorWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        m_firstPlace = FirstPlace();
        move(m_firstPlace);
    }
}

QPoint EditorWindow::FirstPlace() const {
    const QPoint preferred = m_places != nullptr && m_places->Has(m_placeKey)
                                 ? m_places->At(m_placeKey)
                                 : QPoint(kScreenX, kScreenY);
    QList<QRect> taken;
    QMargins frame; // what the window system adds around an editor, as seen on an open one
    if (parentWidget() != nullptr) {
        for (const EditorWindow* other :
             parentWidget()->findChildren<EditorWindow*>(Qt::FindDirectChildrenOnly)) {
            if (other != this && other->isVisible()) {
                taken << other->frameGeometry();
                const QRect inner = other->geometry();
                const QRect outer = other->frameGeometry();
                frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                                 outer.right() - inner.right(), outer.bottom() - inner.bottom());
            }
        }
    }
    const QScreen* shownOn = screen();
    const QRect area = shownOn != nullptr ? shownOn->availableGeometry() : QRect();
    if (area.isEmpty()) {
        return preferred;
    }
    const QSize size(width() + frame.left() + frame.right(),
                     height() + frame.top() + frame.bottom());
    return EditorPlacement::FreeSpot(size, preferred, taken, area);
}
