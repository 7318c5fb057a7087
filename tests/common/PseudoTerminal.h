#pragma once

// A pseudo-terminal pair for the serial tests: the test holds the master side and plays the
// device, the port under test opens the slave side.

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
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        if (const char* name = ptsname(m_master))
            m_slavePath = name;
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

private:
    int m_master = -1;
    std::string m_slavePath;
};
