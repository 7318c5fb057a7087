#include "line/PortLine.h"

#include "line/Rfc2217Line.h"
#include "line/SerialPort.h"
#include "line/TcpLine.h"

PortLine::PortLine(QObject* parent) : LinkLine(parent) {}

PortLine::~PortLine() {
    if (IsOpen()) {
        Close();
    }
}

PortLine::Kind PortLine::KindOf(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.startsWith(QLatin1String(TcpLine::kScheme), Qt::CaseInsensitive)) {
        return Kind::Tcp;
    }
    if (trimmed.startsWith(QLatin1String(Rfc2217Line::kScheme), Qt::CaseInsensitive)) {
        return Kind::Rfc2217;
    }
    return Kind::Serial;
}

bool PortLine::IsOpen() const {
    return m_line != nullptr && m_line->IsOpen();
}

LineStatus PortLine::Open(const std::string& device) {
    if (IsOpen()) {
        return LineStatus::AlreadyOpen;
    }
    const QString name = QString::fromStdString(device).trimmed();
    const Kind kind = KindOf(name);
    if (m_line == nullptr || kind != m_kind) {
        m_line.reset();
        switch (kind) {
        case Kind::Serial:
            m_line = std::make_unique<SerialPort>();
            break;
        case Kind::Tcp:
            m_line = std::make_unique<TcpLine>();
            break;
        case Kind::Rfc2217:
            m_line = std::make_unique<Rfc2217Line>();
            break;
        }
        m_kind = kind;
        connect(m_line.get(), &LinkLine::lineEvent, this, &LinkLine::lineEvent);
        connect(m_line.get(), &LinkLine::lineLost, this, &LinkLine::lineLost);
        connect(m_line.get(), &LinkLine::openFailed, this, &LinkLine::openFailed);
    }
    return m_line->Open(kind == Kind::Serial ? device : name.toStdString());
}

std::string PortLine::OpenFailureReason() const {
    return m_line != nullptr ? m_line->OpenFailureReason() : std::string();
}

std::string PortLine::LostReason() const {
    return m_line != nullptr ? m_line->LostReason() : std::string();
}

LineStatus PortLine::Setup(int baudRate, int dataBits, Parity parity, int stopBits) {
    return m_line != nullptr ? m_line->Setup(baudRate, dataBits, parity, stopBits)
                             : LineStatus::NotOpen;
}

LineStatus PortLine::SetupHandshakingOff() {
    return m_line != nullptr ? m_line->SetupHandshakingOff() : LineStatus::NotOpen;
}

LineStatus PortLine::SetMask(LineEvents events) {
    return m_line != nullptr ? m_line->SetMask(events) : LineStatus::NotOpen;
}

LineStatus PortLine::Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
                           int timeoutMs) {
    written = 0;
    return m_line != nullptr ? m_line->Write(data, length, written, timeoutMs)
                             : LineStatus::NotOpen;
}

LineStatus PortLine::Read(std::uint8_t* buffer, std::size_t length, std::size_t& received,
                          int timeoutMs) {
    received = 0;
    return m_line != nullptr ? m_line->Read(buffer, length, received, timeoutMs)
                             : LineStatus::NotOpen;
}

LineStatus PortLine::Close() {
    return m_line != nullptr ? m_line->Close() : LineStatus::Success;
}
