#pragma once

// A pseudo-terminal pair for the serial tests: the test holds the master side and plays the
// device, the port under test opens the slave side.
//
// Pseudo-terminal numbers are handed out again as soon as one is closed, and a serial lock file
// (LCK..pts_N) outlives a process that ended with the port open. Such a file keeps out an
// unprivileged user who may not remove it, and any user while the process it names seems to run
// (its pid taken by another run of the same program). So a terminal whose number has a lock
// file is passed over: the pair is always one no one has locked.

#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

// The master side of a pseudo-terminal pair; the slave stays closed until the port opens it.
class PseudoTerminal {
public:
    using Bytes = std::vector<std::uint8_t>;

    PseudoTerminal() {
        // The passed-over terminals stay open until a free one is found, so that it has
        // another number.
        std::vector<int> locked;
        for (int attempt = 0; attempt < 32 && Open() && HasLockFile(m_slavePath); ++attempt) {
            locked.push_back(m_master);
            m_master = -1;
            m_slavePath.clear();
        }
        for (const int fd : locked)
            ::close(fd);
        if (!m_slavePath.empty() && HasLockFile(m_slavePath))
            CloseMaster();
    }
    ~PseudoTerminal() { CloseMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Valid() const { return m_master >= 0 && !m_slavePath.empty(); }
    const std::string& SlavePath() const { return m_slavePath; }

    void Send(const Bytes& bytes) {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }

    // Collects what the port sent until count bytes are in or the time is up.
    Bytes Receive(std::size_t count, int timeoutMs = 2000) {
        Bytes result;
        QDeadlineTimer deadline(timeoutMs);
        while (result.size() < count && !deadline.hasExpired()) {
            pollfd fd{m_master, POLLIN, 0};
            if (poll(&fd, 1, static_cast<int>(deadline.remainingTime())) <= 0)
                break;
            std::uint8_t chunk[4096];
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n <= 0)
                break;
            result.insert(result.end(), chunk, chunk + n);
        }
        return result;
    }

    void CloseMaster() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    // Whether a serial lock file names the terminal at path in one of the lock folders.
    static bool HasLockFile(const std::string& path) {
        std::string name = path.rfind("/dev/", 0) == 0 ? path.substr(5) : path;
        for (char& c : name) {
            if (c == '/')
                c = '_';
        }
        for (const char* dir : {"/var/lock", "/run/lock", "/etc/locks", "/var/spool/locks",
                                "/var/spool/uucp", "/tmp", "/var/tmp", "/var/lock/lockdev"}) {
            if (::access((std::string(dir) + "/LCK.." + name).c_str(), F_OK) == 0)
                return true;
        }
        return false;
    }

private:
    bool Open() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            CloseMaster();
            return false;
        }
        const char* name = ptsname(m_master);
        if (name == nullptr) {
            CloseMaster();
            return false;
        }
        m_slavePath = name;
        return true;
    }

    int m_master = -1;
    std::string m_slavePath;
};
