#pragma once

// build/bin/sonvex-sim as a child process on its own pseudo-terminal, reachable through a
// symbolic link in a private temporary directory, with its frame log, standard output and
// standard error in the same directory. The destructor stops the child, waits for it and removes
// everything it made.

#include "common/LoggedFrame.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <cstddef>
#include <signal.h>
#include <vector>

namespace simtest {

class SimProcess {
public:
    SimProcess() = default;
    // Starts at once; Started() tells whether it came up.
    explicit SimProcess(const QStringList& arguments) { Start(arguments); }
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    static QString Binary() { return QStringLiteral(SONVEX_BIN_DIR "/sonvex-sim"); }

    // Starts the simulator with --link and --log followed by arguments, e.g. {"--fast",
    // "--device", "3:1"}, stopping a running one first. False (see Error()) when it does not
    // come up within a few seconds.
    bool Start(const QStringList& arguments) {
        Stop();
        m_error.clear();
        if (!m_dir.isValid()) {
            m_error = QStringLiteral("no temporary directory");
            return false;
        }
        m_process.setProgram(Binary());
        m_process.setArguments(QStringList{"--link", Link(), "--log", LogPath()} + arguments);
        m_process.setStandardOutputFile(FilePath(QStringLiteral("stdout.txt")));
        m_process.setStandardErrorFile(FilePath(QStringLiteral("stderr.txt")));
        m_process.start();
        if (!m_process.waitForStarted(kStartMs)) {
            m_error = QStringLiteral("cannot start ") + Binary();
            return false;
        }
        // The simulator prints its terminal once the link is in place.
        const auto ready = [this] {
            return m_process.state() != QProcess::Running ||
                   (QFileInfo(Link()).isSymLink() &&
                    Read(FilePath(QStringLiteral("stdout.txt"))).contains('\n'));
        };
        if (!QTest::qWaitFor(ready, kStartMs)) {
            m_error = QStringLiteral("sonvex-sim made no link");
            return false;
        }
        if (m_process.state() != QProcess::Running) {
            m_error = QStringLiteral("sonvex-sim ended at once: ") + Stderr();
            return false;
        }
        return true;
    }

    // Ends the child with SIGTERM (SIGKILL if it does not go) and returns its exit status, or
    // -1 when it had to be killed or was not running.
    int Stop() {
        if (m_process.state() == QProcess::NotRunning) {
            return -1;
        }
        Resume(); // a stopped process would not see the SIGTERM
        m_process.terminate();
        if (m_process.waitForFinished(kStartMs)) {
            return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
        }
        m_process.kill();
        m_process.waitForFinished(kStartMs);
        return -1;
    }

    // Ends the child with SIGKILL: it leaves its terminal and link behind as they were.
    void Kill() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kStartMs);
        }
    }

    // SIGSTOP and SIGCONT: the device stops answering, and goes on.
    void Pause() { Signal(SIGSTOP); }
    void Resume() { Signal(SIGCONT); }

    // Running since a successful Start().
    bool Started() const { return m_process.state() == QProcess::Running && m_error.isEmpty(); }
    // Why the last Start() failed.
    const QString& Error() const { return m_error; }

    QString Link() const { return FilePath(QStringLiteral("line")); }
    // A path inside the private temporary directory.
    QString FilePath(const QString& name) const { return m_dir.filePath(name); }
    QString LogPath() const { return FilePath(QStringLiteral("frames.log")); }
    QString Log() const { return QString::fromUtf8(Read(LogPath())); }
    QString Stderr() const { return QString::fromUtf8(Read(FilePath("stderr.txt"))); }

    // Frames logged so far, from index from on (the frames, not the note lines).
    std::vector<LoggedFrame> Frames(std::size_t from = 0) const {
        std::vector<LoggedFrame> frames;
        QFile file(LogPath());
        if (!file.open(QIODevice::ReadOnly)) {
            return frames;
        }
        while (!file.atEnd()) {
            const QString line = QString::fromLatin1(file.readLine()).trimmed();
            // "hh:mm:ss.uuuuuu in  B1 A1 ... | description"
            const QStringList parts =
                line.section(QLatin1Char('|'), 0, 0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (parts.size() < 3 ||
                (parts[1] != QLatin1String("in") && parts[1] != QLatin1String("out"))) {
                continue;
            }
            LoggedFrame frame{parts[1], {}};
            for (int i = 2; i < parts.size(); ++i) {
                frame.bytes.append(static_cast<char>(parts[i].toUInt(nullptr, 16)));
            }
            frames.push_back(frame);
        }
        if (from >= frames.size()) {
            return {};
        }
        return std::vector<LoggedFrame>(frames.begin() + static_cast<std::ptrdiff_t>(from),
                                        frames.end());
    }

    // Frames the device received from index from on.
    std::vector<LoggedFrame> Received(std::size_t from = 0) const {
        std::vector<LoggedFrame> in;
        for (const LoggedFrame& frame : Frames(from)) {
            if (frame.direction == QLatin1String("in")) {
                in.push_back(frame);
            }
        }
        return in;
    }

private:
    void Signal(int signal) {
        if (m_process.state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(m_process.processId()), signal);
        }
    }

    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static constexpr int kStartMs = 5000;

    QTemporaryDir m_dir; // removed with everything in it
    QString m_error;
    QProcess m_process;
};

} // namespace simtest
