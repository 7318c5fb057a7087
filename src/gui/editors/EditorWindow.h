#pragma once

#include <QDialog>

class CAudio_Data;
class EditorPlaces;
class CFStatic;

// What the channel and EQ editors share: a modeless window on the panels' dark background with
// white labels that consumes Enter and Esc (the focus moves to the window, so an edit being
// typed in commits) instead of closing. It first shows at (10, 450) on the screen, or where the
// operator last put this editor of the panel; when another open editor of the same panel is
// there, at the nearest place where it hides none of them (EditorPlacement). The panel hands it the
// program and the response graph every time it shows it, then selects the channel; whenever
// the panel shows the program again, every open editor shows it again too (ShowProgram).
//
// An editor that follows drags on the graph reloads the dragged filter in ReloadFilter. When
// the operator activates the window, it puts the graph back onto its channel and mode
// (ShowOnGraph); when the window closes, the graph returns to the overview.
class EditorWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kScreenX = 10;
    static constexpr int kScreenY = 450;

    explicit EditorWindow(QWidget* parent = nullptr);

    void SetProgram(CAudio_Data* program) { m_program = program; }
    void SetGraph(CFStatic* graph) { m_graph = graph; }
    CAudio_Data* Program() const { return m_program; }
    CFStatic* Graph() const { return m_graph; }

    // Shows channel index (0-based) in every control.
    virtual void SelectChannel(int index) = 0;
    // Shows the channel again in every control after the program changed under the window: a
    // program arrived from the device, a file was loaded, a channel was copied onto this one.
    // It only shows: nothing in the program is changed or marked to be sent, and the graph
    // keeps its mode and channel.
    virtual void ShowProgram() = 0;
    // Reloads the filter with index filterIndex of the shown channel after a drag on the graph.
    virtual void ReloadFilter(int filterIndex);
    // Puts the graph into this editor's mode on its channel; editors without a graph mode do
    // nothing.
    virtual void ShowOnGraph();

    // Esc does not close an editor (only its close box does).
    void reject() override;

    // Where the operator moved this window is kept in places under key when it closes, and the
    // window first shows at the place kept there (places must outlive the window).
    void RememberPlaceIn(EditorPlaces* places, int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The first place of the window, clear of the other open editors of its parent.
    QPoint FirstPlace() const;

    CAudio_Data* m_program = nullptr;
    CFStatic* m_graph = nullptr;
    bool m_placed = false;
    QPoint m_firstPlace;
    EditorPlaces* m_places = nullptr;
    int m_placeKey = 0;
};
