#pragma once

// Runs build/bin/sonvex-sim as a child process on its own pseudo-terminal, reachable through a
// symbolic link in a private temporary directory. The destructor stops the child, waits for it
// and removes everything it made.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    static std::string Binary() { return std::string(SONVEX_BIN_DIR) + "/sonvex-sim"; }

    // Starts the simulator with the given options plus --link, --log and (unless paced) --fast;
    // false (with a reason) when it does not come up within a few seconds.
    bool Start(const std::vector<std::string>& options, std::string& error, bool fast = true) {
        if (!m_dir.isValid()) {
            error = "no temporary directory";
            return false;
        }
        m_link = m_dir.filePath("line").toStdString();
        std::vector<std::string> args = {Binary(), "--link", m_link, "--log", LogPath()};
        if (fast) {
            args.push_back("--fast");
        }
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);

        const std::string out = m_dir.filePath("stdout.txt").toStdString();
        const std::string err = m_dir.filePath("stderr.txt").toStdString();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0644);
        const int spawned = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            m_pid = -1;
            error = "cannot start " + Binary();
            return false;
        }
        for (int waited = 0; waited < 5000; waited += 10) {
            struct stat info {};
            if (lstat(m_link.c_str(), &info) == 0) {
                return true;
            }
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                error = "sonvex-sim ended at once: " + Stderr();
                return false;
            }
            QThread::msleep(10);
        }
        error = "sonvex-sim made no link";
        return false;
    }

    const std::string& LinkPath() const { return m_link; }
    // A path inside the private temporary directory.
    std::string FilePath(const std::string& name) const {
        return m_dir.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string LogPath() const { return m_dir.filePath("frames.log").toStdString(); }
    std::string Log() const { return Read(LogPath()); }
    std::string Stderr() const { return Read(m_dir.filePath("stderr.txt").toStdString()); }

    // Ends the child with SIGTERM (SIGKILL if it does not go) and returns its exit status, or
    // -1 when it had to be killed or was not running.
    int Stop() {
        if (m_pid <= 0) {
            return -1;
        }
        kill(m_pid, SIGTERM);
        int status = 0;
        for (int waited = 0; waited < 5000; waited += 10) {
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            QThread::msleep(10);
        }
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        return -1;
    }

private:
    static std::string Read(const std::string& path) {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return file.readAll().toStdString();
    }

    QTemporaryDir m_dir; // removed with everything in it
    std::string m_link;
    pid_t m_pid = -1;
};
