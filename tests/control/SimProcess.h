#pragma once

// The simulated processor as a child process on its own pseudo-terminal, for the device control
// tests: started with a link path in a private temporary directory, stopped and waited for when
// the object goes, its frame log readable in between.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace controltest {

// One QCoreApplication for the whole test program.
inline void EnsureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "control_test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
}

// A logged frame: direction ("in" to the device, "out" from it) and its bytes.
struct LoggedFrame {
    QString direction;
    QByteArray bytes;

    // Byte i of the frame; -1 past its end.
    int At(int i) const { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : -1; }
    int Code() const { return At(1); }
    int DeviceId() const { return At(2); }
    int Program() const { return At(3); }
    int Group() const { return At(4); }
    int Channel() const { return At(5); }
    int Block() const { return At(6); }
    int Length() const { return At(8); }
    int PayloadByte(int i) const { return At(9 + i); }
};

class SimProcess {
public:
    // arguments: what follows --link and --log, e.g. {"--fast", "--device", "3:1"}.
    explicit SimProcess(const QStringList& arguments) {
        EnsureApplication();
        if (!m_dir.isValid()) {
            return;
        }
        m_link = m_dir.filePath(QStringLiteral("line"));
        m_log = m_dir.filePath(QStringLiteral("frames.log"));
        QStringList all{QStringLiteral("--link"), m_link, QStringLiteral("--log"), m_log};
        all += arguments;
        m_process.setProgram(QStringLiteral(SONVEX_BIN_DIR "/sonvex-sim"));
        m_process.setArguments(all);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start();
        // The simulator prints its terminal once the link is in place.
        m_started = m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000) &&
                    QFile::exists(m_link);
    }

    ~SimProcess() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(3000);
            }
        }
    }

    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return m_started; }
    QString Link() const { return m_link; }
    QString LogPath() const { return m_log; }

    // Frames logged so far, from index from on (the frames, not the note lines).
    std::vector<LoggedFrame> Frames(std::size_t from = 0) const {
        std::vector<LoggedFrame> frames;
        QFile file(m_log);
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
    QTemporaryDir m_dir;
    QString m_link;
    QString m_log;
    QProcess m_process;
    bool m_started = false;
};

} // namespace controltest
