#include "line/PortAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>
#endif

namespace PortAccess {

QString PermissionHint(const PermissionFacts& facts) {
    const QString& group = facts.groupName;
    const bool joinable = facts.groupId != 0;
    const bool groupMayUse = (facts.mode & 0060) == 0060;
    if (!facts.userIsOwner && groupMayUse && joinable && !facts.inGroupNow) {
        const QString denied =
            QStringLiteral("Permission denied: %1 belongs to the group %2").arg(facts.path, group);
        if (facts.inGroupDatabase) {
            return denied + QStringLiteral(". User %1 has been added to that group, but this "
                                           "login started before that.\n"
                                           "Log out and log in again (or restart the computer) "
                                           "so that the new group applies.")
                                .arg(facts.userName);
        }
        return denied + QStringLiteral(", and user %1 is not in that group.\n"
                                       "To allow it, run:  sudo usermod -aG %2 $USER\n"
                                       "then log out and log in again: the new group applies "
                                       "from the next login on.")
                            .arg(facts.userName, group);
    }
    // Joining the group alone does not help: its permission bits or the owner's refuse, or the
    // device belongs to root's group.
    const QString denied =
        QStringLiteral("Permission denied: %1 (%2 %3 %4) may not be read and written by user %5.\n")
            .arg(facts.path, ModeText(facts.mode), facts.ownerName, group, facts.userName);
    if (!joinable) {
        return denied + QStringLiteral("An administrator has to give it to a group such as dialout "
                                       "with read and write access (for example with a udev "
                                       "rule);\nthen run:  sudo usermod -aG dialout $USER\n"
                                       "and log out and log in again.");
    }
    const QString fix = QStringLiteral("An administrator has to give its group %1 read and write "
                                       "access (for example with a udev rule)")
                            .arg(group);
    if (facts.inGroupNow) {
        return denied + fix + QLatin1Char('.');
    }
    return denied + fix +
           QStringLiteral(";\nthen run:  sudo usermod -aG %1 $USER\nand log out and log in again.")
               .arg(group);
}

QString BusyHint(const QStringList& holders) {
    const QString by = holders.isEmpty()
                           ? QString()
                           : QStringLiteral(" (%1)").arg(holders.join(QLatin1String("; ")));
    return QStringLiteral("The port is in use by another program%1.\n"
                          "Close that program, or let it release the port, and try again.")
        .arg(by);
}

QString LeftLockHint(const QString& lockPath, const QString& program, qint64 pid) {
    const QString who = program.isEmpty() ? QStringLiteral("process %1").arg(pid)
                                          : QStringLiteral("%1 (process %2)").arg(program).arg(pid);
    return QStringLiteral("The port is locked by %1, which %2 left behind: that program no longer "
                          "runs, but the lock belongs to another user.\n"
                          "Remove it (for example: sudo rm %1) and try again.")
        .arg(lockPath, who);
}

QString ModeText(unsigned mode) {
#ifdef Q_OS_UNIX
    QString text(10, QLatin1Char('-'));
    if (S_ISCHR(mode)) {
        text[0] = QLatin1Char('c');
    } else if (S_ISDIR(mode)) {
        text[0] = QLatin1Char('d');
    } else if (S_ISLNK(mode)) {
        text[0] = QLatin1Char('l');
    } else if (S_ISBLK(mode)) {
        text[0] = QLatin1Char('b');
    }
    const char letters[] = "rwx";
    for (int bit = 0; bit < 9; ++bit) {
        if ((mode & (0400u >> bit)) != 0) {
            text[bit + 1] = QLatin1Char(letters[bit % 3]);
        }
    }
    return text;
#else
    return QString::number(mode, 8);
#endif
}

#ifdef Q_OS_UNIX

namespace {

QString UserName(uid_t uid) {
    const passwd* entry = getpwuid(uid);
    return entry != nullptr ? QString::fromLocal8Bit(entry->pw_name) : QString::number(uid);
}

QString GroupName(gid_t gid) {
    const group* entry = getgrgid(gid);
    return entry != nullptr ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
}

bool ProcessHasGroup(gid_t gid) {
    if (getegid() == gid) {
        return true;
    }
    const int count = getgroups(0, nullptr);
    if (count <= 0) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got;
}

// Whether the group database (/etc/group and the like) lists the user in gid: what the next
// login will have.
bool DatabaseHasGroup(uid_t uid, gid_t gid) {
    const passwd* entry = getpwuid(uid);
    if (entry == nullptr) {
        return false;
    }
    const QByteArray name(entry->pw_name);
    const gid_t primary = entry->pw_gid;
    if (primary == gid) {
        return true;
    }
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(name.constData(), primary, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (getgrouplist(name.constData(), primary, groups.data(), &count) < 0) {
            return false;
        }
    }
    return std::find(groups.begin(), groups.begin() + count, gid) != groups.begin() + count;
}

} // namespace

PermissionFacts ReadPermissionFacts(const QString& path) {
    PermissionFacts facts;
    facts.path = path;
    const uid_t uid = geteuid();
    facts.userName = UserName(uid);
    struct stat info {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0) {
        return facts;
    }
    facts.mode = info.st_mode;
    facts.ownerName = UserName(info.st_uid);
    facts.groupName = GroupName(info.st_gid);
    facts.groupId = info.st_gid;
    facts.userIsOwner = info.st_uid == uid;
    facts.inGroupNow = ProcessHasGroup(info.st_gid);
    facts.inGroupDatabase = DatabaseHasGroup(uid, info.st_gid);
    return facts;
}

QStringList HoldersOf(const QString& path) {
    QStringList holders;
#ifdef Q_OS_LINUX
    const QString device = QFileInfo(path).canonicalFilePath();
    if (device.isEmpty()) {
        return holders;
    }
    const QString self = QString::number(QCoreApplication::applicationPid());
    const QStringList processes =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : processes) {
        bool number = false;
        pid.toLongLong(&number);
        if (!number || pid == self) {
            continue;
        }
        // Only the user's own processes can be looked into (all of them for root).
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        const QStringList entries = fds.entryList(QDir::AllEntries | QDir::System);
        const bool holds = std::any_of(entries.begin(), entries.end(), [&](const QString& fd) {
            return QFile::symLinkTarget(fds.filePath(fd)) == device;
        });
        if (!holds) {
            continue;
        }
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        const QString name = comm.open(QIODevice::ReadOnly)
                                 ? QString::fromLocal8Bit(comm.readLine()).trimmed()
                                 : QStringLiteral("?");
        holders += QStringLiteral("%1, process %2").arg(name, pid);
    }
#else
    Q_UNUSED(path);
#endif
    return holders;
}

