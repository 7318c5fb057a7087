// sonvex-cli diff between files and against the simulated processor, and push/restore
// --verify against a device that keeps every write and one that forgets some of them.

#include "tools/CliRunner.h"

#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using clitest::CliResult;
using clitest::RunCli;
using simtest::SimProcess;

namespace {

const QStringList kFast{"--tick", "5"};

// One line per differing parameter, the set name first: "out3.gain: -3.0 != 0.0", with
// "P12 " in front for a stored program.
const QRegularExpression
    kLine("^(P([1-9]|[12][0-9]|30) )?(in|out)[1-8]\\.([a-z]+[1-8]?\\.)?[a-z]+: .+ != .+$");

class CliVerifyDiffTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    static CliResult Run(const SimProcess& sim, const QString& command,
                         const QStringList& more = {}) {
        return RunCli(QStringList{command, "--port", sim.Link()} + kFast + more);
    }

    // The known program with every channel's gain 1 dB below its own: each channel of the
    // 4-in/8-out model differs from the simulator's programs.
    QString WriteEveryChannelChanged() const {
        CZorvanDoc doc;
        CAudio_Data& program = doc.GetProgram();
        program.SetDeviceType(1);
        clitest::EditKnownProgram(program);
        for (int i = 0; i < 4; ++i) {
            program.GetInput(i)->SetGain(program.GetInput(i)->GetGain() - 10);
        }
        for (int n = 0; n < 8; ++n) {
            program.GetOutput(n)->SetGain(program.GetOutput(n)->GetGain() - 10);
        }
        const FileResult saved = StoreProgramToPC(doc, 1, Path("changed").toStdString());
        EXPECT_TRUE(saved.ok) << saved.error;
        return QString::fromStdString(saved.path);
    }

    // A bank made from the simulator's own programs with every channel of every program
    // changed (gain 1 dB up, delay a few steps longer).
    QString WriteChangedBank(const SimProcess& sim) const {
        const CliResult backup = Run(sim, "backup", {"-o", Path("base.dat")});
        EXPECT_EQ(backup.exitCode, 0) << backup.err.toStdString();
        CZorvanDoc bank;
        EXPECT_TRUE(RecallAllFromPC(bank, Path("base.dat").toStdString()).ok);
        for (ProgramImage& image : bank.GetStoredPrograms()) {
            for (InputImage& input : image.inputs) {
                input.gain = static_cast<std::uint16_t>(input.gain + 10);
            }
            for (OutputImage& output : image.outputs) {
                output.gain = static_cast<std::uint16_t>(output.gain + 10);
                output.delay = static_cast<std::uint16_t>(output.delay + 3);
            }
        }
        const FileResult saved = StoreAllToPC(bank, Path("venue.dat").toStdString());
        EXPECT_TRUE(saved.ok) << saved.error;
        return QString::fromStdString(saved.path);
    }

    QTemporaryDir m_dir;
};

TEST_F(CliVerifyDiffTest, DiffOfTwoFilesNamesEachDifferenceAndExitsWithOne) {
    QDir().mkpath(Path("a"));
    const QString known = clitest::WriteKnownProgram(Path("a"), 1);
    CZorvanDoc plain;
    plain.GetProgram().SetDeviceType(1);
    ASSERT_TRUE(StoreProgramToPC(plain, 1, Path("plain.dia48").toStdString()).ok);

    const CliResult same = RunCli({"diff", known, known});
    EXPECT_EQ(same.exitCode, 0) << same.err.toStdString();
    EXPECT_EQ(same.out, "");
    EXPECT_EQ(same.err, "");

    const CliResult diff = RunCli({"diff", known, Path("plain.dia48")});
    EXPECT_EQ(diff.exitCode, 1) << diff.err.toStdString();
    EXPECT_EQ(diff.err, "");
    const QStringList lines = diff.OutLines();
    for (const char* line :
         {"in1.gain: -3.0 != 0.0", "in1.polarity: invert != normal", "in2.mute: on != off",
          "in1.eq1.type: LoShelf != PEQ", "out1.source: A+B != A", "out1.gain: 2.5 != 0.0",
          "out1.name: \"Top\"L\"\" != \"1\"", "out1.limiter.mode: compressor != limit"}) {
        EXPECT_TRUE(lines.contains(line)) << line << " not in\n" << diff.out.toStdString();
    }
    for (const QString& line : lines) {
        EXPECT_TRUE(kLine.match(line).hasMatch()) << line.toStdString();
    }
    // Out2 is a compressor with automatic timing in the known program: its attack and release
    // do not matter there, so only the mode and timing are named.
    EXPECT_TRUE(lines.filter(QRegularExpression("^out2\\.limiter\\.(attack|release)")).isEmpty());
    EXPECT_TRUE(lines.contains("out2.limiter.mode: compressor != limit"));

    // The other way round: the same parameters, the values swapped.
    const CliResult back = RunCli({"diff", Path("plain.dia48"), known});
    EXPECT_EQ(back.exitCode, 1);
    EXPECT_EQ(back.OutLines().size(), lines.size());
    EXPECT_TRUE(back.OutLines().contains("in1.gain: 0.0 != -3.0"));
}

