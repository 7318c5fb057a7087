// Why a port that exists could not be opened: the texts for each permission situation, and the
// serial port telling a refused device from one held by another program on real
// pseudo-terminals.

#include "common/PseudoTerminal.h"
#include "common/TestApplication.h"
#include "common/Unprivileged.h"
#include "line/PortAccess.h"
#include "line/SerialPort.h"

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using PortAccess::PermissionFacts;

PermissionFacts Facts(unsigned mode, bool owner, bool inGroupNow, bool inGroupDatabase) {
    PermissionFacts facts;
    facts.path = QStringLiteral("/dev/ttyUSB0");
    facts.userName = QStringLiteral("anna");
    facts.ownerName = QStringLiteral("root");
    facts.groupName = QStringLiteral("dialout");
    facts.groupId = 20;
    facts.mode = mode;
    facts.userIsOwner = owner;
    facts.inGroupNow = inGroupNow;
    facts.inGroupDatabase = inGroupDatabase;
    return facts;
}

TEST(PortAccessHint, NamesTheFixThatHelpsInEachSituation) {
    const unsigned groupRw = S_IFCHR | 0660;
    const unsigned ownerOnly = S_IFCHR | 0600;
    struct Case {
        const char* name;
        PermissionFacts facts;
        std::vector<const char*> says;
        std::vector<const char*> doesNotSay;
    };
    const std::vector<Case> cases{
        {"not in the device's group",
         Facts(groupRw, false, false, false),
         {"Permission denied: /dev/ttyUSB0 belongs to the group dialout",
          "user anna is not in that group", "sudo usermod -aG dialout $USER",
          "log out and log in again"},
         {"administrator"}},
        {"added to the group, this login older",
         Facts(groupRw, false, false, true),
         {"belongs to the group dialout", "User anna has been added", "Log out and log in again"},
         {"usermod"}},
        {"the group may not use the device",
         Facts(ownerOnly, false, false, false),
         {"Permission denied: /dev/ttyUSB0 (crw------- root dialout)",
          "may not be read and written by user anna", "administrator",
          "sudo usermod -aG dialout $USER", "log in again"},
         {"belongs to"}},
        {"in the group, which may not use it",
         Facts(ownerOnly, false, true, true),
         {"(crw------- root dialout)", "administrator"},
         {"usermod"}},
        {"root's group is never to be joined",
         [] {
             PermissionFacts facts = Facts(groupRw, false, false, false);
             facts.groupName = QStringLiteral("root");
             facts.groupId = 0;
             return facts;
         }(),
         {"(crw-rw---- root root)", "administrator", "a group such as dialout",
          "sudo usermod -aG dialout $USER"},
         {"-aG root"}},
        {"the owner's own bits refuse",
         Facts(S_IFCHR | 0060, true, false, false),
         {"(c---rw---- root dialout)", "administrator"},
         {"belongs to"}},
    };
    for (const Case& c : cases) {
        const std::string hint = PortAccess::PermissionHint(c.facts).toStdString();
        for (const char* text : c.says) {
            EXPECT_NE(hint.find(text), std::string::npos) << c.name << ": " << hint;
        }
        for (const char* text : c.doesNotSay) {
            EXPECT_EQ(hint.find(text), std::string::npos) << c.name << ": " << hint;
        }
    }
}

TEST(PortAccessHint, BusyNamesTheHoldersItCanSee) {
    EXPECT_EQ(PortAccess::BusyHint({}),
              "The port is in use by another program.\n"
              "Close that program, or let it release the port, and try again.");
    EXPECT_TRUE(PortAccess::BusyHint({"minicom, process 42", "sonvex, process 7"})
                    .startsWith("The port is in use by another program (minicom, process 42; "
                                "sonvex, process 7).\n"));
}

TEST(PortAccessHint, ModeReadsLikeAListing) {
    EXPECT_EQ(PortAccess::ModeText(S_IFCHR | 0660), "crw-rw----");
    EXPECT_EQ(PortAccess::ModeText(S_IFCHR), "c---------");
    EXPECT_EQ(PortAccess::ModeText(S_IFREG | 0754), "-rwxr-xr--");
}

TEST(PortAccessLock, LockFileOfADeviceIsFoundAndRead) {
    const QString lock = PortAccess::LockFileOf(QStringLiteral("/dev/pts/7"));
    EXPECT_TRUE(lock.endsWith(QStringLiteral("/LCK..pts_7"))) << lock.toStdString();
    EXPECT_TRUE(PortAccess::LockFileOf(QStringLiteral("/dev/ttyUSB0"))
                    .endsWith(QStringLiteral("/LCK..ttyUSB0")));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString written = dir.filePath(QStringLiteral("LCK..ttyS0"));
    QFile file(written);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("4242\nsonvex-cli\nvm\n0123\n4567\n");
    file.close();
    const PortAccess::LockOwner owner = PortAccess::ReadLockFile(written);
    EXPECT_EQ(owner.pid, 4242);
    EXPECT_EQ(owner.program, "sonvex-cli");
    EXPECT_EQ(PortAccess::ReadLockFile(dir.filePath(QStringLiteral("missing"))).pid, 0);

    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("garbage\n");
    file.close();
    EXPECT_EQ(PortAccess::ReadLockFile(written).pid, 0);

    EXPECT_EQ(PortAccess::LeftLockHint(QStringLiteral("/var/lock/LCK..ttyS0"),
                                       QStringLiteral("sonvex-cli"), 4242),
              "The port is locked by /var/lock/LCK..ttyS0, which sonvex-cli (process 4242) left "
              "behind: that program no longer runs, but the lock belongs to another user.\n"
              "Remove it (for example: sudo rm /var/lock/LCK..ttyS0) and try again.");
}

