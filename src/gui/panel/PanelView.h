#pragma once

#include "gui/panel/EditorSlots.h"
#include "gui/panel/PanelLayout.h"

#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>
#include <vector>

class CFStatic;
class ChannelStrip;
class CZorvanDoc;
class FoundIdTable;
class PanelLink;
class ProgramFileActions;
class QDialog;
class QLabel;
class QPushButton;
class StatusLamp;
struct Variant;

// The control panel of one model: the program of its own document as one strip per channel,
// the response graph, the connection displays, the status lamp and the panel buttons. One
// class serves the three models; the variant gives the channel counts, gain ranges, texts and
// the layout table (PanelLayout) its control ids and strip positions.
//
// The panel owns its document and its device control (PanelLink). Strip handlers change only
// the program; the link's service tick sends the changes. Everything the link reports is shown
// here: connection state, displays, levels, messages, titles and programs that arrive.
class PanelView : public QWidget {
    Q_OBJECT

public:
    // foundIds: the found device IDs shared with the panels before and after this one (the
    // main frame's); without it the panel keeps its own.
    explicit PanelView(const Variant& variant, FoundIdTable* foundIds = nullptr,
                       QWidget* parent = nullptr);
    ~PanelView() override;

    const Variant& GetVariant() const { return m_variant; }
    const PanelLayout& GetLayout() const { return m_layout; }
    CZorvanDoc& GetDocument() { return *m_document; }
    PanelLink& Link() { return *m_link; }
    CFStatic* Graph() const { return m_graph; }
    ChannelStrip* InputStrip(int i) const;
    ChannelStrip* OutputStrip(int n) const;
    int InputStripCount() const { return static_cast<int>(m_inputStrips.size()); }
    int OutputStripCount() const { return static_cast<int>(m_outputStrips.size()); }
    EditorSlots& Editors() { return m_editors; }
    StatusLamp* Lamp() const { return m_lamp; }

    // Fills every strip from the program, shows the input source, and has every open editor
    // show the program again.
    void RefreshPanel();
    // Reads the channel's enabled flag (inverting and storing it with toggle) and shows it on
    // the select button: the channel's label while enabled, "Hide" while hidden.
    void ShowChannelState(int channel, bool output, bool toggle);
    // The name label of a channel shows the channel's name.
    void ShowNameLabel(int channel, bool output);

    // --- Connection ---
    // The "Connection" / "UnConnect" button.
    void OnConnection();
    // The connect of the Connect dialog's OK: opens port, talks to device id and recalls the
    // live program. False when the port did not open.
    bool ConnectTo(const QString& port, int id);
    // The "Device" button: nothing while disconnected.
    void OnDevice();
    // Runs the "transmitting Data" window modally until the whole-program transfer just started
    // has been sent (every transfer the panel or its dialogs start is followed by it).
    void ShowTransferProgress();

    // --- Programs ---
    // Reads program (0 = live, 1..30) from the device into the panel's program, or writes the
    // panel's program to the device as program, behind the progress window. Nothing happens
    // while disconnected (false then).
    bool RecallProgram(int program);
    bool StoreProgram(int program);
    // Programs on the PC: the Program dialog's PC actions and the File menu's Open.
    ProgramFileActions& Files() { return *m_files; }

    // --- Editors and dialogs: the one place each is opened from ---
    void OpenInputEq(int input);
    void OpenInputChannel(int input);
    void OpenOutputEq(int output);
    void OpenOutputChannel(int output);
    void OpenProgram();
    void OpenInterface();
    void OpenBoxName();
    void OpenCopy();
    void OpenDataView();
    // Closes every channel and EQ editor (on connect and on a change of device).
    void CloseEditors();
    // Every open input channel editor shows the program's input source again.
    void RefreshInputSources();
    // Every open channel and EQ editor shows its channel of the program again.
    void RefreshEditors();

signals:
    // A main-frame screen command (the "ESC" button asks for the model selection).
    void commandRequested(int command);
    void mainTitleChanged(const QString& title);
    // A program or bank file was read or written (for the recent-file list).
    void fileUsed(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTopLine();
    void BuildButtons();
    void BuildGroups();
    void BuildStrips(bool output);
    void BuildScaleLabels(bool output);
    QPushButton* AddButton(int id, const char* caption, const char* name, int y);
    QLabel* AddLabel(int id, const QString& text, const QString& name,
                     const PanelGeometry::UnitRect& rect);
    QLabel* AddDisplay(int id, const QString& text, const QString& name,
                       const PanelGeometry::UnitRect& rect);
    void ConnectLink();
    void ConnectStrip(ChannelStrip* strip);
    void ShowStrip(int channel, bool output);
    void ShowConnected(bool connected);
    void ShowLinkSettings(int deviceId, const QString& port);
    void ShowLevels(const QVector<int>& inputs, const QVector<int>& outputs);
    void OnGraphEdit(int filterIndex, int mode);
    // Opens the editor of a slot (made by create on first use): hands it the program and, for
    // the editors with a graph mode, the graph in that mode; selects the channel and shows the
    // window without activating it.
    EditorWindow* OpenEditor(EditorSlots::Kind kind, int index, const EditorSlots::Factory& create);
    EditorWindow* NewEqEditor(bool output);
    // Runs dialog modally with the panel button buttonId shown pressed meanwhile.
    int RunFromButton(int buttonId, QDialog& dialog);
    void WatchKeys();

    const Variant& m_variant;
    const PanelLayout& m_layout;
    std::unique_ptr<CZorvanDoc> m_document;
    std::unique_ptr<PanelLink> m_link;
    std::unique_ptr<ProgramFileActions> m_files;
    EditorSlots m_editors;
    CFStatic* m_graph = nullptr;
    StatusLamp* m_lamp = nullptr;
    QPushButton* m_connection = nullptr;
    QLabel* m_deviceIdDisplay = nullptr;
    QLabel* m_portDisplay = nullptr;
    QLabel* m_linkDisplay = nullptr;
    QLabel* m_inputSourceDisplay = nullptr;
    std::vector<ChannelStrip*> m_inputStrips;
    std::vector<ChannelStrip*> m_outputStrips;
};
