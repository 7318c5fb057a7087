#include "line/LinkDoctor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QUrl>

#include <algorithm>

namespace LinkDoctor {

namespace {

// A port given by name (ttyUSB0) is the device of that name under /dev.
QString DevicePath(const QString& port) {
    return port.contains(QLatin1Char('/')) ? port : QStringLiteral("/dev/") + port;
}

// The device a path stands for: a /dev/serial/by-id/... link leads to the ttyUSB0 it names.
QString Canonical(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QString ReadLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return QString::fromLocal8Bit(file.readLine()).trimmed();
}

QStringList Pids(const Facts& facts) {
    QStringList pids;
    for (const QString& entry :
         QDir(facts.procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number && pid != facts.selfPid) {
            pids << entry;
        }
    }
    return pids;
}

QString ProgramName(const Facts& facts, const QString& pid) {
    const QString name = ReadLine(facts.procRoot + QStringLiteral("/%1/comm").arg(pid));
    return name.isEmpty() ? QStringLiteral("?") : name;
}

// "NAME, process PID" of every process that has device open.
QStringList Holders(const QString& device, const Facts& facts) {
    QStringList holders;
    const QString target = Canonical(device);
    for (const QString& pid : Pids(facts)) {
        const QDir fds(facts.procRoot + QStringLiteral("/%1/fd").arg(pid));
        const QStringList entries = fds.entryList(QDir::AllEntries | QDir::System);
        const bool holds = std::any_of(entries.begin(), entries.end(), [&](const QString& fd) {
            return QFile::symLinkTarget(fds.filePath(fd)) == target;
        });
        if (holds) {
            holders << QStringLiteral("%1, process %2").arg(ProgramName(facts, pid), pid);
        }
    }
    return holders;
}

bool MayReadWrite(const PortAccess::PermissionFacts& facts) {
    if (facts.userName == QLatin1String("root")) {
        return true;
    }
    const unsigned bits = facts.userIsOwner ? 0600U : (facts.inGroupNow ? 0060U : 0006U);
    return (facts.mode & bits) == bits;
}

QString OneLine(QString text) {
    return text.replace(QStringLiteral(":  "), QStringLiteral(": "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace

Facts SystemFacts() {
    Facts facts;
    facts.which = [](const QString& program) {
        // Also where a system program lives when the user's PATH leaves it out.
        const QString found = QStandardPaths::findExecutable(program);
        return found.isEmpty() ? QStandardPaths::findExecutable(
                                     program, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                                               QStringLiteral("/usr/bin"), QStringLiteral("/bin")})
                               : found;
    };
    facts.permissions = [](const QString& path) { return PortAccess::ReadPermissionFacts(path); };
    facts.opens = [](const QString& path) {
        QSerialPort port(path);
        const bool opened = port.open(QIODevice::ReadWrite);
        port.close();
        return opened;
    };
    facts.selfPid = QCoreApplication::applicationPid();
    return facts;
}

bool IsGateway(const QString& port) {
    return port.startsWith(QLatin1String("tcp://")) || port.startsWith(QLatin1String("rfc2217://"));
}

std::vector<Finding> CheckPermission(const PortAccess::PermissionFacts& facts) {
    if (facts.mode == 0 || MayReadWrite(facts)) {
        return {};
    }
    return {{QStringLiteral("permission"), OneLine(PortAccess::PermissionHint(facts))}};
}

std::vector<Finding> CheckHolders(const QString& device, const Facts& facts) {
    if (!facts.opens || facts.opens(device)) {
        return {};
    }
    return {{QStringLiteral("busy"), OneLine(PortAccess::BusyHint(Holders(device, facts)))}};
}

std::vector<Finding> CheckBrltty(const Facts& facts) {
    if (!facts.which || facts.which(QStringLiteral("brltty")).isEmpty()) {
        return {};
    }
    for (const QString& dir : facts.udevRuleDirs) {
        if (!QDir(dir).entryList({QStringLiteral("*brltty*.rules")}, QDir::Files).isEmpty()) {
            return {{QStringLiteral("brltty"),
                     QStringLiteral("brltty is installed and its udev rules claim USB serial "
                                    "adapters (CH341, CP210x and others) as braille displays, so "
                                    "their ttyUSB port disappears: unless a braille display is "
                                    "used, remove it with: sudo apt remove brltty")}};
        }
    }
    return {};
}

std::vector<Finding> CheckModemManager(const QString& device, const Facts& facts) {
    QString pid;
    for (const QString& candidate : Pids(facts)) {
        if (ProgramName(facts, candidate) == QLatin1String("ModemManager")) {
            pid = candidate;
            break;
        }
    }
    if (pid.isEmpty()) {
        return {};
    }
    const QString name = QFileInfo(Canonical(device)).fileName();
    const bool holds = Holders(device, facts)
                           .join(QLatin1Char(';'))
                           .contains(QStringLiteral("ModemManager, process %1").arg(pid));
    // ModemManager probes adapters (sysfs knows a device behind the tty), not pseudo-terminals.
    const bool adapter =
        QFileInfo::exists(facts.sysRoot + QStringLiteral("/class/tty/%1/device").arg(name));
    if (!holds && !adapter) {
        return {};
    }
    return {
        {QStringLiteral("modemmanager"),
         QStringLiteral("ModemManager (process %1) %2 and sends modem commands to it that the "
                        "processors do not understand: stop it with: sudo systemctl stop "
                        "ModemManager (and disable it), or keep it off the adapter with a udev "
                        "rule setting ENV{ID_MM_DEVICE_IGNORE}=\"1\"")
             .arg(pid, holds ? QStringLiteral("holds %1").arg(name)
                             : QStringLiteral("probes serial adapters such as %1 as they appear")
                                   .arg(name))}};
}

std::vector<Finding> CheckLatency(const QString& device, const Facts& facts) {
    const QString name = QFileInfo(Canonical(device)).fileName();
    const QString timer =
        facts.sysRoot + QStringLiteral("/bus/usb-serial/devices/%1/latency_timer").arg(name);
    bool ok = false;
    const int ms = ReadLine(timer).toInt(&ok);
    if (!ok || ms <= 1) {
        return {};
    }
    return {{QStringLiteral("latency"),
             QStringLiteral("%1 is an FTDI adapter whose latency timer is %2 ms, which holds every "
                            "answer back that long: set it to 1 ms with: echo 1 | sudo tee "
                            "/sys/bus/usb-serial/devices/%1/latency_timer (for good with a udev "
                            "rule setting ATTR{latency_timer}=\"1\")")
                 .arg(name)
                 .arg(ms)}};
}

std::vector<Finding> CheckGateway(const QString& port, const Facts& facts) {
    const QUrl url(port);
    if (!url.isValid() || url.host().isEmpty() || url.port() <= 0) {
        return {{QStringLiteral("gateway"),
                 QStringLiteral("%1 is not HOST:PORT: give it as tcp://HOST:PORT or "
                                "rfc2217://HOST:PORT")
                     .arg(port)}};
    }
    QTcpSocket socket;
    socket.connectToHost(url.host(), static_cast<quint16>(url.port()));
    if (socket.waitForConnected(facts.gatewayTimeoutMs)) {
        socket.abort();
        return {};
    }
    const QString why = socket.error() == QAbstractSocket::SocketTimeoutError
                            ? QStringLiteral("no answer within %1 ms").arg(facts.gatewayTimeoutMs)
                            : socket.errorString();
    return {
        {QStringLiteral("gateway"),
         QStringLiteral("the gateway %1:%2 does not answer (%3): check that it is on and on the "
                        "network, and that address and port are right")
             .arg(url.host())
             .arg(url.port())
             .arg(why)}};
}

std::vector<Finding> Examine(const QString& port, const Facts& facts) {
    if (IsGateway(port)) {
        return CheckGateway(port, facts);
    }
    std::vector<Finding> findings;
    const auto add = [&](std::vector<Finding> more) {
        findings.insert(findings.end(), more.begin(), more.end());
    };
    const QString device = DevicePath(port);
    if (!QFileInfo::exists(device)) {
        findings.push_back({QStringLiteral("port"),
                            QStringLiteral("there is no port %1: plug the adapter in, or see "
                                           "sonvex-cli ports for the ports of this computer")
                                .arg(device)});
    } else {
        const std::vector<Finding> permission =
            facts.permissions ? CheckPermission(facts.permissions(device)) : std::vector<Finding>{};
        add(permission);
        // A port the user may not use does not open either: that is not another program.
        if (permission.empty()) {
            add(CheckHolders(device, facts));
        }
        add(CheckModemManager(device, facts));
        add(CheckLatency(device, facts));
    }
    add(CheckBrltty(facts));
    return findings;
}

QStringList SystemHints(const QString& device, const Facts& facts) {
    QStringList lines;
    std::vector<Finding> findings = CheckBrltty(facts);
    for (std::vector<Finding> more :
         {CheckModemManager(device, facts), CheckLatency(device, facts)}) {
        findings.insert(findings.end(), more.begin(), more.end());
    }
    for (const Finding& finding : findings) {
        lines << finding.text;
    }
    return lines;
}

} // namespace LinkDoctor