TEST_F(CliVerifyDiffTest, DiffOfTwoBankFilesNamesTheProgram) {
    CZorvanDoc bank;
    ASSERT_TRUE(StoreAllToPC(bank, Path("one.dat").toStdString()).ok);
    CZorvanDoc other;
    ASSERT_TRUE(RecallAllFromPC(other, Path("one.dat").toStdString()).ok);
    other.GetStoredPrograms()[11].outputs[2].polarity = 1;
    ASSERT_TRUE(StoreAllToPC(other, Path("two.dat").toStdString()).ok);

    EXPECT_EQ(RunCli({"diff", Path("one.dat"), Path("one.dat")}).exitCode, 0);
    const CliResult diff = RunCli({"diff", Path("one.dat"), Path("two.dat")});
    EXPECT_EQ(diff.exitCode, 1) << diff.err.toStdString();
    EXPECT_EQ(diff.out, "P12 out3.polarity: normal != invert\n");
}

TEST_F(CliVerifyDiffTest, DiffTroubleExitsWithTwo) {
    QDir().mkpath(Path("a"));
    const QString known = clitest::WriteKnownProgram(Path("a"), 1);
    const QString small = clitest::WriteKnownProgram(Path("a"), 3);
    struct Case {
        QStringList arguments;
        QString message; // in the one line on stderr
    };
    const std::vector<Case> cases{
        {{"diff", known}, "give two program files, or one and --port"},
        {{"diff", known, known, known}, "give two program files, or one and --port"},
        {{"diff", known, known, "--id", "3"}, "--id needs --port"},
        {{"diff", known, Path("missing.dia48")}, "missing.dia48"},
        {{"diff", known, small}, "give --model 2x4"},
        {{"diff", known, "--port", Path("no-such-port"), "--tick", "5"}, "no-such-port"},
        {{"diff", known, known, "--slot", "3"}, "diff does not take --slot"},
    };
    for (const Case& c : cases) {
        const CliResult result = RunCli(c.arguments);
        EXPECT_EQ(result.exitCode, 2) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.ErrLines().size(), 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.message)) << result.err.toStdString();
    }
}

TEST_F(CliVerifyDiffTest, DiffAgainstTheDevicesLiveProgram) {
    SimProcess sim({"--fast"});
    ASSERT_TRUE(sim.Started());
    QDir().mkpath(Path("a"));
    const QString known = clitest::WriteKnownProgram(Path("a"), 1);
    ASSERT_EQ(Run(sim, "push", {known}).exitCode, 0);

    const CliResult same = Run(sim, "diff", {known});
    EXPECT_EQ(same.exitCode, 0) << same.err.toStdString();
    EXPECT_EQ(same.out, "");

    ASSERT_EQ(Run(sim, "set", {"out3.gain=-3", "in2.gate=-80"}).exitCode, 0);
    const CliResult diff = Run(sim, "diff", {known});
    EXPECT_EQ(diff.exitCode, 1) << diff.err.toStdString();
    EXPECT_EQ(diff.out, "in2.gate: off != -80.0\nout3.gain: 0.0 != -3.0\n");
}

