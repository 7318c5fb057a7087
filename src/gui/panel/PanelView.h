#pragma once

#include "gui/panel/PanelEditors.h"
#include "gui/panel/PanelLayout.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <vector>

class CFStatic;
class ChannelStrip;
class PanelLink;
class PanelSession;
class QDialog;
class QLabel;
class QPushButton;
class StatusLamp;
struct Variant;

// The control panel of one model: builds the form of the variant and shows a panel session on
// it, the program of the session's document as one strip per channel, the response graph, the
// connection displays, the status lamp and the panel buttons. One class serves the three
// models; the variant gives the channel counts, gain ranges and texts, the layout table
// (PanelLayout) its control ids, strip positions and the few ways a model's panel differs.
//
// Strip handlers hand their edits to the session; the link's service tick sends the changes.
// Everything the link reports is shown here: connection state, displays, levels, messages and
// programs that arrive. The session is made and kept by whoever opens the panel and must
// outlive it; the panel's editors and dialogs work on the session's program.
class PanelView : public QWidget {
    Q_OBJECT

public:
    // Shows session, whose message boxes and file dialogs then open over the panel.
    explicit PanelView(PanelSession& session, QWidget* parent = nullptr);
    ~PanelView() override;

    const Variant& GetVariant() const { return m_variant; }
    const PanelLayout& GetLayout() const { return m_layout; }
    PanelSession& Session() const { return m_session; }
    CFStatic* Graph() const { return m_graph; }
    ChannelStrip* InputStrip(int i) const;
    ChannelStrip* OutputStrip(int n) const;
    int InputStripCount() const { return static_cast<int>(m_inputStrips.size()); }
    int OutputStripCount() const { return static_cast<int>(m_outputStrips.size()); }
    // The panel's modeless channel and EQ editors.
    PanelEditors& Editors() { return m_editors; }
    StatusLamp* Lamp() const { return m_lamp; }

    // Fills every strip from the program, shows the input source, and has every open editor
    // show the program again.
    void RefreshPanel();
    // Shows the channel's enabled flag on the select button: the channel's label while enabled,
    // "Hide" while hidden.
    void ShowChannelState(int channel, bool output);
    // The name label of a channel shows the channel's name.
    void ShowNameLabel(int channel, bool output);

    // --- Connection ---
    // The "Connection" / "UnConnect" button.
    void OnConnection();
    // The connect of the Connect dialog's OK: with the remembered transfer speed opens port,
    // talks to device id and recalls the live program. False when the port did not open.
    bool ConnectTo(const QString& port, int id);
    // The "Device" button: nothing while disconnected.
    void OnDevice();
    // Runs the "transmitting Data" window modally until the whole-program transfer just started
    // has been sent (the session asks for it after every such transfer).
    void ShowTransferProgress();
    // The "Verify" report of a write that was read back, over the dialog that made the write.
    void ShowVerifyReport(const QString& what, const QStringList& lines);

    // --- Dialogs: the one place each is opened from ---
    void OpenProgram();
    void OpenInterface();
    void OpenBoxName();
    void OpenCopy();
    void OpenDataView();
    // Asks for a measurement file (text or FRD) and attaches it to output (0-based).
    void AttachMeasurement(int output);

signals:
    // The "ESC" button: the operator leaves the panel for the model selection.
    void escapeRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTopLine();
    void BuildButtons();
    void BuildStrips(bool output);
    QPushButton* AddButton(int id, const char* caption, const char* name, int y);
    void ConnectSession();
    void ConnectStrip(ChannelStrip* strip);
    void ShowStrip(int channel, bool output);
    void ShowConnected(bool connected);
    void ShowLinkSettings(int deviceId, const QString& port);
    void ShowLevels(const QVector<int>& inputs, const QVector<int>& outputs);
    // Runs dialog modally with the panel button buttonId shown pressed meanwhile.
    int RunFromButton(int buttonId, QDialog& dialog);
    void WatchKeys();

    PanelSession& m_session;
    PanelLink& m_link;
    const Variant& m_variant;
    const PanelLayout& m_layout;
    PanelEditors m_editors;
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
