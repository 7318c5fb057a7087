// The serial port over real pseudo-terminal pairs: the test holds the master side and plays the
// device, the port under test opens the slave side.

#include "common/PseudoTerminal.h"
#include "line/SerialPort.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Records every notification of a port.
struct EventLog {
    explicit EventLog(SerialPort& port) {
        QObject::connect(&port, &SerialPort::lineEvent,
                         [this](LineEvents reported) { events.push_back(reported); });
    }
    bool Has(LineEvent event) const {
        for (LineEvents reported : events)
            if (reported.Has(event))
                return true;
        return false;
    }
    bool Received() const { return Has(LineEvent::Received); }
    std::vector<LineEvents> events;
};

// Runs the event loop until done() holds or the time is up.
template <typename Predicate> bool ProcessEventsUntil(Predicate done, int timeoutMs = 2000) {
    return QTest::qWaitFor(done, timeoutMs);
}

// Runs the event loop for ms, to show that nothing arrives meanwhile.
void ProcessEventsFor(int ms) {
    QTest::qWait(ms);
}

class SerialPortTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "link_serial_port_test";
            static char* argv[] = {name, nullptr};
            s_app = std::make_unique<QCoreApplication>(argc, argv);
        }
    }
    static void TearDownTestSuite() { s_app.reset(); }

    void SetUp() override { ASSERT_TRUE(m_pty.Valid()) << "no pseudo-terminal available"; }

    // Opens the port on the slave and sets it up the way the command engine does.
    void OpenAndSetUp(SerialPort& port) {
        ASSERT_EQ(port.Open(m_pty.SlavePath()), LineStatus::Success);
        ASSERT_EQ(port.Setup(9600, 8, ISerialLine::Parity::None, 1), LineStatus::Success);
        ASSERT_EQ(port.SetupHandshakingOff(), LineStatus::Success);
        ASSERT_EQ(port.SetMask(LineEvents::All()), LineStatus::Success);
    }

    Bytes ReadAll(SerialPort& port) {
        Bytes buffer(150);
        std::size_t received = 0;
        EXPECT_EQ(port.Read(buffer.data(), buffer.size(), received, 80), LineStatus::Success);
        buffer.resize(received);
        return buffer;
    }

    static std::unique_ptr<QCoreApplication> s_app;
    PseudoTerminal m_pty;
};

std::unique_ptr<QCoreApplication> SerialPortTest::s_app;

TEST_F(SerialPortTest, OpensByPathByNameBelowDevAndThroughALink) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("sonvex-dsp"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(m_pty.SlavePath()), link));

    const std::string path = m_pty.SlavePath();
    ASSERT_EQ(path.rfind("/dev/", 0), 0u);
    const std::string names[] = {path, path.substr(5), link.toStdString()};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        SerialPort port;
        ASSERT_EQ(port.Open(name), LineStatus::Success);
        EXPECT_TRUE(port.IsOpen());
        EXPECT_EQ(port.SystemLocation().toStdString(), path);
        EXPECT_EQ(port.Setup(9600, 8, ISerialLine::Parity::None, 1), LineStatus::Success);
        EXPECT_EQ(port.SetupHandshakingOff(), LineStatus::Success);
        EXPECT_EQ(port.SetMask(LineEvents::All()), LineStatus::Success);
        EXPECT_EQ(port.Close(), LineStatus::Success);
        EXPECT_FALSE(port.IsOpen());
    }
}

TEST_F(SerialPortTest, MissingDeviceFailsAndStaysClosed) {
    SerialPort port;
    for (const std::string name : {"/dev/sonvex-no-such-port", "sonvex-no-such-port", ""}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(port.Open(name), LineStatus::NoSuchDevice);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(port.LastError(), LineStatus::NoSuchDevice);
    }
}

TEST_F(SerialPortTest, BytesWrittenArriveOnTheDeviceSide) {
    SerialPort port;
    OpenAndSetUp(port);
    const Bytes frame = {0xFF, 0xFF, 0xFF, 0xB1, 0x00, 0x01, 0x02, 0x80, 0x7F, 0xAA};
    std::size_t written = 0;
    ASSERT_EQ(port.Write(frame.data(), frame.size(), written, 150), LineStatus::Success);
    EXPECT_EQ(written, frame.size());
    EXPECT_EQ(m_pty.Receive(frame.size()), frame);
}

