#pragma once

#include "link/protocol/Command.h"
#include "link/protocol/CommandListener.h"
#include "model/Variant.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CAudio_Data;
class CZorvanDoc;
class SerialPort;

// Device control of one panel, without the panel: the link state machine, the service tick
// that keeps the device in step with the program, the whole-program transfers and the handling
// of what the device reports. The view (or the command-line tool) calls the operations and
// listens to the signals; nothing here draws or asks the operator anything.
//
// The panel owns its command engine (and through it the serial port) and works on the current
// program of its document, fetched again from the document whenever it is used.
class PanelLink : public QObject, public ICommandListener {
    Q_OBJECT

public:
    static constexpr int kTickIntervalMs = 100;
    static constexpr int kRetransmitTicks = 20; // the head goes out once more at this count
    static constexpr int kGiveUpTicks = 40;     // the link is given up above this count
    static constexpr int kSerialTimeoutError = 1460;
    static constexpr int kProgramNameCount = 31; // 0: the live program, 1..30 stored ones

    // Fixed texts of the messages this layer shows.
    static constexpr const char* kNoReplyText = "Unable to Open COM-Port";
    static constexpr const char* kDeviceTypeErrorText = "Device Type Error!";
    static constexpr const char* kDeviceErrorText = "Device is error!";
    static constexpr const char* kTypeCodeErrorText = "DeviceType is error!";
    static constexpr const char* kLineErrorText = "111";
    static constexpr const char* kPortFailedText =
        "Unable to write to the COM-port: the port failed";
    static constexpr const char* kIdentificationText = "ZQ_P_V1.0";

    // Sets the panel up as when its view first opens: disconnected, busy, device ID of the
    // variant; the program and the engine get the variant's device type.
    PanelLink(CZorvanDoc& document, const Variant& variant, QObject* parent = nullptr);
    ~PanelLink() override;

    const Variant& GetVariant() const { return m_variant; }
    CZorvanDoc& GetDocument() { return m_document; }
    // The document's current program.
    CAudio_Data& GetProgram();
    Command& GetEngine() { return m_engine; }
    const Command& GetEngine() const { return m_engine; }

    // --- State ---
    bool IsConnected() const { return m_connected; }
    int GetDeviceId() const { return m_deviceId; }
    const QString& GetPortName() const { return m_portName; }
    void SetPortName(const QString& port) { m_portName = port; }
    bool IsBusy() const { return m_busy; }
    // Program names as the device reported them (0..30); empty outside that range.
    QString GetProgramName(int program) const;
    // The Program dialog puts an edited name here before a store.
    void SetProgramName(int program, const QString& name);
    // Level bytes shown by the meters, from the last level reply.
    QVector<int> GetInputLevels() const;
    QVector<int> GetOutputLevels() const;

    // --- Connection ---
    // The connect of the Connect dialog's OK: opens the chosen port and, addressed to deviceId
    // (1..250), drops edits made before, reads the device back and recalls its live program.
    // Returns at once; the recall runs on the service tick (see WaitForTransfer). False when
    // the port did not open (the port name stays stored) or the ID is out of range.
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

    // --- Transfers (return at once; they do nothing while disconnected) ---
    // Reads program (0 = live, 1..30) into the panel's program.
    bool RecallProgram(int program);
    // Writes the panel's program to the device as program (0..30); the live program is written
    // with inputs A and B muted around it.
    bool StoreProgram(int program);
    // Writes the thirty stored programs of the document's bank (loaded by the caller) to the
    // device's programs 1..30.
    bool RecallAllFromPC();
    // Reads stored program 1..30 into its slot of the document's bank without switching the
    // device to it (the recall above does switch); storedProgramReceived is signalled when it
    // has arrived.
    bool ReadStoredProgram(int program);
    // Reads the device's programs 1..30 into the document's bank; bankCompleted is signalled
    // when program 30 has arrived (the caller saves the bank file then).
    bool StoreAllToPC();

