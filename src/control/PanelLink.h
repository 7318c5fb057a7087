#pragma once

#include "control/DeviceReports.h"
#include "control/FoundIdTable.h"
#include "control/LinkSession.h"
#include "control/ProgramTransfers.h"
#include "core/model/Variant.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandListener.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

#include <memory>

class CAudio_Data;
class CZorvanDoc;

// Device control of one panel, without the panel: the one object a panel view (or the
// command-line tool) talks to. It calls the operations below and listens to the signals;
// nothing here draws or asks the operator anything. Inside, the work is split by concern:
//   LinkSession       the engine and its line, connection state and the service tick;
//   ProgramTransfers  whole-program transfers and what is done with a program that arrived;
//   DeviceReports     program names, device settings, level meters and the device checks.
// The panel works on the current program of its document, fetched from the document whenever
// it is used. All operations return at once; transfers run on the service tick.
//
// Operations (all on the GUI thread):
//   Connect / Disconnect            the Connection button; OpenLink / CloseLink underneath
//   QueryDevice, CloseEditors, ShowLinkSettings, SetMainTitle
//   ChangeDeviceId / ReconnectToDevice        the Device dialog
//   RecallProgram / ReadStoredProgram / StoreProgram / RecallAllFromPC / StoreAllToPC
//   CopyChannel, SendSystemItem, ShowInputSource
//   GetProgramName / SetProgramName, GetInputLevels / GetOutputLevels
//   WaitForTransfer / WaitUntilSettled        for tools and tests, never for the GUI
// Signals: see the signals section; every state change a view shows is signalled.
class PanelLink : public QObject, public ICommandListener {
    Q_OBJECT

public:
    static constexpr int kTickIntervalMs = LinkSession::kTickIntervalMs;
    static constexpr int kRetransmitTicks = LinkSession::kRetransmitTicks;
    static constexpr int kGiveUpTicks = LinkSession::kGiveUpTicks;
    static constexpr int kProgramNameCount = DeviceReports::kProgramNameCount;

    // Fixed texts of the messages this layer shows.
    static constexpr const char* kNoReplyText = LinkSession::kNoReplyText;
    static constexpr const char* kPortFailedText = LinkSession::kPortFailedText;
    static constexpr const char* kDeviceTypeErrorText = DeviceReports::kDeviceTypeErrorText;
    static constexpr const char* kDeviceErrorText = DeviceReports::kDeviceErrorText;
    static constexpr const char* kTypeCodeErrorText = DeviceReports::kTypeCodeErrorText;
    static constexpr const char* kIdentificationText = DeviceReports::kIdentificationText;

    // Sets the panel up as when its view first opens: disconnected, busy, device ID of the
    // variant; the program and the engine get the variant's device type. foundIds is the table
    // of found device IDs that the panel's searches fill and its Device dialog offers, kept by
    // whoever outlives the panel (the main frame shares one among its panels); without one the
    // panel keeps its own.
    PanelLink(CZorvanDoc& document, const Variant& variant, FoundIdTable* foundIds = nullptr,
              QObject* parent = nullptr);
    // The same on the line and clock of setup (LinkSession): a simulated line, a clock driven
    // by hand.
    PanelLink(CZorvanDoc& document, const Variant& variant, LinkSetup setup,
              FoundIdTable* foundIds = nullptr, QObject* parent = nullptr);
    ~PanelLink() override;

    const Variant& GetVariant() const { return m_variant; }
    CZorvanDoc& GetDocument() { return m_document; }
    // The document's current program.
    CAudio_Data& GetProgram();
    // The command engine: what the device reported (device image, names, meters,
    // identification), its line and its queue as far as the engine shows it.
    Command& GetEngine() { return m_link.GetEngine(); }
    const Command& GetEngine() const { return m_link.GetEngine(); }
    // The link session underneath: its tick also runs the ID search (IdSearch).
    LinkSession& GetSession() { return m_link; }

