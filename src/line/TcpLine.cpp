#include "line/TcpLine.h"

#include <QMetaObject>
#include <QUrl>

Q_LOGGING_CATEGORY(lcNetLine, "sonvex.netline", QtWarningMsg)

TcpLine::TcpLine(QObject* parent) : LinkLine(parent), m_socket(new QTcpSocket(this)) {
    connect(m_socket, &QTcpSocket::connected, this, &TcpLine::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &TcpLine::onReadyRead);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_socket->bytesToWrite() == 0) {
            notify(LineEvent::TransmitEmpty);
        }
    });
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TcpLine::onError);
}

TcpLine::~TcpLine() {
    if (IsOpen()) {
        Close();
    }
}

bool TcpLine::ParseAddress(const QString& name, QString& host, quint16& port, QString& error) {
    const QString scheme = name.section(QLatin1String("://"), 0, 0);
    const QUrl url(name, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || url.port() <= 0 ||
        !(url.path().isEmpty() || url.path() == QLatin1String("/")) || url.hasQuery() ||
        !url.userInfo().isEmpty()) {
        error = QStringLiteral("%1 is not %2://HOST:PORT (a host name or address and a port "
                               "number 1..65535)")
                    .arg(name, scheme);
        return false;
    }
    host = url.host();
    port = static_cast<quint16>(url.port());
    return true;
}

bool TcpLine::IsOpen() const {
    return m_open;
}

bool TcpLine::IsConnected() const {
    return m_open && m_connected;
}

LineStatus TcpLine::Open(const std::string& device) {
    m_openFailureReason.clear();
    m_lostReason.clear();
    if (IsOpen()) {
        qCDebug(lcNetLine) << "TcpLine::Open - Line already open";
        return LineStatus::AlreadyOpen;
    }
    const QString name = QString::fromStdString(device);
    QString host;
    quint16 port = 0;
    QString error;
    if (!name.startsWith(Scheme(), Qt::CaseInsensitive) || !ParseAddress(name, host, port, error)) {
        m_openFailureReason =
            error.isEmpty() ? QStringLiteral("%1 is not a %2 address").arg(name, Scheme()) : error;
        return LineStatus::NoSuchDevice;
    }
    Reset();
    m_address =
        (host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host) +
        QLatin1Char(':') + QString::number(port);
    m_open = true;
    qCDebug(lcNetLine) << "TcpLine::Open - connecting to" << m_address;
    m_socket->connectToHost(host, port);
    return LineStatus::Success;
}

void TcpLine::Reset() {
    m_input.clear();
    m_held.clear();
    m_pendingEvents = LineEvents::None();
    m_eventMask = LineEvent::Received;
    m_connected = false;
    m_end = End::None;
}

LineStatus TcpLine::Setup(int baudRate, int dataBits, Parity parity, int stopBits) {
    if (!IsOpen()) {
        return LineStatus::NotOpen;
    }
    const bool valid = baudRate > 0 && dataBits >= 5 && dataBits <= 8 &&
                       (stopBits == 1 || stopBits == 2) && static_cast<int>(parity) >= 0 &&
                       static_cast<int>(parity) <= static_cast<int>(Parity::Space);
    return valid ? LineStatus::Success : LineStatus::InvalidArgument;
}

LineStatus TcpLine::SetupHandshakingOff() {
    return IsOpen() ? LineStatus::Success : LineStatus::NotOpen;
}

LineStatus TcpLine::SetMask(LineEvents events) {
    if (!IsOpen()) {
        return LineStatus::NotOpen;
    }
    m_eventMask = events;
    return LineStatus::Success;
}

QByteArray TcpLine::Encode(const std::uint8_t* data, std::size_t length) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void TcpLine::Decode(const QByteArray& input, QByteArray& data, QByteArray& /*reply*/) {
    data += input;
}

void TcpLine::SendRaw(const QByteArray& bytes) {
    if (!bytes.isEmpty() && IsOpen()) {
        m_socket->write(bytes);
    }
}

LineStatus TcpLine::Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
                          int /*timeoutMs*/) {
    written = 0;
    if (!IsOpen()) {
        return LineStatus::NotOpen;
    }
    if (length == 0) {
        return LineStatus::Success;
    }
    if (data == nullptr) {
        return LineStatus::InvalidArgument;
    }
    // While the connection is still being made the bytes wait for it. The socket takes
    // whatever it is given, so output never stalls here: a gateway that stops taking it shows
    // as a device that does not answer.
    const QByteArray bytes = Encode(data, length);
    if (!ReadyForData() || !m_held.isEmpty()) {
        m_held += bytes;
    } else if (m_socket->write(bytes) != bytes.size()) {
        qCDebug(lcNetLine) << "TcpLine::Write - Unable to write:" << m_socket->errorString();
        // The connection went away before its report came round: the reason is kept for the
        // owner, who learns of the loss from this write.
        Fail(m_socket->errorString());
        return LineStatus::DeviceGone;
    }
    written = length;
    return LineStatus::Success;
}