TEST_F(SerialPortTest, ReceivedBytesRaiseANotificationAndCanBeRead) {
    SerialPort port;
    OpenAndSetUp(port);
    EventLog log(port);

    const Bytes reply = {0xFF, 0xB1, 0x51, 0x00, 0x0D, 0x0A, 0xAA};
    m_pty.Send(reply);
    ASSERT_TRUE(ProcessEventsUntil([&] { return log.Received(); }));
    EXPECT_EQ(ReadAll(port), reply);

    // A second burst gives a second notification.
    log.events.clear();
    m_pty.Send({0x42});
    ASSERT_TRUE(ProcessEventsUntil([&] { return log.Received(); }));
    EXPECT_EQ(ReadAll(port), Bytes{0x42});
}

TEST_F(SerialPortTest, BytesLeftInTheBufferAreNotifiedAgain) {
    SerialPort port;
    OpenAndSetUp(port);
    EventLog log(port);

    Bytes burst(320);
    for (std::size_t i = 0; i < burst.size(); ++i)
        burst[i] = static_cast<std::uint8_t>(i);
    m_pty.Send(burst);

    // The owner reads 150 bytes per notification, as the command engine does; every byte must
    // come out without the device sending anything more.
    Bytes collected;
    ASSERT_TRUE(ProcessEventsUntil([&] {
        if (log.Received()) {
            log.events.clear();
            const Bytes chunk = ReadAll(port);
            EXPECT_LE(chunk.size(), 150u);
            collected.insert(collected.end(), chunk.begin(), chunk.end());
        }
        return collected.size() >= burst.size();
    }));
    EXPECT_EQ(collected, burst);
}

TEST_F(SerialPortTest, NotificationsFollowTheEventMask) {
    SerialPort port;
    OpenAndSetUp(port);
    EventLog log(port);

    ASSERT_EQ(port.SetMask(LineEvents::None()), LineStatus::Success);
    EXPECT_EQ(port.EventMask(), LineEvents::None());
    m_pty.Send({0x01, 0x02});
    ProcessEventsFor(200);
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(ReadAll(port), (Bytes{0x01, 0x02}));

    // Only the end of a transmission: arrivals stay unreported.
    ASSERT_EQ(port.SetMask(LineEvent::TransmitEmpty), LineStatus::Success);
    const Bytes frame = {0xFF, 0xB1, 0xAA};
    std::size_t written = 0;
    ASSERT_EQ(port.Write(frame.data(), frame.size(), written, 150), LineStatus::Success);
    m_pty.Send({0x03});
    ASSERT_TRUE(ProcessEventsUntil([&] { return log.Has(LineEvent::TransmitEmpty); }));
    ProcessEventsFor(100);
    EXPECT_FALSE(log.Received());
    EXPECT_EQ(ReadAll(port), Bytes{0x03});
}

TEST_F(SerialPortTest, NotificationIsNeverDeliveredFromInsideAWrite) {
    SerialPort port;
    OpenAndSetUp(port);
    EventLog log(port);

    // The reply is already waiting while the owner writes; Write may pick it up from the line,
    // but the owner hears of it only from its event loop.
    m_pty.Send({0x51, 0x52});
    const Bytes frame(40, 0x33);
    std::size_t written = 0;
    ASSERT_EQ(port.Write(frame.data(), frame.size(), written, 150), LineStatus::Success);
    EXPECT_TRUE(log.events.empty());
    ASSERT_TRUE(ProcessEventsUntil([&] { return log.Received(); }));
    EXPECT_EQ(ReadAll(port), (Bytes{0x51, 0x52}));
}

TEST_F(SerialPortTest, ReadWithNothingReceivedReturnsAtOnce) {
    SerialPort port;
    OpenAndSetUp(port);
    std::uint8_t buffer[150];
    std::size_t received = 99;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(port.Read(buffer, sizeof buffer, received, 5000), LineStatus::Success);
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(received, 0u);
}

