#pragma once

#include "line/PortAccess.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// What stands between the user and a working line, and what to do about it: each check looks
// at facts of the system (device permissions, /proc, sysfs, installed programs, a gateway) that
// come through Facts, so that a test can put its own in. Each finding is one line of text.
namespace LinkDoctor {

struct Finding {
    QString check; // "permission", "busy", "brltty", "modemmanager", "latency", "gateway", "port"
    QString text;  // one line: what is wrong and what to do
};

// Where the checks look. The defaults are the running system's.
struct Facts {
    QString sysRoot = QStringLiteral("/sys");
    QString procRoot = QStringLiteral("/proc");
    // The udev rule folders, where an installed brltty claims USB serial adapters.
    QStringList udevRuleDirs{QStringLiteral("/usr/lib/udev/rules.d"),
                             QStringLiteral("/lib/udev/rules.d"),
                             QStringLiteral("/etc/udev/rules.d")};
    // The path of an installed program, or empty ("which").
    std::function<QString(const QString&)> which;
    // The permission facts of a device for this user (PortAccess::ReadPermissionFacts).
    std::function<PortAccess::PermissionFacts(const QString&)> permissions;
    // Whether the device opens for reading and writing, exclusively, right now.
    std::function<bool(const QString&)> opens;
    // This process, left out of the programs holding the port.
    qint64 selfPid = 0;
    int gatewayTimeoutMs = 2000;
};

// The running system's facts.
Facts SystemFacts();

// A tcp:// or rfc2217:// line instead of a serial port.
bool IsGateway(const QString& port);

// The single checks; each returns nothing when all is well.
// The user may not read and write the device (and which group to join).
std::vector<Finding> CheckPermission(const PortAccess::PermissionFacts& facts);
// The device does not open although the user may use it: another program holds it (the ones
// that have it open, from procRoot/*/fd, are named).
std::vector<Finding> CheckHolders(const QString& device, const Facts& facts);
// brltty is installed and its udev rules claim USB serial adapters as braille displays.
std::vector<Finding> CheckBrltty(const Facts& facts);
// ModemManager runs and probes serial ports as they appear (or holds this one).
std::vector<Finding> CheckModemManager(const QString& device, const Facts& facts);
// An FTDI adapter (sysfs) whose latency timer holds every answer back longer than 1 ms.
std::vector<Finding> CheckLatency(const QString& device, const Facts& facts);
// A gateway that does not take a connection within the time-out.
std::vector<Finding> CheckGateway(const QString& port, const Facts& facts);

// Every check that applies to port (a device path, a port name such as ttyUSB0, or a gateway).
std::vector<Finding> Examine(const QString& port, const Facts& facts = SystemFacts());
// The checks of the system around a serial port (brltty, ModemManager, latency), for the message
// shown when a port does not open; one line each.
QStringList SystemHints(const QString& device, const Facts& facts = SystemFacts());

} // namespace LinkDoctor
