#include "gui/graph/ResponseGraph.h"

#include "core/model/AudioData.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

CPoint PointOf(const QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    return CPoint(pos.x(), pos.y());
}

} // namespace

CFStatic::CFStatic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Response graph"));
    connect(&m_notifyTimer, &QTimer::timeout, this, &CFStatic::Notify);
    m_notifyTimer.start(kNotifyIntervalMs);
    Initialise();
}

CFStatic::~CFStatic() = default;

QSize CFStatic::sizeHint() const {
    return {903, 252}; // the panels' graph
}

// ---- Program, channels, mode ----

void CFStatic::SetProgram(CAudio_Data* program) {
    if (program == m_scene.program) {
        m_interaction.Drop();
    } else {
        // The filter of another program may be gone already: forget it without touching it.
        m_interaction.Forget();
        m_scene.program = program;
    }
    Initialise();
}

void CFStatic::Initialise() {
    m_renderer.Layout(size(), devicePixelRatioF(), font());
    const CRect plot = m_renderer.GetPlotRect();
    if (m_scene.program != nullptr && !plot.IsRectEmpty()) {
        m_scene.program->SetCurveRect(plot);
    }
    Redraw();
}

void CFStatic::SelectInput(int index) {
    m_interaction.Drop();
    m_scene.selectedInput = index;
    Redraw();
}

void CFStatic::SelectOutput(int index) {
    m_interaction.Drop();
    m_scene.selectedOutput = index;
    const CRect plot = m_renderer.GetPlotRect();
    if (m_scene.program != nullptr && !plot.IsRectEmpty()) {
        if (CAudio_OutData* output = m_scene.program->GetOutput(index)) {
            output->SetCurveRect(plot);
        }
    }
    Redraw();
}

void CFStatic::SetMode(int mode) {
    m_interaction.Drop();
    if (mode == Overview || GraphScene::IsEditorMode(mode)) {
        m_scene.mode = mode;
    }
    Redraw();
}

void CFStatic::Redraw() {
    m_renderer.Render(m_scene, m_interaction.GetCurrent(), font());
    update();
}

// ---- Qt events ----

void CFStatic::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    m_renderer.Paint(painter);
}

void CFStatic::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Initialise();
}

void CFStatic::mouseMoveEvent(QMouseEvent* event) {
    if (m_scene.mode == Overview || m_scene.program == nullptr) {
        return;
    }
    if (m_interaction.Move(m_scene, PointOf(event))) {
        Redraw();
    }
    UpdateCursor();
}

void CFStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_interaction.Press(m_scene, PointOf(event));
    }
}

void CFStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_interaction.GetCurrent() == nullptr) {
        return;
    }
    if (m_interaction.Release(m_scene, PointOf(event))) {
        Redraw();
    }
    UpdateCursor();
}

void CFStatic::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (m_interaction.Leave()) {
        Redraw();
        UpdateCursor();
    }
}

void CFStatic::UpdateCursor() {
    const Qt::CursorShape shape =
        m_interaction.IsOverHandle() ? Qt::PointingHandCursor : Qt::ArrowCursor;
    if (cursor().shape() != shape) {
        setCursor(shape);
    }
}

// ---- Notification ----

void CFStatic::Notify() {
    if (m_interaction.TakeChanged()) {
        emit graphEdit(m_interaction.GetCurrentIndex(), m_scene.mode);
    }
}
