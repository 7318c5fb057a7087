#pragma once

#include "line/LinkLine.h"

#include <QLoggingCategory>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <string>

Q_DECLARE_LOGGING_CATEGORY(lcSerial)

// One serial line opened exclusively, on top of QSerialPort.
//
// There is no listener thread: QSerialPort watches the line from the event loop of the thread
// that owns this object and reports arrivals through readyRead. Every line event is turned into
// a lineEvent signal that is queued to the same thread, so the owner never gets one from inside
// Write or Read, receives them in order, and no data crosses threads. Events that pile up before
// the owner gets to them are merged into one notification. QSerialPort does not report line
// errors, so the high bits of lineEvent are 0 here; lineLost is given when the adapter is pulled
// out or the terminal hangs up.
//
// Write never waits either: the bytes go to the driver at once as far as it takes them, and the
// event loop sends the rest. Output that stops leaving for the write's timeout means the line
// has failed: the port drops it, closes the line and tells lineLost, as for a vanished device.
//
// Every operation returns how it ended (LineStatus): NotOpen on a closed line, AlreadyOpen,
// Timeout, InvalidArgument for what the line cannot take, otherwise the status of the
// QSerialPort error. Diagnostic traces go to the "sonvex.serial" logging category only.
class SerialPort : public LinkLine {
    Q_OBJECT

public:
    // The events a freshly opened line reports.
    static constexpr LineEvents kDefaultEvents = LineEvent::Received;

    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    bool IsOpen() const override;
    // device is a port name ("ttyUSB0", "COM3") or a path; a symbolic link is followed to the
    // device it names, so that every name of one line shares the same lock.
    LineStatus Open(const std::string& device) override;
    // After an open refused for lack of access: whether the user may not read and write the
    // device (with the group to join) or another program holds it (PortAccess).
    std::string OpenFailureReason() const override;
    LineStatus Setup(int baudRate, int dataBits, Parity parity, int stopBits) override;
    LineStatus SetupHandshakingOff() override;
    LineStatus SetMask(LineEvents events) override;
    // Returns at once; a negative timeoutMs lets the output wait without limit.
    LineStatus Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
                     int timeoutMs) override;
    // Never waits, whatever timeoutMs says. Bytes left behind because the buffer was too small
    // raise another received-character notification.
    LineStatus Read(std::uint8_t* buffer, std::size_t length, std::size_t& received,
                    int timeoutMs) override;
    LineStatus Close() override;

    LineStatus LastError() const { return m_lastError; }
    LineEvents EventMask() const { return m_eventMask; }
    // The name the open line was opened under, links resolved; empty while closed.
    QString SystemLocation() const;

    // The status of a QSerialPort error.
    static LineStatus StatusOf(QSerialPort::SerialPortError error);
    // The name QSerialPort is given for a device name typed by the operator.
    static QString ResolveDeviceName(const QString& device);

private:
    LineStatus notOpen(const char* operation);
    LineStatus failed(const char* trace);
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void notify(LineEvents events);
    void deliver();
    void deliverLost();
    // The line reports a hang-up: its device is gone.
    bool HungUp() const;
    // Some output has left: the watch on the rest starts again, or ends with nothing left.
    void onBytesWritten();
    // The output has not moved for its timeout: the line is given up unless the driver would
    // take more (the event loop was only late to hand it over).
    void onOutputStalled();
    bool DriverTakesMore() const;

    QSerialPort* m_port;
    QTimer m_outputWatch; // runs while written bytes wait to leave
    int m_outputTimeoutMs = 0;
    QString m_location;
    QString m_openFailureReason;
    LineStatus m_lastError = LineStatus::Success;
    LineEvents m_eventMask = kDefaultEvents;
    LineEvents m_pendingEvents;
    bool m_deliveryQueued = false;
    bool m_lost = false; // lineLost is due or was given for this open
};
