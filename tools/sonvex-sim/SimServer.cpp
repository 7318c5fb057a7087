#include "SimServer.h"

#include "TcpListener.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Memory is written this long after the line went quiet.
constexpr auto kSaveDelay = 300ms;
// Output the PC does not take for this long is thrown away, as a line would lose it.
constexpr auto kBlockedLimit = 2s;

int CeilMs(SimServer::Clock::duration d) {
    if (d <= SimServer::Clock::duration::zero()) {
        return 0;
    }
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(d).count());
}

} // namespace

SimServer::SimServer(SimLine& line, const SimOptions& options, FrameLog& log)
    : m_line(line), m_options(options), m_log(log), m_pacer(options.fast, options.faults) {}

int SimServer::Run(int masterFd, volatile std::sig_atomic_t& stop) {
    m_masterFd = masterFd;
    m_outFd = masterFd;
    while (stop == 0) {
        pollfd fds[2]{};
        fds[0].fd = masterFd;
        fds[0].events = POLLIN | (m_blocked && m_outFd == masterFd ? POLLOUT : 0);
        // One connection at a time; the next one waits until it has gone.
        fds[1].fd = m_clientFd >= 0 ? m_clientFd : m_listenFd;
        fds[1].events = POLLIN | (m_blocked && m_outFd == m_clientFd ? POLLOUT : 0);
        const nfds_t count = fds[1].fd >= 0 ? 2 : 1;
        const int ready = poll(fds, count, TimeoutMs());
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::cerr << "sonvex-sim: poll: " << std::strerror(errno) << '\n';
            return 1;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            Receive(masterFd);
        }
        if (count == 2 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            if (m_clientFd < 0) {
                Accept();
            } else if (!Receive(m_clientFd)) {
                DropClient("connection closed");
            }
        }
        const auto now = Clock::now();
        if (m_line.HasPartialFrame() && m_pacer.FrameGapPassed(now)) {
            m_log.Note("gap on the line: partly received frame dropped");
            Answer(m_line.Expire());
        }
        if (!SendDue()) {
            return 1;
        }
        if (!m_stateFiles.empty() && now - m_pacer.LastReceived() >= kSaveDelay) {
            SaveStates();
        }
    }
    return 0;
}

int SimServer::TimeoutMs() const {
    const auto now = Clock::now();
    int timeout = 500;
    if (m_pacer.HasOutput()) {
        timeout = std::min(timeout, m_blocked ? 10 : CeilMs(m_pacer.NextDue() - now));
    }
    if (m_line.HasPartialFrame()) {
        timeout = std::min(timeout, CeilMs(m_pacer.LastReceived() + SimPacer::kFrameGap - now));
    }
    return std::max(timeout, 0);
}

void SimServer::Accept() {
    m_clientFd = TcpListener::Accept(m_listenFd);
    if (m_clientFd >= 0) {
        m_log.Note("tcp connection accepted");
    }
}

void SimServer::DropClient(const char* why) {
    if (m_clientFd < 0) {
        return;
    }
    m_log.Note(std::string("tcp ") + why);
    close(m_clientFd);
    if (m_outFd == m_clientFd) {
        // Answers on their way to the connection have nowhere to go.
        m_pacer.ClearOutput();
        m_blocked = false;
        m_outFd = m_masterFd;
    }
    m_clientFd = -1;
}

bool SimServer::Receive(int fd) {
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count == 0 && fd != m_masterFd) {
            return false; // the other end closed the connection
        }
        if (count < 0 && fd != m_masterFd && errno != EAGAIN && errno != EINTR) {
            return false; // reset by the other end
        }
        if (count <= 0) {
            return true; // EAGAIN: all read; EIO cannot happen while the slave side is held open
        }
        if (fd != m_outFd) {
            // The answers follow whoever speaks.
            m_pacer.ClearOutput();
            m_blocked = false;
            m_outFd = fd;
        }
        m_pacer.Received(static_cast<std::size_t>(count), Clock::now());
        Answer(m_line.Feed(buffer, static_cast<std::size_t>(count)));
    }
}

void SimServer::Answer(const std::vector<SimExchange>& exchanges) {
    for (const SimExchange& exchange : exchanges) {
        std::string note;
        if (!exchange.valid) {
            note = "bad frame, ignored";
        } else if (exchange.responderId == 0) {
            note = "no device with this ID";
        } else if (exchange.replies.empty()) {
            note = "not accepted by device " + std::to_string(exchange.responderId);
        } else if (exchange.forgotten) {
            note = "acknowledged, not kept: fault injection";
        } else if (exchange.collided) {
            note =
                "devices sharing ID " + std::to_string(exchange.responderId) + " answered together";
        }
        m_log.Frame("in", exchange.request, note);
        for (std::size_t i = 0; i < exchange.replies.size(); ++i) {
            // A further message after the answer (the identification) comes a moment later,
            // as its own burst on the line.
            Schedule(exchange.replies[i], i == 0 ? 0ms : SimPacer::kFollowUpGap);
        }
    }
}

void SimServer::Schedule(const std::vector<std::uint8_t>& frame, Clock::duration delay) {
    if (!m_pacer.Schedule(frame, delay, Clock::now())) {
        m_log.Frame("out", frame, "not sent: fault injection");
    }
}

bool SimServer::SendDue() {
    const int fd = m_outFd;
    while (m_pacer.HasOutput()) {
        const SimPacer::Outgoing& head = m_pacer.Head();
        const auto now = Clock::now();
        if (now < head.start) {
            return true;
        }
        const std::size_t due = m_pacer.DueBytes(now);
        if (!m_pacer.IsFast() && due == 0) {
            return true;
        }
        if (head.sent == 0) {
            if (!head.frame.empty()) {
                m_log.Frame("out", head.frame, head.note);
            } else if (!head.note.empty()) {
                m_log.Note("out " + head.note);
            }
        }
        const ssize_t written = write(fd, head.bytes.data() + head.sent, due);
        if (written < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                if (!m_blocked) {
                    m_blocked = true;
                    m_blockedSince = now;
                } else if (now - m_blockedSince > kBlockedLimit) {
                    m_log.Note("nobody reads the line: pending answers dropped");
                    m_pacer.ClearOutput();
                    m_blocked = false;
                }
                return true;
            }
            if (errno == EINTR) {
                continue;
            }
            if (fd == m_clientFd) {
                DropClient("connection failed");
                return true;
            }
            std::cerr << "sonvex-sim: write: " << std::strerror(errno) << '\n';
            return false;
        }
        m_blocked = false;
        m_pacer.Sent(static_cast<std::size_t>(written));
    }
    return true;
}

bool SimServer::SaveStates() {
    bool ok = true;
    for (std::size_t i = 0; i < m_stateFiles.size() && i < m_line.DeviceCount(); ++i) {
        SimDevice& device = m_line.Device(i);
        if (!device.IsDirty()) {
            continue;
        }
        const std::string& path = m_stateFiles[i];
        const std::string temporary = path + ".tmp";
        {
            std::ofstream out(temporary, std::ios::trunc);
            out << device.SaveState();
            if (!out.flush()) {
                std::cerr << "sonvex-sim: cannot write " << temporary << '\n';
                ok = false;
                continue;
            }
        }
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            std::cerr << "sonvex-sim: cannot write " << path << '\n';
            ok = false;
            continue;
        }
        device.ClearDirty();
    }
    return ok;
}
