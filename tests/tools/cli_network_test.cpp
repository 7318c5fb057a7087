// sonvex-cli over serial ports on the network: the simulator's raw TCP port and ser2net's
// RFC 2217 port in front of the simulator's terminal give the same results as the terminal
// itself; a refused, dropped or silent connection ends with one clear message.

#include "common/FileBytes.h"
#include "common/NetworkGateway.h"
#include "tools/CliRunner.h"

#include "core/files/ZorvanDoc.h"
#include "core/protocol/ProtocolCodes.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using clitest::CliResult;

using clitest::RunCli;
using simtest::LoggedFrame;
using simtest::Ser2net;
using simtest::SimProcess;
using testfiles::ReadFile;

namespace {

const QStringList kFast{"--tick", "5"};

CliResult RunOn(const QString& port, const QString& command, const QStringList& more = {}) {
    return RunCli(QStringList{command, "--port", port} + kFast + more);
}

// The lines of info below its "port:" line.
QString InfoBelowPort(const CliResult& info) {
    return info.out.section(QLatin1Char('\n'), 1);
}

class CliNetworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::EnsureApplication();
        ASSERT_TRUE(m_dir.isValid());
    }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    // info, pull, push and backup through network port give what they give through the
    // simulator's own terminal.
    void ExpectSameAsTerminal(const SimProcess& sim, const QString& network) {
        const QString pty = sim.Link();
        const CliResult viaPty = RunOn(pty, "info");
        const CliResult viaNet = RunOn(network, "info");
        ASSERT_EQ(viaNet.exitCode, 0) << viaNet.err.toStdString();
        EXPECT_EQ(viaNet.out.section('\n', 0, 0), "port: " + network);
        EXPECT_EQ(InfoBelowPort(viaNet), InfoBelowPort(viaPty));
        EXPECT_TRUE(viaNet.err.isEmpty()) << viaNet.err.toStdString();

        QDir().mkpath(Path("in"));
        const QString known = clitest::WriteKnownProgram(Path("in"), 1);
        const CliResult push = RunOn(network, "push", {known, "--slot", "4"});
        ASSERT_EQ(push.exitCode, 0) << push.err.toStdString();
        ASSERT_EQ(RunOn(network, "pull", {"--slot", "4", "-o", Path("net.dia48")}).exitCode, 0);
        ASSERT_EQ(RunOn(pty, "pull", {"--slot", "4", "-o", Path("pty.dia48")}).exitCode, 0);
        EXPECT_EQ(ReadFile(Path("net.dia48")), ReadFile(Path("pty.dia48")));
        EXPECT_EQ(RunCli({"table", Path("net.dia48"), "--csv"}).out,
                  RunCli({"table", known, "--csv"}).out);

        const CliResult backup = RunOn(network, "backup", {"-o", Path("net.dat"), "--fast"});
        ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
        ASSERT_EQ(RunOn(pty, "backup", {"-o", Path("pty.dat")}).exitCode, 0);
        EXPECT_FALSE(ReadFile(Path("net.dat")).isEmpty());
        EXPECT_EQ(ReadFile(Path("net.dat")), ReadFile(Path("pty.dat")));
    }

    QTemporaryDir m_dir;
};

