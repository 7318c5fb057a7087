#pragma once

#include "control/LinkSetup.h"
#include "core/protocol/Command.h"
#include "core/protocol/CommandListener.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CZorvanDoc;

// The link of one panel to its device: the command engine with its line, the connection state, and
// the 100 ms service tick that turns pending edits of the document's program into records, keeps
// one record in flight, retransmits it once and gives the link up when no answer comes.
// Whole-program transfers put their records in through StartTransfer; the tick drains them.
// PanelLink is the facade the panels talk to; this is its link-state part.
//
// Fast transfers (off by default) keep the one record in flight but do not wait for the tick to
// send the next one: it goes out as soon as the answer to the previous one has been taken, so
// the device sets the pace. Pending edits are still pulled one record at a time (and so
// coalesced), level meters are still asked for by the tick only (at most once per tick), and
// the head is still retransmitted once and the link given up after the same times, measured
// from the head's transmission instead of counted in ticks.
class LinkSession : public QObject {
    Q_OBJECT

public:
    static constexpr int kTickIntervalMs = 100;
    static constexpr int kRetransmitTicks = 20; // the head goes out once more at this count
    static constexpr int kGiveUpTicks = 40;     // the link is given up above this count

    // The ID search: its tick, and the ticks a probe may wait before it is given up.
    static constexpr int kSearchTickMs = 30;
    static constexpr int kSearchDropAfterTicks = 3; // dropped when its wait exceeds this
    static constexpr int kLastSearchId = 250;
    // A fast search gives a probe up once its answer would be in: the probe's and the answer's
    // bytes at 9600 baud, plus this for the device's turnaround and the way through the
    // operating system. An answer that comes later still enters its ID.
    static constexpr int kFastProbeMarginMs = 10;
    // After the last probe a fast search listens this long, and again after every read, for
    // late answers to the probes before it.
    static constexpr int kLateAnswerTailMs = 250;
    // The time a fast search gives a probe of probeBytes (preamble included) to be answered.
    static int FastProbeWaitMs(int probeBytes);

    static constexpr const char* kNoReplyText = "Unable to Open COM-Port";
    static constexpr const char* kPortFailedText =
        "Unable to write to the COM-port: the port failed";

    // The line comes from setup.makeLine and the time from setup.clock; without them the
    // session talks through the line its port's name stands for (PortLine: a serial port, or
    // one on the network) and keeps the system's time.
    explicit LinkSession(CZorvanDoc& document, QObject* parent = nullptr, LinkSetup setup = {});
    ~LinkSession() override;

    Command& GetEngine() { return m_engine; }
    const Command& GetEngine() const { return m_engine; }

    bool IsConnected() const { return m_connected; }
    bool IsBusy() const { return m_busy; }
    void SetBusy(bool busy);
    const QString& GetPortName() const { return m_portName; }
    void SetPortName(const QString& port) { m_portName = port; }

    // Opens the stored port; owner receives the engine's notifications. Connected and not busy
    // afterwards; false when the port did not open.
    bool OpenLink(ICommandListener* owner);
    // Closes the port: queue discarded, not busy, tick stopped. False when not connected.
    bool CloseLink();

    // Fast transfers: the next record goes out when the answer to the previous one arrives.
    void SetFastTransfers(bool fast);
    bool IsFastTransfers() const { return m_fastTransfers; }

    void StartTick() { m_clock->StartTick(); }
    void StopTick() { m_clock->StopTick(); }
    void SetTickInterval(int ms);
    int GetTickInterval() const { return m_tickIntervalMs; }
    // How long a transmitted record waits for its answer before it goes out once more; the
    // link is given up when twice that has passed. 0 (the default): 20 ticks, and more than 40
    // for the give-up, as on the real line. A tool or test that shortens the tick for a fast
    // line keeps waits of real length with this, so that a moment in which a busy machine runs
    // neither side is not taken for a silent device.
    void SetAnswerWait(int ms) { m_answerWaitMs = std::max(0, ms); }
    int GetAnswerWait() const { return m_answerWaitMs; }
    bool IsTickRunning() const { return m_clock->IsTickRunning(); }
    // One service tick (the timer calls it).
    void ServiceTick();
    int GetTickCount() const { return m_tickCount; }

    // Appends records that an operation queues at once (not through the pending edits); with
    // fast transfers the head goes out at once when nothing is in flight.
    void Enqueue(std::unique_ptr<SendData> record);
    void Enqueue(Command::RecordList records);
    // Appends the records of a whole-program transfer and marks the panel busy until the last
    // of them has been transmitted.
    void StartTransfer(Command::RecordList records);
    int GetTransferTotal() const { return m_transferTotal; }
    int GetTransferRemaining() const { return m_engine.CountTransferRecords(); }

    // The waits below run a local event loop for at most timeoutMs of real time, whatever the
    // session's clock says.
    // Waits (running a local event loop in which the tick and the line are served) until the
    // running transfer has been transmitted and answered. False on time-out or a closed link.
    bool WaitForTransfer(int timeoutMs);
    // Waits until every pending edit has been sent and acknowledged: a tick found nothing to
    // send and only meter requests are queued. False on time-out or a closed link.
    bool WaitUntilSettled(int timeoutMs);