    // --- State ---
    bool IsConnected() const { return m_link.IsConnected(); }
    int GetDeviceId() const { return m_deviceId; }
    const QString& GetPortName() const { return m_link.GetPortName(); }
    void SetPortName(const QString& port) { m_link.SetPortName(port); }
    // True while the records of a whole-program transfer wait to be transmitted (and before
    // the first connect); the progress window watches it.
    bool IsBusy() const { return m_link.IsBusy(); }
    // Program names as the device reported them (0..30); empty outside that range.
    QString GetProgramName(int program) const { return m_reports.GetProgramName(program); }
    // The Program dialog puts an edited name here before a store.
    void SetProgramName(int program, const QString& name) {
        m_reports.SetProgramName(program, name);
    }
    // The device IDs found by the last search (every ID before any search); a change of the
    // device's ID moves its entry.
    FoundIdTable& GetFoundIds() { return *m_foundIds; }
    const FoundIdTable& GetFoundIds() const { return *m_foundIds; }
    // The IDs present in it, ascending.
    QVector<int> FoundIds() const;
    // Every device that answered the last search, of any model: ID to the device type it
    // reported. Empty before any search.
    const QMap<int, int>& AnsweredDevices() const { return m_answered; }
    void ClearAnsweredDevices() { m_answered.clear(); }
    // Level bytes shown by the meters of the model's channels, from the last level reply.
    QVector<int> GetInputLevels() const { return m_reports.GetInputLevels(); }
    QVector<int> GetOutputLevels() const { return m_reports.GetOutputLevels(); }

    // --- Connection ---
    // The connect of the Connect dialog's OK: opens the chosen port and, addressed to deviceId
    // (1..250), drops edits made before, reads the device back and recalls its live program.
    // False when the port did not open (the port name stays stored) or the ID is out of range.
    bool Connect(const QString& portName, int deviceId);
    // The "UnConnect" button: closes the link; false when it was not connected.
    bool Disconnect();
    // Opens the stored port through the engine; connected and not busy afterwards.
    bool OpenLink();
    // Closes the port and resets to disconnected: queue discarded, not busy, tick stopped.
    // False when the link was not connected.
    bool CloseLink();
    // Asks the view to close every channel and EQ editor.
    void CloseEditors();
    // Queues the device-type check, the 31 program names and the device settings.
    void QueryDevice();
    void ShowLinkSettings();
    void SetMainTitle(const QString& title);

    // --- Device dialog ---
    // "Change Current Device ID": gives the device newId (1..250). Nothing happens while
    // disconnected, for the current ID or an ID out of range; false then.
    bool ChangeDeviceId(int newId);
    // "Re_Connect To Device": talks to target (a found ID) from now on and reads it back.
    // Nothing happens while disconnected, for 0, the current ID or an ID out of range.
    bool ReconnectToDevice(int target);

    // --- Transfers (they do nothing while disconnected; false then) ---
    // Reads program (0 = live, 1..30) into the panel's program; a stored program becomes the
    // device's live program (the Program dialog's recall).
    bool RecallProgram(int program) { return m_transfers.RecallProgram(program); }
    // Reads stored program 1..30 into its slot of the document's bank without switching the
    // device to it; storedProgramReceived is signalled when it has arrived.
    bool ReadStoredProgram(int program) { return m_transfers.ReadStoredProgram(program); }
    // Reads the device's live program without replacing the panel's; liveProgramRead is
    // signalled when it has arrived, and CopyReceivedProgram then gives it.
    bool ReadLiveProgram() { return m_transfers.ReadLiveProgram(); }
    void CopyReceivedProgram(CAudio_Data& program) const { m_transfers.CopyReceived(program); }
    // Writes the panel's program to the device as program (0..30); the live program is written
    // with inputs A and B muted around it.
    bool StoreProgram(int program) { return m_transfers.StoreProgram(program); }
    // Writes the thirty stored programs of the document's bank (loaded by the caller) to the
    // device's programs 1..30.
    bool RecallAllFromPC() { return m_transfers.RecallAllFromPC(); }
    // Reads the device's programs 1..30 into the document's bank; bankCompleted is signalled
    // when program 30 has arrived (the caller saves the bank file then).
    bool StoreAllToPC() { return m_transfers.StoreAllToPC(); }

