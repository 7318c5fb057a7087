// sonvex-cli import-eq and export-eq end to end: program files in and out, the report on
// stderr, the round trip through the text, and the live program of the simulated processor.

#include "common/FileBytes.h"
#include "tools/CliRunner.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using clitest::CliResult;
using clitest::RunCli;
using simtest::SimProcess;

using testfiles::ReadFile;
using testfiles::WriteFile;

namespace {

const QStringList kFast{"--tick", "5"};

QString Sample(const QString& name) {
    return QStringLiteral(SONVEX_TEST_DATA_DIR "/eq/") + name;
}

class CliEqTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(CliEqTest, ImportWritesTheProgramAndReportsEveryLoss) {
    const QString known = clitest::WriteKnownProgram(m_dir.path(), 1);
    const CliResult imported = RunCli({"import-eq", known, "--channel", "in1", "--from",
                                       Sample("rew_v5_20_living_room.txt"), "-o", Path("room")});
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.ErrLines(),
              (QStringList{
                  "filter 4 (HP): an EQ band cannot be a high-pass; left out",
                  "filter 6 (Modal): an EQ band cannot be a modal filter; left out",
                  "filter 7 (LS) on band 5: a low shelf stops at 20000 Hz; 25000 Hz limited to "
                  "20000 Hz",
                  "filter 7 (LS) on band 5: no shelf slope given; 12 dB taken",
                  "filter 8 (PK) on band 6: gain +20.0 dB limited to +15.0 dB",
                  "filter 8 (PK) on band 6: Q 40.000 taken as 28.852, the nearest step (0.05 oct)",
                  "imported 6 filters from " + Sample("rew_v5_20_living_room.txt") +
                      " onto in1 (8 bands)"}));
    EXPECT_TRUE(imported.out.isEmpty());

