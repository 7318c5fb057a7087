#include "gui/graph/GraphRenderer.h"

#include "core/model/AudioData.h"
#include "core/model/ChannelResponse.h"
#include "core/model/Filter.h"
#include "core/model/LoudspeakerSum.h"
#include "core/model/Variant.h"
#include "gui/graph/GraphLabelAlignment.h"
#include "gui/graph/GraphScene.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

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
// The sum of a loudspeaker: white and thicker than the channel curves.
constexpr COLORREF kSumColour = RGB(255, 255, 255);
constexpr qreal kSumPenWidth = 3.0;
constexpr int kAxisLabelPixels = 10;
constexpr int kHandleLabelPixels = 11;
// Room left of the plot for the dB labels, and below it for the frequency labels.
constexpr int kDbLabelGap = 3;
constexpr int kFrequencyLabelGap = 2;
constexpr int kFrequencyLabelWidth = 40;
// Room kept between the last frequency label and the control's border.
constexpr int kRightLabelGap = 3;

// Mode 0 draws the 20 Hz .. 20 kHz lines, the editor modes 20 Hz .. 30 kHz.
constexpr int kFirstGridLine = 1;
constexpr int kLastOverviewGridLine = 28;
constexpr int kLastEditorGridLine = 29;
constexpr int kHorizontalGridSteps = 12; // every 5 dB

constexpr std::array<int, GraphRenderer::kGridLineCount> kGridFrequencies = {
    10,  20,  30,  40,   50,   60,   70,   80,   90,   100,  200,  300,  400,   500,   600,
    700, 800, 900, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000, 30000};

struct AxisLabel {
    int value;
    const char* text;
};
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

QColor ToQColor(COLORREF colour) {
    return QColor(static_cast<int>(GetRValue(colour)), static_cast<int>(GetGValue(colour)),
                  static_cast<int>(GetBValue(colour)));
}

QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

