#include "line/SerialPort.h"

#include "line/LinkDoctor.h"
#include "line/PortAccess.h"

#include <QFileInfo>
#include <QMetaObject>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

Q_LOGGING_CATEGORY(lcSerial, "sonvex.serial", QtWarningMsg)

SerialPort::SerialPort(QObject* parent) : LinkLine(parent), m_port(new QSerialPort(this)) {
    connect(m_port, &QSerialPort::readyRead, this, [this] { notify(LineEvent::Received); });
    connect(m_port, &QSerialPort::bytesWritten, this, &SerialPort::onBytesWritten);
    connect(m_port, &QSerialPort::errorOccurred, this, &SerialPort::onErrorOccurred);
    m_outputWatch.setSingleShot(true);
    connect(&m_outputWatch, &QTimer::timeout, this, &SerialPort::onOutputStalled);
}

SerialPort::~SerialPort() {
    if (IsOpen()) {
        qCDebug(lcSerial) << "CSerialWnd::~CSerialWnd - Serial port not closed";
        Close();
    }
}

bool SerialPort::IsOpen() const {
    return m_port->isOpen();
}

QString SerialPort::SystemLocation() const {
    return IsOpen() ? m_location : QString();
}

LineStatus SerialPort::StatusOf(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::NoError:
        return LineStatus::Success;
    case QSerialPort::DeviceNotFoundError:
        return LineStatus::NoSuchDevice;
    case QSerialPort::PermissionError: // held by someone else, or no access rights
        return LineStatus::AccessDenied;
    case QSerialPort::OpenError:
        return LineStatus::AlreadyOpen;
    case QSerialPort::ResourceError: // the device went away
        return LineStatus::DeviceGone;
    case QSerialPort::UnsupportedOperationError:
        return LineStatus::Unsupported;
    case QSerialPort::TimeoutError:
        return LineStatus::Timeout;
    case QSerialPort::NotOpenError:
        return LineStatus::NotOpen;
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
    case QSerialPort::UnknownError:
        break;
    }
    return LineStatus::IoError;
}

QString SerialPort::ResolveDeviceName(const QString& device) {
#ifdef Q_OS_UNIX
    // A bare name lives in /dev ("ttyUSB0", "pts/3"); a path is taken as it is. Links are
    // followed so that a link and its target lock the same device.
    const bool isPath = device.startsWith(QLatin1Char('/')) ||
                        device.startsWith(QLatin1String("./")) ||
                        device.startsWith(QLatin1String("../"));
    const QString path = isPath ? device : QLatin1String("/dev/") + device;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
#else
    return device; // COM3 and \\.\COM3 are opened as they are
#endif
}

LineStatus SerialPort::notOpen(const char* operation) {
    m_lastError = LineStatus::NotOpen;
    qCDebug(lcSerial).noquote() << operation << "- Device is not opened";
    return m_lastError;
}

LineStatus SerialPort::failed(const char* trace) {
    m_lastError = StatusOf(m_port->error());
    if (m_lastError == LineStatus::Success)
        m_lastError = LineStatus::IoError;
    qCDebug(lcSerial).noquote() << trace << "(" << m_port->errorString() << ","
                                << LineStatusName(m_lastError) << ")";
    m_port->clearError();
    return m_lastError;
}

std::string SerialPort::OpenFailureReason() const {
    return m_openFailureReason.toStdString();
}

LineStatus SerialPort::Open(const std::string& device) {
    m_lastError = LineStatus::Success;
    m_openFailureReason.clear();
    if (IsOpen()) {
        m_lastError = LineStatus::AlreadyOpen;
        qCDebug(lcSerial) << "CSerial::Open - Port already opened";
        return m_lastError;
    }
    const QString name = QString::fromStdString(device);
    if (name.isEmpty()) {
        m_lastError = LineStatus::NoSuchDevice;
        qCDebug(lcSerial) << "CSerial::Open - Unable to open port";
        return m_lastError;
    }
    // QSerialPort opens the device exclusively: a lock file under the system lock directory
    // keeps out every other QSerialPort, in this process or another, and TIOCEXCL the rest.
    m_location = ResolveDeviceName(name);
    m_port->setPortName(m_location);
    if (!m_port->open(QIODevice::ReadWrite)) {
        // QSerialPort reports a refused open, a held lock and an exclusive line alike.
        if (m_port->error() == QSerialPort::PermissionError)
            m_openFailureReason = PortAccess::Diagnose(m_location);
        // What on this system keeps serial adapters from working, whatever the error.
        const QStringList hints = LinkDoctor::SystemHints(m_location);
        if (!hints.isEmpty()) {
            m_openFailureReason +=
                (m_openFailureReason.isEmpty() ? QString() : QStringLiteral("\n")) +
                hints.join(QLatin1Char('\n'));
        }
        return failed("CSerial::Open - Unable to open port");
    }
    m_eventMask = kDefaultEvents;
    m_pendingEvents = LineEvents::None();
    m_lost = false;
    return m_lastError;
}