TEST_F(SerialPortTest, OpeningAnOpenPortReturnsAlreadyOpenAndKeepsTheLine) {
    SerialPort port;
    OpenAndSetUp(port);
    EXPECT_EQ(port.Open(m_pty.SlavePath()), LineStatus::AlreadyOpen);
    EXPECT_EQ(port.LastError(), LineStatus::AlreadyOpen);
    EXPECT_EQ(port.Open("/dev/sonvex-no-such-port"), LineStatus::AlreadyOpen);
    ASSERT_TRUE(port.IsOpen());

    const Bytes bytes = {0x10, 0x20};
    std::size_t written = 0;
    ASSERT_EQ(port.Write(bytes.data(), bytes.size(), written, 150), LineStatus::Success);
    EXPECT_EQ(m_pty.Receive(bytes.size()), bytes);
}

TEST_F(SerialPortTest, SecondOpenOfTheSameLineFailsUntilTheFirstCloses) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("sonvex-dsp"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(m_pty.SlavePath()), link));

    SerialPort first;
    OpenAndSetUp(first);
    for (const std::string& name : {m_pty.SlavePath(), link.toStdString()}) {
        SCOPED_TRACE(name);
        SerialPort second;
        EXPECT_EQ(second.Open(name), LineStatus::AccessDenied);
        EXPECT_FALSE(second.IsOpen());
    }

    ASSERT_EQ(first.Close(), LineStatus::Success);
    SerialPort third;
    EXPECT_EQ(third.Open(link.toStdString()), LineStatus::Success);
}

TEST_F(SerialPortTest, OperationsOnAClosedPortReturnNotOpen) {
    SerialPort port;
    const Bytes bytes = {1, 2, 3};
    std::uint8_t buffer[8];
    std::size_t count = 77;
    EXPECT_EQ(port.Write(bytes.data(), bytes.size(), count, 150), LineStatus::NotOpen);
    EXPECT_EQ(count, 0u);
    count = 77;
    EXPECT_EQ(port.Read(buffer, sizeof buffer, count, 80), LineStatus::NotOpen);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(port.Setup(9600, 8, ISerialLine::Parity::None, 1), LineStatus::NotOpen);
    EXPECT_EQ(port.SetupHandshakingOff(), LineStatus::NotOpen);
    EXPECT_EQ(port.SetMask(LineEvents::All()), LineStatus::NotOpen);
    EXPECT_EQ(port.LastError(), LineStatus::NotOpen);

    // Closing a closed port is harmless, also after a real close.
    EXPECT_EQ(port.Close(), LineStatus::Success);
    OpenAndSetUp(port);
    EXPECT_EQ(port.Close(), LineStatus::Success);
    EXPECT_EQ(port.Close(), LineStatus::Success);
    EXPECT_EQ(port.Write(bytes.data(), bytes.size(), count, 150), LineStatus::NotOpen);
}

TEST_F(SerialPortTest, ClosedPortReopensAndDropsStaleNotifications) {
    SerialPort port;
    OpenAndSetUp(port);
    EventLog log(port);
    m_pty.Send({0x01});
    // Let the port see the byte, then close before the owner hears of it.
    ASSERT_TRUE(ProcessEventsUntil([&] { return !log.events.empty(); }, 2000));
    log.events.clear();
    m_pty.Send({0x02});
    QCoreApplication::processEvents();
    ASSERT_EQ(port.Close(), LineStatus::Success);
    ProcessEventsFor(100);
    EXPECT_TRUE(log.events.empty()) << "no notification from a closed port";

    OpenAndSetUp(port);
    m_pty.Send({0x03});
    ASSERT_TRUE(ProcessEventsUntil([&] { return log.Received(); }));
    const Bytes got = ReadAll(port);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), 0x03);
}

TEST_F(SerialPortTest, InvalidLineFormatIsRejected) {
    SerialPort port;
    OpenAndSetUp(port);
    struct Case {
        int baud, dataBits, stopBits;
    };
    for (const Case c :
         {Case{0, 8, 1}, Case{9600, 4, 1}, Case{9600, 9, 1}, Case{9600, 8, 0}, Case{9600, 8, 3}}) {
        SCOPED_TRACE(::testing::Message() << c.baud << " " << c.dataBits << " " << c.stopBits);
        EXPECT_EQ(port.Setup(c.baud, c.dataBits, ISerialLine::Parity::None, c.stopBits),
                  LineStatus::InvalidArgument);
    }
    // A pseudo-terminal takes 8 data bits without parity only.
    EXPECT_EQ(port.Setup(19200, 8, ISerialLine::Parity::None, 2), LineStatus::Success);
}

