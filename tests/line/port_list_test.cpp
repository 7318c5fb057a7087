#include "line/PortList.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <ostream>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

// Shows entries in failure messages.
void PrintTo(const PortEntry& e, std::ostream* os) {
    *os << "{" << e.devicePath.toStdString() << ", " << e.portName.toStdString() << ", "
        << e.displayName.toStdString() << ", " << e.usb << ", " << e.description.toStdString()
        << "}";
}

namespace {

PortEntry Entry(const char* path, const char* port, const char* display, bool usb,
                const char* description) {
    return PortEntry{QString::fromUtf8(path),        QString::fromUtf8(port),
                     QString::fromUtf8(display),     usb,
                     QString::fromUtf8(description), {}};
}

bool NeverBusy(const PortEntry&) {
    return false;
}

TEST(PortListPostProcess, FillsNamesAndDescriptions) {
    struct Case {
        PortEntry raw;
        PortEntry expected;
    };
    const Case cases[] = {
        // Nothing but the port name: it becomes the display name and the description.
        {Entry("/dev/ttyS0", "ttyS0", "", false, ""),
         Entry("/dev/ttyS0", "ttyS0", "ttyS0", false, "ttyS0")},
        // A description of the system is kept.
        {Entry("/dev/ttyUSB0", "ttyUSB0", "", true, "FT232R USB UART"),
         Entry("/dev/ttyUSB0", "ttyUSB0", "ttyUSB0", true, "FT232R USB UART")},
        // A display name given by the system is kept.
        {Entry("\\\\.\\COM3", "COM3", "COM3", true, "USB Serial Port"),
         Entry("\\\\.\\COM3", "COM3", "COM3", true, "USB Serial Port")},
        // "text (name)" is cut to "text", whether it came as description or display name.
        {Entry("\\\\.\\COM5", "COM5", "", false, "Communications Port (COM5)"),
         Entry("\\\\.\\COM5", "COM5", "COM5", false, "Communications Port")},
        {Entry("\\\\.\\COM4", "COM4", "Prolific USB-to-Serial Comm Port (COM4)", true, ""),
         Entry("\\\\.\\COM4", "COM4", "Prolific USB-to-Serial Comm Port (COM4)", true,
               "Prolific USB-to-Serial Comm Port")},
        // No cut when " (" is the very first thing or the text does not end with ")".
        {Entry("/dev/ttyS1", "ttyS1", "", false, " (COM1)"),
         Entry("/dev/ttyS1", "ttyS1", "ttyS1", false, " (COM1)")},
        {Entry("/dev/ttyS2", "ttyS2", "", false, "Port (COM2) spare"),
         Entry("/dev/ttyS2", "ttyS2", "ttyS2", false, "Port (COM2) spare")},
        {Entry("/dev/ttyS3", "ttyS3", "", false, "Port(COM3)"),
         Entry("/dev/ttyS3", "ttyS3", "ttyS3", false, "Port(COM3)")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw.portName.toStdString());
        const QList<PortEntry> result = PortList::PostProcess({c.raw}, false, &NeverBusy);
        ASSERT_EQ(result.size(), 1);
        EXPECT_EQ(result.front(), c.expected);
    }
}

TEST(PortListPostProcess, DropsNamelessEntriesAndPseudoTerminals) {
    const QList<PortEntry> raw = {
        Entry("/dev/ttyS0", "ttyS0", "", false, ""),
        Entry("/dev/odd", "", "", false, "no name at all"),
        Entry("/dev/pts/4", "pts/4", "", false, ""),
        Entry("/dev/ptmx", "ptmx", "", false, ""),
        Entry("/dev/ttyUSB0", "ttyUSB0", "", true, ""),
    };
    const QList<PortEntry> result = PortList::PostProcess(raw, false, &NeverBusy);
    ASSERT_EQ(result.size(), 2);
    EXPECT_EQ(result[0].portName, QStringLiteral("ttyS0"));
    EXPECT_EQ(result[1].portName, QStringLiteral("ttyUSB0"));
}

TEST(PortListPostProcess, PortReportedTwiceIsListedOnceWithItsLastData) {
    const QList<PortEntry> raw = {
        Entry("\\\\.\\COM1", "COM1", "Communications Port (COM1)", false, ""),
        Entry("\\\\.\\COM2", "COM2", "", false, ""),
        Entry("\\\\.\\COM1", "COM1", "USB Serial Port (COM1)", true, ""),
    };
    const QList<PortEntry> result = PortList::PostProcess(raw, false, &NeverBusy);
    ASSERT_EQ(result.size(), 2);
    EXPECT_EQ(result[0],
              Entry("\\\\.\\COM1", "COM1", "USB Serial Port (COM1)", true, "USB Serial Port"));
    EXPECT_EQ(result[1].portName, QStringLiteral("COM2"));
}

TEST(PortListPostProcess, BusyPortsAreSkippedOnlyWhenAsked) {
    const QList<PortEntry> raw = {
        Entry("/dev/ttyS0", "ttyS0", "", false, ""),
        Entry("/dev/ttyUSB0", "ttyUSB0", "", true, ""),
        Entry("/dev/ttyUSB1", "ttyUSB1", "", true, ""),
    };
    const auto busy = [](const PortEntry& e) { return e.portName == QStringLiteral("ttyUSB0"); };
    EXPECT_EQ(PortList::PostProcess(raw, false, busy).size(), 3);
    const QList<PortEntry> free = PortList::PostProcess(raw, true, busy);
    ASSERT_EQ(free.size(), 2);
    EXPECT_EQ(free[0].portName, QStringLiteral("ttyS0"));
    EXPECT_EQ(free[1].portName, QStringLiteral("ttyUSB1"));
}

TEST(PortListEntry, UsbFlagComesFromIdentifiersNameOrDescription) {
    struct Case {
        const char* location;
        const char* port;
        const char* description;
        bool usbIds;
        bool usb;
    };
    const Case cases[] = {
        {"/dev/ttyS0", "ttyS0", "", false, false},
        {"/dev/ttyS4", "ttyS4", "16550A UART", false, false},
        {"/dev/ttyUSB0", "ttyUSB0", "", false, true},
        {"/dev/ttyACM0", "ttyACM0", "", false, true},
        {"/dev/ttyS5", "ttyS5", "", true, true},
        {"\\\\.\\COM3", "COM3", "Communications Port", false, false},
        {"\\\\.\\COM7", "COM7", "Prolific USB-to-Serial Comm Port", false, true},
        {"\\\\.\\COM8", "COM8", "Silicon Labs CP210x", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        const PortEntry e =
            PortList::MakeEntry(QString::fromUtf8(c.location), QString::fromUtf8(c.port),
                                QString::fromUtf8(c.description), c.usbIds);
        EXPECT_EQ(e.usb, c.usb);
        EXPECT_EQ(e.devicePath, QString::fromUtf8(c.location));
        EXPECT_EQ(e.portName, QString::fromUtf8(c.port));
        EXPECT_EQ(e.description, QString::fromUtf8(c.description));
        EXPECT_TRUE(e.displayName.isEmpty()) << "filled by the post-processing";
    }
}

TEST(PortListEnumeration, ListsNoPseudoTerminalsAndConsistentEntries) {
    int argc = 1;
    char name[] = "link_port_list_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    // A pseudo-terminal pair exists while the list is taken; it must not show up.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QString slave = QString::fromUtf8(ptsname(master));

    const QList<PortEntry> ports = PortList::EnumSerialPorts(false);
    ::close(master);
    EXPECT_TRUE(PortList::IsPseudoTerminal(PortEntry{slave, slave.mid(5), {}, false, {}, {}}));

    QStringList names;
    for (const PortEntry& e : ports) {
        SCOPED_TRACE(e.devicePath.toStdString());
        EXPECT_FALSE(PortList::IsPseudoTerminal(e));
        EXPECT_NE(e.devicePath, slave);
        EXPECT_FALSE(e.devicePath.isEmpty());
        EXPECT_FALSE(e.portName.isEmpty());
        EXPECT_FALSE(e.displayName.isEmpty());
        EXPECT_FALSE(e.description.isEmpty());
        EXPECT_TRUE(e.devicePath.endsWith(e.portName));
        EXPECT_FALSE(names.contains(e.portName)) << "listed twice";
        names.append(e.portName);
    }
}

} // namespace
