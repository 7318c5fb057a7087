// bench-link-transfers: how long the whole-program transfers take through the simulated
// processor paced like a real 9600 baud line, against the time their bytes alone need on the
// wire (bytes x 10 bits / 9600). Starts sonvex-sim from its own directory.
//
//   bench-link-transfers [--tick MS]    (service tick, default 100 ms as in the panels)

#include "files/ZorvanDoc.h"
#include "panel/control/PanelLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr int kPreambleBytes = 3;
constexpr double kBitsPerByte = 10.0;
constexpr double kBaud = 9600.0;
constexpr int kTimeoutMs = 10 * 60 * 1000;

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

struct Meter {
    PanelLink& link;
    QString logPath;
    qint64 sent = 0;

    bool Run(const char* name, const std::function<bool()>& start) {
        const qint64 sentBefore = sent;
        const qint64 repliedBefore = ReplyBytes(logPath);
        QElapsedTimer clock;
        clock.start();
        if (!start() || !link.WaitForTransfer(kTimeoutMs)) {
            std::fprintf(stderr, "%s: transfer failed\n", name);
            return false;
        }
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        const qint64 bytes = (sent - sentBefore) + (ReplyBytes(logPath) - repliedBefore);
        const double wire = static_cast<double>(bytes) * kBitsPerByte / kBaud;
        std::printf("%-34s %8.2f s  %7lld bytes  wire %7.2f s  ratio %6.2f\n", name, seconds,
                    static_cast<long long>(bytes), wire, wire > 0 ? seconds / wire : 0.0);
        std::fflush(stdout);
        return true;
    }
};

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

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary directory\n");
        return 1;
    }
    const QString link = dir.filePath(QStringLiteral("line"));
    const QString log = dir.filePath(QStringLiteral("frames.log"));
    QProcess sim;
    sim.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/sonvex-sim"));
    sim.setArguments({QStringLiteral("--link"), link, QStringLiteral("--log"), log,
                      QStringLiteral("--device"), QStringLiteral("1:1")});
    sim.start();
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "sonvex-sim did not start\n");
        return 1;
    }

    int result = 1;
    {
        CZorvanDoc doc;
        PanelLink panel(doc, Variant::FourByEight());
        panel.SetTickInterval(tickMs);
        Meter meter{panel, log};
        QObject::connect(&panel, &PanelLink::recordTransmitted,
                         [&meter](const QByteArray& frame, bool) {
                             meter.sent += kPreambleBytes + frame.size();
                         });
        QObject::connect(&panel, &PanelLink::messageShown, [](const QString& text) {
            std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        });

        std::printf("sonvex-sim at 9600 baud, service tick %d ms\n", tickMs);
        if (panel.Connect(link, 1) && panel.WaitForTransfer(kTimeoutMs) &&
            panel.WaitUntilSettled(kTimeoutMs) &&
            meter.Run("recall live program (12 reads)", [&] { return panel.RecallProgram(0); }) &&
            meter.Run("store live program (15 writes)", [&] { return panel.StoreProgram(0); }) &&
            meter.Run("backup 30 programs (360 reads)", [&] { return panel.StoreAllToPC(); })) {
            result = 0;
        }
        panel.Disconnect();
    }
    sim.terminate();
    if (!sim.waitForFinished(3000)) {
        sim.kill();
        sim.waitForFinished(3000);
    }
    return result;
}