CRect ToCRect(const QRect& r) {
    return CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

QFont PixelFont(const QFont& base, int pixels, bool bold) {
    QFont font(base);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

// ---- Size ----

void GraphRenderer::Layout(const QSize& size, qreal ratio, const QFont& font, ResponseView view) {
    m_plotRect = CRect(kLeftMargin, kTopMargin, std::max(kLeftMargin, size.width() - kRightMargin),
                       std::max(kTopMargin, size.height() - kBottomMargin));
    for (std::size_t i = 0; i < kGridFrequencies.size(); ++i) {
        m_gridX[i] = FreqToX(kGridFrequencies[i], m_plotRect.Width()) + kLeftMargin;
    }
    DrawFrame(size, ratio, font, view);
    DrawGrids(ratio);
}

void GraphRenderer::DrawFrame(const QSize& size, qreal ratio, const QFont& font,
                              ResponseView view) {
    m_frameView = view;
    m_axisLabelRects.clear();
    m_frame = QImage(size * ratio, QImage::Format_RGB32);
    m_frame.setDevicePixelRatio(ratio);
    m_frame.fill(kFrameFill);
    const int width = size.width();
    const int height = size.height();
    if (width <= 0 || height <= 0) {
        return;
    }
    QPainter painter(&m_frame);
    painter.setPen(kFrameBorder);
    painter.drawRect(0, 0, width - 1, height - 1);

    painter.setFont(PixelFont(font, kAxisLabelPixels, false));
    painter.setPen(kAxisLabel);
    const int lineHeight = painter.fontMetrics().height();
    const int plotWidth = m_plotRect.Width();
    const int plotHeight = m_plotRect.Height();
    // The frequency labels' row starts here; the lowest level label ends above it.
    const int frequencyRowTop = m_plotRect.bottom + kFrequencyLabelGap;
    const auto drawLabel = [&](const QRect& box, int flags, const QString& text) {
        QRect drawn;
        painter.drawText(box, flags, text, &drawn);
        m_axisLabelRects.push_back(ToCRect(drawn));
    };
    for (const ResponseAxisLabel& label : AxisLabels(view)) {
        const int y = ValueToY(view, label.value, plotHeight) + kTopMargin;
        const QString text = QString::fromLatin1(label.text);
        const int flags = Qt::AlignRight | Qt::AlignVCenter;
        QRect box(0, y - lineHeight / 2, kLeftMargin - kDbLabelGap, lineHeight);
        const int overflow = painter.boundingRect(box, flags, text).bottom() - frequencyRowTop + 1;
        if (overflow > 0) {
            box.translate(0, -overflow);
        }
        drawLabel(box, flags, text);
    }
    // The last label is kept inside the control, clear of its border, instead of being
    // centred on its line.
    const int rightLimit = width - 1 - kRightLabelGap;
    for (const AxisLabel& label : kFrequencyLabels) {
        const int x = FreqToX(label.value, plotWidth) + kLeftMargin;
        const QString text = QString::fromLatin1(label.text);
        QRect box(x - kFrequencyLabelWidth / 2, frequencyRowTop, kFrequencyLabelWidth, lineHeight);
        if (painter.fontMetrics().horizontalAdvance(text) / 2 + x > rightLimit) {
            box.moveRight(rightLimit);
            drawLabel(box, Qt::AlignRight | Qt::AlignTop, text);
        } else {
            drawLabel(box, Qt::AlignHCenter | Qt::AlignTop, text);
        }
    }
}

void GraphRenderer::DrawGrids(qreal ratio) {
    if (m_plotRect.IsRectEmpty()) {
        m_overviewGrid = m_editorGrid = QImage();
        return;
    }
    // One pixel more than the plot rectangle, so that its right and bottom border (the 30 kHz
    // and -40 dB lines) are part of the image.
    const QSize size = QSize(m_plotRect.Width() + 1, m_plotRect.Height() + 1) * ratio;
    for (QImage* grid : {&m_overviewGrid, &m_editorGrid}) {
        *grid = QImage(size, QImage::Format_RGB32);
        grid->setDevicePixelRatio(ratio);
    }
    DrawGrid(m_overviewGrid, kLastOverviewGridLine);
    DrawGrid(m_editorGrid, kLastEditorGridLine);
}

void GraphRenderer::DrawGrid(QImage& image, int lastLine) const {
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

// ---- Plot ----

void GraphRenderer::Paint(QPainter& painter) const {
    painter.drawImage(0, 0, m_frame);
    if (!m_plot.isNull()) {
        painter.drawImage(m_plotRect.left, m_plotRect.top, m_plot);
    }
}

void GraphRenderer::Render(const GraphScene& scene, const CFilter* current, const QFont& font) {
    m_traces.clear();
    m_handleLabelRects.clear();
    m_plot = scene.mode == GraphScene::Overview ? m_overviewGrid : m_editorGrid;
    if (m_plot.isNull() || scene.program == nullptr) {
        return;
    }
    QPainter painter(&m_plot);
    // Everything below is drawn in control coordinates, as the model keeps its curve points and
    // handles.
    painter.translate(-m_plotRect.left, -m_plotRect.top);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (scene.mode) {
    case GraphScene::Overview:
        if (scene.ShownView() == ResponseView::Magnitude) {
            DrawOverview(painter, scene);
        } else {
            DrawOverviewTraces(painter, scene, scene.ShownView());
        }
        break;
    case GraphScene::InputEq:
    case GraphScene::OutputEq:
        DrawEq(painter, scene, current, font);
        break;
    case GraphScene::OutputCrossover:
        DrawCrossover(painter, scene, font);
        break;
    default:
        break;
    }
    DrawSum(painter, scene);
}

const GraphRenderer::DrawnTrace* GraphRenderer::GetSumTrace() const {
    return !m_traces.empty() && m_traces.back().kind == DrawnTrace::Sum ? &m_traces.back()
                                                                        : nullptr;
}

void GraphRenderer::DrawCurve(QPainter& painter, const CAudio_Channel& channel) {
    for (int i = 0; i < PlotPointCount; ++i) {
        const CPoint p = channel.GetCurvePoint(i);
        // Curve points are pixels: draw through their centres so flat stretches stay crisp.
        m_points[i] = QPointF(p.x + 0.5, p.y + 0.5);
    }
    painter.setPen(QPen(ToQColor(channel.GetColor()), 1));
    painter.drawPolyline(m_points);
}

void GraphRenderer::DrawResponse(QPainter& painter, const ComplexResponse& response,
                                 ResponseView view, DrawnTrace::Kind kind, int channel,
                                 COLORREF colour, qreal width) {
    DrawnTrace& drawn = m_traces.emplace_back();
    drawn.kind = kind;
    drawn.channel = channel;
    drawn.view = view;
    drawn.trace = TraceOf(response, view, m_plotRect.Width(), m_plotRect.Height());
    QPainterPath path;
    for (TracePoint& p : drawn.trace) {
        p.point = CPoint(p.point.x + m_plotRect.left, p.point.y + m_plotRect.top);
        if (!p.valid) {
            continue;
        }
        const QPointF at(p.point.x + 0.5, p.point.y + 0.5);
        if (p.gapBefore) {
            path.moveTo(at);
        } else {
            path.lineTo(at);
        }
    }
    painter.setPen(QPen(ToQColor(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

void GraphRenderer::DrawOverview(QPainter& painter, const GraphScene& scene) {
    CAudio_Data* program = scene.program;
    for (int i = 0; i < program->GetInputCount(); ++i) {
        CAudio_InData* input = program->GetInput(i);
        if (input->IsEnabled()) {
            input->UpdateCurve();
            DrawCurve(painter, *input);
        }
    }
    for (int i = 0; i < program->GetOutputCount(); ++i) {
        CAudio_OutData* output = program->GetOutput(i);
        if (!output->IsEnabled()) {
            continue;
        }
        if (scene.HasDriver(i)) {
            // What the output sends into the air: its filters and gain on its measured driver.
            DrawResponse(painter, OutputResponse(*program, i, scene.drivers),
                         ResponseView::Magnitude, DrawnTrace::Output, i, output->GetColor(), 1);
        } else {
            output->UpdateCurve();
            DrawCurve(painter, *output);
        }
    }
}

void GraphRenderer::DrawOverviewTraces(QPainter& painter, const GraphScene& scene,
                                       ResponseView view) {
    const CAudio_Data* program = scene.program;
    for (int i = 0; i < program->GetInputCount(); ++i) {
        const CAudio_InData* input = program->GetInput(i);
        if (input->IsEnabled()) {
            DrawResponse(painter, ChannelResponse(*input), view, DrawnTrace::Input, i,
                         input->GetColor(), 1);
        }
    }
    for (int i = 0; i < program->GetOutputCount(); ++i) {
        const CAudio_OutData* output = program->GetOutput(i);
        if (output->IsEnabled()) {
            DrawResponse(painter, OutputResponse(*program, i, scene.drivers), view,
                         DrawnTrace::Output, i, output->GetColor(), 1);
        }
    }
}

void GraphRenderer::DrawSum(QPainter& painter, const GraphScene& scene) {
    const std::vector<int> outputs = scene.SummedOutputs();
    if (outputs.empty()) {
        return;
    }
    DrawResponse(painter, SumOfOutputs(*scene.program, outputs, scene.drivers), scene.ShownView(),
                 DrawnTrace::Sum, 0, kSumColour, kSumPenWidth);
}

void GraphRenderer::DrawEq(QPainter& painter, const GraphScene& scene, const CFilter* current,
                           const QFont& font) {
    painter.setFont(PixelFont(font, kHandleLabelPixels, true));
    painter.setPen(kHandleLabel);
    std::vector<HandleCaption> captions;
    for (int band = 0; band < scene.ShownBandCount(); ++band) {
        if (const CFilter* filter = scene.ShownFilter(band)) {
            const CRect& handle = filter->GetBandHandle();
            captions.push_back(
                {handle, BandLabelAlignment(handle, filter->GetFrequency(), m_plotRect.right),
                 QString::number(band + 1)});
        }
    }
    DrawHandleLabels(painter, captions);
    if (current != nullptr && current->GetType() == CFilter::Peaking) {
        const COLORREF colour = scene.mode == GraphScene::InputEq
                                    ? scene.program->GetInput(scene.selectedInput)->GetColor()
                                    : scene.program->GetOutput(scene.selectedOutput)->GetColor();
        painter.setPen(QPen(ToQColor(colour), 1));
        painter.setBrush(Qt::NoBrush);
        for (const CRect& r :
             {current->GetLeftBandwidthHandle(), current->GetRightBandwidthHandle()}) {
            painter.drawRect(QRectF(r.left + 0.5, r.top + 0.5, r.Width() - 1, r.Height() - 1));
        }
    }
    DrawExistingChannels(painter, scene);
    DrawSelectedChannel(painter, scene);
}

void GraphRenderer::DrawCrossover(QPainter& painter, const GraphScene& scene, const QFont& font) {
    CAudio_OutData* output = scene.program->GetOutput(scene.selectedOutput);
    if (output != nullptr) {
        painter.setFont(PixelFont(font, kHandleLabelPixels, true));
        painter.setPen(kHandleLabel);
        const CFilter* highPass = output->GetHighPass();
        const CFilter* lowPass = output->GetLowPass();
        DrawHandleLabels(painter,
                         {{highPass->GetBandHandle(),
                           CrossoverLabelAlignment(highPass->GetFrequency()), QStringLiteral("H")},
                          {lowPass->GetBandHandle(),
                           CrossoverLabelAlignment(lowPass->GetFrequency()), QStringLiteral("L")}});
    }
    // A low-pass dragged below the high-pass frequency is drawn with the response the model
    // computes for its new frequency, like every other setting.
    DrawExistingChannels(painter, scene);
    DrawSelectedChannel(painter, scene);
}

void GraphRenderer::DrawHandleLabels(QPainter& painter,
                                     const std::vector<HandleCaption>& captions) {
    std::vector<CRect> wanted;
    wanted.reserve(captions.size());
    for (const HandleCaption& caption : captions) {
        wanted.push_back(ToCRect(painter.boundingRect(
            ToQRect(caption.handle), static_cast<int>(caption.alignment | Qt::AlignVCenter),
            caption.text)));
    }
    m_handleLabelRects = SpreadLabels(wanted, m_plotRect);
    // The first caption is drawn last, on top of any it still touches.
    for (std::size_t i = captions.size(); i-- > 0;) {
        painter.drawText(ToQRect(m_handleLabelRects[i]), Qt::AlignCenter, captions[i].text);
    }
}

void GraphRenderer::DrawExistingChannels(QPainter& painter, const GraphScene& scene) {
    const CAudio_Data* program = scene.program;
    const Variant* variant = Variant::ForDeviceType(program->GetDeviceType());
    const int inputs = variant != nullptr ? variant->inputCount : program->GetInputCount();
    const int outputs = variant != nullptr ? variant->outputCount : program->GetOutputCount();
    for (int i = 0; i < inputs; ++i) {
        DrawCurve(painter, *program->GetInput(i));
    }
    for (int i = 0; i < outputs; ++i) {
        DrawCurve(painter, *program->GetOutput(i));
    }
}

void GraphRenderer::DrawSelectedChannel(QPainter& painter, const GraphScene& scene) {
    if (scene.mode == GraphScene::InputEq) {
        if (CAudio_InData* input = scene.program->GetInput(scene.selectedInput)) {
            input->UpdateCurve();
            DrawCurve(painter, *input);
        }
    } else if (CAudio_OutData* output = scene.program->GetOutput(scene.selectedOutput)) {
        output->UpdateCurve();
        DrawCurve(painter, *output);
    }
}
