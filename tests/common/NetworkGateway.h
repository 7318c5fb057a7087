#pragma once

// Serial ports on the network for the tests, on loopback only: the simulator's own raw TCP
// port (sonvex-sim --tcp 127.0.0.1:0, whose address it prints) and Debian's ser2net as an
// RFC 2217 server in front of the simulator's pseudo-terminal. Every process started here is
// stopped by its destructor.

#include "common/SimProcess.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace simtest {

// "tcp://127.0.0.1:PORT" of a simulator started with "--tcp", "127.0.0.1:0"; empty when it
// printed none.
inline QString SimTcpAddress(const SimProcess& sim) {
    QString address;
    const bool printed = QTest::qWaitFor(
        [&] {
            QFile out(sim.FilePath(QStringLiteral("stdout.txt")));
            if (out.open(QIODevice::ReadOnly)) {
                const QStringList lines =
                    QString::fromUtf8(out.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                if (lines.size() >= 2 && lines[1].startsWith(QLatin1String("tcp://"))) {
                    address = lines[1].trimmed();
                }
            }
            return !address.isEmpty();
        },
        5000);
    return printed ? address : QString();
}

// A loopback port that nobody listened on a moment ago.
inline quint16 FreePort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

// ser2net with one telnet(rfc2217) accepter on a free loopback port in front of a terminal.
class Ser2net {
public:
    ~Ser2net() { Stop(); }

    static QString Program() {
        return QStandardPaths::findExecutable("ser2net", {"/usr/sbin", "/usr/bin", "/sbin"});
    }
    static bool Installed() { return !Program().isEmpty(); }

    // Starts it for the terminal at device; false (see Error()) when it does not listen.
    bool Start(const QString& device) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            // Another test may take the port between the look and ser2net's bind: then again.
            m_port = FreePort();
            if (m_port == 0 || !WriteConfig(device)) {
                continue;
            }
            m_process.setProgram(Program());
            m_process.setArguments({"-n", "-u", "-c", m_dir.filePath("ser2net.yaml"), "-P",
                                    m_dir.filePath("ser2net.pid")});
            m_process.setProcessChannelMode(QProcess::MergedChannels);
            m_process.start();
            if (!m_process.waitForStarted(5000)) {
                m_error = QStringLiteral("cannot start ") + Program();
                return false;
            }
            if (QTest::qWaitFor(
                    [this] { return Listening() || m_process.state() == QProcess::NotRunning; },
                    5000) &&
                m_process.state() == QProcess::Running) {
                return true;
            }
            m_error = QString::fromUtf8(m_process.readAll());
            Stop();
        }
        if (m_error.isEmpty()) {
            m_error = QStringLiteral("ser2net did not listen");
        }
        return false;
    }

    void Stop() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }

    QString Address() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(m_port); }
    const QString& Error() const { return m_error; }

private:
    bool WriteConfig(const QString& device) {
        QFile config(m_dir.filePath("ser2net.yaml"));
        if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return false;
        }
        config.write(QStringLiteral("connection: &c1\n"
                                    "  accepter: telnet(rfc2217),tcp,127.0.0.1,%1\n"
                                    "  connector: serialdev,%2,9600n81,local\n")
                         .arg(m_port)
                         .arg(device)
                         .toUtf8());
        return true;
    }

    // Whether ser2net is up: it says so on its own output only with debugging, so the port is
    // looked at (from /proc: a probing connection would open the terminal).
    bool Listening() const {
        QFile tcp(QStringLiteral("/proc/net/tcp"));
        if (!tcp.open(QIODevice::ReadOnly)) {
            return false;
        }
        const QByteArray local =
            QStringLiteral("0100007F:%1").arg(m_port, 4, 16, QLatin1Char('0')).toUpper().toLatin1();
        for (const QByteArray& line : tcp.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 3 && fields[1] == local && fields[3] == "0A") { // LISTEN
                return true;
            }
        }
        return false;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};

} // namespace simtest
