#pragma once

#include <QString>
#include <QStringList>

// Why a serial port that exists could not be opened, told so that an installer can act on it:
// the user may not read and write the device (and which group to join), or another program
// holds the port. Used by SerialPort after an open failed for lack of access.
namespace PortAccess {

// What decides whether the user may open a device file.
struct PermissionFacts {
    QString path;
    QString userName;
    QString ownerName;
    QString groupName;
    unsigned groupId = 0;         // 0: root's group, which no one should be told to join
    unsigned mode = 0;            // st_mode of the device
    bool userIsOwner = false;     // the owner's permission bits apply, not the group's
    bool inGroupNow = false;      // this process runs with the device's group
    bool inGroupDatabase = false; // the group database lists the user (from the next login on)
};

// The explanation of a refused open with the fix: join the device's group, log in again, or
// have its permissions changed.
QString PermissionHint(const PermissionFacts& facts);
// The explanation of a port held by another program; holders are "NAME, process PID" texts of
// the programs that have it open, when they can be seen.
QString BusyHint(const QStringList& holders);
// The explanation of a port kept out by a lock file that a program which no longer runs left
// behind, and which this user may not remove (it belongs to another user).
QString LeftLockHint(const QString& lockPath, const QString& program, qint64 pid);
// "crw-rw----" for a character device readable and writable by owner and group.
QString ModeText(unsigned mode);

// Reads the facts of the device file at path for the user this process runs as.
PermissionFacts ReadPermissionFacts(const QString& path);
// The other processes that have the device at path open (where this user may look).
QStringList HoldersOf(const QString& path);
// The lock file QSerialPort takes for the device at path ("/var/lock/LCK..ttyUSB0"), whether it
// exists now or not; empty where ports are not locked with files.
QString LockFileOf(const QString& path);
// The process a lock file names: its pid (0 when the file is missing or unreadable) and program.
struct LockOwner {
    qint64 pid = 0;
    QString program;
};
LockOwner ReadLockFile(const QString& lockPath);
// Looks at the device after an open failed with a permission error: the permission hint when
// the user may not read and write it, the left lock hint when its lock file names a process that
// is gone, otherwise the busy hint (with the lock's process among the holders). Empty when the
// device is gone or on a system where this cannot be told.
QString Diagnose(const QString& path);

} // namespace PortAccess
