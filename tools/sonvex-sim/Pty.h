#pragma once

#include <string>

// A pseudo-terminal whose slave side looks like a serial port to a program that opens it. The
// master side is non-blocking. The slave stays open here as well, in raw mode, so that the line
// neither echoes nor hangs up when the program using it closes and opens it again.
class Pty {
public:
    Pty() = default;
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Opens the pair; false with a message in error on failure.
    bool Open(std::string& error);
    int MasterFd() const { return m_master; }
    const std::string& SlavePath() const { return m_slavePath; }

    // Makes a symbolic link to the slave; an existing symbolic link is replaced, anything else
    // at that path is left alone (false).
    bool Link(const std::string& path, std::string& error);
    // Removes the link if it still points to this terminal.
    void Unlink();

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    std::string m_linkPath;
};