TEST_F(CliVerifyDiffTest, PushVerifyPassesOnAKeepingDeviceAndNamesWhatAForgetfulOneLost) {
    const QString file = WriteEveryChannelChanged();
    {
        SimProcess sim({"--fast"});
        ASSERT_TRUE(sim.Started());
        for (const char* slot : {"0", "7"}) {
            const CliResult push = Run(sim, "push", {file, "--slot", slot, "--verify"});
            EXPECT_EQ(push.exitCode, 0) << push.err.toStdString();
            EXPECT_EQ(push.out, "");
        }
    }
    // Every second write is acknowledged and lost: what --verify names is exactly what a diff
    // of the file against the program pulled afterwards finds.
    SimProcess sim({"--fast", "--forget-every", "2"});
    ASSERT_TRUE(sim.Started());
    for (const int slot : {0, 7}) {
        const CliResult push =
            Run(sim, "push", {file, "--slot", QString::number(slot), "--verify"});
        EXPECT_EQ(push.exitCode, 1) << push.err.toStdString();
        ASSERT_FALSE(push.out.isEmpty()) << "slot " << slot;
        for (const QString& line : push.OutLines()) {
            EXPECT_TRUE(kLine.match(line).hasMatch()) << line.toStdString();
            EXPECT_EQ(line.startsWith(QStringLiteral("P%1 ").arg(slot)), slot != 0)
                << line.toStdString();
        }
        EXPECT_EQ(push.ErrLines().size(), 1) << push.err.toStdString();
        EXPECT_TRUE(push.err.contains(QStringLiteral("program %1 read back").arg(slot)))
            << push.err.toStdString();

        const QString pulled = Path(QStringLiteral("pulled%1.dia48").arg(slot));
        ASSERT_EQ(Run(sim, "pull", {"--slot", QString::number(slot), "-o", pulled}).exitCode, 0);
        const CliResult diff = RunCli({"diff", file, pulled});
        EXPECT_EQ(diff.exitCode, 1);
        QString expected;
        for (const QString& line : diff.OutLines()) {
            expected += (slot != 0 ? QStringLiteral("P%1 ").arg(slot) : QString()) + line + '\n';
        }
        EXPECT_EQ(push.out, expected) << "slot " << slot;
    }
}

TEST_F(CliVerifyDiffTest, RestoreVerifyPassesOnAKeepingDeviceAndNamesWhatAForgetfulOneLost) {
    QString bank;
    {
        SimProcess sim({"--fast"});
        ASSERT_TRUE(sim.Started());
        bank = WriteChangedBank(sim);
        const CliResult restore = Run(sim, "restore", {bank, "--verify", "--fast"});
        EXPECT_EQ(restore.exitCode, 0) << restore.err.toStdString();
        EXPECT_EQ(restore.out, "");
    }
    SimProcess sim({"--fast", "--forget-every", "25"});
    ASSERT_TRUE(sim.Started());
    const CliResult restore = Run(sim, "restore", {bank, "--verify", "--fast"});
    EXPECT_EQ(restore.exitCode, 1) << restore.err.toStdString();
    ASSERT_FALSE(restore.out.isEmpty());
    for (const QString& line : restore.OutLines()) {
        EXPECT_TRUE(kLine.match(line).hasMatch() && line.startsWith('P')) << line.toStdString();
    }
    EXPECT_EQ(restore.ErrLines().size(), 1) << restore.err.toStdString();
    EXPECT_TRUE(restore.err.contains("programs 1..30 read back")) << restore.err.toStdString();

    ASSERT_EQ(Run(sim, "backup", {"-o", Path("after.dat"), "--fast"}).exitCode, 0);
    const CliResult diff = RunCli({"diff", bank, Path("after.dat")});
    EXPECT_EQ(diff.exitCode, 1);
    EXPECT_EQ(restore.out, diff.out);
}

} // namespace
