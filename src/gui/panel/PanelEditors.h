#pragma once

#include "gui/panel/EditorSlots.h"

#include <functional>

class CFStatic;
class PanelSession;
class QWidget;

// The modeless editors of one panel, the one place each is opened from: the input and output
// EQ editors and channel editors, one slot per channel and kind (EditorSlots). They are
// windows of the panel, edit the session's program and, all but the input channel editor,
// show their channel on the panel's graph.
class PanelEditors {
public:
    PanelEditors(PanelSession& session, QWidget& panel);

    // The graph the editors drive (the panel's, once it is built).
    void SetGraph(CFStatic* graph) { m_graph = graph; }
    // Shows a channel's strip again after an editor moved its levels (an EQ import's preamp).
    void SetStripShower(std::function<void(int channel, bool output)> show) {
        m_showStrip = std::move(show);
    }

    // The slots the editors live in.
    EditorSlots& Slots() { return m_slots; }
    // Slots of all kinds together, and the editor in a slot (nullptr while it is empty).
    int TotalCount() const { return m_slots.TotalCount(); }
    EditorWindow* At(EditorSlots::Kind kind, int index) const { return m_slots.At(kind, index); }

    // Each opens the editor of a channel (made on first use), selects the channel and shows
    // the window without activating it.
    void OpenInputEq(int input);
    void OpenInputChannel(int input);
    void OpenOutputEq(int output);
    void OpenOutputChannel(int output);
    // Closes every editor (on connect and on a change of device).
    void CloseAll() { m_slots.CloseAll(); }
    // Every open input channel editor shows the program's input source again.
    void RefreshInputSources();
    // Every open editor shows its channel of the program again.
    void RefreshAll();
    // A handle of filter filterIndex was dragged on the graph in graph mode: the editor that
    // owns the curve shown reloads that filter.
    void ReloadFilter(int filterIndex, int mode);

private:
    // Opens the editor of a slot (made by create on first use): hands it the program and, for
    // the editors with a graph mode, the graph.
    EditorWindow* Open(EditorSlots::Kind kind, int index, const EditorSlots::Factory& create);

    PanelSession& m_session;
    QWidget& m_panel;
    // Makes an EQ editor whose level changes reach the panel's strip.
    EditorWindow* NewEqEditor(bool output);

    CFStatic* m_graph = nullptr;
    std::function<void(int channel, bool output)> m_showStrip;
    EditorSlots m_slots;
};
