#pragma once

// A link clock that moves only when the test moves it: Advance walks time forward tick by tick,
// and the event loop is served after every tick, so what a tick sent is taken by the line.

#include "control/LinkClock.h"

#include <QCoreApplication>

namespace controltest {

class ManualClock : public LinkClock {
public:
    qint64 NowMs() const override { return m_now; }
    void SetTickInterval(int ms) override {
        m_interval = ms;
        m_next = m_now + m_interval;
    }
    int TickInterval() const override { return m_interval; }
    void StartTick() override {
        m_running = true;
        m_next = m_now + m_interval;
    }
    void StopTick() override { m_running = false; }
    bool IsTickRunning() const override { return m_running; }

    // Moves time on by ms, ticking at every tick that falls due on the way.
    void Advance(qint64 ms) {
        const qint64 target = m_now + ms;
        while (m_running && m_next <= target) {
            m_now = m_next;
            m_next += m_interval;
            emit ticked();
            QCoreApplication::processEvents();
        }
        m_now = target;
    }

private:
    qint64 m_now = 0;
    qint64 m_next = 0;
    int m_interval = 1;
    bool m_running = false;
};

} // namespace controltest
