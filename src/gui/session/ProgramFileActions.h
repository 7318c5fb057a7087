#pragma once

#include <QObject>
#include <QString>

#include <memory>

class CZorvanDoc;
class PanelSession;

// Programs on the PC, as a panel session moves them: the four actions of the Program dialog's
// "PC Program" group and the opening of a program file from the File menu. Paths come from the
// file dialog (ChooseFile) with the model's patterns; the files themselves are read and written
// by the core (ProgramFiles). Failures are told with "File read Error" or
// "MusicFile Write Error" and change nothing. Every file that was read or written is reported
// with fileUsed, for the recent-file list. With "Verify after writing" on, a program or bank
// sent to the device is read back and compared once written (WriteVerifier).
class ProgramFileActions : public QObject {
    Q_OBJECT

public:
    explicit ProgramFileActions(PanelSession& session);

    // "Store Program to PC": the session's program to a one-program file; the title becomes the
    // model's prefix followed by the program name.
    bool StoreProgramToPC();
    // "Recall Program From PC": a one-program file into the session's program (see LoadProgram).
    bool RecallProgramFromPC();
    // "Recall  all Program From PC", only while connected: a bank file into the document's
    // stored programs, then all thirty sent to the device behind the progress window.
    bool RecallAllFromPC();
    // "Store all Program to PC ", only while connected: the device's thirty programs are read
    // behind the progress window; once program 30 has arrived the bank is saved to a file.
    bool StoreAllToPC();

    // Reads a one-program file into the session's program: title, panel and graph show it and,
    // while connected, it is stored to the device's live program behind the progress window.
    // A file of another model is refused with a message (FileOpenChecks).
    bool LoadProgram(const QString& path);
    // Opens a file from the File menu: a bank file (by its extension) is read into the
    // document's stored programs and, while connected, sent to the device; any other file is
    // read as a one-program file. A file of another model is refused; any other is read aside
    // first, so that a file that does not read is refused with "File read Error" before anything
    // is asked. While connected the operator is then asked (FileOpenChecks): declined, nothing
    // of what was read is taken over or sent.
    enum class OpenResult { Opened, Declined, Failed };
    OpenResult OpenFile(const QString& path);

signals:
    void fileUsed(const QString& path);

private:
    bool LoadBank(const QString& path);
    // The file read aside, or null after "File read Error" was shown.
    std::unique_ptr<CZorvanDoc> ReadFile(const QString& path, bool bank);
    // What was read from path becomes the session's program (sent to the live program) or its
    // stored programs (sent to the device's thirty, behind the progress window; false when
    // nothing was sent).
    void SendProgram(CZorvanDoc& read, const QString& path);
    bool SendBank(const CZorvanDoc& read, const QString& path);
    // Tells why a file of another model is not read; false for a file of this model.
    bool RefusedAsOtherModel(const QString& path);
    void OnBankCompleted();
    void SaveBank();

    PanelSession& m_session;
    bool m_waitingForBank = false; // "Store all" ran and program 30 has not arrived yet
    bool m_bankArrived = false;    // program 30 arrived while the progress window was up
    bool m_inProgress = false;     // the progress window of "Store all" is up
};