// What an open in another process found.
struct ChildOpen {
    LineStatus code = LineStatus::IoError;
    std::string reason;
};

// Opens path with a SerialPort in a child process that runs as user (see Unprivileged).
ChildOpen OpenInChild(const std::string& path, const Unprivileged& user) {
    int channel[2];
    if (pipe(channel) != 0) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (!user.Become()) {
            _exit(3);
        }
        SerialPort port;
        const LineStatus code = port.Open(path);
        const std::string report =
            std::to_string(static_cast<int>(code)) + '\n' + port.OpenFailureReason();
        const bool sent =
            write(channel[1], report.data(), report.size()) == static_cast<ssize_t>(report.size());
        // _exit runs no destructors: closing here takes the port's lock file away with it.
        port.Close();
        _exit(sent ? 0 : 4);
    }
    close(channel[1]);
    std::string report;
    char chunk[512];
    ssize_t n = 0;
    while ((n = read(channel[0], chunk, sizeof chunk)) > 0) {
        report.append(chunk, static_cast<std::size_t>(n));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    ChildOpen result;
    const std::size_t end = report.find('\n');
    if (end != std::string::npos) {
        result.code = static_cast<LineStatus>(std::stoi(report.substr(0, end)));
        result.reason = report.substr(end + 1);
    }
    return result;
}

std::string GroupOf(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return "?";
    }
    const group* entry = getgrgid(info.st_gid);
    return entry != nullptr ? entry->gr_name : std::to_string(info.st_gid);
}

// A lock file written for a device as QLockFile writes it, removed again at the end.
class LockFileFor {
public:
    LockFileFor(const std::string& device, long pid, const std::string& program)
        : m_path(PortAccess::LockFileOf(QString::fromStdString(device))) {
        QFile file(m_path);
        m_written =
            file.open(QIODevice::NewOnly) &&
            file.write(QByteArray::fromStdString(std::to_string(pid) + '\n' + program + "\nvm\n")) >
                0;
    }
    ~LockFileFor() {
        if (m_written) {
            QFile::remove(m_path);
        }
    }
    LockFileFor(const LockFileFor&) = delete;
    LockFileFor& operator=(const LockFileFor&) = delete;

    bool Written() const { return m_written; }
    const QString& Path() const { return m_path; }

private:
    QString m_path;
    bool m_written = false;
};

// A child process that waits until it is ended; the program it runs is this test's.
class WaitingChild {
public:
    WaitingChild() : m_pid(fork()) {
        if (m_pid == 0) {
            for (;;) {
                pause();
            }
        }
    }
    ~WaitingChild() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    WaitingChild(const WaitingChild&) = delete;
    WaitingChild& operator=(const WaitingChild&) = delete;

    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid;
};

// A pid that no process has: a child that has ended and been reaped.
pid_t GonePid() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

std::string ProgramName() {
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")))
        .fileName()
        .toStdString();
}

class PortAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        ASSERT_TRUE(m_pty.Valid()) << "no pseudo-terminal available";
    }

    const std::string& Slave() const { return m_pty.SlavePath(); }
    std::string OpeningUser() const {
        const passwd* entry = getpwuid(m_user.Switches() ? getpwnam("nobody")->pw_uid : geteuid());
        return entry != nullptr ? entry->pw_name : "?";
    }

    PseudoTerminal m_pty;
    Unprivileged m_user;
};

TEST_F(PortAccessTest, UnreadableDeviceIsExplainedWithItsOwnerAndGroup) {
    if (!m_user.Usable()) {
        GTEST_SKIP() << m_user.Why();
    }
    ASSERT_EQ(chmod(Slave().c_str(), 0), 0);
    const ChildOpen opened = OpenInChild(Slave(), m_user);
    EXPECT_EQ(opened.code, LineStatus::AccessDenied);
    EXPECT_EQ(opened.reason.rfind("Permission denied: " + Slave() + " (c--------- ", 0), 0u)
        << opened.reason;
    EXPECT_NE(opened.reason.find(" " + GroupOf(Slave()) + ") may not be read and written by user " +
                                 OpeningUser() + ".\nAn administrator has to give"),
              std::string::npos)
        << opened.reason;
}

