#pragma once

#include "core/plot/Geometry.h"
#include "core/plot/PlotGrid.h"

#include <QImage>
#include <QPolygonF>
#include <Qt>

#include <array>

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
class GraphRenderer {
public:
    // Margins of the plot inside the control, in pixels.
    static constexpr int kLeftMargin = GraphLeftMargin;
    static constexpr int kRightMargin = 10;
    static constexpr int kTopMargin = GraphTopMargin;
    static constexpr int kBottomMargin = 20;
    static constexpr int kGridLineCount = 30;

    // Computes the plot rectangle and the grid for a control of size size and draws the frame
    // and the empty plots, at the device pixel ratio ratio.
    void Layout(const QSize& size, qreal ratio, const QFont& font);
    // Draws the plot of scene's mode; current is the graph's current filter (its bandwidth
    // handles are drawn in the EQ modes), or nullptr.
    void Render(const GraphScene& scene, const CFilter* current, const QFont& font);
    // Frame, then plot, onto the control.
    void Paint(QPainter& painter) const;

    // The plot area in control pixels: the control shrunk by the margins.
    CRect GetPlotRect() const { return m_plotRect; }
    // x of the 10, 20 .. 90, 100 .. 900, 1000 .. 9000, 10000, 20000 and 30000 Hz lines.
    const std::array<int, kGridLineCount>& GetGridX() const { return m_gridX; }

private:
    void DrawFrame(const QSize& size, qreal ratio, const QFont& font);
    void DrawGrids(qreal ratio);
    void DrawGrid(QImage& image, int lastLine) const;
    void DrawOverview(QPainter& painter, const GraphScene& scene);
    void DrawEq(QPainter& painter, const GraphScene& scene, const CFilter* current,
                const QFont& font);
    void DrawCrossover(QPainter& painter, const GraphScene& scene, const QFont& font);
    void DrawExistingChannels(QPainter& painter, const GraphScene& scene);
    void DrawSelectedChannel(QPainter& painter, const GraphScene& scene);
    void DrawCurve(QPainter& painter, const CAudio_Channel& channel);
    void DrawHandleLabel(QPainter& painter, const CRect& handle, Qt::Alignment alignment,
                         const QString& text) const;

    CRect m_plotRect;
    std::array<int, kGridLineCount> m_gridX{};
    QImage m_frame;        // frame, axis labels: redrawn when the size changes
    QImage m_overviewGrid; // empty plot of mode 0: redrawn when the size changes
    QImage m_editorGrid;   // empty plot of the editor modes: redrawn when the size changes
    QImage m_plot;         // plot with grid, curves and handles: redrawn on every change
    QPolygonF m_points = QPolygonF(PlotPointCount); // scratch polyline of one curve
};
