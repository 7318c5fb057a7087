#pragma once

#include "line/LinkLine.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>
#include <QTcpSocket>

#include <cstddef>
#include <cstdint>
#include <string>

Q_DECLARE_LOGGING_CATEGORY(lcNetLine)

// A serial port on the network: a device server (ser2net and the like) that puts the bytes of
// a TCP connection on its serial line as they are, named "tcp://HOST:PORT".
//
// Open only starts the connection and never waits for it: what is written meanwhile waits in
// the socket and leaves once connected. A connection that cannot be made closes the line with
// openFailed, OpenFailureReason naming the host, the port and why; one that the gateway closes
// or the network drops later closes it with lineLost, LostReason telling the same. A gateway
// that accepts and then says nothing is not noticed here: the link gives up on it after its
// usual wait for an answer. Line format and handshaking are the gateway's business on a raw
// connection; Rfc2217Line sets them. Signals come through the event loop, as from SerialPort.
class TcpLine : public LinkLine {
    Q_OBJECT

public:
    static constexpr const char* kScheme = "tcp://";

    explicit TcpLine(QObject* parent = nullptr);
    ~TcpLine() override;

    // Splits "SCHEME://HOST:PORT" (an IPv6 address in brackets) into host and port; false with
    // a reason for the operator otherwise.
    static bool ParseAddress(const QString& name, QString& host, quint16& port, QString& error);

    bool IsOpen() const override;
    LineStatus Open(const std::string& device) override;
    std::string OpenFailureReason() const override { return m_openFailureReason.toStdString(); }
    std::string LostReason() const override { return m_lostReason.toStdString(); }
    LineStatus Setup(int baudRate, int dataBits, Parity parity, int stopBits) override;
    LineStatus SetupHandshakingOff() override;
    LineStatus SetMask(LineEvents events) override;
    LineStatus Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
                     int timeoutMs) override;
    LineStatus Read(std::uint8_t* buffer, std::size_t length, std::size_t& received,
                    int timeoutMs) override;
    LineStatus Close() override;

    // Whether the connection is made (not only started).
    bool IsConnected() const;
    // "HOST:PORT" of the open line.
    QString Address() const { return m_address; }

protected:
    // The scheme this line opens ("tcp://").
    virtual QString Scheme() const { return QLatin1String(kScheme); }
    // The connection is made; the bytes a protocol on top sends first go here.
    virtual void OnConnected() {}
    // Whether the owner's data may go out now: once connected here; a protocol on top may hold
    // it back until its own set-up is done. Data written before waits, in order.
    virtual bool ReadyForData() const { return m_connected; }
    // Data from the owner on its way to the socket.
    virtual QByteArray Encode(const std::uint8_t* data, std::size_t length);
    // Bytes from the socket: the data for the owner is appended to data, what the line has to
    // answer by itself to reply.
    virtual void Decode(const QByteArray& input, QByteArray& data, QByteArray& reply);
    // Puts bytes on the socket as they are.
    void SendRaw(const QByteArray& bytes);
    // Ends the connection as lost (lineLost) or, before it was ready for data, as failed
    // (openFailed).
    void Fail(const QString& why);
    // "host:port", as the messages name the gateway.
    const QString& Where() const { return m_address; }

private:
    void onConnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void notify(LineEvents events);
    void deliver();
    void deliverEnd();
    void Reset();
    void SendHeld();

    QTcpSocket* m_socket;
    QString m_address;
    QString m_openFailureReason;
    QString m_lostReason;
    QByteArray m_input; // data received, not yet read by the owner
    QByteArray m_held;  // encoded data written before the line was ready for it
    bool m_open = false;
    bool m_connected = false;
    LineEvents m_eventMask = LineEvent::Received;
    LineEvents m_pendingEvents;
    bool m_deliveryQueued = false;
    enum class End { None, Failed, Lost };
    End m_end = End::None; // openFailed or lineLost is due for this open
};
