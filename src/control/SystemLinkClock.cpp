#include "control/SystemLinkClock.h"

SystemLinkClock::SystemLinkClock(QObject* parent) : LinkClock(parent) {
    m_elapsed.start();
    // The fast ID search times each probe to a few milliseconds.
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &LinkClock::ticked);
}
