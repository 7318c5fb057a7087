#pragma once

#include "core/plot/Geometry.h"
#include "gui/graph/GraphInteraction.h"
#include "gui/graph/GraphRenderer.h"
#include "gui/graph/GraphScene.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <vector>

class CAudio_Data;
class CFilter;
class MeasuredDrivers;
class QMenu;

// The frequency-response graph of the panels: the channel curves of a program on a logarithmic
// frequency axis (10 Hz .. 30 kHz) and a dB axis (+20 .. -40 dB). While an EQ or crossover editor
// is open it shows that editor's channel with the handles of its bands or crossover filters and
// turns mouse drags into the model's drag operations. The curves and all handle geometry belong
// to the model; the control keeps what it shows (GraphScene), draws it (GraphRenderer), follows
// the mouse (GraphInteraction) and tells the editors, at most every 300 ms, which filter a drag
// changed.
//
// The overview shows the magnitude (the default), the phase or the group delay of the channels;
// the outputs the operator ticks as one loudspeaker are summed and drawn thicker over the
// curves in every mode, and an output with a measured driver is drawn with it. These are
// chosen in the graph's context menu, which also asks for a measurement to be attached to or
// detached from an output (measurementAttachRequested, measurementDetachRequested).
class CFStatic : public QWidget {
    Q_OBJECT

public:
    using Mode = GraphScene::Mode;
    static constexpr Mode Overview = GraphScene::Overview;
    static constexpr Mode InputEq = GraphScene::InputEq;
    static constexpr Mode OutputEq = GraphScene::OutputEq;
    static constexpr Mode OutputCrossover = GraphScene::OutputCrossover;

    // Margins of the plot inside the control, in pixels.
    static constexpr int kLeftMargin = GraphRenderer::kLeftMargin;
    static constexpr int kRightMargin = GraphRenderer::kRightMargin;
    static constexpr int kTopMargin = GraphRenderer::kTopMargin;
    static constexpr int kBottomMargin = GraphRenderer::kBottomMargin;
    static constexpr int kGridLineCount = GraphRenderer::kGridLineCount;
    static constexpr int kNotifyIntervalMs = 300;

    explicit CFStatic(QWidget* parent = nullptr);
    ~CFStatic() override;

    // Keeps the program (nullptr shows an empty graph) and hands it the graph size.
    void SetProgram(CAudio_Data* program);
    CAudio_Data* GetProgram() const { return m_scene.program; }
    // Recomputes the plot rectangle and the grid from the control's size and hands the program
    // the graph size. Runs on every resize as well.
    void Initialise();
    void SelectInput(int index);
    void SelectOutput(int index);
    void SetMode(int mode);
    int GetMode() const { return m_scene.mode; }
    int GetSelectedInput() const { return m_scene.selectedInput; }
    int GetSelectedOutput() const { return m_scene.selectedOutput; }
    // Redraws the curves and handles of the current mode from the model.
    void Redraw();

    // The overview's view (the editor modes show the magnitude whatever it is).
    void SetView(ResponseView view);
    ResponseView GetView() const { return m_scene.view; }
    // Ticks or unticks output (0-based) as part of the summed loudspeaker.
    void SetSummed(int output, bool summed);
    bool IsSummed(int output) const;
    std::vector<int> GetSummedOutputs() const { return m_scene.SummedOutputs(); }
    // The measured drivers of the program's outputs (nullptr: none); they must outlive the
    // graph or be replaced first.
    void SetDrivers(const MeasuredDrivers* drivers);
    // The context menu as it would open now: views, summed outputs and measured drivers. The
    // caller owns it.
    QMenu* MakeContextMenu();
    // What the last redraw drew from complex responses and where its labels went.
    const GraphRenderer& Renderer() const { return m_renderer; }

    // The plot area in control pixels: the control shrunk by the margins.
    CRect GetPlotRect() const { return m_renderer.GetPlotRect(); }
    // x of the 10, 20 .. 90, 100 .. 900, 1000 .. 9000, 10000, 20000 and 30000 Hz lines.
    const std::array<int, kGridLineCount>& GetGridX() const { return m_renderer.GetGridX(); }
    // The filter under the pointer or being dragged, with its index in the channel's filter
    // set; nullptr when there is none.
    const CFilter* GetCurrentFilter() const { return m_interaction.GetCurrent(); }
    int GetCurrentIndex() const { return m_interaction.GetCurrentIndex(); }
    // Which handle of the current filter the pointer is over and which one a drag holds.
    const GraphDragState& GetDragState() const { return m_interaction.GetDragState(); }
    // Number of EQ bands shown and draggable in the current mode (0 outside modes 1 and 2).
    int GetShownBandCount() const { return m_scene.ShownBandCount(); }

    QSize sizeHint() const override;

signals:
    // A drag changed filter filterIndex of the shown channel in graph mode mode; sent at most
    // once per notification interval, the editor of that mode reloads the filter.
    void graphEdit(int filterIndex, int mode);
    // The operator asked to attach a measurement file to output (0-based) or to detach it.
    void measurementAttachRequested(int output);
    void measurementDetachRequested(int output);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void UpdateCursor();
    void Notify();

    GraphScene m_scene;
    GraphRenderer m_renderer;
    GraphInteraction m_interaction;
    QTimer m_notifyTimer;
};
