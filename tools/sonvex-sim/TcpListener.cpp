#include "TcpListener.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

TcpListener::~TcpListener() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

bool TcpListener::ParseAddress(const std::string& text, std::string& host, int& port) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) {
        return false;
    }
    const std::string portText = text.substr(colon + 1);
    if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    port = std::stoi(portText);
    host = text.substr(0, colon);
    in_addr address{};
    return port <= 65535 && inet_pton(AF_INET, host.c_str(), &address) == 1;
}

bool TcpListener::Listen(const std::string& text, std::string& error) {
    std::string host;
    int port = 0;
    if (!ParseAddress(text, host, port)) {
        error = "--tcp: '" + text + "' is not ADDRESS:PORT (an IPv4 address, PORT 0..65535)";
        return false;
    }
    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int on = 1;
    setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_fd, 4) != 0) {
        error = "--tcp " + text + ": " + std::strerror(errno);
        return false;
    }
    socklen_t length = sizeof address;
    getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
    m_address = host + ":" + std::to_string(ntohs(address.sin_port));
    return true;
}

int TcpListener::Accept(int listenFd) {
    const int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
        // Answers are small and go out at once, as on the serial line.
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    return fd;
}
