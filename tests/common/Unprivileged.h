#pragma once

// A refused open can only be shown to a user the refusal applies to. Root may open any device
// and is not kept out of a line held with TIOCEXCL, so when the tests run as root the side that
// opens the port runs in a child process as the user nobody; otherwise it runs as the test's
// own user.

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

class Unprivileged {
public:
    Unprivileged() {
        if (geteuid() != 0) {
            return;
        }
        m_needed = true;
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr) {
            m_why = "the tests run as root and there is no user nobody to open ports as";
            return;
        }
        m_uid = nobody->pw_uid;
        m_gid = nobody->pw_gid;
        // Try it once in a child: a container may refuse to change the user.
        const pid_t child = fork();
        if (child == 0) {
            _exit(Become() ? 0 : 1);
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            m_why = "the tests run as root and may not switch to the user nobody";
        }
    }

    // True when the tests run as root, so that the child becomes nobody.
    bool Switches() const { return m_needed; }
    // False (see Why) when running as root and the switch is not possible.
    bool Usable() const { return m_why.empty(); }
    const std::string& Why() const { return m_why; }

    // Makes the calling process (a child after fork) the unprivileged user; only system calls
    // that are safe between fork and exec. True at once when no switch is needed.
    bool Become() const {
        if (!m_needed) {
            return true;
        }
        return setgroups(0, nullptr) == 0 && setgid(m_gid) == 0 && setuid(m_uid) == 0;
    }

private:
    bool m_needed = false;
    uid_t m_uid = 0;
    gid_t m_gid = 0;
    std::string m_why;
};
