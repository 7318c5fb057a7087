// bench-link-transfers: how long the whole-program transfers take through the simulated
// processor paced like a real 9600 baud line, against the time their bytes alone need on the
// wire (bytes x 10 bits / 9600), with the link's default pacing (one record per service tick)
// and with fast transfers (the next record as soon as the answer has arrived), side by side.
// Also the time from a gain change on an idle link to its frame on the wire. Starts sonvex-sim
// from its own directory.
//
//   bench-link-transfers [--tick MS]    (service tick, default 100 ms as in the panels)

#include "core/files/ZorvanDoc.h"
#include "core/protocol/ProtocolCodes.h"
#include "core/model/AudioData.h"
#include "control/PanelLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kPreambleBytes = 3;
constexpr double kBitsPerByte = 10.0;
constexpr double kBaud = 9600.0;
constexpr int kTimeoutMs = 10 * 60 * 1000;
// Gain changes timed per mode; each waits a different part of a tick before the change.
constexpr int kGainSamples = 20;

double WireSeconds(qint64 bytes) {
    return static_cast<double>(bytes) * kBitsPerByte / kBaud;
}

// Bytes the simulator sent back, as its frame log tells.
qint64 ReplyBytes(const QString& logPath) {
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    qint64 bytes = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine());
        const QStringList parts =
            line.section(QLatin1Char('|'), 0, 0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() > 2 && parts[1] == QLatin1String("out")) {
            bytes += parts.size() - 2;
        }
    }
    return bytes;
}

bool IsOutputLevels(const QByteArray& frame) {
    return frame.size() > static_cast<int>(Protocol::OffsetBlock) &&
           static_cast<std::uint8_t>(frame[Protocol::OffsetCode]) == Protocol::WriteRequest &&
           static_cast<std::uint8_t>(frame[Protocol::OffsetGroup]) == Protocol::GroupOutput &&
           static_cast<std::uint8_t>(frame[Protocol::OffsetBlock]) == Protocol::OutputBlockLevels;
}

void Pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The simulated processor on its own line, paced like a 9600 baud line, with its frame log.
// Each mode gets a fresh one, so that no answer meant for one mode's link reaches the next.
class SimulatedLine {
public:
    ~SimulatedLine() {
        if (m_sim.state() != QProcess::NotRunning) {
            m_sim.terminate();
            if (!m_sim.waitForFinished(3000)) {
                m_sim.kill();
                m_sim.waitForFinished(3000);
            }
        }
    }

    bool Start() {
        if (!m_dir.isValid()) {
            std::fprintf(stderr, "no temporary directory\n");
            return false;
        }
        m_sim.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/sonvex-sim"));
        m_sim.setArguments({QStringLiteral("--link"), Link(), QStringLiteral("--log"), Log(),
                            QStringLiteral("--device"), QStringLiteral("1:1")});
        m_sim.start();
        if (!m_sim.waitForStarted(5000) || !m_sim.waitForReadyRead(5000)) {
            std::fprintf(stderr, "sonvex-sim did not start\n");
            return false;
        }
        return true;
    }

    QString Link() const { return m_dir.filePath(QStringLiteral("line")); }
    QString Log() const { return m_dir.filePath(QStringLiteral("frames.log")); }

private:
    QTemporaryDir m_dir;
    QProcess m_sim;
};

struct Figure {
    double seconds = 0;
    double wire = 0;
    qint64 bytes = 0;
    bool ok = false;
};

// One mode's run: the transfers in order, then the gain changes.
class ModeRun {
public:
    ModeRun(PanelLink& link, const QString& logPath) : m_link(link), m_logPath(logPath) {
        QObject::connect(
            &link, &PanelLink::recordTransmitted,
            [this](const QByteArray& frame, bool) { m_sent += kPreambleBytes + frame.size(); });
    }

    Figure Transfer(const std::function<bool()>& start) {
        Figure figure;
        const qint64 sentBefore = m_sent;
        const qint64 repliedBefore = ReplyBytes(m_logPath);
        QElapsedTimer clock;
        clock.start();
        if (!start() || !m_link.WaitForTransfer(kTimeoutMs)) {
            return figure;
        }
        figure.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        figure.bytes = (m_sent - sentBefore) + (ReplyBytes(m_logPath) - repliedBefore);
        figure.wire = WireSeconds(figure.bytes);
        figure.ok = true;
        return figure;
    }

