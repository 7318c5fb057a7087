// sonvex-cli on a port that exists but cannot be opened: the usual line first, then why and
// what to do, for a port held by another program and one the user may not open.

#include "common/PseudoTerminal.h"
#include "common/Unprivileged.h"
#include "tools/CliRunner.h"

#include "link/SerialPort.h"

#include <QFile>

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
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

TEST(CliPortAccess, PortHeldByAnotherProgramNamesIt) {
    EnsureApplication();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Valid());
    const QString slave = QString::fromStdString(pty.SlavePath());
    SerialPort holder; // this test holds the line, as another panel would
    ASSERT_EQ(holder.Open(pty.SlavePath()), ISerialLine::kSuccess);

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

    const CliResult result = RunCli({"info", "--port", slave}, 120000, [&user] {
        if (!user.Become()) {
            _exit(77);
        }
    });
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
