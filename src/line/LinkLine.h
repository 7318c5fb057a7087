#pragma once

#include "core/protocol/SerialLine.h"

#include <QObject>

#include <string>

// The line a device link talks through: the engine's line operations, with the line's events
// as signals. An implementation delivers its signals through the event loop of the thread that
// owns it, never from inside one of its operations, in order, and only while it is open.
// SerialPort is the local one, TcpLine and Rfc2217Line reach a serial port on the network and
// PortLine picks one of them from the port's name; a simulated line stands in for them in tests.
class LinkLine : public QObject, public ISerialLine {
    Q_OBJECT

public:
    explicit LinkLine(QObject* parent = nullptr) : QObject(parent) {}

    // Why the line was lost (the gateway closed the connection, the network failed), for the
    // operator, when the line can tell; empty otherwise.
    virtual std::string LostReason() const { return {}; }

signals:
    // What happened on the line since the last notification, within the event mask.
    void lineEvent(LineEvents events);
    // The device went away under the open line (an adapter pulled out, a terminal hung up), or
    // what was written stopped leaving it: the line has closed itself, since nothing can be
    // written or read any more. Once per open, and never after the owner closed the line.
    void lineLost();
    // A line that connects in the background (a network line, whose Open only starts the
    // connection) could not connect: it has closed itself, and OpenFailureReason tells why.
    // Instead of lineLost, once per open, and never after the owner closed the line.
    void openFailed();
};