    // Mean time from a gain change of output 1 on a settled link to the moment its levels
    // record is written, against the time of that record's bytes on the wire.
    Figure GainChange() {
        Figure figure;
        CAudio_OutData& output = *m_link.GetProgram().GetOutput(0);
        const int tickMs = m_link.GetTickInterval();
        double total = 0;
        for (int i = 0; i < kGainSamples; ++i) {
            if (!m_link.WaitUntilSettled(kTimeoutMs)) {
                return figure;
            }
            // Changes land at different points of the tick.
            Pause(tickMs * 3 + (i * 37) % std::max(1, tickMs));
            QEventLoop loop;
            QElapsedTimer clock;
            qint64 frameBytes = 0;
            const auto connection = QObject::connect(
                &m_link, &PanelLink::recordTransmitted, [&](const QByteArray& frame, bool) {
                    if (IsOutputLevels(frame) && frameBytes == 0) {
                        frameBytes = kPreambleBytes + frame.size();
                        total += static_cast<double>(clock.nsecsElapsed()) / 1e9;
                        loop.quit();
                    }
                });
            QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
            clock.start();
            output.SetGain(output.GetGain() == 100 ? 101 : 100);
            loop.exec();
            QObject::disconnect(connection);
            if (frameBytes == 0) {
                return figure;
            }
            figure.bytes = frameBytes;
        }
        figure.seconds = total / kGainSamples;
        figure.wire = WireSeconds(figure.bytes);
        figure.ok = true;
        return figure;
    }

private:
    PanelLink& m_link;
    QString m_logPath;
    qint64 m_sent = 0;
};

struct Row {
    std::string name;
    Figure modes[2];
};

// Runs every measurement on a fresh connection in one mode; false when something failed.
bool RunMode(int tickMs, bool fast, std::vector<Row>& rows) {
    const int mode = fast ? 1 : 0;
    SimulatedLine line;
    if (!line.Start()) {
        return false;
    }
    CZorvanDoc doc;
    PanelLink link(doc, Variant::FourByEight());
    link.SetTickInterval(tickMs);
    link.SetFastTransfers(fast);
    ModeRun run(link, line.Log());
    QObject::connect(&link, &PanelLink::messageShown, [](const QString& text) {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    });
    if (!link.Connect(line.Link(), 1) || !link.WaitForTransfer(kTimeoutMs) ||
        !link.WaitUntilSettled(kTimeoutMs)) {
        std::fprintf(stderr, "%s: connect failed\n", fast ? "fast" : "default");
        return false;
    }
    const std::vector<std::pair<const char*, std::function<Figure()>>> steps{
        {"recall live program (12 reads)",
         [&] { return run.Transfer([&] { return link.RecallProgram(0); }); }},
        {"store live program (15 writes)",
         [&] { return run.Transfer([&] { return link.StoreProgram(0); }); }},
        {"backup 30 programs (360 reads)",
         [&] { return run.Transfer([&] { return link.StoreAllToPC(); }); }},
        // Writes back the bank the backup has just read.
        {"restore 30 programs (390 writes)",
         [&] { return run.Transfer([&] { return link.RecallAllFromPC(); }); }},
        {"gain change to its frame (idle)", [&] { return run.GainChange(); }},
    };
    bool ok = true;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (rows.size() <= i) {
            rows.push_back(Row{steps[i].first, {}});
        }
        // A step waits for the pending edits of the previous one first.
        const Figure figure = link.WaitUntilSettled(kTimeoutMs) ? steps[i].second() : Figure{};
        rows[i].modes[mode] = figure;
        if (figure.ok) {
            std::fprintf(stderr, "%-7s %-34s %8.3f s\n", fast ? "fast" : "default", steps[i].first,
                         figure.seconds);
        }
        if (!figure.ok) {
            std::fprintf(stderr, "%s: %s failed\n", fast ? "fast" : "default", steps[i].first);
            ok = false;
            break;
        }
    }
    link.Disconnect();
    return ok;
}

void PrintCell(const Figure& figure) {
    if (!figure.ok) {
        std::printf(" | %30s", "failed");
        return;
    }
    std::printf(" | %8.3f s %8.3f s %7.2f", figure.seconds, figure.wire,
                figure.wire > 0 ? figure.seconds / figure.wire : 0.0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int tickMs = PanelLink::kTickIntervalMs;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--tick") && i + 1 < args.size()) {
            tickMs = args[++i].toInt();
        } else {
            std::fprintf(stderr, "usage: bench-link-transfers [--tick MS]\n");
            return 2;
        }
    }
    if (tickMs <= 0) {
        std::fprintf(stderr, "--tick needs a positive number of milliseconds\n");
        return 2;
    }

    std::printf("sonvex-sim at 9600 baud, service tick %d ms; time, bytes on the wire, ratio\n",
                tickMs);
    std::vector<Row> rows;
    std::fflush(stdout);
    const bool ok = RunMode(tickMs, false, rows) && RunMode(tickMs, true, rows);
    std::printf("%-34s | %-30s | %-30s\n", "", "default (record per tick)",
                "fast (record on answer)");
    for (const Row& row : rows) {
        std::printf("%-34s", row.name.c_str());
        PrintCell(row.modes[0]);
        PrintCell(row.modes[1]);
        std::printf("\n");
    }
    std::printf("(gain change: mean of %d changes, wire = its one frame)\n", kGainSamples);
    std::fflush(stdout);

    return ok ? 0 : 1;
}
