#pragma once

#include "line/LinkLine.h"

#include <QString>

#include <memory>

// The line a port's name stands for, chosen at every Open: "tcp://HOST:PORT" a raw connection
// to a serial device server (TcpLine), "rfc2217://HOST:PORT" a telnet one that also sets the
// far line (Rfc2217Line), anything else a local serial port (SerialPort). Every operation and
// signal is the chosen line's.
class PortLine : public LinkLine {
    Q_OBJECT

public:
    enum class Kind { Serial, Tcp, Rfc2217 };

    explicit PortLine(QObject* parent = nullptr);
    ~PortLine() override;

    // Which line a port's name stands for (the scheme ignoring case).
    static Kind KindOf(const QString& name);
    // Whether a port's name is a serial port on the network.
    static bool IsNetwork(const QString& name) { return KindOf(name) != Kind::Serial; }

    bool IsOpen() const override;
    LineStatus Open(const std::string& device) override;
    std::string OpenFailureReason() const override;
    std::string LostReason() const override;
    LineStatus Setup(int baudRate, int dataBits, Parity parity, int stopBits) override;
    LineStatus SetupHandshakingOff() override;
    LineStatus SetMask(LineEvents events) override;
    LineStatus Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
                     int timeoutMs) override;
    LineStatus Read(std::uint8_t* buffer, std::size_t length, std::size_t& received,
                    int timeoutMs) override;
    LineStatus Close() override;

    // The line chosen by the last Open; nullptr before.
    LinkLine* Current() const { return m_line.get(); }

private:
    std::unique_ptr<LinkLine> m_line;
    Kind m_kind = Kind::Serial;
};