    // --- Other operations ---
    // Copies the parameters of channel from to channel to (0-based, within the variant) and,
    // while connected, writes channel to of the live program. False for channels out of range.
    bool CopyChannel(int from, int to, bool output);
    // Writes device-level item 16 (interface text), 20 (backlight) or 22 (temperature).
    bool SendSystemItem(int item);
    // Shows the program's input source and, with send, queues value as the device's input
    // source (while connected).
    void ShowInputSource(int value, bool send);

    // --- Service tick ---
    // Fast transfers (off by default): the next record goes out as soon as the answer to the
    // previous one has arrived instead of at the next tick; still one record in flight, the
    // same retransmission and give-up times, meters polled at the tick's pace. May be changed
    // at any time.
    void SetFastTransfers(bool fast) { m_link.SetFastTransfers(fast); }
    bool IsFastTransfers() const { return m_link.IsFastTransfers(); }
    void SetTickInterval(int ms) { m_link.SetTickInterval(ms); }
    // The wait for an answer before the record goes out again, doubled for the give-up; 0 (the
    // default) counts 20 and 40 ticks (LinkSession::SetAnswerWait).
    void SetAnswerWait(int ms) { m_link.SetAnswerWait(ms); }
    int GetTickInterval() const { return m_link.GetTickInterval(); }
    bool IsTickRunning() const { return m_link.IsTickRunning(); }
    // One service tick (the timer calls it; exposed for tools and tests).
    void ServiceTick() { m_link.ServiceTick(); }
    // Ticks since the panel was created.
    int GetTickCount() const { return m_link.GetTickCount(); }

    // --- Progress of a whole-program transfer: every record it sends, with those queued
    // ahead of it (TransferCount) ---
    int GetTransferTotal() const { return m_transfers.GetTransferTotal(); }
    // Records of the transfer not transmitted yet.
    int GetTransferRemaining() const { return m_transfers.GetTransferRemaining(); }

    // --- Waiting (a local event loop runs; the tick and serial events keep being served) ---
    // Until the running transfer is done: its last record transmitted and every record of it
    // answered. False on time-out or when the link closed.
    bool WaitForTransfer(int timeoutMs) { return m_link.WaitForTransfer(timeoutMs); }
    // Until every edit has been sent and acknowledged. False on time-out or when the link closed.
    bool WaitUntilSettled(int timeoutMs) { return m_link.WaitUntilSettled(timeoutMs); }

    // ICommandListener
    void OnEngineMessage(EngineMessage message, int wParam) override;
    // An ID search answer: the device is entered in the found IDs.
    void OnDeviceFound(int id) override;
    void OnDeviceAnswered(int id, int type) override { m_answered.insert(id, type); }
    void ShowMessageBox(const std::string& text) override;

signals:
    void panelRefreshRequested();
    void graphRedrawRequested();
    void mainTitleChanged(const QString& title);
    // A message box with one of the fixed texts.
    void messageShown(const QString& text);
    void busyChanged(bool busy);
    void connectedChanged(bool connected);
    // The text of the input source display.
    void inputSourceShown(const QString& text);
    void linkSettingsChanged(int deviceId, const QString& portName);
    void closeEditorsRequested();
    // The view's open input channel editors re-read the input source.
    void inputSourceChanged();
    // Output strip or input strip to shows its channel anew after a copy from channel from.
    void channelCopied(int to, bool output, int from);
    void levelsReceived(const QVector<int>& inputLevels, const QVector<int>& outputLevels);
    void programReceived();
    void liveProgramRead();
    void deviceInfoReceived();
    void storedProgramReceived(int program);
    void bankCompleted();
    void transferProgress(int remaining, int total);
    // Every frame written to the line; retransmission is true for the second attempt.
    void recordTransmitted(const QByteArray& frame, bool retransmission);
    // The engine has read what the line brought, also while not connected (the ID search).
    void lineRead();

private:
    void OnDeviceInfo();
    void Reject(const QString& text);

    CZorvanDoc& m_document;
    const Variant& m_variant;
    LinkSession m_link;
    DeviceReports m_reports;
    ProgramTransfers m_transfers;
    int m_deviceId = 0;
    std::unique_ptr<FoundIdTable> m_ownFoundIds; // when no table was given
    FoundIdTable* m_foundIds = nullptr;
    QMap<int, int> m_answered;
};
