#include "DeviceSession.h"

#include "FrameTrace.h"

#include "control/IdSearch.h"
#include "control/LinkSession.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace {

// The device control gives the link up after about four seconds without an answer, so the
// waits need no time-out of their own; this one only guards against a device that keeps
// answering without ever finishing.
constexpr int kWaitLimitMs = 60 * 60 * 1000;

std::vector<std::uint8_t> Bytes(const QByteArray& frame) {
    return std::vector<std::uint8_t>(frame.begin(), frame.end());
}

} // namespace

DeviceSession::DeviceSession(const CliOptions& options)
    : m_options(options), m_link(m_document, *options.variant),
      m_terminal(isatty(STDERR_FILENO) == 1) {
    if (options.tickMs > 0) {
        m_link.SetTickInterval(options.tickMs);
        // A shorter tick serves a fast line sooner; the device keeps the time a real line gives
        // it to answer, so that a moment in which a busy machine runs neither side is not taken
        // for a silent device.
        m_link.SetAnswerWait(LinkSession::kRetransmitTicks * LinkSession::kTickIntervalMs);
    }
    m_link.SetFastTransfers(options.fast);
    QObject::connect(&m_link, &PanelLink::messageShown, [this](const QString& text) {
        if (m_message.isEmpty()) {
            m_message = text;
        }
    });
    QObject::connect(&m_link, &PanelLink::transferProgress, [this](int remaining, int total) {
        if (!m_progressLabel.isEmpty()) {
            ShowProgress(total - remaining, total);
        }
    });
    if (options.verbose) {
        QObject::connect(&m_link, &PanelLink::recordTransmitted,
                         [](const QByteArray& frame, bool again) {
                             std::cerr << FrameTrace::Line(">", Bytes(frame))
                                       << (again ? " (again)" : "") << '\n';
                         });
        m_link.GetEngine().SetFrameObserver([](const std::vector<std::uint8_t>& frame) {
            std::cerr << FrameTrace::Line("<", frame) << '\n';
        });
    }
}

DeviceSession::~DeviceSession() {
    m_link.GetEngine().SetFrameObserver(nullptr);
    m_link.Disconnect();
}

bool DeviceSession::Fail(const QString& fallback, const QString& context) {
    EndProgress();
    // The context goes on the message's first line; a hint that follows (why a port could not
    // be opened) keeps its own lines.
    const QString message = m_message.isEmpty() ? fallback : m_message;
    const qsizetype end = message.indexOf(QLatin1Char('\n'));
    m_error = message.left(end) + QStringLiteral(": ") + context +
              (end < 0 ? QString() : message.mid(end));
    return false;
}

bool DeviceSession::Open() {
    const QString where =
        QStringLiteral("device %1 on %2").arg(m_options.deviceId).arg(m_options.port);
    if (m_options.port.isEmpty()) {
        m_error = QStringLiteral("no port given (--port NAME|PATH; see sonvex-cli ports)");
        return false;
    }
    if (!m_link.Connect(m_options.port, m_options.deviceId)) {
        return Fail(QStringLiteral("Unable to open COM-port"), m_options.port);
    }
    if (!m_link.WaitForTransfer(kWaitLimitMs)) {
        // A port on the network opens in the background and may fail to connect only now.
        if (m_message.startsWith(QLatin1String("Unable to open COM-port"))) {
            return Fail(QString(), m_options.port);
        }
        return Fail(QStringLiteral("no answer"),
                    QStringLiteral("%1 (expected a %2 %3)")
                        .arg(where, VariantName(GetVariant()), GetVariant().modelCode));
    }
    return true;
}

bool DeviceSession::RunTransfer(const std::function<bool()>& start, const QString& what) {
    m_progressLabel = m_terminal ? what : QString();
    if (!start()) {
        m_progressLabel.clear();
        return Fail(QStringLiteral("not connected"), what);
    }
    const bool done = m_link.WaitForTransfer(kWaitLimitMs);
    EndProgress();
    if (!done) {
        return Fail(QStringLiteral("transfer did not finish"), what);
    }
    return true;
}

bool DeviceSession::Settle() {
    if (!m_link.WaitUntilSettled(kWaitLimitMs)) {
        return Fail(QStringLiteral("changes not acknowledged"),
                    QStringLiteral("device %1 on %2").arg(m_options.deviceId).arg(m_options.port));
    }
    return true;
}

bool DeviceSession::Search(QVector<int>& found) {
    if (m_options.port.isEmpty()) {
        m_error = QStringLiteral("no port given (--port NAME|PATH; see sonvex-cli ports)");
        return false;
    }
    IdSearch search(m_link);
    if (m_options.tickMs > 0) {
        search.SetTickInterval(m_options.tickMs);
    }
    search.SetFastTransfers(m_options.fast);
    m_progressLabel = m_terminal ? QStringLiteral("searching") : QString();
    QObject::connect(&search, &IdSearch::progress, [this](int position) {
        if (!m_progressLabel.isEmpty()) {
            ShowProgress(position, IdSearch::kLastId);
        }
    });
    QObject::connect(&search, &IdSearch::collision, [this](int id) {
        EndProgress();
        std::cerr << "sonvex-cli: " << IdSearch::CollisionText(id).toStdString() << std::endl;
        m_progressLabel = m_terminal ? QStringLiteral("searching") : QString();
    });
    if (!search.Start(m_options.port)) {
        return Fail(QStringLiteral("Unable to open COM-port"), m_options.port);
    }
    const bool ended = search.WaitForEnd(kWaitLimitMs);
    EndProgress();
    if (!ended) {
        search.Cancel();
        return Fail(QStringLiteral("search did not end"), m_options.port);
    }
    if (!m_message.isEmpty()) {
        return Fail(m_message, m_options.port);
    }
    found = m_link.FoundIds();
    m_collisions = search.GetCollisions();
    return true;
}

void DeviceSession::ShowProgress(int done, int total) {
    if (total <= 0) {
        return;
    }
    constexpr int kBarWidth = 30;
    const int percent = done * 100 / total;
    const int filled = done * kBarWidth / total;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", qPrintable(m_progressLabel),
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kBarWidth - filled), '.').c_str(), percent);
    std::fflush(stderr);
    m_progressShown = true;
}

void DeviceSession::EndProgress() {
    if (m_progressShown) {
        std::fputc('\n', stderr);
        m_progressShown = false;
    }
    m_progressLabel.clear();
}
