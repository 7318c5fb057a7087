#include "gui/graph/ResponseGraph.h"

#include "gui/graph/GraphLabelAlignment.h"
#include "core/model/AudioData.h"
#include "core/model/ChannelEdits.h"
#include "core/model/Filter.h"
#include "core/model/ValueTables.h"
#include "core/model/Variant.h"

#include <QMouseEvent>

#include <QPainter>
#include <algorithm>

namespace {

// Colours and sizes of the graph.
const QColor kFrameFill(0, 0, 0);
const QColor kFrameBorder(100, 100, 100);
const QColor kAxisLabel(149, 149, 149);
const QColor kPlotFill(0, 0, 0);
const QColor kPlotBorder(255, 255, 255);
const QColor kGrid(149, 149, 149);
const QColor kHandleLabel(255, 255, 255);
constexpr int kAxisLabelPixels = 10;
constexpr int kHandleLabelPixels = 11;
// Room left of the plot for the dB labels, and below it for the frequency labels.
constexpr int kDbLabelGap = 3;
constexpr int kFrequencyLabelGap = 2;
constexpr int kFrequencyLabelWidth = 40;

// Mode 0 draws the 20 Hz .. 20 kHz lines, the editor modes 20 Hz .. 30 kHz.
constexpr int kFirstGridLine = 1;
constexpr int kLastOverviewGridLine = 28;
constexpr int kLastEditorGridLine = 29;
constexpr int kHorizontalGridSteps = 12; // every 5 dB

constexpr std::array<int, CFStatic::kGridLineCount> kGridFrequencies = {
    10,  20,  30,  40,   50,   60,   70,   80,   90,   100,  200,  300,  400,   500,   600,
    700, 800, 900, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000, 30000};

struct AxisLabel {
    int value;
    const char* text;
};
constexpr std::array<AxisLabel, 7> kDbLabels = {
    {{20, "+20"}, {10, "+10"}, {0, "0dB"}, {-10, "-10"}, {-20, "-20"}, {-30, "-30"}, {-40, "-40"}}};
constexpr std::array<AxisLabel, 12> kFrequencyLabels = {{{10, "10"},
                                                         {20, "20"},
                                                         {50, "50"},
                                                         {100, "100"},
                                                         {200, "200"},
                                                         {500, "500"},
                                                         {1000, "1K"},
                                                         {2000, "2K"},
                                                         {5000, "5K"},
                                                         {10000, "10K"},
                                                         {20000, "20K"},
                                                         {30000, "30K"}}};

constexpr int kDragSlots[] = {CFilter::DragHovered,     CFilter::DragBandHeld,
                              CFilter::DragLeftHeld,    CFilter::DragRightHeld,
                              CFilter::DragLeftHovered, CFilter::DragRightHovered};

QColor ToQColor(COLORREF colour) {
    return QColor(static_cast<int>(GetRValue(colour)), static_cast<int>(GetGValue(colour)),
                  static_cast<int>(GetBValue(colour)));
}

QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

QFont PixelFont(const QFont& base, int pixels, bool bold) {
    QFont font(base);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

bool IsEditorMode(int mode) {
    return mode == CFStatic::InputEq || mode == CFStatic::OutputEq ||
           mode == CFStatic::OutputCrossover;
}

} // namespace

CFStatic::CFStatic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Response graph"));
    m_points.resize(PlotPointCount);
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
    if (program == m_program) {
        DropCurrent();
    } else {
        // The filter of another program may be gone already: forget it without touching it.
        m_current = nullptr;
        m_overHandle = false;
        m_program = program;
    }
    Initialise();
}

void CFStatic::Initialise() {
    const int w = width();
    const int h = height();
    m_plotRect = CRect(kLeftMargin, kTopMargin, std::max(kLeftMargin, w - kRightMargin),
                       std::max(kTopMargin, h - kBottomMargin));
    for (std::size_t i = 0; i < kGridFrequencies.size(); ++i) {
        m_gridX[i] = FreqToX(kGridFrequencies[i], m_plotRect.Width()) + kLeftMargin;
    }
    if (m_program != nullptr && !m_plotRect.IsRectEmpty()) {
        m_program->SetCurveRect(m_plotRect);
    }
    RebuildFrame();
    RebuildGrids();
    Redraw();
}

void CFStatic::SelectInput(int index) {
    DropCurrent();
    m_selectedInput = index;
    Redraw();
}

