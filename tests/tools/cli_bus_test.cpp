// sonvex-cli on a line with several devices: backup, restore and info with --all over every
// model, and the collision report of the fast search, against sonvex-sim.

#include "tools/CliRunner.h"

#include "common/FileBytes.h"
#include "common/SimProcess.h"
#include "core/protocol/ProtocolCodes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

using clitest::CliResult;
using clitest::RunCli;
using simtest::SimProcess;
using testfiles::ReadFile;

namespace {

// The simulator answers at once: a short search tick finds the devices in a few seconds.
const QStringList kFast{"--tick", "2"};
// One device of every model.
const QStringList kLine{"--fast", "--device", "3:1", "--device", "7:2", "--device", "9:3"};
const QStringList kFiles{"3-Fosk.dat48", "7-Wupa.dat36", "9-Jexo.dat24"};

class CliBusTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    static CliResult Run(const SimProcess& sim, const QString& command,
                         const QStringList& more = {}) {
        return RunCli(QStringList{command, "--port", sim.Link()} + kFast + more);
    }

    QTemporaryDir m_dir;
};

// A backup of the whole line gives one bank file per device, named by ID and model; restoring
// the folder onto another line with the same devices makes their banks byte for byte the same.
TEST_F(CliBusTest, BackupAllAndRestoreAllRoundTripEveryModel) {
    QDir().mkpath(Path("in"));
    {
        SimProcess source(kLine);
        ASSERT_TRUE(source.Started());
        // Something of its own in every device, so that a bank cannot pass for another's.
        for (const auto& [id, type, slot] : {std::tuple{3, 1, 4}, {7, 2, 12}, {9, 3, 30}}) {
            const QString known = clitest::WriteKnownProgram(Path("in"), type);
            const CliResult push = Run(source, "push",
                                       {known, "--id", QString::number(id), "--model",
                                        clitest::ModelName(type), "--slot", QString::number(slot)});
            ASSERT_EQ(push.exitCode, 0) << push.err.toStdString();
        }
        const CliResult backup = Run(source, "backup", {"--all", "-o", Path("venue")});
        ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
        QStringList written;
        for (const QString& name : kFiles) {
            written << QDir(Path("venue")).filePath(name);
        }
        EXPECT_EQ(backup.OutLines(), written);
        EXPECT_TRUE(backup.err.contains("[2/3] device 7, 3x6 (Wupa): reading programs 1..30"))
            << backup.err.toStdString();
        EXPECT_TRUE(backup.err.contains("backed up 3 of 3 devices")) << backup.err.toStdString();
    }
    SimProcess target(kLine);
    ASSERT_TRUE(target.Started());
    ASSERT_EQ(Run(target, "backup", {"--all", "-o", Path("fresh")}).exitCode, 0);
    for (const QString& name : kFiles) {
        ASSERT_NE(ReadFile(Path("fresh/" + name)), ReadFile(Path("venue/" + name)))
            << name.toStdString();
    }

    const CliResult restore = Run(target, "restore", {"--all", Path("venue"), "--verify"});
    ASSERT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    EXPECT_TRUE(restore.err.contains("[3/3] device 9, 2x4 (Jexo): writing programs 1..30"));
    ASSERT_EQ(Run(target, "backup", {"--all", "-o", Path("again"), "--fast"}).exitCode, 0);
    for (const QString& name : kFiles) {
        EXPECT_EQ(ReadFile(Path("again/" + name)), ReadFile(Path("venue/" + name)))
            << name.toStdString();
    }
}