TEST_F(CliNetworkTest, RawTcpWorksAsThePseudoTerminal) {
    SimProcess sim({"--fast", "--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.Started()) << sim.Error().toStdString();
    const QString address = simtest::SimTcpAddress(sim);
    ASSERT_FALSE(address.isEmpty()) << "no tcp:// line from sonvex-sim";
    ExpectSameAsTerminal(sim, address);
}

TEST_F(CliNetworkTest, Rfc2217ThroughSer2netWorksAsThePseudoTerminal) {
    if (!Ser2net::Installed()) {
        GTEST_SKIP() << "ser2net is not installed (./sonvex.sh test installs it)";
    }
    // Paced like the real line: ser2net's serial side runs at what the telnet side set.
    SimProcess sim({"--fast"});
    ASSERT_TRUE(sim.Started()) << sim.Error().toStdString();
    Ser2net gateway;
    ASSERT_TRUE(gateway.Start(QFileInfo(sim.Link()).canonicalFilePath()))
        << gateway.Error().toStdString();
    ExpectSameAsTerminal(sim, gateway.Address());
}

// Every frame starts with 0xFF bytes, and these program values put 0xFF into the data as
// well: telnet doubles them on the way out and undoes that on the way back.
TEST_F(CliNetworkTest, ProgramWithFFBytesSurvivesRfc2217) {
    if (!Ser2net::Installed()) {
        GTEST_SKIP() << "ser2net is not installed (./sonvex.sh test installs it)";
    }
    SimProcess sim({"--fast"});
    ASSERT_TRUE(sim.Started()) << sim.Error().toStdString();
    Ser2net gateway;
    ASSERT_TRUE(gateway.Start(QFileInfo(sim.Link()).canonicalFilePath()))
        << gateway.Error().toStdString();

    CZorvanDoc doc;
    CAudio_Data& program = doc.GetProgram();
    clitest::EditKnownProgram(program);
    for (int i = 0; i < 8; ++i) {
        program.GetOutput(i)->SetGain(255);
        program.GetOutput(i)->SetDelay(255);
        program.GetOutput(i)->GetFilter(0)->SetFrequency(255);
    }
    program.GetInput(0)->SetGain(255);
    program.ClearChanged();
    const FileResult stored = StoreProgramToPC(doc, 1, Path("ff").toStdString());
    ASSERT_TRUE(stored.ok) << stored.error;
    const QString file = QString::fromStdString(stored.path);

    const std::size_t mark = sim.Frames().size();
    const CliResult push = RunOn(gateway.Address(), "push", {file, "--slot", "9"});
    ASSERT_EQ(push.exitCode, 0) << push.err.toStdString();
    int framesWithFF = 0;
    for (const LoggedFrame& frame : sim.Received(mark)) {
        if (frame.Code() == Protocol::WriteRequest && frame.bytes.contains('\xff')) {
            ++framesWithFF;
        }
    }
    EXPECT_GT(framesWithFF, 0) << "no write carried a 0xFF data byte to the device";

    const CliResult pull = RunOn(gateway.Address(), "pull", {"--slot", "9", "-o", Path("back")});
    ASSERT_EQ(pull.exitCode, 0) << pull.err.toStdString();
    EXPECT_EQ(RunCli({"table", pull.out.trimmed(), "--csv"}).out,
              RunCli({"table", file, "--csv"}).out);
    // Every value as the terminal reads it back, byte for byte (the file also keeps what the
    // table does not show).
    const CliResult direct = RunOn(sim.Link(), "pull", {"--slot", "9", "-o", Path("direct")});
    ASSERT_EQ(direct.exitCode, 0) << direct.err.toStdString();
    EXPECT_EQ(ReadFile(pull.out.trimmed()), ReadFile(direct.out.trimmed()));
}

TEST_F(CliNetworkTest, RefusedConnectionIsOneMessageNamingHostAndPort) {
    const quint16 port = simtest::FreePort();
    ASSERT_NE(port, 0);
    const QString where = QStringLiteral("127.0.0.1:%1").arg(port);
    for (const QString& scheme : {QStringLiteral("tcp://"), QStringLiteral("rfc2217://")}) {
        for (const QString& command : {QStringLiteral("info"), QStringLiteral("backup")}) {
            const QStringList more =
                command == "backup" ? QStringList{"-o", Path("x.dat")} : QStringList{};
            const CliResult result = RunOn(scheme + where, command, more);
            EXPECT_EQ(result.exitCode, 1) << command.toStdString();
            EXPECT_EQ(result.err.toStdString(),
                      ("sonvex-cli: Unable to open COM-port: " + scheme + where +
                       "\nCannot connect to " + where + ": Connection refused\n")
                          .toStdString());
            EXPECT_TRUE(result.out.isEmpty());
        }
    }
    const CliResult bad = RunOn("tcp://127.0.0.1", "info");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err.toStdString(),
              std::string("sonvex-cli: Unable to open COM-port: tcp://127.0.0.1\n"
                          "tcp://127.0.0.1 is not tcp://HOST:PORT (a host name or "
                          "address and a port number 1..65535)\n"));
}

// The gateway goes away in the middle of a backup: the link ends at once with one message.
TEST_F(CliNetworkTest, DroppedGatewayEndsTheLinkWithOneMessage) {
    SimProcess sim({"--tcp", "127.0.0.1:0"}); // paced: the backup takes its time
    ASSERT_TRUE(sim.Started()) << sim.Error().toStdString();
    const QString address = simtest::SimTcpAddress(sim);
    ASSERT_FALSE(address.isEmpty());

    QProcess cli;
    cli.start(clitest::CliProgram(), {"backup", "--port", address, "-o", Path("half.dat")});
    ASSERT_TRUE(cli.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.Frames().size() >= 20; }, 20000));
    QElapsedTimer sinceKill;
    sinceKill.start();
    sim.Kill();
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_LT(sinceKill.elapsed(), 3000) << "ended by the give-up, not by the lost connection";
    EXPECT_EQ(cli.exitCode(), 1);
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    const QString where = address.mid(6);
    // The context on the first line is what was under way (reading the device, the backup).
    const QStringList lines = err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << err.toStdString();
    EXPECT_TRUE(
        lines[0].startsWith("sonvex-cli: Unable to write to the COM-port: the port failed: "))
        << err.toStdString();
    EXPECT_EQ(lines[1].toStdString(),
              ("Connection to " + where + " lost: the connection was closed by the other end")
                  .toStdString());
    EXPECT_FALSE(QFile::exists(Path("half.dat")));
}

// A gateway that accepts the connection and then never says anything (a half-open link): the
// usual give-up after 40 ticks without an answer ends it.
TEST_F(CliNetworkTest, SilentGatewayIsGivenUpAfterTheUsualWait) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    std::vector<std::unique_ptr<QTcpSocket>> accepted;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            accepted.emplace_back(socket); // held open, read, never answered
        }
    });
    const QString port = QStringLiteral("tcp://127.0.0.1:%1").arg(server.serverPort());
    QProcess cli;
    QElapsedTimer timer;
    timer.start();
    cli.start(clitest::CliProgram(), {"info", "--port", port});
    ASSERT_TRUE(cli.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return cli.state() == QProcess::NotRunning; }, 30000));
    const qint64 took = timer.elapsed();
    EXPECT_EQ(accepted.size(), 1u);
    EXPECT_GE(took, 4000) << "given up before 40 ticks of 100 ms";
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_EQ(
        QString::fromUtf8(cli.readAllStandardError()).toStdString(),
        ("sonvex-cli: Unable to Open COM-Port: device 1 on " + port + " (expected a 4x8 Fosk)\n")
            .toStdString());
}

} // namespace
