#include "Pty.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

Pty::~Pty() {
    Unlink();
    if (m_slave >= 0) {
        close(m_slave);
    }
    if (m_master >= 0) {
        close(m_master);
    }
}

bool Pty::Open(std::string& error) {
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        error = Reason("posix_openpt");
        return false;
    }
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        error = Reason("grantpt/unlockpt");
        return false;
    }
    const char* name = ptsname(m_master);
    if (name == nullptr) {
        error = Reason("ptsname");
        return false;
    }
    m_slavePath = name;
    m_slave = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        error = Reason("open slave");
        return false;
    }
    termios settings{};
    if (tcgetattr(m_slave, &settings) != 0) {
        error = Reason("tcgetattr");
        return false;
    }
    cfmakeraw(&settings);
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    if (tcsetattr(m_slave, TCSANOW, &settings) != 0) {
        error = Reason("tcsetattr");
        return false;
    }
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = Reason("fcntl");
        return false;
    }
    return true;
}

bool Pty::Link(const std::string& path, std::string& error) {
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            error = path + " exists and is not a symbolic link";
            return false;
        }
        if (unlink(path.c_str()) != 0) {
            error = Reason(("unlink " + path).c_str());
            return false;
        }
    }
    if (symlink(m_slavePath.c_str(), path.c_str()) != 0) {
        error = Reason(("symlink " + path).c_str());
        return false;
    }
    m_linkPath = path;
    return true;
}

void Pty::Unlink() {
    if (m_linkPath.empty()) {
        return;
    }
    std::vector<char> target(4096);
    const ssize_t length = readlink(m_linkPath.c_str(), target.data(), target.size() - 1);
    if (length > 0 && std::string(target.data(), static_cast<std::size_t>(length)) == m_slavePath) {
        unlink(m_linkPath.c_str());
    }
    m_linkPath.clear();
}
