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
    // Event bits (kEventReceived, ...) in the low 16 bits, line-error bits in the high 16 bits.
    void lineEvent(quint32 bits);
    // The device went away under the open line; the line has closed itself. Once per open,
    // and never after the owner closed the line.
    void lineLost();
};