QString LockFileOf(const QString& path) {
    // The folders and the choice QSerialPort makes: the first readable folder that has the
    // file already or may be written.
    static const QStringList dirs{QStringLiteral("/var/lock"),
                                  QStringLiteral("/etc/locks"),
                                  QStringLiteral("/var/spool/locks"),
                                  QStringLiteral("/var/spool/uucp"),
                                  QStringLiteral("/tmp"),
                                  QStringLiteral("/var/tmp"),
                                  QStringLiteral("/var/lock/lockdev"),
                                  QStringLiteral("/run/lock")};
    QString name = path.startsWith(QLatin1String("/dev/")) ? path.mid(5) : path;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.prepend(QLatin1String("/LCK.."));
    const QStringList candidates =
        dirs + QStringList{QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    for (const QString& dir : candidates) {
        const QFileInfo info(dir);
        if (info.isReadable() && (QFile::exists(dir + name) || info.isWritable())) {
            return dir + name;
        }
    }
    return QString();
}

LockOwner ReadLockFile(const QString& lockPath) {
    LockOwner owner;
    QFile file(lockPath);
    if (lockPath.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return owner;
    }
    // "PID\nPROGRAM\nHOST\n..." as QLockFile writes it.
    const QList<QByteArray> lines = file.read(4096).split('\n');
    bool number = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&number);
    if (number && pid > 0) {
        owner.pid = pid;
        owner.program = QString::fromLocal8Bit(lines.value(1).trimmed());
    }
    return owner;
}

QString Diagnose(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (path.isEmpty() || stat(name.constData(), &info) != 0) {
        return QString();
    }
    // The effective user and groups decide, as they do for open().
    if (faccessat(AT_FDCWD, name.constData(), R_OK | W_OK, AT_EACCESS) != 0) {
        return errno == EACCES ? PermissionHint(ReadPermissionFacts(path)) : QString();
    }
    // The user may open it, yet the open was refused: the port's lock or its exclusive mode.
    // A lock of a program that is gone is only in the way when this user may not remove it.
    const QString lock = LockFileOf(path);
    const LockOwner owner = ReadLockFile(lock);
    if (owner.pid > 0 && kill(static_cast<pid_t>(owner.pid), 0) != 0 && errno == ESRCH) {
        return LeftLockHint(lock, owner.program, owner.pid);
    }
    QStringList holders = HoldersOf(path);
    // The lock's process, also when it does not have the device open or cannot be looked into.
    const QString lockProcess = QStringLiteral("process %1").arg(owner.pid);
    const bool listed = std::any_of(holders.begin(), holders.end(), [&](const QString& holder) {
        return holder.endsWith(lockProcess);
    });
    if (owner.pid > 0 && owner.pid != QCoreApplication::applicationPid() && !listed) {
        holders += QStringLiteral("%1, %2").arg(
            owner.program.isEmpty() ? QStringLiteral("?") : owner.program, lockProcess);
    }
    return BusyHint(holders);
}

#else

PermissionFacts ReadPermissionFacts(const QString& path) {
    PermissionFacts facts;
    facts.path = path;
    return facts;
}

QStringList HoldersOf(const QString&) {
    return QStringList();
}

QString LockFileOf(const QString&) {
    return QString();
}

LockOwner ReadLockFile(const QString&) {
    return LockOwner();
}

QString Diagnose(const QString&) {
    return QString();
}

#endif

} // namespace PortAccess
