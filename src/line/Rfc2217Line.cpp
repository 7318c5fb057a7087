#include "line/Rfc2217Line.h"

namespace {

QByteArray ToBytes(const TelnetCodec::Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

} // namespace

LineStatus Rfc2217Line::Setup(int baudRate, int dataBits, Parity parity, int stopBits) {
    const LineStatus status = TcpLine::Setup(baudRate, dataBits, parity, stopBits);
    if (status != LineStatus::Success) {
        return status;
    }
    m_format.baudRate = static_cast<std::uint32_t>(baudRate);
    m_format.dataBits = static_cast<std::uint8_t>(dataBits);
    // RFC 2217 counts the parities from 1: none, odd, even, mark, space.
    m_format.parity = static_cast<std::uint8_t>(static_cast<int>(parity) + 1);
    m_format.stopBits = static_cast<std::uint8_t>(stopBits);
    // Before the gateway took port control this only keeps the format for then.
    SendRaw(ToBytes(m_codec.SetLineFormat(m_format)));
    return LineStatus::Success;
}

void Rfc2217Line::OnConnected() {
    m_codec = TelnetCodec();
    m_codec.SetLineFormat(m_format);
    SendRaw(ToBytes(m_codec.Start()));
}

bool Rfc2217Line::ReadyForData() const {
    return IsConnected() && m_codec.GetPortControl() == TelnetCodec::PortControl::Accepted;
}

QByteArray Rfc2217Line::Encode(const std::uint8_t* data, std::size_t length) {
    return ToBytes(TelnetCodec::Escape(data, length));
}

void Rfc2217Line::Decode(const QByteArray& input, QByteArray& data, QByteArray& reply) {
    TelnetCodec::Bytes payload;
    TelnetCodec::Bytes answer;
    m_codec.Receive(reinterpret_cast<const std::uint8_t*>(input.constData()),
                    static_cast<std::size_t>(input.size()), payload, answer);
    data += ToBytes(payload);
    reply += ToBytes(answer);
    if (m_codec.GetPortControl() == TelnetCodec::PortControl::Refused) {
        Fail(QStringLiteral("the gateway refuses RFC 2217 port control (is its port set up "
                            "for telnet with RFC 2217?)"));
    }
}
