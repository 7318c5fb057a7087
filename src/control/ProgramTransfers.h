#pragma once

#include "control/TransferCount.h"
#include "core/protocol/Command.h"

#include <QObject>
#include <QString>

class CAudio_Data;
class CZorvanDoc;
class DeviceReports;
class LinkSession;
struct Variant;

// The whole-program transfers of a panel between its document and the device: one program
// (live or stored) read or written, the thirty stored programs read or written, and what is
// done with a program when it has arrived. Each operation queues its whole record sequence
// through the link and returns at once; nothing happens while disconnected. Part of PanelLink.
class ProgramTransfers : public QObject {
    Q_OBJECT

public:
    ProgramTransfers(CZorvanDoc& document, const Variant& variant, LinkSession& link,
                     DeviceReports& reports, QObject* parent = nullptr);

    // Reads program 0..30 into the document's program; a stored one becomes the device's live
    // program (the Program dialog's "Recall program from Device").
    bool RecallProgram(int program);
    // Reads stored program 1..30 into its slot of the document's bank without switching the
    // device to it.
    bool ReadStoredProgram(int program);
    // Reads the live program without replacing the document's: liveProgramRead is signalled
    // instead of programReceived when it has arrived, and CopyReceived gives it then.
    bool ReadLiveProgram();
    // The model's channels of the program that arrived last, into program.
    void CopyReceived(CAudio_Data& program) const;
    // The link closed: the live reads queued aside went with its queue.
    void ForgetReadsAside() { m_liveReadsAside = 0; }
    // Writes the document's program to the device as program 0..30; the live program is
    // written with inputs A and B muted around it. Sets the program title.
    bool StoreProgram(int program);
    // Writes the document's thirty stored programs to the device's programs 1..30.
    bool RecallAllFromPC();
    // Reads the device's programs 1..30 into the document's bank.
    bool StoreAllToPC();

    // The engine's notifications: the live program, or stored program 1..30, has arrived.
    void OnProgramReceived();
    void OnStoredProgramReceived(int program);

    // The records of the running transfer (and those it waits behind) and how many of them
    // have not gone out yet.
    int GetTransferTotal() const { return m_count.Total(); }
    int GetTransferRemaining() const { return m_count.Remaining(); }

signals:
    void transferProgress(int remaining, int total);
    // The main window's title is to read title.
    void titleRequested(const QString& title);
    void programReceived();
    void liveProgramRead();
    void storedProgramReceived(int program);
    void bankCompleted();

private:
    // Counts the records, then hands them to the link.
    void Start(Command::RecordList records);

    CZorvanDoc& m_document;
    const Variant& m_variant;
    LinkSession& m_link;
    DeviceReports& m_reports;
    TransferCount m_count;
    int m_liveReadsAside = 0; // queued by ReadLiveProgram and not arrived yet
};
