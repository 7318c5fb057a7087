#pragma once

#include "control/LinkSession.h"

#include <QObject>
#include <QString>
#include <QVector>

class PanelLink;

// The "Search ID" of the Connect dialog, without the dialog: probes device IDs 1..250 on a
// port, one probe in flight, and leaves the panel's found IDs (PanelLink::GetFoundIds) holding
// the IDs that answered with the panel's device type. The probes run on the panel's own link
// session, as a mode of its service tick (LinkSession::StartSearch); the panel must not be
// connected while it runs. Nothing is left queued and the port is closed when the search ends
// or is cancelled.
class IdSearch : public QObject {
    Q_OBJECT

public:
    static constexpr int kTickIntervalMs = LinkSession::kSearchTickMs;
    static constexpr int kDropAfterTicks = LinkSession::kSearchDropAfterTicks;
    static constexpr int kFirstId = 1;
    static constexpr int kLastId = LinkSession::kLastSearchId;

    explicit IdSearch(PanelLink& panel, QObject* parent = nullptr);
    ~IdSearch() override;

    // Opens portName and starts probing. False (with the message "Unable to open COM-port"
    // shown through the panel) when the port does not open, or when the panel is connected or
    // a search already runs on it; nothing runs then.
    bool Start(const QString& portName);
    // Ends a running search at once: nothing queued, port closed, found IDs as far as known.
    void Cancel();
    bool IsRunning() const { return m_running; }

    // The ID probed last (1..250); 0 before the first probe.
    int GetPosition() const { return m_position; }
    void SetTickInterval(int ms);
    int GetTickInterval() const { return m_tickMs; }
    // Fast transfers: the next probe goes out as soon as a device has answered the previous
    // one, or once the time its answer needs on the line has passed, instead of at the ticks;
    // an answer that comes later still enters its ID (LinkSession::SetFastSearch).
    void SetFastTransfers(bool fast);
    bool IsFastTransfers() const { return m_fastTransfers; }

    // IDs at which the answers of more than one device collided in this search, in the order
    // seen.
    const QVector<int>& GetCollisions() const { return m_collisions; }
    // "ID N: more than one device answers?"
    static QString CollisionText(int id);

    // Runs a local event loop until the search has ended or timeoutMs passed; true if it ended.
    bool WaitForEnd(int timeoutMs);

signals:
    void progress(int position);
    // The answers to the probe for id collided: more than one device seems to have that ID.
    void collision(int id);
    // The search ended (normally or cancelled) with the IDs found.
    void finished(const QVector<int>& foundIds);

private:
    void OnProgress(int position);
    void OnEnded();

    PanelLink& m_panel;
    LinkSession& m_session;
    bool m_running = false;
    int m_position = 0;
    int m_tickMs = kTickIntervalMs;
    bool m_fastTransfers = false;
    QVector<int> m_collisions;
};
