#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUndoStack>
#include <QWidget>

#include <memory>

class CZorvanDoc;
class EditRecorder;
class FoundIdTable;
class MeasuredDrivers;
class PanelLink;
class ProgramFileActions;
class WriteVerifier;
struct Variant;

// One panel's work on its model, without any widget: the document that holds the program being
// edited, the device control that keeps the device in step with it (PanelLink) and the moves
// of programs between the document and files on the PC (ProgramFileActions). Whoever opens a
// panel creates its session and keeps it until the panel is gone; the panel view shows it, and
// the dialogs the panel opens are given it.
//
// The session is the one place where the panel's edits and whole programs are applied to the
// document. Every whole-program transfer it starts is followed by transferStarted: the view that
// shows the session runs the progress window from it, and the session goes on once that returns.
// Message boxes and file dialogs open over Window().
//
// The session keeps the panel's undo history (History), which ends with it. Every edit of the
// program in the panel, its editors, its graph and its dialogs becomes a step (EditRecorder):
// the channels, the device settings the program carries (input source, and the Interface
// dialog's front-panel texts, backlight and temperature) and the program's name as the Program
// dialog gives it ahead of a store; so does a program read from a file or recalled from the
// device by the operator. The program the device sends when the panel connects or reconnects is not
// the operator's edit: it starts a new history, since the steps before it belong to another
// program. What the Device dialog does (a new device ID, a reconnect to another device, the ID
// search) are operations on the device and the line, not edits of the program: they stay out of
// the history. Undoing or redoing a step changes the document, marks what it changed to be sent
// at the next ticks like any edit, writes restored device settings to the device at once (they
// have no change mark), and has everything showing the program show it anew (programReplaced).
class PanelSession : public QObject {
    Q_OBJECT

public:
    // foundIds: the found device IDs shared with the sessions before and after this one (the
    // main frame's); without it the session keeps its own.
    explicit PanelSession(const Variant& variant, FoundIdTable* foundIds = nullptr,
                          QObject* parent = nullptr);
    ~PanelSession() override;

    const Variant& GetVariant() const { return m_variant; }
    CZorvanDoc& GetDocument() { return *m_document; }
    PanelLink& Link() { return *m_link; }
    // Programs on the PC: the Program dialog's PC actions and the File menu's Open.
    ProgramFileActions& Files() { return *m_files; }
    // "Verify after writing": reads back what was just written to the device.
    WriteVerifier& Verifier() { return *m_verifier; }
    // The measured drivers of the program's outputs. They are kept beside the program file in
    // its side file: written with the program file, and replaced by the side file's when a
    // program file is opened (none when it has no side file).
    const MeasuredDrivers& Drivers() const { return *m_drivers; }

    // The window that message boxes and file dialogs open over (the panel showing the session);
    // without one they open on their own.
    QWidget* Window() const { return m_window; }
    void SetWindow(QWidget* window) { m_window = window; }

    // --- Transfers ---
    // Opens port, talks to device id and recalls the live program. False when the port did not
    // open.
    bool ConnectTo(const QString& port, int id);
    // Talks to device id instead of the current one and recalls its live program. False while
    // disconnected or for an ID out of range.
    bool ReconnectTo(int id);
    // Reads program (0 = live, 1..30) from the device into the document's program, or writes the
    // document's program to the device as program. Nothing happens while disconnected (false
    // then).
    bool RecallProgram(int program);
    bool StoreProgram(int program);
    // Waits until the whole-program transfer just started has been sent (transferStarted).
    void WaitForTransfer();
    // The document's program and the name list's slot program (1..30) take name, ahead of a
    // store or recall of that slot. The program's new name is one step of the history with the
    // store ("Program name"), and part of the recall's step with a recall.
    void NameProgram(int program, const QString& name);

    // --- Edits of the panel's strips ---
    void SetGain(int channel, bool output, int gain);
    // Each toggles its switch of the channel, as one step, and gives the new state.
    int TogglePolarity(int channel, bool output);
    int ToggleOn(int channel, bool output);
    bool ToggleEnabled(int channel, bool output);

    // --- Undo history ---
    QUndoStack& History() { return m_history; }
    // The edits made since the last step become one step, then the last step is undone, or the
    // step undone last is redone; nothing happens without one.
    void Undo();
    void Redo();
    // The edits made since the last step become one step, named name or after what they
    // changed (the end of every operator gesture does this by itself).
    void CommitEdits(const QString& name = QString());

    // --- Programs and files ---
    // Reads a one-program file into the document's program and names the title after it; false
    // (and nothing changed) when the file could not be read. programReplaced follows success;
    // the measured drivers are then read from the file's side file, and a side file that cannot
    // be read is told in a message without holding up the program.
    bool ApplyProgramFile(const QString& path);
    // Reads a bank file into the document's stored programs; false when it could not be read.
    bool ApplyBankFile(const QString& path);
    // The same in two steps, for a file that is read before the operator is asked whether it
    // may overwrite the device: a program or bank file read into a document of its own (null
    // when it could not be read, the document untouched), then what was read applied as the
    // Apply functions above apply a file they read (the file is not read again).
    std::unique_ptr<CZorvanDoc> ReadProgramFile(const QString& path) const;
    std::unique_ptr<CZorvanDoc> ReadBankFile(const QString& path) const;
    void ApplyReadProgram(CZorvanDoc& read, const QString& path);
    void ApplyReadBank(const CZorvanDoc& read);
    // Writes the document's program as a one-program file named after chosen, and names the
    // title after the program, and the measured drivers into its side file (a message tells
    // when that fails). The path written; empty when the program file could not be written.
    QString WriteProgramFile(const QString& chosen);

    // --- Measured drivers ---
    // Attaches the measurement in the file at path to output (0-based); false, with a message
    // saying why, when the file cannot be read as a measurement. driversChanged follows
    // success.
    bool AttachMeasurement(int output, const QString& path);
    void DetachMeasurement(int output);

signals:
    // An output's measured driver was attached or detached, or the drivers were read anew.
    void driversChanged();
    // A whole-program transfer has started: a view runs the progress window until it is sent.
    void transferStarted();
    // The document's program was replaced from a file or by an undone or redone step:
    // everything showing it shows it anew.
    void programReplaced();
    void mainTitleChanged(const QString& title);
    // A program or bank file was read or written (for the recent-file list).
    void fileUsed(const QString& path);

private:
    void OnProgramReceived();

    // Members in the order they depend on each other: the link works on the document and the
    // file actions on both, so they go in the reverse order.
    const Variant& m_variant;
    std::unique_ptr<CZorvanDoc> m_document;
    std::unique_ptr<MeasuredDrivers> m_drivers;
    std::unique_ptr<PanelLink> m_link;
    std::unique_ptr<WriteVerifier> m_verifier;
    std::unique_ptr<ProgramFileActions> m_files;
    QUndoStack m_history;
    std::unique_ptr<EditRecorder> m_recorder;
    QPointer<QWidget> m_window;
    int m_recalling = -1; // the program the operator recalls until it has arrived
};