LineStatus SerialPort::Setup(int baudRate, int dataBits, Parity parity, int stopBits) {
    if (!IsOpen())
        return notOpen("CSerial::Setup");
    m_lastError = LineStatus::Success;

    QSerialPort::Parity qtParity = QSerialPort::NoParity;
    switch (parity) {
    case Parity::None:
        qtParity = QSerialPort::NoParity;
        break;
    case Parity::Odd:
        qtParity = QSerialPort::OddParity;
        break;
    case Parity::Even:
        qtParity = QSerialPort::EvenParity;
        break;
    case Parity::Mark:
        qtParity = QSerialPort::MarkParity;
        break;
    case Parity::Space:
        qtParity = QSerialPort::SpaceParity;
        break;
    }
    const bool valid = baudRate > 0 && dataBits >= 5 && dataBits <= 8 &&
                       (stopBits == 1 || stopBits == 2) && static_cast<int>(parity) >= 0 &&
                       static_cast<int>(parity) <= static_cast<int>(Parity::Space);
    if (!valid) {
        m_lastError = LineStatus::InvalidArgument;
        qCDebug(lcSerial) << "CSerial::Setup - Unable to set DCB information (invalid line format)";
        return m_lastError;
    }

    const bool ok =
        m_port->setBaudRate(baudRate) &&
        m_port->setDataBits(static_cast<QSerialPort::DataBits>(dataBits)) &&
        m_port->setParity(qtParity) &&
        m_port->setStopBits(stopBits == 1 ? QSerialPort::OneStop : QSerialPort::TwoStop);
    if (!ok)
        return failed("CSerial::Setup - Unable to set DCB information");
    return m_lastError;
}

LineStatus SerialPort::SetupHandshakingOff() {
    if (!IsOpen())
        return notOpen("CSerial::SetupHandshaking");
    m_lastError = LineStatus::Success;
    if (!m_port->setFlowControl(QSerialPort::NoFlowControl))
        return failed("CSerial::SetupHandshaking - Unable to set DCB information");
    // DTR and RTS are dropped where the line has them; a pseudo-terminal or an adapter without
    // modem lines refuses, which does not matter with flow control off.
    if (!m_port->setDataTerminalReady(false) || !m_port->setRequestToSend(false)) {
        qCDebug(lcSerial) << "CSerial::SetupHandshaking - Unable to clear DTR/RTS:"
                          << m_port->errorString();
        m_port->clearError();
    }
    return m_lastError;
}

LineStatus SerialPort::SetMask(LineEvents events) {
    if (!IsOpen())
        return notOpen("CSerial::SetMask");
    m_lastError = LineStatus::Success;
    m_eventMask = events;
    return m_lastError;
}

LineStatus SerialPort::Write(const std::uint8_t* data, std::size_t length, std::size_t& written,
                             int timeoutMs) {
    written = 0;
    if (!IsOpen())
        return notOpen("CSerial::Write");
    m_lastError = LineStatus::Success;
    if (length == 0)
        return m_lastError;
    if (data == nullptr) {
        m_lastError = LineStatus::InvalidArgument;
        qCDebug(lcSerial) << "CSerial::Write - No data";
        return m_lastError;
    }

    // The bytes join QSerialPort's buffer behind what is still there and go to the driver
    // at once as far as it takes them; the event loop sends the rest.
    if (m_port->write(reinterpret_cast<const char*>(data), static_cast<qint64>(length)) !=
        static_cast<qint64>(length))
        return failed("CSerial::Write - Unable to write the data");
    if (!m_port->flush() && m_port->error() != QSerialPort::NoError)
        return failed("CSerial::Write - Unable to write the data");
    written = length;
    if (m_port->bytesToWrite() > 0 && timeoutMs >= 0) {
        m_outputTimeoutMs = timeoutMs;
        m_outputWatch.start(timeoutMs);
    }
    return m_lastError;
}

void SerialPort::onBytesWritten() {
    if (m_port->bytesToWrite() == 0) {
        m_outputWatch.stop();
        notify(LineEvent::TransmitEmpty);
    } else if (m_outputWatch.isActive()) {
        m_outputWatch.start(m_outputTimeoutMs);
    }
}

