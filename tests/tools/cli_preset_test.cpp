// sonvex-cli export and import: program and bank files of every model through JSON text
// presets and back to the same bytes, and the messages for presets that are wrong.

#include "common/FileBytes.h"
#include "tools/CliRunner.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using clitest::CliResult;
using clitest::ModelName;
using clitest::RunCli;
using simtest::SimProcess;

using testfiles::ReadFile;
using testfiles::WriteFile;

namespace {

const QStringList kFast{"--tick", "5"};

class CliPresetTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(CliPresetTest, ProgramFilesOfEveryModelRoundTripByteForByte) {
    for (int type = 1; type <= 3; ++type) {
        const QString model = ModelName(type);
        const QString known = clitest::WriteKnownProgram(m_dir.path(), type);
        const CliResult exported =
            RunCli({"export", known, "--model", model, "-o", Path("known.json")});
        ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
        const QByteArray json = ReadFile(Path("known.json"));
        EXPECT_TRUE(json.startsWith("{\n  \"sonvex\": \"program\",\n  \"model\": \"" +
                                    model.toUtf8() + "\",\n  \"name\": \"Known\",\n"))
            << json.left(200).toStdString();
        // The model comes from the preset; --model is not needed to read it back.
        const CliResult imported = RunCli({"import", Path("known.json"), "-o", Path("back")});
        ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
        // The known program switches a gate off, which only the 4x8 does: named, and kept.
        EXPECT_EQ(imported.err.contains("inputs.in2.gate_off: "), type != 1)
            << imported.err.toStdString();
        const QString back = Path("back") + known.mid(known.lastIndexOf('.'));
        EXPECT_EQ(ReadFile(back), ReadFile(known)) << model.toStdString();
        QFile::remove(back);
    }
}

TEST_F(CliPresetTest, BankFilesOfEveryModelRoundTripByteForByte) {
    for (int type = 1; type <= 3; ++type) {
        const QString model = ModelName(type);
        SimProcess sim({"--fast", "--device", QStringLiteral("1:%1").arg(type)});
        ASSERT_TRUE(sim.Started());
        const QString bank = Path("bank" + model + ".dat");
        const CliResult backup = RunCli(
            QStringList{"backup", "--port", sim.Link(), "--model", model, "--fast", "-o", bank} +
            kFast);
        ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
        const QString json = Path("bank" + model + ".json");
        const CliResult exported = RunCli({"export", bank, "--model", model, "-o", json});
        ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
        EXPECT_TRUE(ReadFile(json).contains("\"sonvex\": \"bank\""));
        const QString back = Path("back" + model + ".dat");
        const CliResult imported = RunCli({"import", json, "--model", model, "-o", back});
        ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
        EXPECT_EQ(ReadFile(back), ReadFile(bank)) << model.toStdString();
        EXPECT_EQ(ReadFile(back).size(), ReadFile(bank).size());
    }
}

TEST_F(CliPresetTest, WrongPresetsAndFilesGetOneClearLine) {
    const QString known = clitest::WriteKnownProgram(m_dir.path(), 2);
    ASSERT_EQ(RunCli({"export", known, "--model", "3x6", "-o", Path("p.json")}).exitCode, 0);
    QByteArray json = ReadFile(Path("p.json"));
    ASSERT_TRUE(WriteFile(Path("gain.json"),
                          QByteArray(json).replace("\"gain\": {\"dB\": -3.0, \"index\": 330}",
                                                   "\"gain\": {\"dB\": -3.0, \"index\": 331}")));
    ASSERT_TRUE(WriteFile(Path("broken.json"), json.left(json.size() - 3)));
    const struct {
        QStringList arguments;
        int exitCode;
        QString message;
    } cases[] = {
        {{"import", Path("p.json"), "--model", "4x8", "-o", Path("x")},
         1,
         "p.json is a preset for the 3x6; give --model 3x6"},
        {{"import", Path("gain.json"), "-o", Path("x")},
         1,
         "inputs.in1.gain.dB: -3.0 dB is not index 331 (-2.9 dB)"},
        {{"import", Path("broken.json"), "-o", Path("x")}, 1, "the text ends before"},
        {{"import", Path("none.json"), "-o", Path("x")}, 1, "cannot read"},
        {{"import", Path("p.json")}, 2, "-o OUT is missing"},
        {{"export", known, "-o", Path("y.json")}, 1, "is a 3x6 program file; give --model 3x6"},
        {{"export", Path("missing.dia48"), "-o", Path("y.json")}, 1, "File read Error"},
    };
    for (const auto& c : cases) {
        const CliResult result = RunCli(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(c.message))
            << c.arguments.join(' ').toStdString() << ": " << result.err.toStdString();
        EXPECT_EQ(result.ErrLines().size(), 1) << result.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path("x.dia36")));
    EXPECT_FALSE(QFile::exists(Path("x.dia48")));
}

} // namespace