void CFStatic::SelectOutput(int index) {
    DropCurrent();
    m_selectedOutput = index;
    if (m_program != nullptr && !m_plotRect.IsRectEmpty()) {
        if (CAudio_OutData* output = m_program->GetOutput(index)) {
            output->SetCurveRect(m_plotRect);
        }
    }
    Redraw();
}

void CFStatic::SetMode(int mode) {
    DropCurrent();
    if (mode == Overview || IsEditorMode(mode)) {
        m_mode = mode;
    }
    Redraw();
}

int CFStatic::GetShownBandCount() const {
    if (m_program == nullptr) {
        return 0;
    }
    switch (m_mode) {
    case InputEq:
        return m_program->GetDeviceType() == 1 ? 8 : 6;
    case OutputEq:
        return 6;
    default:
        return 0;
    }
}

void CFStatic::Redraw() {
    RebuildPlot();
    update();
}

// ---- Drawing ----

void CFStatic::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_frame);
    if (!m_plot.isNull()) {
        painter.drawImage(m_plotRect.left, m_plotRect.top, m_plot);
    }
}

void CFStatic::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Initialise();
}

void CFStatic::RebuildFrame() {
    const qreal ratio = devicePixelRatioF();
    m_frame = QImage(size() * ratio, QImage::Format_RGB32);
    m_frame.setDevicePixelRatio(ratio);
    m_frame.fill(kFrameFill);
    if (width() <= 0 || height() <= 0) {
        return;
    }
    QPainter painter(&m_frame);
    painter.setPen(kFrameBorder);
    painter.drawRect(0, 0, width() - 1, height() - 1);

    painter.setFont(PixelFont(font(), kAxisLabelPixels, false));
    painter.setPen(kAxisLabel);
    const int lineHeight = painter.fontMetrics().height();
    const int plotWidth = m_plotRect.Width();
    const int plotHeight = m_plotRect.Height();
    for (const AxisLabel& label : kDbLabels) {
        const int y = DbToY(label.value, plotHeight) + kTopMargin;
        painter.drawText(QRect(0, y - lineHeight / 2, kLeftMargin - kDbLabelGap, lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(label.text));
    }
    for (const AxisLabel& label : kFrequencyLabels) {
        const int x = FreqToX(label.value, plotWidth) + kLeftMargin;
        QRect box(x - kFrequencyLabelWidth / 2, m_plotRect.bottom + kFrequencyLabelGap,
                  kFrequencyLabelWidth, lineHeight);
        // The last label is kept inside the control instead of being centred on its line.
        const int rightLimit = width() - 2;
        if (painter.fontMetrics().horizontalAdvance(QString::fromLatin1(label.text)) / 2 + x >
            rightLimit) {
            box.moveRight(rightLimit);
            painter.drawText(box, Qt::AlignRight | Qt::AlignTop, QString::fromLatin1(label.text));
        } else {
            painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, QString::fromLatin1(label.text));
        }
    }
}

void CFStatic::RebuildGrids() {
    if (m_plotRect.IsRectEmpty()) {
        m_overviewGrid = m_editorGrid = QImage();
        return;
    }
    // One pixel more than the plot rectangle, so that its right and bottom border (the 30 kHz
    // and -40 dB lines) are part of the image.
    const qreal ratio = devicePixelRatioF();
    const QSize size = QSize(m_plotRect.Width() + 1, m_plotRect.Height() + 1) * ratio;
    for (QImage* grid : {&m_overviewGrid, &m_editorGrid}) {
        *grid = QImage(size, QImage::Format_RGB32);
        grid->setDevicePixelRatio(ratio);
    }
    DrawGrid(m_overviewGrid, kLastOverviewGridLine);
    DrawGrid(m_editorGrid, kLastEditorGridLine);
}

void CFStatic::DrawGrid(QImage& image, int lastLine) const {
    image.fill(kPlotFill);
    QPainter painter(&image);
    painter.translate(-m_plotRect.left, -m_plotRect.top);
    painter.setPen(kGrid);
    for (int i = kFirstGridLine; i <= lastLine; ++i) {
        const int x = m_gridX[static_cast<std::size_t>(i)];
        painter.drawLine(x, m_plotRect.top, x, m_plotRect.bottom);
    }
    for (int k = 1; k <= kHorizontalGridSteps; ++k) {
        const int y = m_plotRect.top + m_plotRect.Height() * k / kHorizontalGridSteps;
        painter.drawLine(m_plotRect.left, y, m_plotRect.right, y);
    }
    painter.setPen(kPlotBorder);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(ToQRect(m_plotRect));
}

