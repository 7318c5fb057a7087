#include "gui/panel/PanelEditors.h"

#include "control/PanelLink.h"
#include "core/model/Variant.h"
#include "gui/editors/EqDlg.h"
#include "gui/editors/InDataDlg.h"
#include "gui/editors/OutDataDlg.h"
#include "gui/graph/ResponseGraph.h"
#include "gui/session/PanelSession.h"
#include "gui/session/StepNames.h"

PanelEditors::PanelEditors(PanelSession& session, QWidget& panel)
    : m_session(session), m_panel(panel),
      m_slots(session.GetVariant().inputCount, session.GetVariant().outputCount) {}

EditorWindow* PanelEditors::Open(EditorSlots::Kind kind, int index,
                                 const EditorSlots::Factory& create) {
    EditorWindow* editor = m_slots.Open(kind, index, create);
    if (editor == nullptr) {
        return nullptr;
    }
    editor->SetProgram(&m_session.Link().GetProgram());
    if (kind != EditorSlots::InputChannel) {
        // The EQ editors and the output channel editor drive the graph; the input channel
        // editor has no graph mode.
        editor->SetGraph(m_graph);
    }
    editor->SelectChannel(index);
    editor->ShowOnGraph();
    editor->show();
    return editor;
}

EditorWindow* PanelEditors::NewEqEditor(bool output) {
    const Variant& variant = m_session.GetVariant();
    EqDlg* editor = output ? EqDlg::OutEQDlg(variant, &m_panel) : EqDlg::InEQDlg(variant, &m_panel);
    QObject::connect(editor, &EqDlg::channelLevelsChanged, &m_panel,
                     [this](int channel, bool isOutput) {
                         if (m_showStrip) {
                             m_showStrip(channel, isOutput);
                         }
                     });
    // The whole import is one step of the undo history.
    QObject::connect(editor, &EqDlg::eqImported, &m_panel, [this](int channel, bool isOutput) {
        m_session.CommitEdits(StepNames::ChannelLabel(channel, isOutput) +
                              QStringLiteral(" EQ import"));
    });
    return editor;
}

void PanelEditors::OpenInputEq(int input) {
    Open(EditorSlots::InputEq, input, [this] { return NewEqEditor(false); });
}

void PanelEditors::OpenInputChannel(int input) {
    Open(EditorSlots::InputChannel, input, [this]() -> EditorWindow* {
        PanelLink& link = m_session.Link();
        auto* dialog = new InDataDlg(link.GetProgram(), &m_panel);
        // The input source goes to the device at once, then every open input dialog shows it.
        QObject::connect(dialog, &InDataDlg::sourceChosen, &link,
                         [&link](int source) { link.ShowInputSource(source, true); });
        return dialog;
    });
}

void PanelEditors::OpenOutputEq(int output) {
    Open(EditorSlots::OutputEq, output, [this] { return NewEqEditor(true); });
}

void PanelEditors::OpenOutputChannel(int output) {
    Open(EditorSlots::OutputChannel, output, [this]() -> EditorWindow* {
        return new OutDataDlg(m_session.Link().GetProgram(), &m_panel);
    });
}

void PanelEditors::RefreshInputSources() {
    for (int i = 0; i < m_slots.Count(EditorSlots::InputChannel); ++i) {
        if (auto* dialog = qobject_cast<InDataDlg*>(m_slots.At(EditorSlots::InputChannel, i))) {
            dialog->RefreshSource();
        }
    }
}

void PanelEditors::RefreshAll() {
    for (int kind = 0; kind < EditorSlots::KindCount; ++kind) {
        const auto slotKind = static_cast<EditorSlots::Kind>(kind);
        for (int k = 0; k < m_slots.Count(slotKind); ++k) {
            if (EditorWindow* editor = m_slots.At(slotKind, k)) {
                editor->ShowProgram();
            }
        }
    }
}

void PanelEditors::ReloadFilter(int filterIndex, int mode) {
    if (m_graph == nullptr) {
        return;
    }
    EditorWindow* editor = nullptr;
    switch (mode) {
    case CFStatic::InputEq:
        editor = m_slots.At(EditorSlots::InputEq, m_graph->GetSelectedInput());
        break;
    case CFStatic::OutputEq:
        editor = m_slots.At(EditorSlots::OutputEq, m_graph->GetSelectedOutput());
        break;
    case CFStatic::OutputCrossover:
        editor = m_slots.At(EditorSlots::OutputChannel, m_graph->GetSelectedOutput());
        break;
    default:
        break;
    }
    if (editor != nullptr) {
        editor->ReloadFilter(filterIndex);
    }
}
