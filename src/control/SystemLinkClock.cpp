#include "control/SystemLinkClock.h"

SystemLinkClock::SystemLinkClock(QObject* parent) : LinkClock(parent) {
    m_elapsed.start();
    connect(&m_tick, &QTimer::timeout, this, &LinkClock::ticked);
}