// A file for a device of another model, or for an ID nobody answers to, is refused with a line
// of its own; the others are written, and the exit status says that not all were.
TEST_F(CliBusTest, RestoreAllRefusesAnotherModelAndAMissingDevice) {
    SimProcess sim(kLine);
    ASSERT_TRUE(sim.Started());
    ASSERT_EQ(Run(sim, "backup", {"--all", "-o", Path("bank")}).exitCode, 0);
    ASSERT_TRUE(QFile::copy(Path("bank/3-Fosk.dat48"), Path("bank/7-Fosk.dat48")));
    ASSERT_TRUE(QFile::copy(Path("bank/3-Fosk.dat48"), Path("bank/5-Fosk.dat48")));
    ASSERT_TRUE(QFile::copy(Path("bank/3-Fosk.dat48"), Path("bank/notes.txt")));
    const std::size_t before = sim.Received().size();

    const CliResult restore = Run(sim, "restore", {"--all", Path("bank")});
    EXPECT_EQ(restore.exitCode, 1);
    EXPECT_TRUE(restore.err.contains(
        "sonvex-cli: " + Path("bank/7-Fosk.dat48") +
        ": device 7 is a 3x6 (Wupa), the file is for a 4x8 (Fosk); not restored"))
        << restore.err.toStdString();
    EXPECT_TRUE(restore.err.contains("sonvex-cli: " + Path("bank/5-Fosk.dat48") +
                                     ": no device with ID 5 answered; not restored"));
    EXPECT_TRUE(restore.err.contains("restored 3 of 5 devices")) << restore.err.toStdString();
    // The refused files sent nothing: ID 5 got no write; 7 only its own 3x6 bank.
    int writesTo[256] = {};
    for (const auto& frame : sim.Received(before)) {
        if (frame.Code() == Protocol::WriteRequest) {
            ++writesTo[frame.DeviceId()];
        }
    }
    EXPECT_GT(writesTo[3], 0);
    EXPECT_EQ(writesTo[5], 0);
    // Every bank takes the same records, whatever the model: 7 got one, not two.
    EXPECT_EQ(writesTo[7], writesTo[3]) << "device 7 got the 4x8 bank as well";
    EXPECT_EQ(writesTo[9], writesTo[3]);

    const CliResult usage = Run(sim, "restore", {"--all", Path("bank"), "--id", "3"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.err.contains("--all does not take --id")) << usage.err.toStdString();
    QDir().mkpath(Path("empty"));
    const CliResult empty = Run(sim, "restore", {"--all", Path("empty")});
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_TRUE(empty.err.contains("no bank files named ID-MODEL.datNN"))
        << empty.err.toStdString();
}

// info --all lists every device with its model and program names; the fast search names an ID
// that two devices share.
TEST_F(CliBusTest, InfoAllListsEveryDeviceAndTheFastSearchSeesCollisions) {
    SimProcess sim(kLine + QStringList{"--device", "5:1", "--device", "5:1"});
    ASSERT_TRUE(sim.Started());
    const CliResult info = Run(sim, "info", {"--all"});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    const QStringList lines = info.out.split('\n');
    EXPECT_TRUE(lines.contains("id 3: 4x8 (Fosk)"));
    EXPECT_TRUE(lines.contains("id 7: 3x6 (Wupa)"));
    EXPECT_TRUE(lines.contains("id 9: 2x4 (Jexo)"));
    EXPECT_FALSE(info.out.contains("id 5")) << "colliding answers named a device";
    EXPECT_EQ(lines.count("  program 1: Preset01"), 3);
    EXPECT_EQ(lines.count("  program 30: Preset30"), 3);
    EXPECT_TRUE(info.err.contains("sonvex-cli: ID 5: more than one device answers?"));

    const CliResult search =
        RunCli({"search", "--fast", "--port", sim.Link()}); // the fast search's own timing
    EXPECT_EQ(search.exitCode, 0) << search.err.toStdString();
    EXPECT_EQ(search.out, "3\n");
    EXPECT_EQ(search.ErrLines(), QStringList{"sonvex-cli: ID 5: more than one device answers?"});
}

// doctor on this machine: a missing port is a finding with exit status 1; the simulator's
// terminal is one nothing stands in the way of; a gateway that does not answer is named.
TEST_F(CliBusTest, DoctorSaysWhatStandsInTheWay) {
    const CliResult missing = RunCli({"doctor", "--port", Path("ttyUSB7")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.startsWith("port: there is no port " + Path("ttyUSB7")))
        << missing.out.toStdString();

    SimProcess sim({"--fast"});
    ASSERT_TRUE(sim.Started());
    const CliResult fine = RunCli({"doctor", "--port", sim.Link()});
    EXPECT_EQ(fine.exitCode, 0) << fine.out.toStdString();
    EXPECT_EQ(fine.out, sim.Link() + ": nothing found that stands in the way\n");

    const CliResult gateway = RunCli({"doctor", "--port", "tcp://127.0.0.1:1"});
    EXPECT_EQ(gateway.exitCode, 1);
    EXPECT_TRUE(gateway.out.startsWith("gateway: the gateway 127.0.0.1:1 does not answer"))
        << gateway.out.toStdString();
    EXPECT_EQ(RunCli({"doctor"}).exitCode, 2);
}

} // namespace
