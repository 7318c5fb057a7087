// The network lines against a server inside the test: what goes over the socket byte for byte
// (the RFC 2217 set-up before any data, 0xFF doubled), and how a refusal and a closed
// connection are reported.

#include "line/PortLine.h"
#include "line/Rfc2217Line.h"
#include "line/TcpLine.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kWaitMs = 5000;

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int value : values) {
        bytes.append(static_cast<char>(value));
    }
    return bytes;
}

constexpr int IAC = 255, DONT = 254, DO = 253, WILL = 251, SB = 250, SE = 240;
constexpr int COMPORT = 44;

// A server for one connection; what it received so far.
struct Peer {
    Peer() {
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            socket.reset(server.nextPendingConnection());
            QObject::connect(socket.get(), &QTcpSocket::readyRead,
                             [this] { received += socket->readAll(); });
        });
    }
    QString Address(const char* scheme) const {
        return QString::fromLatin1(scheme) + QStringLiteral("127.0.0.1:") +
               QString::number(server.serverPort());
    }
    bool WaitFor(const QByteArray& bytes) {
        return QTest::qWaitFor([&] { return received.contains(bytes); }, kWaitMs);
    }

    QTcpServer server;
    std::unique_ptr<QTcpSocket> socket;
    QByteArray received;
};

struct Signals {
    explicit Signals(LinkLine& line) {
        QObject::connect(&line, &LinkLine::lineEvent, [this](LineEvents) { ++events; });
        QObject::connect(&line, &LinkLine::lineLost, [this] { ++lost; });
        QObject::connect(&line, &LinkLine::openFailed, [this] { ++failed; });
    }
    int events = 0;
    int lost = 0;
    int failed = 0;
};

QByteArray ReadAll(LinkLine& line) {
    std::uint8_t buffer[150];
    std::size_t got = 0;
    EXPECT_EQ(line.Read(buffer, sizeof buffer, got, 80), LineStatus::Success);
    return QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(got));
}

class NetworkLineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "network_line_test";
            static char* argv[] = {name, nullptr};
            static QCoreApplication app(argc, argv);
        }
    }
};

TEST_F(NetworkLineTest, Rfc2217SetsTheLineUpBeforeAnyDataAndEscapesBothWays) {
    Peer peer;
    PortLine line;
    Signals seen(line);
    ASSERT_EQ(line.Open(peer.Address("rfc2217://").toStdString()), LineStatus::Success);
    ASSERT_EQ(line.Setup(9600, 8, ISerialLine::Parity::None, 1), LineStatus::Success);
    ASSERT_EQ(line.SetupHandshakingOff(), LineStatus::Success);
    const std::uint8_t frame[] = {0xFF, 0xFF, 0xB1, 0x01, 0xFF, 0xAA};
    std::size_t written = 0;
    ASSERT_EQ(line.Write(frame, sizeof frame, written, 150), LineStatus::Success);
    EXPECT_EQ(written, sizeof frame);

    const QByteArray greeting =
        Bytes({IAC, WILL, 0, IAC, WILL, 3, IAC, WILL, COMPORT, IAC, DO, 0, IAC, DO, 3});
    ASSERT_TRUE(peer.WaitFor(greeting));
    QTest::qWait(100);
    EXPECT_EQ(peer.received, greeting) << "data went out before the gateway took port control";

    // The gateway takes port control and sends a frame of its own with 0xFF in it.
    peer.received.clear();
    peer.socket->write(Bytes({IAC, DO, COMPORT, IAC, IAC, IAC, IAC, 0xB1, IAC, IAC, 0x42}));
    const QByteArray setup = Bytes({
        IAC,     SB, COMPORT, 1,   0,       0,   0x25, 0x80,    IAC, SE,      IAC, SB,
        COMPORT, 2,  8,       IAC, SE,      IAC, SB,   COMPORT, 3,   1,       IAC, SE,
        IAC,     SB, COMPORT, 4,   1,       IAC, SE,   IAC,     SB,  COMPORT, 5,   1,
        IAC,     SE, IAC,     SB,  COMPORT, 5,   14,   IAC,     SE,
    });
    const QByteArray escaped = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xB1, 0x01, 0xFF, 0xFF, 0xAA});
    ASSERT_TRUE(peer.WaitFor(escaped));
    EXPECT_EQ(peer.received, setup + escaped);
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.events > 0; }, kWaitMs));
    EXPECT_EQ(ReadAll(line), Bytes({0xFF, 0xFF, 0xB1, 0xFF, 0x42}));

    // A second connection negotiates and sets the line again.
    line.Close();
    Peer second;
    ASSERT_EQ(line.Open(second.Address("rfc2217://").toStdString()), LineStatus::Success);
    ASSERT_TRUE(second.WaitFor(greeting));
    second.socket->write(Bytes({IAC, DO, COMPORT}));
    ASSERT_TRUE(second.WaitFor(setup));
    EXPECT_EQ(seen.lost + seen.failed, 0);
}

TEST_F(NetworkLineTest, GatewayRefusingPortControlFailsTheOpenOnce) {
    Peer peer;
    PortLine line;
    Signals seen(line);
    ASSERT_EQ(line.Open(peer.Address("rfc2217://").toStdString()), LineStatus::Success);
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer.socket != nullptr; }, kWaitMs));
    peer.socket->write(Bytes({IAC, DONT, COMPORT}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.failed > 0; }, kWaitMs));
    QTest::qWait(100);
    EXPECT_EQ(seen.failed, 1);
    EXPECT_EQ(seen.lost, 0);
    EXPECT_FALSE(line.IsOpen());
    const QString reason = QString::fromStdString(line.OpenFailureReason());
    EXPECT_TRUE(reason.startsWith(peer.Address("Cannot connect to ") + ": "))
        << reason.toStdString();
    EXPECT_TRUE(reason.contains("RFC 2217")) << reason.toStdString();
}

TEST_F(NetworkLineTest, RawTcpPassesBytesAsTheyAreAndTellsAClosedConnectionOnce) {
    Peer peer;
    PortLine line;
    Signals seen(line);
    ASSERT_EQ(line.Open(peer.Address("tcp://").toStdString()), LineStatus::Success);
    // Written while the connection is still being made: it waits for it.
    const std::uint8_t frame[] = {0xFF, 0xFF, 0xB1, 0xFF, 0xFB, 0x2C, 0xAA};
    std::size_t written = 0;
    ASSERT_EQ(line.Write(frame, sizeof frame, written, 150), LineStatus::Success);
    const QByteArray raw(reinterpret_cast<const char*>(frame), sizeof frame);
    ASSERT_TRUE(peer.WaitFor(raw));
    EXPECT_EQ(peer.received, raw);
    peer.socket->write(Bytes({IAC, DO, COMPORT}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.events > 0; }, kWaitMs));
    EXPECT_EQ(ReadAll(line), Bytes({IAC, DO, COMPORT})) << "no telnet on a raw line";

    peer.socket->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.lost > 0; }, kWaitMs));
    QTest::qWait(100);
    EXPECT_EQ(seen.lost, 1);
    EXPECT_EQ(seen.failed, 0);
    EXPECT_FALSE(line.IsOpen());
    EXPECT_EQ(QString::fromStdString(line.LostReason()),
              peer.Address("Connection to ") + " lost: the connection was closed by the other end");
    EXPECT_EQ(line.Write(frame, sizeof frame, written, 150), LineStatus::NotOpen);
}

} // namespace
