#pragma once

#include "core/curves/ResponseTrace.h"
#include "core/plot/Geometry.h"
#include "core/plot/PlotGrid.h"

#include <QImage>
#include <QPolygonF>
#include <Qt>

#include <array>
#include <vector>

class CAudio_Channel;
class CFilter;
class QFont;
class QPainter;
class QSize;
class QString;
struct GraphScene;

// The drawing side of the response graph: the frame with its axis labels and the plot with its
// grid, curves and handle captions, kept as off-screen images. The frame and the empty plots are
// made again when the size changes, the plot on every change of what it shows.
//
// Curves that come from complex responses (every curve of the phase and group delay views, a
// measured output and the sum of a loudspeaker) are kept as drawn, in control pixels, so that
// what the graph shows can be read back.
class GraphRenderer {
public:
    struct DrawnTrace {
        enum Kind { Input, Output, Sum };
        Kind kind = Output;
        int channel = 0; // the input or output index; 0 for the sum
        ResponseView view = ResponseView::Magnitude;
        Trace trace{};
    };

    // Margins of the plot inside the control, in pixels.
    static constexpr int kLeftMargin = GraphLeftMargin;
    static constexpr int kRightMargin = 10;
    static constexpr int kTopMargin = GraphTopMargin;
    static constexpr int kBottomMargin = 20;
    static constexpr int kGridLineCount = 30;

    // Computes the plot rectangle and the grid for a control of size size and draws the frame
    // with the axis labels of view and the empty plots, at the device pixel ratio ratio.
    void Layout(const QSize& size, qreal ratio, const QFont& font, ResponseView view);
    // The view whose axis the frame is labelled with.
    ResponseView GetFrameView() const { return m_frameView; }
    // Draws the plot of scene's mode; current is the graph's current filter (its bandwidth
    // handles are drawn in the EQ modes), or nullptr.
    void Render(const GraphScene& scene, const CFilter* current, const QFont& font);
    // Frame, then plot, onto the control.
    void Paint(QPainter& painter) const;

    // The plot area in control pixels: the control shrunk by the margins.
    CRect GetPlotRect() const { return m_plotRect; }
    // x of the 10, 20 .. 90, 100 .. 900, 1000 .. 9000, 10000, 20000 and 30000 Hz lines.
    const std::array<int, kGridLineCount>& GetGridX() const { return m_gridX; }
    // The curves of the last Render drawn from complex responses, the sum last.
    const std::vector<DrawnTrace>& GetTraces() const { return m_traces; }
    const DrawnTrace* GetSumTrace() const;
    // Where the axis labels and the handle captions of the last Layout and Render went: the
    // rectangles of their texts in control pixels.
    const std::vector<CRect>& GetAxisLabelRects() const { return m_axisLabelRects; }
    const std::vector<CRect>& GetHandleLabelRects() const { return m_handleLabelRects; }

private:
    void DrawFrame(const QSize& size, qreal ratio, const QFont& font, ResponseView view);
    void DrawGrids(qreal ratio);
    void DrawGrid(QImage& image, int lastLine) const;
    void DrawOverview(QPainter& painter, const GraphScene& scene);
    void DrawOverviewTraces(QPainter& painter, const GraphScene& scene, ResponseView view);
    void DrawSum(QPainter& painter, const GraphScene& scene);
    // Draws response in view as a curve of colour and pen width and keeps it as drawn.
    void DrawResponse(QPainter& painter, const ComplexResponse& response, ResponseView view,
                      DrawnTrace::Kind kind, int channel, COLORREF colour, qreal width);
    void DrawEq(QPainter& painter, const GraphScene& scene, const CFilter* current,
                const QFont& font);
    void DrawCrossover(QPainter& painter, const GraphScene& scene, const QFont& font);
    void DrawExistingChannels(QPainter& painter, const GraphScene& scene);
    void DrawSelectedChannel(QPainter& painter, const GraphScene& scene);
    void DrawCurve(QPainter& painter, const CAudio_Channel& channel);
    // Draws the captions of handles (text, wanted alignment inside the handle), spread apart
    // so that each stays readable.
    struct HandleCaption {
        CRect handle;
        Qt::Alignment alignment;
        QString text;
    };
    void DrawHandleLabels(QPainter& painter, const std::vector<HandleCaption>& captions);

    CRect m_plotRect;
    std::array<int, kGridLineCount> m_gridX{};
    QImage m_frame;        // frame, axis labels: redrawn when the size changes
    QImage m_overviewGrid; // empty plot of mode 0: redrawn when the size changes
    QImage m_editorGrid;   // empty plot of the editor modes: redrawn when the size changes
    QImage m_plot;         // plot with grid, curves and handles: redrawn on every change
    QPolygonF m_points = QPolygonF(PlotPointCount); // scratch polyline of one curve
    ResponseView m_frameView = ResponseView::Magnitude;
    std::vector<DrawnTrace> m_traces;
    std::vector<CRect> m_axisLabelRects;
    std::vector<CRect> m_handleLabelRects;
};
