#pragma once

#include "core/protocol/SerialLine.h"

#include <QObject>

// The line a device link talks through: the engine's line operations, with the line's events
// as signals. An implementation delivers its signals through the event loop of the thread that
// owns it, never from inside one of its operations, in order, and only while it is open.
// SerialPort is the real one; a simulated line stands in for it in tests.
class LinkLine : public QObject, public ISerialLine {
    Q_OBJECT

public:
    explicit LinkLine(QObject* parent = nullptr) : QObject(parent) {}

signals:
    // What happened on the line since the last notification, within the event mask.
    void lineEvent(LineEvents events);
    // The device went away under the open line (an adapter pulled out, a terminal hung up), or
    // what was written stopped leaving it: the line has closed itself, since nothing can be
    // written or read any more. Once per open, and never after the owner closed the line.
    void lineLost();
};
