#pragma once

#include <QObject>
#include <QtGlobal>

// The time a device link keeps: a steady time in milliseconds, and the periodic service tick
// that paces the link. The session measures every wait on the line with it, so a test may drive
// time by hand instead of waiting for it; SystemLinkClock is the real one.
class LinkClock : public QObject {
    Q_OBJECT

public:
    explicit LinkClock(QObject* parent = nullptr) : QObject(parent) {}

    // Milliseconds since an arbitrary start, never going back.
    virtual qint64 NowMs() const = 0;

    // The tick: ticked() every interval while it runs. Setting the interval or starting it
    // while it runs starts it over from that moment.
    virtual void SetTickInterval(int ms) = 0;
    virtual int TickInterval() const = 0;
    virtual void StartTick() = 0;
    virtual void StopTick() = 0;
    virtual bool IsTickRunning() const = 0;

signals:
    void ticked();
};
