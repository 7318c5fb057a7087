// sonvex-cli on a port that exists but cannot be opened: the usual line first, then why and
// what to do, for a port held by another program and one the user may not open.

#include "common/PseudoTerminal.h"
#include "common/Unprivileged.h"
#include "tools/CliRunner.h"

#include "line/SerialPort.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using clitest::CliResult;
using clitest::RunCli;

namespace {

QString GroupOf(const QString& path) {
    struct stat info {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0) {
        return QStringLiteral("?");
    }
    const group* entry = getgrgid(info.st_gid);
    return entry != nullptr ? QString::fromLocal8Bit(entry->gr_name) : QString::number(info.st_gid);
}

QString OwnName() {
    QFile comm(QStringLiteral("/proc/self/comm"));
    return comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll()).trimmed()
                                          : QString();
}

// The sonvex-cli that user may run. Switching to nobody, the build's own may lie where nobody
// may not enter (a clone in a 0700 home or a mktemp -d folder, and each test's temporary folder
// is private too), so a copy is made in a folder that everyone may enter: the first of the
// system's temporary folders from which nobody can run it.
class ProgramForUser {
public:
    explicit ProgramForUser(const Unprivileged& user) {
        if (!user.Switches()) {
            m_program = clitest::CliProgram();
            return;
        }
        for (const QString& parent : {QStringLiteral("/tmp"), QStringLiteral("/var/tmp")}) {
            auto folder = std::make_unique<QTemporaryDir>(parent + "/sonvex-cli-XXXXXX");
            const QString copy = folder->filePath(QStringLiteral("sonvex-cli"));
            if (!folder->isValid() || !QFile::copy(clitest::CliProgram(), copy) ||
                chmod(QFile::encodeName(folder->path()).constData(), 0755) != 0 ||
                chmod(QFile::encodeName(copy).constData(), 0755) != 0 || !UserMayRun(user, copy)) {
                continue;
            }
            m_folder = std::move(folder);
            m_program = copy;
            return;
        }
        m_why = "no folder from which the user nobody may run a copy of sonvex-cli "
                "(tried /tmp and /var/tmp)";
    }

    // Empty when there is none (see Why).
    const QString& Program() const { return m_program; }
    const std::string& Why() const { return m_why; }

private:
    static bool UserMayRun(const Unprivileged& user, const QString& path) {
        const QByteArray file = QFile::encodeName(path);
        const pid_t child = fork();
        if (child == 0) {
            _exit(user.Become() && access(file.constData(), X_OK) == 0 ? 0 : 1);
        }
        int status = 0;
        return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
    }

    std::unique_ptr<QTemporaryDir> m_folder; // removed with the copy
    QString m_program;
    std::string m_why;
};

TEST(CliPortAccess, PortHeldByAnotherProgramNamesIt) {
    EnsureApplication();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Valid());
    const QString slave = QString::fromStdString(pty.SlavePath());
    SerialPort holder; // this test holds the line, as another panel would
    ASSERT_EQ(holder.Open(pty.SlavePath()), LineStatus::Success);

    for (const QStringList& arguments :
         {QStringList{"info", "--port", slave}, QStringList{"search", "--port", slave}}) {
        const CliResult result = RunCli(arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.ErrLines(),
                  QStringList({"sonvex-cli: Unable to open COM-port: " + slave,
                               QStringLiteral("The port is in use by another program (%1, "
                                              "process %2).")
                                   .arg(OwnName())
                                   .arg(getpid()),
                               "Close that program, or let it release the port, and try again."}))
            << result.err.toStdString();
    }
}

TEST(CliPortAccess, PortTheUserMayNotOpenGivesTheFix) {
    EnsureApplication();
    const Unprivileged user;
    if (!user.Usable()) {
        GTEST_SKIP() << user.Why();
    }
    const ProgramForUser program(user);
    if (program.Program().isEmpty()) {
        GTEST_SKIP() << program.Why();
    }
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Valid());
    const QString slave = QString::fromStdString(pty.SlavePath());
    const group* dialout = getgrnam("dialout");
    // As root the terminal becomes what a serial adapter is, root's with the group dialout
    // (read and write for the group), and sonvex-cli runs as nobody. As its owner only taking
    // every bit away keeps the user out.
    const bool adapter = user.Switches() && dialout != nullptr;
    if (adapter) {
        ASSERT_EQ(chown(pty.SlavePath().c_str(), 0, dialout->gr_gid), 0);
    }
    ASSERT_EQ(chmod(pty.SlavePath().c_str(), adapter ? 0660 : 0), 0);

    const CliResult result = RunCli(
        {"info", "--port", slave}, 120000,
        [&user] {
            if (!user.Become()) {
                _exit(77);
            }
        },
        program.Program());
    ASSERT_NE(result.exitCode, 77) << "could not switch the user";
    EXPECT_EQ(result.exitCode, 1);
    const QStringList lines = result.ErrLines();
    ASSERT_GE(lines.size(), 3) << result.err.toStdString();
    EXPECT_EQ(lines[0], "sonvex-cli: Unable to open COM-port: " + slave);
    EXPECT_TRUE(lines[1].startsWith("Permission denied: " + slave)) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(GroupOf(slave))) << lines[1].toStdString();
    if (adapter) {
        EXPECT_EQ(lines.mid(1),
                  QStringList({"Permission denied: " + slave +
                                   " belongs to the group dialout, and user nobody is not in "
                                   "that group.",
                               "To allow it, run:  sudo usermod -aG dialout $USER",
                               "then log out and log in again: the new group applies from the "
                               "next login on."}));
    } else {
        EXPECT_TRUE(lines[2].startsWith("An administrator has to give"))
            << result.err.toStdString();
    }
}

} // namespace