LineStatus TcpLine::Read(std::uint8_t* buffer, std::size_t length, std::size_t& received,
                         int /*timeoutMs*/) {
    received = 0;
    if (!IsOpen()) {
        return LineStatus::NotOpen;
    }
    if (length == 0) {
        return LineStatus::Success;
    }
    if (buffer == nullptr) {
        return LineStatus::InvalidArgument;
    }
    const qsizetype count = std::min<qsizetype>(m_input.size(), static_cast<qsizetype>(length));
    std::copy(m_input.constBegin(), m_input.constBegin() + count, buffer);
    m_input.remove(0, count);
    received = static_cast<std::size_t>(count);
    if (!m_input.isEmpty()) {
        notify(LineEvent::Received);
    }
    return LineStatus::Success;
}

LineStatus TcpLine::Close() {
    if (!IsOpen()) {
        qCDebug(lcNetLine) << "TcpLine::Close - Method called when line is not open";
        return LineStatus::Success;
    }
    m_open = false;
    Reset();
    m_socket->abort();
    return LineStatus::Success;
}

void TcpLine::onConnected() {
    if (!IsOpen()) {
        return;
    }
    m_connected = true;
    // Frames are small and the device waits for each: they go out at once.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    qCDebug(lcNetLine) << "TcpLine - connected to" << m_address;
    OnConnected();
    SendHeld();
}

void TcpLine::SendHeld() {
    if (IsOpen() && ReadyForData() && !m_held.isEmpty()) {
        m_socket->write(m_held);
        m_held.clear();
    }
}

void TcpLine::onReadyRead() {
    const QByteArray bytes = m_socket->readAll();
    if (!IsOpen() || bytes.isEmpty()) {
        return;
    }
    const qsizetype before = m_input.size();
    QByteArray reply;
    Decode(bytes, m_input, reply);
    SendRaw(reply);
    SendHeld();
    if (m_input.size() > before) {
        notify(LineEvent::Received);
    }
}

void TcpLine::onError(QAbstractSocket::SocketError error) {
    if (!IsOpen() || m_end != End::None) {
        return;
    }
    qCDebug(lcNetLine) << "TcpLine - socket error" << error << m_socket->errorString();
    if (error == QAbstractSocket::RemoteHostClosedError) {
        Fail(QStringLiteral("the connection was closed by the other end"));
    } else {
        Fail(m_socket->errorString());
    }
}

void TcpLine::Fail(const QString& why) {
    if (!IsOpen() || m_end != End::None) {
        return;
    }
    // Until the line is ready for data (connected, and set up by the protocol on top) it has
    // not been opened in the owner's eyes.
    if (ReadyForData()) {
        m_end = End::Lost;
        m_lostReason = QStringLiteral("Connection to %1 lost: %2").arg(m_address, why);
    } else {
        m_end = End::Failed;
        m_openFailureReason = QStringLiteral("Cannot connect to %1: %2").arg(m_address, why);
    }
    // The signal comes from the event loop, never from inside an operation of the owner's.
    QMetaObject::invokeMethod(this, &TcpLine::deliverEnd, Qt::QueuedConnection);
}

void TcpLine::deliverEnd() {
    // Closing the line (and opening it again) in the meantime cancels the report.
    const End end = m_end;
    if (end == End::None || !IsOpen()) {
        return;
    }
    Close(); // the reasons stay until the next Open
    if (end == End::Failed) {
        emit openFailed();
    } else {
        emit lineLost();
    }
}

void TcpLine::notify(LineEvents events) {
    events = events & m_eventMask;
    if (events.IsEmpty() || !IsOpen()) {
        return;
    }
    m_pendingEvents |= events;
    if (m_deliveryQueued) {
        return;
    }
    m_deliveryQueued = true;
    QMetaObject::invokeMethod(this, &TcpLine::deliver, Qt::QueuedConnection);
}

void TcpLine::deliver() {
    m_deliveryQueued = false;
    const LineEvents events = m_pendingEvents;
    m_pendingEvents = LineEvents::None();
    if (!events.IsEmpty() && IsOpen()) {
        emit lineEvent(events);
    }
}