    // --- ID search: a mode of the service tick, for a session that is not connected ---
    // Opens portName for owner (who receives the engine's notifications, the found devices
    // among them) and runs probes on the tick instead of the link's work: one probe in flight,
    // transmitted at a tick (or, fast, as soon as the previous one was answered), given up after
    // kSearchDropAfterTicks ticks without an answer. The search ends when the last probe was
    // answered or given up, or the port failed; the port is closed and nothing is left queued
    // then, and searchEnded is signalled. False (nothing runs) when the port did not open, the
    // session is connected or already searching.
    bool StartSearch(const QString& portName, ICommandListener* owner, Command::RecordList probes);
    // Ends a running search at once, with searchEnded.
    void CancelSearch();
    // Ends a running search at once without a signal (for an owner that goes away).
    void AbandonSearch();
    bool IsSearching() const { return m_searching; }
    // The ID probed last; 0 before the first probe of a search.
    int GetSearchPosition() const { return m_searchPosition; }
    // The tick of a search (kSearchTickMs by default), also while one runs.
    void SetSearchTickInterval(int ms);
    int GetSearchTickInterval() const { return m_searchTickMs; }
    // Fast search: the next probe goes out on the answer to the previous one, or as soon as the
    // time its answer needs on the line has passed (FastProbeWaitMs) instead of after the
    // search's ticks; late answers still count for their IDs. The search then listens for
    // kLateAnswerTailMs after the line has gone quiet before it ends.
    void SetFastSearch(bool fast) { m_fastSearch = fast; }
    bool IsFastSearch() const { return m_fastSearch; }

signals:
    void connectedChanged(bool connected);
    void busyChanged(bool busy);
    void messageShown(const QString& text);
    void transferProgress(int remaining, int total);
    void recordTransmitted(const QByteArray& frame, bool retransmission);
    // The engine has read what the line brought (an answer may have been taken).
    void lineRead();
    // Something the waits look at may have changed: a tick ran, an answer was taken, the link
    // opened or closed.
    void stepped();
    // A search transmitted the probe for the ID position.
    void searchProgress(int position);
    // Frames that failed the check came while the answer to the probe for id was due: more
    // than one device answers to it, their answers colliding on the line. Once per ID.
    void searchCollision(int id);
    void searchEnded();

private:
    // The engine's search window while a search runs: hears that the last ID answered.
    class SearchWindow : public ICommandListener {
    public:
        explicit SearchWindow(LinkSession& session) : m_session(session) {}
        void OnEngineMessage(EngineMessage message, int wParam) override;
        void ShowMessageBox(const std::string& text) override;

    private:
        LinkSession& m_session;
    };

    void OnLineEvent(LineEvents events);
    // One tick of a search: transmits the next probe, or gives the one in flight up.
    void SearchTick();
    // Transmits the probe at the head; ends the search when the port failed.
    void SendProbe();
    // The probe at the head is given up (or was answered with a collision): the next one goes
    // out, or the search ends after the last one (a fast search listens for late answers first).
    void DropProbe();
    // What a read during a search means for the probe in flight.
    void OnSearchRead(long rejectedBefore);
    // A fast search has sent its last probe: it ends once the line has been quiet for the tail.
    void StartTail();
    // The port closed, nothing queued, the tick back to the link's.
    void EndSearch(bool signal);
    // The port failed under the link: closed, and the operator told once.
    void LoseLink();
    // A network line could not connect after it opened: closed, and the operator told once.
    void FailOpen();
    bool Transmit(bool retransmission);
    // Whether the tick leaves pending edits where they are for now.
    bool HoldsEdits() const;
    // Transmits the head, which has not been transmitted yet; the end of a transfer when it is
    // the transfer's last record. False when the port failed (the link is closed then).
    bool TransmitPendingHead();
    // The head has been transmitted and is waiting for its answer: counts the tick (or, with
    // fast transfers, looks at the time since the transmission), retransmits once and gives
    // the link up. False when the link was given up.
    bool SuperviseHead();
    // With fast transfers and nothing in flight: the next pending edit is queued (never a
    // meter request) and the head transmitted.
    void SendIfIdle();
    void EmitProgress();
    void SetConnected(bool connected);
    // Runs a local event loop until done holds, the link closes or timeoutMs passed, checking
    // at every step; the result of done at the end.
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

    CZorvanDoc& m_document;
    std::unique_ptr<LinkClock> m_clock;
    LinkLine* m_line; // owned by the engine
    Command m_engine;
    bool m_connected = false;
    bool m_busy = true;
    QString m_portName;
    int m_tickIntervalMs = kTickIntervalMs;
    int m_tickCount = 0;
    int m_transferTotal = 0;
    bool m_lastTickFoundNothing = false;
    bool m_fastTransfers = false;
    int m_answerWaitMs = 0;
    qint64 m_headSentMs = 0;          // the clock's time at the head's first transmission
    bool m_headRetransmitted = false; // the head has gone out a second time
    SearchWindow m_searchWindow{*this};
    bool m_searching = false;
    bool m_fastSearch = false;
    bool m_searchTail = false;
    std::vector<int> m_collisions; // IDs reported by searchCollision in this search
    bool m_tickRanBeforeSearch = false;
    int m_searchTickMs = kSearchTickMs;
    int m_searchPosition = 0;
};
