#pragma once

#include <QList>
#include <QSerialPortInfo>
#include <QString>

#include <functional>

// One serial port the connect dialog can offer.
struct PortEntry {
    QString devicePath;  // the path the port is opened with (/dev/ttyUSB0, \\.\COM3)
    QString portName;    // short name (ttyUSB0, COM3)
    QString displayName; // shown in the connect dialog and used there to open the port
    bool usb = false;    // provided through a USB adapter
    QString description;
    // The /dev/serial/by-id/... link that names the adapter itself, the same after a replug
    // into another socket; empty when the system keeps none. It opens the same port.
    QString stableName;

    bool operator==(const PortEntry& other) const {
        return devicePath == other.devicePath && portName == other.portName &&
               displayName == other.displayName && usb == other.usb &&
               description == other.description && stableName == other.stableName;
    }
};

// The serial ports of this computer, built afresh on every call.
namespace PortList {

// Whether a port cannot be opened right now (held by someone else).
using BusyCheck = std::function<bool(const PortEntry&)>;

// Every serial port the system reports, in the system's order, post-processed. Pseudo-terminals
// are never listed: they can always be typed in by name. With skipBusyPorts the ports that
// cannot be opened exclusively are left out.
QList<PortEntry> EnumSerialPorts(bool skipBusyPorts = false);

// The raw entry of one port as the system describes it (not yet post-processed).
PortEntry EntryFromInfo(const QSerialPortInfo& info);
// The same from the system's fields; hasUsbIdentifiers: the system knows a USB vendor or
// product identifier for the port.
PortEntry MakeEntry(const QString& systemLocation, const QString& portName,
                    const QString& description, bool hasUsbIdentifiers);

// Whether the entry names a pseudo-terminal.
bool IsPseudoTerminal(const PortEntry& entry);

// Turns raw entries into the list shown to the operator:
//  - entries with neither a port name nor a display name, and pseudo-terminals, are dropped;
//  - a port reported twice (same port name) is listed once, at its first place, with the data
//    of its last report;
//  - with skipBusyPorts, entries for which isBusy is true are dropped;
//  - an empty display name takes the port name;
//  - an empty description takes the display name; a description of the form "text (name)"
//    is cut to "text".
QList<PortEntry> PostProcess(const QList<PortEntry>& raw, bool skipBusyPorts,
                             const BusyCheck& isBusy);

// The link in byIdDir that leads to devicePath (its stable name), or empty.
QString StableName(const QString& devicePath,
                   const QString& byIdDir = QStringLiteral("/dev/serial/by-id"));

// The busy check used by EnumSerialPorts: an exclusive open of the device fails.
bool IsBusy(const PortEntry& entry);

} // namespace PortList