    // --- Other operations ---
    // Copies the parameters of channel from to channel to (0-based, within the variant) and,
    // while connected, writes channel to of the live program. False for channels out of range.
    bool CopyChannel(int from, int to, bool output);
    // Writes device-level item 16 (interface text), 20 (backlight) or 22 (temperature).
    bool SendSystemItem(int item);
    // Shows the program's input source and, with send, queues value as the device's input
    // source (while connected).
    void ShowInputSource(int value, bool send);
    // The text of the input-source display: "Analog", "Digital" or empty.
    static QString InputSourceText(int source);

    // --- Service tick ---
    void SetTickInterval(int ms);
    int GetTickInterval() const { return m_tick.interval(); }
    bool IsTickRunning() const { return m_tick.isActive(); }
    // One service tick (the timer calls it; exposed for tools and tests).
    void ServiceTick();
    // Ticks since the panel was created.
    int GetTickCount() const { return m_tickCount; }

    // --- Progress of a whole-program transfer ---
    int GetTransferTotal() const { return m_transferTotal; }
    // Records of the transfer still queued (transmitted or not).
    int GetTransferRemaining() const;

    // --- Waiting (run a local event loop; the tick and serial events keep being served) ---
    // Until predicate holds or timeoutMs passed; the result of the predicate at the end.
    static bool WaitFor(const std::function<bool()>& predicate, int timeoutMs);
    // Until the running transfer is done: its last record transmitted and every record of it
    // answered. False on time-out or when the link closed.
    bool WaitForTransfer(int timeoutMs);
    // Until nothing but meter requests is queued and the tick found no pending change: every
    // edit sent and acknowledged. False on time-out or when the link closed.
    bool WaitUntilSettled(int timeoutMs);

    // ICommandListener
    void OnEngineMessage(EngineMessage message, int wParam) override;
    void ShowMessageBox(const std::string& text) override;

signals:
    void panelRefreshRequested();
    void graphRedrawRequested();
    void mainTitleChanged(const QString& title);
    void messageShown(const QString& text);
    void busyChanged(bool busy);
    void connectedChanged(bool connected);
    // Display texts: "Link" / "Unlink" (4-in/8-out only), and the input source.
    void linkTextChanged(const QString& text);
    void inputSourceShown(const QString& text);
    void linkSettingsChanged(int deviceId, const QString& portName);
    void closeEditorsRequested();
    // The view's open input channel editors re-read the input source.
    void inputSourceChanged();
    // Output strip or input strip to shows its channel anew after a copy.
    void channelCopied(int to, bool output);
    void levelsReceived(const QVector<int>& inputLevels, const QVector<int>& outputLevels);
    void programReceived();
    void deviceInfoReceived();
    void storedProgramReceived(int program);
    void bankCompleted();
    void transferProgress(int remaining, int total);
    // Every frame written to the line; retransmission is true for the second attempt.
    void recordTransmitted(const QByteArray& frame, bool retransmission);

private:
    void OnLineEvent(quint32 bits);
    void HandleLevels();
    void HandleProgramReceived();
    void HandleStoredProgramReceived(int program);
    void HandleDeviceInfo();
    void HandleIdentification();
    void HandleDeviceTypeChecked(int match);
    void SetBusy(bool busy);
    void SetConnected(bool connected);
    void StartTransfer(std::vector<std::unique_ptr<SendData>> records);
    // Transmits the head; a failed write closes the link with kPortFailedText (false then).
    bool Transmit(bool retransmission);
    void EmitProgress();
    bool HasBulkQueued() const;
    bool OnlyMetersQueued() const;

    CZorvanDoc& m_document;
    const Variant& m_variant;
    SerialPort* m_port; // owned by the engine
    Command m_engine;
    QTimer m_tick;
    bool m_connected = false;
    int m_deviceId = 0;
    QString m_portName;
    bool m_busy = true;
    std::array<QString, kProgramNameCount> m_programNames;
    int m_tickCount = 0;
    int m_transferTotal = 0;
    bool m_lastTickFoundNothing = false;
};