void SerialPort::onOutputStalled() {
    if (!IsOpen() || m_port->bytesToWrite() == 0 || m_lost)
        return;
    if (DriverTakesMore()) {
        m_outputWatch.start(m_outputTimeoutMs);
        return;
    }
    qCDebug(lcSerial) << "CSerial::Write - Write timed out after" << m_outputTimeoutMs << "ms";
    m_lastError = LineStatus::Timeout;
    // What did not leave is dropped, also from the driver, so that closing does not wait on it.
    m_port->clear(QSerialPort::Output);
    m_lost = true;
    deliverLost();
}

bool SerialPort::DriverTakesMore() const {
#ifdef Q_OS_UNIX
    pollfd line{static_cast<int>(m_port->handle()), POLLOUT, 0};
    return ::poll(&line, 1, 0) > 0 &&
           (line.revents & (POLLOUT | POLLHUP | POLLERR | POLLNVAL)) == POLLOUT;
#else
    return false;
#endif
}

LineStatus SerialPort::Read(std::uint8_t* buffer, std::size_t length, std::size_t& received,
                            int /*timeoutMs*/) {
    received = 0;
    if (!IsOpen())
        return notOpen("CSerial::Read");
    m_lastError = LineStatus::Success;
    if (length == 0)
        return m_lastError;
    if (buffer == nullptr) {
        m_lastError = LineStatus::InvalidArgument;
        qCDebug(lcSerial) << "CSerial::Read - No buffer";
        return m_lastError;
    }
    const qint64 count = m_port->read(reinterpret_cast<char*>(buffer), static_cast<qint64>(length));
    if (count < 0)
        return failed("CSerial::Read - Unable to read the data");
    received = static_cast<std::size_t>(count);
    if (m_port->bytesAvailable() > 0)
        notify(LineEvent::Received);
    return m_lastError;
}

LineStatus SerialPort::Close() {
    m_lastError = LineStatus::Success;
    if (!IsOpen()) {
        qCDebug(lcSerial) << "CSerial::Close - Method called when device is not open";
        return m_lastError;
    }
    m_pendingEvents = LineEvents::None();
    m_lost = false;
    m_outputWatch.stop();
    m_port->close();
    m_port->clearError();
    return m_lastError;
}

void SerialPort::onErrorOccurred(QSerialPort::SerialPortError error) {
    // Failures of an operation are reported by that operation. A resource error means the
    // device itself is gone (a removed adapter, a hung-up pseudo-terminal), whether a write
    // or the event loop's watch on the line found out: that is told with lineLost as well, so
    // the owner need not wait for a write to fail.
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    qCDebug(lcSerial) << "CSerial - Line error:" << error << m_port->errorString();
    const bool gone =
        error == QSerialPort::ResourceError || (error == QSerialPort::ReadError && HungUp());
    if (gone && IsOpen() && !m_lost) {
        m_lost = true;
        QMetaObject::invokeMethod(this, &SerialPort::deliverLost, Qt::QueuedConnection);
    }
}

bool SerialPort::HungUp() const {
#ifdef Q_OS_UNIX
    // A terminal whose device went away reads as ended for ever; QSerialPort calls that a read
    // error and keeps trying.
    pollfd line{static_cast<int>(m_port->handle()), POLLIN, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    return false;
#endif
}

void SerialPort::deliverLost() {
    // Closing the line (and opening it again) in the meantime cancels the report.
    if (!m_lost || !IsOpen())
        return;
    // Nothing can pass any more: the line is closed here, which also ends QSerialPort's
    // attempts to read it and frees the device's name for the adapter when it comes back.
    qCDebug(lcSerial) << "CSerial - Line failed, closed";
    m_pendingEvents = LineEvents::None();
    m_outputWatch.stop();
    m_port->close();
    m_port->clearError();
    emit lineLost();
}

void SerialPort::notify(LineEvents events) {
    events = events & m_eventMask;
    if (events.IsEmpty() || !IsOpen())
        return;
    m_pendingEvents |= events;
    if (m_deliveryQueued)
        return;
    m_deliveryQueued = true;
    QMetaObject::invokeMethod(this, &SerialPort::deliver, Qt::QueuedConnection);
}

void SerialPort::deliver() {
    m_deliveryQueued = false;
    const LineEvents events = m_pendingEvents;
    m_pendingEvents = LineEvents::None();
    if (!events.IsEmpty() && IsOpen())
        emit lineEvent(events);
}