TEST_F(PortAccessTest, DeviceOfAGroupTheUserIsNotInGivesTheUsermodFix) {
    if (!m_user.Usable()) {
        GTEST_SKIP() << m_user.Why();
    }
    if (!m_user.Switches()) {
        GTEST_SKIP() << "needs a device of another user in another group (a test running as root "
                        "makes one and opens it as nobody)";
    }
    // A serial adapter as the system sets it up: root's, group dialout, rw for the group.
    const group* dialout = getgrnam("dialout");
    if (dialout == nullptr) {
        GTEST_SKIP() << "no group dialout on this system";
    }
    ASSERT_EQ(chown(Slave().c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(chmod(Slave().c_str(), 0660), 0);
    const ChildOpen opened = OpenInChild(Slave(), m_user);
    EXPECT_EQ(opened.code, LineStatus::AccessDenied);
    EXPECT_EQ(opened.reason, "Permission denied: " + Slave() +
                                 " belongs to the group dialout, and user nobody is not in that "
                                 "group.\n"
                                 "To allow it, run:  sudo usermod -aG dialout $USER\n"
                                 "then log out and log in again: the new group applies from the "
                                 "next login on.");
}

TEST_F(PortAccessTest, LineHeldByAnotherProgramIsExplained) {
    if (!m_user.Usable()) {
        GTEST_SKIP() << m_user.Why();
    }
    // Another program holds the line exclusively (TIOCEXCL), as terminal programs do.
    ASSERT_EQ(chmod(Slave().c_str(), 0666), 0);
    const int holder = open(Slave().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(ioctl(holder, TIOCEXCL), 0);
    const ChildOpen opened = OpenInChild(Slave(), m_user);
    EXPECT_NE(opened.code, LineStatus::Success);
    EXPECT_EQ(opened.reason.rfind("The port is in use by another program", 0), 0u) << opened.reason;
    if (!m_user.Switches()) {
        // The holder runs as the same user, so it can be named.
        EXPECT_NE(opened.reason.find("process " + std::to_string(getpid()) + ")"),
                  std::string::npos)
            << opened.reason;
    }

    // Once it lets go, the same open succeeds. (A pseudo-terminal keeps the exclusive mode
    // while its master is open, so the holder ends it before closing.)
    ASSERT_EQ(ioctl(holder, TIOCNXCL), 0);
    close(holder);
    EXPECT_EQ(OpenInChild(Slave(), m_user).code, LineStatus::Success);
}

TEST_F(PortAccessTest, LockLeftByAGoneProgramOfAnotherUserIsExplained) {
    if (!m_user.Usable()) {
        GTEST_SKIP() << m_user.Why();
    }
    if (!m_user.Switches()) {
        GTEST_SKIP() << "needs a lock file the opening user may not remove (a test running as "
                        "root leaves one and opens the port as nobody)";
    }
    ASSERT_EQ(chmod(Slave().c_str(), 0666), 0);
    const pid_t gone = GonePid();
    const LockFileFor lock(Slave(), gone, "sonvex-cli");
    ASSERT_TRUE(lock.Written()) << lock.Path().toStdString();
    const ChildOpen opened = OpenInChild(Slave(), m_user);
    EXPECT_EQ(opened.code, LineStatus::AccessDenied);
    EXPECT_EQ(
        opened.reason.rfind(
            PortAccess::LeftLockHint(lock.Path(), QStringLiteral("sonvex-cli"), gone).toStdString(),
            0),
        0u)
        << opened.reason;
}

TEST_F(PortAccessTest, LockOfARunningProgramKeepsThePortAndNamesIt) {
    // A lock file names a running process of this very program, as when the pid of a run that
    // ended with the port open went to another run: the lock counts as held, for any user.
    const WaitingChild holder;
    ASSERT_GT(holder.Pid(), 0);
    const LockFileFor lock(Slave(), holder.Pid(), ProgramName());
    ASSERT_TRUE(lock.Written()) << lock.Path().toStdString();
    SerialPort port;
    EXPECT_EQ(port.Open(Slave()), LineStatus::AccessDenied);
    EXPECT_EQ(port.OpenFailureReason().rfind(
                  PortAccess::BusyHint({QStringLiteral("%1, process %2")
                                            .arg(QString::fromStdString(ProgramName()))
                                            .arg(holder.Pid())})
                      .toStdString(),
                  0),
              0u)
        << port.OpenFailureReason();
}

TEST_F(PortAccessTest, LineLockedByAnotherSerialPortIsExplained) {
    SerialPort first;
    ASSERT_EQ(first.Open(Slave()), LineStatus::Success);
    SerialPort second;
    EXPECT_EQ(second.Open(Slave()), LineStatus::AccessDenied);
    // The holder is this process, which is not listed as another program.
    EXPECT_EQ(second.OpenFailureReason(), PortAccess::BusyHint({}).toStdString());

    // Once it is free the open succeeds and the reason is gone.
    first.Close();
    EXPECT_EQ(second.Open(Slave()), LineStatus::Success);
    EXPECT_EQ(second.OpenFailureReason(), "");

    // A missing device has nothing to add.
    SerialPort third;
    EXPECT_EQ(third.Open(Slave() + "-missing"), LineStatus::NoSuchDevice);
    EXPECT_EQ(third.OpenFailureReason(), "");
}

} // namespace