void CFStatic::RebuildPlot() {
    m_plot = m_mode == Overview ? m_overviewGrid : m_editorGrid;
    if (m_plot.isNull() || m_program == nullptr) {
        return;
    }
    QPainter painter(&m_plot);
    // Everything below is drawn in control coordinates, as the model keeps its curve points and
    // handles.
    painter.translate(-m_plotRect.left, -m_plotRect.top);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (m_mode) {
    case Overview:
        DrawOverview(painter);
        break;
    case InputEq:
    case OutputEq:
        DrawEq(painter);
        break;
    case OutputCrossover:
        DrawCrossover(painter);
        break;
    default:
        break;
    }
}

template <class Channel> void CFStatic::DrawCurve(QPainter& painter, const Channel& channel) {
    for (int i = 0; i < PlotPointCount; ++i) {
        const CPoint p = channel.GetCurvePoint(i);
        // Curve points are pixels: draw through their centres so flat stretches stay crisp.
        m_points[i] = QPointF(p.x + 0.5, p.y + 0.5);
    }
    painter.setPen(QPen(ToQColor(channel.GetColor()), 1));
    painter.drawPolyline(m_points);
}

void CFStatic::DrawOverview(QPainter& painter) {
    for (int i = 0; i < m_program->GetInputCount(); ++i) {
        CAudio_InData* input = m_program->GetInput(i);
        if (input->IsEnabled()) {
            input->UpdateCurve();
            DrawCurve(painter, *input);
        }
    }
    for (int i = 0; i < m_program->GetOutputCount(); ++i) {
        CAudio_OutData* output = m_program->GetOutput(i);
        if (output->IsEnabled()) {
            output->UpdateCurve();
            DrawCurve(painter, *output);
        }
    }
}

void CFStatic::DrawEq(QPainter& painter) {
    painter.setFont(PixelFont(font(), kHandleLabelPixels, true));
    painter.setPen(kHandleLabel);
    for (int band = GetShownBandCount() - 1; band >= 0; --band) {
        if (const CFilter* filter = ShownFilter(band)) {
            const CRect& handle = filter->GetBandHandle();
            DrawHandleLabel(painter, handle,
                            BandLabelAlignment(handle, filter->GetFrequency(), m_plotRect.right),
                            QString::number(band + 1));
        }
    }
    if (HasBandwidthHandles()) {
        const COLORREF colour = m_mode == InputEq
                                    ? m_program->GetInput(m_selectedInput)->GetColor()
                                    : m_program->GetOutput(m_selectedOutput)->GetColor();
        painter.setPen(QPen(ToQColor(colour), 1));
        painter.setBrush(Qt::NoBrush);
        for (const CRect& r :
             {m_current->GetLeftBandwidthHandle(), m_current->GetRightBandwidthHandle()}) {
            painter.drawRect(QRectF(r.left + 0.5, r.top + 0.5, r.Width() - 1, r.Height() - 1));
        }
    }
    DrawExistingChannels(painter);
    DrawSelectedChannel(painter);
}

void CFStatic::DrawCrossover(QPainter& painter) {
    CAudio_OutData* output = m_program->GetOutput(m_selectedOutput);
    if (output != nullptr) {
        painter.setFont(PixelFont(font(), kHandleLabelPixels, true));
        painter.setPen(kHandleLabel);
        const CFilter* highPass = output->GetHighPass();
        const CFilter* lowPass = output->GetLowPass();
        DrawHandleLabel(painter, highPass->GetBandHandle(),
                        CrossoverLabelAlignment(highPass->GetFrequency()), QStringLiteral("H"));
        DrawHandleLabel(painter, lowPass->GetBandHandle(),
                        CrossoverLabelAlignment(lowPass->GetFrequency()), QStringLiteral("L"));
    }
    // A low-pass dragged below the high-pass frequency is drawn with the response the model
    // computes for its new frequency, like every other setting.
    DrawExistingChannels(painter);
    DrawSelectedChannel(painter);
}

void CFStatic::DrawHandleLabel(QPainter& painter, const CRect& handle, Qt::Alignment alignment,
                               const QString& text) const {
    painter.drawText(ToQRect(handle), static_cast<int>(alignment | Qt::AlignVCenter), text);
}