    // The bands as the device would show them, and the rest of the program as it was.
    const CliResult table = RunCli({"table", Path("room.dia48"), "--csv"});
    ASSERT_EQ(table.exitCode, 0) << table.err.toStdString();
    EXPECT_TRUE(table.out.contains("EQ1 Freq,50,")) << table.out.toStdString();
    const CliResult exported = RunCli({"export-eq", Path("room.dia48"), "--channel", "in1"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const QStringList lines = exported.OutLines();
    ASSERT_EQ(lines.size(), 3 + 8) << exported.out.toStdString();
    EXPECT_EQ(lines[0], "Filter Settings file");
    EXPECT_EQ(lines[3], "Filter  1: ON  PK       Fc    50 Hz  Gain  -6.5 dB  Q 10.301");
    EXPECT_EQ(lines[4], "Filter  2: ON  LS 6dB   Fc    80 Hz  Gain   3.0 dB");
    EXPECT_EQ(lines[7], "Filter  5: ON  LS 12dB  Fc 20000 Hz  Gain   2.0 dB");
    EXPECT_TRUE(lines[6].startsWith("Filter  4: OFF PK       Fc  1200 Hz  Gain  -4.0 dB"));
    EXPECT_TRUE(lines[9].startsWith("Filter  7: OFF")) << lines[9].toStdString();

    // Exported and imported again, in both formats, the program file is the same to the byte.
    for (const QString format : {"rew", "apo"}) {
        const CliResult text =
            RunCli({"export-eq", Path("room.dia48"), "--channel", "in1", "--format", format});
        ASSERT_EQ(text.exitCode, 0);
        ASSERT_TRUE(WriteFile(Path("in1.txt"), text.out.toUtf8()));
        const CliResult again = RunCli({"import-eq", Path("room.dia48"), "--channel", "in1",
                                        "--from", Path("in1.txt"), "-o", Path("again")});
        ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
        EXPECT_EQ(again.ErrLines().size(), 1) << again.err.toStdString(); // only the summary
        EXPECT_EQ(ReadFile(Path("again.dia48")), ReadFile(Path("room.dia48")))
            << format.toStdString();
    }
}

TEST_F(CliEqTest, NothingImportableWritesNothingAndFails) {
    const QString known = clitest::WriteKnownProgram(m_dir.path(), 2);
    ASSERT_TRUE(WriteFile(Path("hp.txt"), "Filter 1: ON HP Fc 80 Hz\nFilter 2: ON None\n"));
    const CliResult result = RunCli({"import-eq", known, "--model", "3x6", "--channel", "out1",
                                     "--from", Path("hp.txt"), "-o", Path("out")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("filter 1 (HP): an EQ band cannot be a high-pass; left out"));
    EXPECT_TRUE(
        result.err.contains("sonvex-cli: nothing in " + Path("hp.txt") + " could be imported"));
    EXPECT_FALSE(QFile::exists(Path("out.dia36")));
}

TEST_F(CliEqTest, WrongCommandLinesAreRefused) {
    const QString known = clitest::WriteKnownProgram(m_dir.path(), 1);
    const QString text = Sample("apo_config.txt");
    const struct {
        QStringList arguments;
        int exitCode;
        QString message;
    } cases[] = {
        {{"import-eq", known, "--channel", "in1", "-o", Path("x")}, 2, "--from TEXT is missing"},
        {{"import-eq", known, "--channel", "in1", "--from", text}, 2, "-o OUT is missing"},
        {{"import-eq", known, "--channel", "out9", "--from", text, "-o", Path("x")},
         2,
         "--channel: 'out9' is not a channel of the 4x8"},
        {{"import-eq", known, "--channel", "in1", "--from", Path("missing.txt"), "-o", Path("x")},
         1,
         "cannot read " + Path("missing.txt")},
        {{"import-eq", known, "--channel", "in1", "--from", text, "--id", "3", "-o", Path("x")},
         2,
         "--id needs --port"},
        {{"export-eq", known, "--channel", "in1", "--format", "csv"},
         2,
         "--format: 'csv' is not rew or apo"},
        {{"export-eq", known, "--channel", "in1", "--preamp"}, 2, "export-eq does not take"},
    };
    for (const auto& c : cases) {
        const CliResult result = RunCli(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(c.message))
            << c.arguments.join(' ').toStdString() << ": " << result.err.toStdString();
    }
}

TEST_F(CliEqTest, ImportGoesToTheLiveProgramOfADevice) {
    SimProcess sim({"--fast", "--device", "1:2"});
    ASSERT_TRUE(sim.Started());
    const CliResult imported =
        RunCli(QStringList{"import-eq", "--port", sim.Link(), "--model", "3x6", "--channel", "out2",
                           "--from", Sample("apo_config.txt"), "--preamp"} +
               kFast);
    ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.err.contains("preamp -3.0 dB: channel gain 0.0 dB becomes -3.0 dB"));

    // Pulled back from the device: the bands and the gain arrived.
    const CliResult pulled = RunCli(
        QStringList{"pull", "--port", sim.Link(), "--model", "3x6", "-o", Path("live")} + kFast);
    ASSERT_EQ(pulled.exitCode, 0) << pulled.err.toStdString();
    const CliResult exported = RunCli({"export-eq", Path("live.dia36"), "--model", "3x6",
                                       "--channel", "out2", "--format", "apo"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    const QStringList lines = exported.OutLines();
    ASSERT_EQ(lines.size(), 1 + 6);
    EXPECT_EQ(lines[1], "Filter 1: ON PK Fc 50 Hz Gain -3.0 dB Q 9.614");
    EXPECT_EQ(lines[2], "Filter 2: ON PK Fc 100 Hz Gain 1.0 dB Q 9.614");
    EXPECT_EQ(lines[3], "Filter 3: ON LSC 12 dB Fc 300 Hz Gain 5.0 dB");
    EXPECT_EQ(lines[4], "Filter 4: ON HSC 6 dB Fc 6000 Hz Gain -2.0 dB");
    // A band that is off travels as 0.0 dB: the device keeps no gain for it.
    EXPECT_EQ(lines[5], "Filter 5: OFF PK Fc 1000 Hz Gain 0.0 dB Q 1.414");
    const CliResult table = RunCli({"table", Path("live.dia36"), "--model", "3x6", "--csv"});
    const QStringList rows = table.out.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_FALSE(rows.isEmpty());
    const int column = static_cast<int>(rows.front().split(',').indexOf("Out2"));
    QString gain;
    for (const QString& row : rows) {
        if (row.startsWith("Gain,")) {
            gain = row.split(',').value(column);
        }
    }
    EXPECT_EQ(gain, "-3.0") << table.out.toStdString();
}

} // namespace
