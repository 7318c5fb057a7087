#pragma once

#include <string>

// The simulator's raw TCP port: a listening socket on an IPv4 address (port 0 takes a free
// one), non-blocking, for one connection at a time.
class TcpListener {
public:
    TcpListener() = default;
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // Splits "HOST:PORT" (HOST an IPv4 address, PORT 0..65535); false when it is not that.
    static bool ParseAddress(const std::string& text, std::string& host, int& port);
    // Listens on address ("127.0.0.1:0"); false with a message in error on failure.
    bool Listen(const std::string& address, std::string& error);
    int Fd() const { return m_fd; }
    // "HOST:PORT" actually listened on (the port chosen by the system for port 0).
    const std::string& Address() const { return m_address; }
    // A waiting connection on the listening socket fd, non-blocking, or -1.
    static int Accept(int fd);

private:
    int m_fd = -1;
    std::string m_address;
};