void CFStatic::DrawExistingChannels(QPainter& painter) {
    const Variant* variant = Variant::ForDeviceType(m_program->GetDeviceType());
    const int inputs = variant != nullptr ? variant->inputCount : m_program->GetInputCount();
    const int outputs = variant != nullptr ? variant->outputCount : m_program->GetOutputCount();
    for (int i = 0; i < inputs; ++i) {
        DrawCurve(painter, *m_program->GetInput(i));
    }
    for (int i = 0; i < outputs; ++i) {
        DrawCurve(painter, *m_program->GetOutput(i));
    }
}

void CFStatic::DrawSelectedChannel(QPainter& painter) {
    if (m_mode == InputEq) {
        if (CAudio_InData* input = m_program->GetInput(m_selectedInput)) {
            input->UpdateCurve();
            DrawCurve(painter, *input);
        }
    } else if (CAudio_OutData* output = m_program->GetOutput(m_selectedOutput)) {
        output->UpdateCurve();
        DrawCurve(painter, *output);
    }
}

// ---- Mouse ----

CFilter* CFStatic::ShownFilter(int index) const {
    if (m_program == nullptr) {
        return nullptr;
    }
    if (m_mode == InputEq) {
        CAudio_InData* input = m_program->GetInput(m_selectedInput);
        return input != nullptr ? input->GetFilter(index) : nullptr;
    }
    if (m_mode == OutputEq || m_mode == OutputCrossover) {
        CAudio_OutData* output = m_program->GetOutput(m_selectedOutput);
        return output != nullptr ? output->GetFilter(index) : nullptr;
    }
    return nullptr;
}

int CFStatic::HandleFilterCount() const {
    if (m_mode == OutputCrossover) {
        const CAudio_OutData* output =
            m_program != nullptr ? m_program->GetOutput(m_selectedOutput) : nullptr;
        return output != nullptr ? output->GetFilterCount() : 0;
    }
    return GetShownBandCount();
}

bool CFStatic::HasBandwidthHandles() const {
    return m_current != nullptr && (m_mode == InputEq || m_mode == OutputEq) &&
           m_current->GetType() == CFilter::Peaking;
}

bool CFStatic::DragCrossover(CFilter& filter, CPoint point) {
    CAudio_OutData* output = m_program->GetOutput(m_selectedOutput);
    return output != nullptr && ChannelEdits::DragCrossover(*output, filter, point);
}

bool CFStatic::FindHandle(CPoint point) {
    m_overHandle = false;
    const int count = HandleFilterCount();
    // In the crossover mode only the high-pass and the low-pass, the last two sections, have
    // handles.
    const int first = m_mode == OutputCrossover ? std::max(count - 2, 0) : 0;
    for (int index = first; index < count; ++index) {
        CFilter* filter = ShownFilter(index);
        if (filter != nullptr && filter->GetBandHandle().PtInRect(point)) {
            m_current = filter;
            m_currentIndex = index;
            ClearDragState();
            m_current->SetDragState(CFilter::DragHovered, 1);
            m_overHandle = true;
            Redraw();
            return true;
        }
    }
    return false;
}

void CFStatic::TrackCurrent(CPoint point) {
    CFilter* filter = m_current;
    const bool bandHeld = filter->GetDragState(CFilter::DragBandHeld) != 0;
    const bool leftHeld = filter->GetDragState(CFilter::DragLeftHeld) != 0;
    const bool rightHeld = filter->GetDragState(CFilter::DragRightHeld) != 0;
    const bool bandwidth = HasBandwidthHandles();
    const bool onBand = filter->GetBandHandle().PtInRect(point);
    const bool onLeft = bandwidth && filter->GetLeftBandwidthHandle().PtInRect(point);
    const bool onRight = bandwidth && filter->GetRightBandwidthHandle().PtInRect(point);

    if (bandHeld || (!leftHeld && !rightHeld && onBand)) {
        filter->SetDragState(CFilter::DragHovered, 1);
        filter->SetDragState(CFilter::DragLeftHovered, 0);
        filter->SetDragState(CFilter::DragRightHovered, 0);
        m_overHandle = true;
        if (bandHeld) {
            const bool changed =
                m_mode == OutputCrossover ? DragCrossover(*filter, point) : filter->DragTo(point);
            if (changed) {
                m_changed = true;
                Redraw();
            }
        }
        return;
    }
    if (leftHeld || rightHeld || onLeft || onRight) {
        const bool left = leftHeld || (!rightHeld && onLeft);
        filter->SetDragState(CFilter::DragHovered, 0);
        filter->SetDragState(CFilter::DragLeftHovered, left ? 1 : 0);
        filter->SetDragState(CFilter::DragRightHovered, left ? 0 : 1);
        m_overHandle = true;
        if ((leftHeld || rightHeld) && filter->DragBandwidth(point.x)) {
            m_changed = true;
            Redraw();
        }
        return;
    }
    if (bandwidth && InBandwidthReach(*filter, point)) {
        // Between the band handle and its bandwidth handles: the band stays current, so that
        // the pointer can travel to a bandwidth handle of a wide band without losing it.
        filter->SetDragState(CFilter::DragHovered, 0);
        filter->SetDragState(CFilter::DragLeftHovered, 0);
        filter->SetDragState(CFilter::DragRightHovered, 0);
        m_overHandle = false;
        return;
    }
    DropCurrent();
    if (!FindHandle(point)) {
        Redraw();
    }
}

