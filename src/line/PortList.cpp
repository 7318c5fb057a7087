#include "line/PortList.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPort>

#include <algorithm>

// The list follows the connect dialog's needs on every system. What the Windows device tree
// provides is taken from QSerialPortInfo instead:
//  - the display name is the port name (COM3 on Windows, ttyUSB0 on Linux), which the serial
//    port opens directly, where Windows cut it out of the "(COM3)" of the friendly name;
//  - the USB flag, which Windows read from the device's location text, is set when the system
//    knows USB vendor/product identifiers for the port, or when its name or description says
//    USB (ttyUSB*, "USB Serial Port"), or for USB modem-class ports (ttyACM*);
//  - entries come in the order QSerialPortInfo reports them; the rules for ports reported twice
//    and for empty names and descriptions apply to every entry.
// QSerialPortInfo cannot fail, so no enumeration error reaches the caller: at worst the list is
// empty.

namespace PortList {

namespace {

bool mentionsUsb(const QString& text) {
    return text.contains(QLatin1String("usb"), Qt::CaseInsensitive);
}

} // namespace

PortEntry MakeEntry(const QString& systemLocation, const QString& portName,
                    const QString& description, bool hasUsbIdentifiers) {
    PortEntry entry;
    entry.devicePath = systemLocation;
    entry.portName = portName;
    entry.usb = hasUsbIdentifiers || mentionsUsb(systemLocation) || mentionsUsb(description) ||
                portName.startsWith(QLatin1String("ttyACM"));
    entry.description = description;
    return entry;
}

PortEntry EntryFromInfo(const QSerialPortInfo& info) {
    return MakeEntry(info.systemLocation(), info.portName(), info.description(),
                     info.hasVendorIdentifier() || info.hasProductIdentifier());
}

bool IsPseudoTerminal(const PortEntry& entry) {
    const auto isPty = [](const QString& name) {
        return name.startsWith(QLatin1String("/dev/pts/")) ||
               name.startsWith(QLatin1String("pts/")) ||
               name.startsWith(QLatin1String("/dev/pty")) ||
               name.startsWith(QLatin1String("pty")) || name == QLatin1String("/dev/ptmx") ||
               name == QLatin1String("ptmx");
    };
    return isPty(entry.devicePath) || isPty(entry.portName);
}

QList<PortEntry> PostProcess(const QList<PortEntry>& raw, bool skipBusyPorts,
                             const BusyCheck& isBusy) {
    QList<PortEntry> merged;
    for (const PortEntry& entry : raw) {
        if ((entry.portName.isEmpty() && entry.displayName.isEmpty()) || IsPseudoTerminal(entry))
            continue;
        auto same = std::find_if(merged.begin(), merged.end(), [&](const PortEntry& known) {
            return !entry.portName.isEmpty() && known.portName == entry.portName;
        });
        if (same != merged.end())
            *same = entry;
        else
            merged.append(entry);
    }

    QList<PortEntry> result;
    for (PortEntry entry : merged) {
        if (skipBusyPorts && isBusy && isBusy(entry))
            continue;
        if (entry.displayName.isEmpty())
            entry.displayName = entry.portName;
        if (entry.description.isEmpty()) {
            entry.description = entry.displayName;
        }
        // "USB Serial Port (COM3)" -> "USB Serial Port"
        const qsizetype open = entry.description.indexOf(QLatin1String(" ("));
        if (open > 0 && entry.description.endsWith(QLatin1Char(')')))
            entry.description.truncate(open);
        result.append(entry);
    }
    return result;
}

bool IsBusy(const PortEntry& entry) {
    QSerialPort port(entry.devicePath);
    if (!port.open(QIODevice::ReadWrite))
        return true;
    port.close();
    return false;
}

QList<PortEntry> EnumSerialPorts(bool skipBusyPorts) {
    QList<PortEntry> raw;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        raw.append(EntryFromInfo(info));
    QList<PortEntry> entries = PostProcess(raw, skipBusyPorts, &IsBusy);
    for (PortEntry& entry : entries) {
        entry.stableName = StableName(entry.devicePath);
    }
    return entries;
}

QString StableName(const QString& devicePath, const QString& byIdDir) {
    const QString target = QFileInfo(devicePath).canonicalFilePath();
    if (target.isEmpty()) {
        return QString();
    }
    const QDir dir(byIdDir);
    for (const QString& name : dir.entryList(QDir::System | QDir::Files, QDir::Name)) {
        if (QFileInfo(dir.filePath(name)).canonicalFilePath() == target) {
            return dir.filePath(name);
        }
    }
    return QString();
}

} // namespace PortList
