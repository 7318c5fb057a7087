#pragma once

#include "control/LinkClock.h"

#include <QElapsedTimer>
#include <QTimer>

// The link's time from the system: a monotonic QElapsedTimer and a QTimer for the tick.
class SystemLinkClock : public LinkClock {
    Q_OBJECT

public:
    explicit SystemLinkClock(QObject* parent = nullptr);

    qint64 NowMs() const override { return m_elapsed.elapsed(); }
    void SetTickInterval(int ms) override { m_tick.setInterval(ms); }
    int TickInterval() const override { return m_tick.interval(); }
    void StartTick() override { m_tick.start(); }
    void StopTick() override { m_tick.stop(); }
    bool IsTickRunning() const override { return m_tick.isActive(); }

private:
    QElapsedTimer m_elapsed;
    QTimer m_tick;
};
