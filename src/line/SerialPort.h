#pragma once

#include "line/LinkLine.h"

#include <QLoggingCategory>
#include <QSerialPort>
#include <QString>

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
// Every operation returns the last-error code of the line (see ISerialLine): 0 on success,
// kNotOpen on a closed line, kAlreadyOpen, kTimeout, otherwise an errno value derived from the
// QSerialPort error. Diagnostic traces go to the "sonvex.serial" logging category only.
class SerialPort : public LinkLine {
    Q_OBJECT

public:
    // Event mask a freshly opened line starts with: received character, break, line error.
    static constexpr std::uint32_t kDefaultEventMask = 0xC1;
    static constexpr std::uint32_t kEventTransmitEmpty = 0x0004;

    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    bool IsOpen() const override;
    // device is a port name ("ttyUSB0", "COM3") or a path; a symbolic link is followed to the
    // device it names, so that every name of one line shares the same lock.
    int Open(const std::string& device) override;
    // After an open refused for lack of access: whether the user may not read and write the
    // device (with the group to join) or another program holds it (PortAccess).
    std::string OpenFailureReason() const override;
    int Setup(int baudRate, int dataBits, Parity parity, int stopBits) override;
    int SetupHandshakingOff() override;
    int SetMask(std::uint32_t eventMask) override;
    int Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
              int timeoutMs) override;
    // Never waits, whatever timeoutMs says. Bytes left behind because the buffer was too small
    // raise another received-character notification.
    int Read(std::uint8_t* buffer, std::size_t length, std::size_t& received,
             int timeoutMs) override;
    int Close() override;

    int LastError() const { return m_lastError; }
    std::uint32_t EventMask() const { return m_eventMask; }
    // The name the open line was opened under, links resolved; empty while closed.
    QString SystemLocation() const;

    // The result code for a QSerialPort error.
    static int ErrorCode(QSerialPort::SerialPortError error);
    // The name QSerialPort is given for a device name typed by the operator.
    static QString ResolveDeviceName(const QString& device);

private:
    int notOpen(const char* operation);
    int failed(const char* trace);
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void notify(std::uint32_t events);
    void deliver();
    void deliverLost();
    // The line reports a hang-up: its device is gone.
    bool HungUp() const;

    QSerialPort* m_port;
    QString m_location;
    QString m_openFailureReason;
    int m_lastError = kSuccess;
    std::uint32_t m_eventMask = kDefaultEventMask;
    std::uint32_t m_pendingBits = 0;
    bool m_deliveryQueued = false;
    bool m_lost = false; // lineLost is due or was given for this open
};
