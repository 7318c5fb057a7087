#include "gui/graph/ResponseGraph.h"

#include "core/model/AudioData.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

CPoint PointOf(const QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    return CPoint(pos.x(), pos.y());
}

struct ViewChoice {
    ResponseView view;
    const char* text;
    const char* name;
};
constexpr ViewChoice kViews[] = {{ResponseView::Magnitude, "Magnitude", "viewMagnitude"},
                                 {ResponseView::Phase, "Phase", "viewPhase"},
                                 {ResponseView::GroupDelay, "Group delay", "viewGroupDelay"}};

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
    m_renderer.Layout(size(), devicePixelRatioF(), font(), m_scene.ShownView());
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
    if (m_renderer.GetFrameView() != m_scene.ShownView()) {
        m_renderer.Layout(size(), devicePixelRatioF(), font(), m_scene.ShownView());
    }
    m_renderer.Render(m_scene, m_interaction.GetCurrent(), font());
    update();
}

// ---- View, sum, drivers ----

void CFStatic::SetView(ResponseView view) {
    m_scene.view = view;
    Redraw();
}

void CFStatic::SetSummed(int output, bool summed) {
    if (output >= 0 && output < static_cast<int>(m_scene.summed.size())) {
        m_scene.summed[static_cast<std::size_t>(output)] = summed;
        Redraw();
    }
}

bool CFStatic::IsSummed(int output) const {
    return output >= 0 && output < static_cast<int>(m_scene.summed.size()) &&
           m_scene.summed[static_cast<std::size_t>(output)];
}

void CFStatic::SetDrivers(const MeasuredDrivers* drivers) {
    m_scene.drivers = drivers;
    Redraw();
}

QMenu* CFStatic::MakeContextMenu() {
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("graphMenu"));
    auto* views = new QActionGroup(menu);
    for (const ViewChoice& choice : kViews) {
        QAction* action = menu->addAction(QString::fromLatin1(choice.text));
        action->setObjectName(QString::fromLatin1(choice.name));
        action->setCheckable(true);
        action->setChecked(m_scene.view == choice.view);
        views->addAction(action);
        const ResponseView view = choice.view;
        connect(action, &QAction::triggered, this, [this, view] { SetView(view); });
    }
    menu->addSeparator();
    const int outputs = std::min(m_scene.OutputCount(), static_cast<int>(m_scene.summed.size()));
    QMenu* sum = menu->addMenu(QStringLiteral("Sum of outputs"));
    sum->setObjectName(QStringLiteral("sumMenu"));
    QMenu* drivers = menu->addMenu(QStringLiteral("Measured driver"));
    drivers->setObjectName(QStringLiteral("driverMenu"));
    for (int i = 0; i < outputs; ++i) {
        const QString number = QString::number(i + 1);
        QAction* tick = sum->addAction(QStringLiteral("Out ") + number);
        tick->setObjectName(QStringLiteral("sumOut") + number);
        tick->setCheckable(true);
        tick->setChecked(IsSummed(i));
        connect(tick, &QAction::toggled, this, [this, i](bool on) { SetSummed(i, on); });

        QAction* attach = drivers->addAction(QStringLiteral("Attach to Out %1...").arg(number));
        attach->setObjectName(QStringLiteral("attachOut") + number);
        connect(attach, &QAction::triggered, this,
                [this, i] { emit measurementAttachRequested(i); });
        if (m_scene.HasDriver(i)) {
            QAction* detach = drivers->addAction(QStringLiteral("Detach from Out %1").arg(number));
            detach->setObjectName(QStringLiteral("detachOut") + number);
            connect(detach, &QAction::triggered, this,
                    [this, i] { emit measurementDetachRequested(i); });
        }
    }
    sum->setEnabled(outputs > 0);
    drivers->setEnabled(outputs > 0);
    return menu;
}

// ---- Qt events ----

void CFStatic::contextMenuEvent(QContextMenuEvent* event) {
    // A drag in progress keeps the pointer.
    if (m_interaction.GetDragState().IsHeld()) {
        return;
    }
    QMenu* menu = MakeContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

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