bool CFStatic::InBandwidthReach(const CFilter& filter, CPoint point) {
    const CRect band = filter.GetBandHandle();
    const CRect left = filter.GetLeftBandwidthHandle();
    const CRect right = filter.GetRightBandwidthHandle();
    const CRect reach(std::min({band.left, left.left, right.left}),
                      std::min({band.top, left.top, right.top}),
                      std::max({band.right, left.right, right.right}),
                      std::max({band.bottom, left.bottom, right.bottom}));
    return reach.PtInRect(point);
}

void CFStatic::ClearDragState() {
    for (const int slot : kDragSlots) {
        m_current->SetDragState(slot, 0);
    }
}

void CFStatic::DropCurrent() {
    if (m_current == nullptr) {
        return;
    }
    ClearDragState();
    // The index stays: a notification still due after the drag names the filter it changed.
    m_current = nullptr;
    m_overHandle = false;
}

void CFStatic::mouseMoveEvent(QMouseEvent* event) {
    if (m_mode == Overview || m_program == nullptr) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    const CPoint point(pos.x(), pos.y());
    if (m_current == nullptr) {
        FindHandle(point);
    } else {
        TrackCurrent(point);
    }
    UpdateCursor();
}

void CFStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_current == nullptr || !m_overHandle) {
        return;
    }
    const QPoint pos = event->position().toPoint();
    const CPoint point(pos.x(), pos.y());
    if (m_current->GetBandHandle().PtInRect(point)) {
        m_current->SetDragState(CFilter::DragBandHeld, 1);
        m_current->BeginDrag(point);
    } else if (HasBandwidthHandles()) {
        // A shelf band has no bandwidth handles: a press where they would be starts nothing.
        if (m_current->GetLeftBandwidthHandle().PtInRect(point)) {
            m_current->SetDragState(CFilter::DragLeftHeld, 1);
            m_current->BeginBandwidthDrag(point.x);
        } else if (m_current->GetRightBandwidthHandle().PtInRect(point)) {
            m_current->SetDragState(CFilter::DragRightHeld, 1);
            m_current->BeginBandwidthDrag(point.x);
        }
    }
}

void CFStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_current == nullptr) {
        return;
    }
    m_current->SetDragState(CFilter::DragBandHeld, 0);
    m_current->SetDragState(CFilter::DragLeftHeld, 0);
    m_current->SetDragState(CFilter::DragRightHeld, 0);
    // The filter stays current while the pointer is still on one of its handles.
    const QPoint pos = event->position().toPoint();
    TrackCurrent(CPoint(pos.x(), pos.y()));
    UpdateCursor();
}

void CFStatic::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (m_current != nullptr && m_current->GetDragState(CFilter::DragBandHeld) == 0 &&
        m_current->GetDragState(CFilter::DragLeftHeld) == 0 &&
        m_current->GetDragState(CFilter::DragRightHeld) == 0) {
        DropCurrent();
        Redraw();
        UpdateCursor();
    }
}

void CFStatic::UpdateCursor() {
    const Qt::CursorShape shape = m_overHandle ? Qt::PointingHandCursor : Qt::ArrowCursor;
    if (cursor().shape() != shape) {
        setCursor(shape);
    }
}

// ---- Notification ----

void CFStatic::Notify() {
    if (m_changed) {
        m_changed = false;
        emit graphEdit(m_currentIndex, m_mode);
    }
}
