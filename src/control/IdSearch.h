#pragma once

#include "core/protocol/CommandListener.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class PanelLink;

// The "Search ID" of the Connect dialog, without the dialog: probes device IDs 1..250 on a
// port through the panel's engine, one probe in flight, and leaves the panel's found IDs
// (PanelLink::GetFoundIds) holding the IDs that answered with the panel's device type. The
// panel must not be connected while it runs. Nothing is left queued and the port is closed
// when the search ends or is cancelled.
class IdSearch : public QObject, public ICommandListener {
    Q_OBJECT

public:
    static constexpr int kTickIntervalMs = 30;
    static constexpr int kDropAfterTicks = 3; // a probe is dropped when its wait exceeds this
    static constexpr int kFirstId = 1;
    static constexpr int kLastId = 250;

    explicit IdSearch(PanelLink& panel, QObject* parent = nullptr);
    ~IdSearch() override;

    // Opens portName and starts probing. False (with the message "Unable to open COM-port"
    // shown through the panel) when the port does not open, or when the panel is connected or
    // a search already runs; nothing runs then.
    bool Start(const QString& portName);
    // Ends a running search at once: nothing queued, port closed, found IDs as far as known.
    void Cancel();
    bool IsRunning() const { return m_running; }

    // The ID probed last (1..250); 0 before the first probe.
    int GetPosition() const { return m_position; }
    void SetTickInterval(int ms);
    int GetTickInterval() const { return m_tick.interval(); }
    // Fast transfers: the next probe goes out as soon as a device has answered the previous
    // one instead of at the next tick; a probe nobody answers waits as long as before.
    void SetFastTransfers(bool fast) { m_fastTransfers = fast; }
    bool IsFastTransfers() const { return m_fastTransfers; }

    // Runs a local event loop until the search has ended or timeoutMs passed; true if it ended.
    bool WaitForEnd(int timeoutMs);

    // ICommandListener: WM_ID_SEARCH_END from the engine.
    void OnEngineMessage(EngineMessage message, int wParam) override;
    void ShowMessageBox(const std::string& text) override;

signals:
    void progress(int position);
    // The search ended (normally or cancelled) with the IDs found.
    void finished(const QVector<int>& foundIds);

private:
    void Tick();
    void OnLineRead();
    // Transmits the probe at the head; ends the search when the port failed.
    void SendProbe();
    void End();

    PanelLink& m_panel;
    QTimer m_tick;
    bool m_running = false;
    int m_position = 0;
    bool m_fastTransfers = false;
};
