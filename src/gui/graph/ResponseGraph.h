#pragma once

#include "core/model/Geometry.h"

#include <QImage>
#include <QPolygonF>
#include <QTimer>
#include <QWidget>

#include <array>

class CAudio_Data;
class CFilter;

// The frequency-response graph of the panels: the channel curves of a program on a logarithmic
// frequency axis (10 Hz .. 30 kHz) and a dB axis (+20 .. -40 dB). While an EQ or crossover editor
// is open it shows that editor's channel with the handles of its bands or crossover filters and
// turns mouse drags into the model's drag operations. The curves and all handle geometry belong
// to the model; this control draws them and tells the editors, at most every 300 ms, which filter
// a drag changed.
class CFStatic : public QWidget {
    Q_OBJECT

public:
    enum Mode { Overview = 0, InputEq = 1, OutputEq = 2, OutputCrossover = 3 };

    // Margins of the plot inside the control, in pixels.
    static constexpr int kLeftMargin = 35;
    static constexpr int kRightMargin = 10;
    static constexpr int kTopMargin = 10;
    static constexpr int kBottomMargin = 20;
    static constexpr int kGridLineCount = 30;
    static constexpr int kNotifyIntervalMs = 300;

    explicit CFStatic(QWidget* parent = nullptr);
    ~CFStatic() override;

    // Keeps the program (nullptr shows an empty graph) and hands it the graph size.
    void SetProgram(CAudio_Data* program);
    CAudio_Data* GetProgram() const { return m_program; }
    // Recomputes the plot rectangle and the grid from the control's size and hands the program
    // the graph size. Runs on every resize as well.
    void Initialise();
    void SelectInput(int index);
    void SelectOutput(int index);
    void SetMode(int mode);
    int GetMode() const { return m_mode; }
    int GetSelectedInput() const { return m_selectedInput; }
    int GetSelectedOutput() const { return m_selectedOutput; }
    // Redraws the curves and handles of the current mode from the model.
    void Redraw();

    // The plot area in control pixels: the control shrunk by the margins.
    CRect GetPlotRect() const { return m_plotRect; }
    // x of the 10, 20 .. 90, 100 .. 900, 1000 .. 9000, 10000, 20000 and 30000 Hz lines.
    const std::array<int, kGridLineCount>& GetGridX() const { return m_gridX; }
    // The filter under the pointer or being dragged, with its index in the channel's filter
    // set; nullptr when there is none.
    const CFilter* GetCurrentFilter() const { return m_current; }
    int GetCurrentIndex() const { return m_currentIndex; }
    // Number of EQ bands shown and draggable in the current mode (0 outside modes 1 and 2).
    int GetShownBandCount() const;

    QSize sizeHint() const override;

signals:
    // A drag changed filter filterIndex of the shown channel in graph mode mode; sent at most
    // once per notification interval, the editor of that mode reloads the filter.
    void graphEdit(int filterIndex, int mode);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void RebuildFrame();
    void RebuildGrids();
    void RebuildPlot();
    void DrawGrid(QImage& image, int lastLine) const;
    void DrawOverview(QPainter& painter);
    void DrawEq(QPainter& painter);
    void DrawCrossover(QPainter& painter);
    void DrawExistingChannels(QPainter& painter);
    void DrawSelectedChannel(QPainter& painter);
    template <class Channel> void DrawCurve(QPainter& painter, const Channel& channel);
    void DrawHandleLabel(QPainter& painter, const CRect& handle, Qt::Alignment alignment,
                         const QString& text) const;

    CFilter* ShownFilter(int index) const;
    int HandleFilterCount() const;
    bool FindHandle(CPoint point);
    // Inside the rectangle that spans the band handle and both bandwidth handles.
    static bool InBandwidthReach(const CFilter& filter, CPoint point);
    void TrackCurrent(CPoint point);
    void DropCurrent();
    void ClearDragState();
    bool HasBandwidthHandles() const;
    // A drag of the shown output's high-pass or low-pass, bounded by the other one.
    bool DragCrossover(CFilter& filter, CPoint point);
    void UpdateCursor();
    void Notify();

    CAudio_Data* m_program = nullptr;
    int m_mode = Overview;
    int m_selectedInput = 0;
    int m_selectedOutput = 0;
    CFilter* m_current = nullptr;
    int m_currentIndex = 0;
    bool m_overHandle = false;
    bool m_changed = false;

    CRect m_plotRect;
    std::array<int, kGridLineCount> m_gridX{};
    QImage m_frame;        // frame, axis labels: redrawn when the size changes
    QImage m_overviewGrid; // empty plot of mode 0: redrawn when the size changes
    QImage m_editorGrid;   // empty plot of the editor modes: redrawn when the size changes
    QImage m_plot;         // plot with grid, curves and handles: redrawn on every change
    QPolygonF m_points;    // scratch polyline of one curve
    QTimer m_notifyTimer;
};
