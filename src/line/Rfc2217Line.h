#pragma once

#include "line/TcpLine.h"
#include "line/TelnetCodec.h"

// A serial port on the network reached through telnet with the COM-PORT-CONTROL option of
// RFC 2217, named "rfc2217://HOST:PORT". On every connection the options are negotiated and the
// gateway's serial line is set to the format the owner chose with Setup (9600 8N1 for the
// processors) and no flow control, since a gateway's port may have been left at other
// settings. The data written before that waits for it. The data passes with every 0xFF doubled on
// the way out and undoubled on the way in; the owner sees exactly the bytes of the serial line. A
// gateway that refuses port control cannot be trusted with the line format: the line fails as a
// refused connection does.
class Rfc2217Line : public TcpLine {
    Q_OBJECT

public:
    static constexpr const char* kScheme = "rfc2217://";

    explicit Rfc2217Line(QObject* parent = nullptr) : TcpLine(parent) {}

    LineStatus Setup(int baudRate, int dataBits, Parity parity, int stopBits) override;

    const TelnetCodec& Codec() const { return m_codec; }

protected:
    QString Scheme() const override { return QLatin1String(kScheme); }
    void OnConnected() override;
    // The data waits until the gateway took port control and has the line format.
    bool ReadyForData() const override;
    QByteArray Encode(const std::uint8_t* data, std::size_t length) override;
    void Decode(const QByteArray& input, QByteArray& data, QByteArray& reply) override;

private:
    TelnetCodec m_codec;
    TelnetCodec::LineFormat m_format;
};