// Nobody reads the device side, so the line fills up and the output stops leaving: the write
// returns at once all the same, and once the output has not moved for the write's timeout the
// port gives the line up.
TEST_F(SerialPortTest, OutputThatStopsLeavingLosesTheLine) {
    SerialPort port;
    OpenAndSetUp(port);
    int lost = 0;
    QObject::connect(&port, &SerialPort::lineLost, [&lost] { ++lost; });
    const Bytes flood(4 * 1024 * 1024, 0x55);
    std::size_t written = 0;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(port.Write(flood.data(), flood.size(), written, 150), LineStatus::Success);
    EXPECT_LT(timer.elapsed(), 140);
    EXPECT_EQ(written, flood.size());
    EXPECT_TRUE(port.IsOpen());

    ASSERT_TRUE(ProcessEventsUntil([&] { return lost > 0; }, 5000));
    EXPECT_GE(timer.elapsed(), 140);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.LastError(), LineStatus::Timeout);

    // What did not leave is dropped: once the device side has drained the line, the port
    // opened again delivers exactly its own bytes.
    m_pty.Receive(flood.size(), 300);
    OpenAndSetUp(port);
    const Bytes frame = {0xFF, 0xB1, 0xAA};
    ASSERT_EQ(port.Write(frame.data(), frame.size(), written, 150), LineStatus::Success);
    EXPECT_EQ(m_pty.Receive(frame.size()), frame);
    ProcessEventsFor(300);
    EXPECT_EQ(lost, 1);
}

// A write to a device that went away before the port noticed ends the line as well.
TEST_F(SerialPortTest, WriteToAVanishedDeviceFailsAndLosesTheLine) {
    SerialPort port;
    OpenAndSetUp(port);
    int lost = 0;
    QObject::connect(&port, &SerialPort::lineLost, [&lost] { ++lost; });
    m_pty.CloseMaster();
    const Bytes frame = {0xFF, 0xB1, 0xAA};
    std::size_t written = 0;
    const LineStatus result = port.Write(frame.data(), frame.size(), written, 150);
    EXPECT_NE(result, LineStatus::Success);
    EXPECT_EQ(port.LastError(), result);
    ASSERT_TRUE(ProcessEventsUntil([&] { return lost > 0; }));
    EXPECT_FALSE(port.IsOpen());
}

// A device that goes away under the open port (the adapter pulled out; here the terminal's
// master side closes) is reported once, from the event loop, without a write or read asking;
// the port has closed the line by then. A reopened port starts afresh.
TEST_F(SerialPortTest, VanishedDeviceIsReportedOnce) {
    SerialPort port;
    OpenAndSetUp(port);
    int lost = 0;
    QObject::connect(&port, &SerialPort::lineLost, [&] {
        ++lost;
        EXPECT_FALSE(port.IsOpen());
    });
    ProcessEventsFor(50);
    EXPECT_EQ(lost, 0);

    m_pty.CloseMaster();
    ASSERT_TRUE(ProcessEventsUntil([&] { return lost > 0; }));
    const Bytes frame = {0xFF, 0xB1, 0xAA};
    std::size_t written = 0;
    EXPECT_EQ(port.Write(frame.data(), frame.size(), written, 150), LineStatus::NotOpen);
    EXPECT_EQ(port.Close(), LineStatus::Success);
    ProcessEventsFor(100);
    EXPECT_EQ(lost, 1);

    // Another line: nothing is reported while it is there.
    PseudoTerminal other;
    ASSERT_TRUE(other.Valid());
    ASSERT_EQ(port.Open(other.SlavePath()), LineStatus::Success);
    ProcessEventsFor(100);
    EXPECT_EQ(lost, 1);
}

// A report that was still on its way when the owner closed the port is dropped.
TEST_F(SerialPortTest, LossReportedAfterCloseIsDropped) {
    SerialPort port;
    OpenAndSetUp(port);
    int lost = 0;
    QObject::connect(&port, &SerialPort::lineLost, [&lost] { ++lost; });
    m_pty.CloseMaster();
    // The failing write raises the error; the report is queued behind it.
    const Bytes frame = {0xFF};
    std::size_t written = 0;
    port.Write(frame.data(), frame.size(), written, 150);
    port.Close();
    ProcessEventsFor(100);
    EXPECT_EQ(lost, 0);
}

} // namespace
