// sonvex-cli end to end on program files and its command line: help texts, usage errors,
// the data-view table (aligned and CSV) for every model, and the response curve.

#include "tools/CliRunner.h"

#include "core/model/ValueTables.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using clitest::CliResult;
using clitest::RunCli;

namespace {

using CsvRows = std::vector<QStringList>;

// RFC 4180 reader: fields in double quotes may hold commas, CR, LF and doubled quotes; records
// end with CRLF. Fails the test on a bare LF or a quote inside an unquoted field.
CsvRows ParseCsv(const QString& text) {
    CsvRows rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            EXPECT_TRUE(field.isEmpty() && !wasQuoted) << "quote inside a field";
            quoted = wasQuoted = true;
        } else if (c == QLatin1Char(',')) {
            row << field;
            field.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                   text[i + 1] == QLatin1Char('\n')) {
            row << field;
            rows.push_back(row);
            row.clear();
            field.clear();
            wasQuoted = false;
            ++i;
        } else {
            EXPECT_NE(c, QLatin1Char('\n')) << "record not ended by CRLF";
            field += c;
        }
    }
    EXPECT_TRUE(field.isEmpty() && row.isEmpty()) << "last record not ended by CRLF";
    return rows;
}

// Cell of the row labelled label in the column headed header.
QString Cell(const CsvRows& rows, const QString& label, const QString& header) {
    const int column = static_cast<int>(rows.front().indexOf(header));
    for (const QStringList& row : rows) {
        if (!row.isEmpty() && row.front() == label && column >= 0 && column < row.size()) {
            return row[column];
        }
    }
    ADD_FAILURE() << "no cell " << label.toStdString() << " / " << header.toStdString();
    return QStringLiteral("<missing>");
}

class CliFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

TEST(CliHelpTest, OverviewAndEveryCommandExplainThemselves) {
    const CliResult overview = RunCli({"--help"});
    ASSERT_EQ(overview.exitCode, 0);
    const QStringList commands{"ports",   "search", "info", "pull",  "push", "backup",
                               "restore", "set-id", "set",  "table", "curve"};
    for (const QString& command : commands) {
        EXPECT_TRUE(overview.out.contains(QRegularExpression("\\n  " + command + " +\\w")))
            << command.toStdString() << " missing from the overview";
        const CliResult help = RunCli({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command.toStdString();
        EXPECT_TRUE(
            help.out.contains(QRegularExpression("^Usage: sonvex-cli " + command + "[ \\n]")))
            << help.out.toStdString();
        EXPECT_TRUE(help.out.contains("Example: sonvex-cli " + command)) << command.toStdString();
    }
    EXPECT_TRUE(overview.out.contains("--port")) << "common options are explained";
}

TEST(CliHelpTest, WrongCommandLinesExitWithTwoAndOneLine) {
    const std::vector<QStringList> cases{
        {},
        {"frobnicate"},
        {"pull", "--port", "/nonexistent"},          // no -o
        {"curve", "x.dia48", "--port", "/dev/null"}, // option the command does not take
        {"curve", "x.dia48", "--fast"},              // nor does it talk to a device
        {"table", "x.dia48", "--fast"},              // a file table talks to no device
        {"info", "--port", "p", "--id", "251"},      // ID out of range
        {"info", "--port", "p", "--model", "5x5"},   // unknown model
        {"set", "out9.gain=1", "--port", "p"},       // no such channel on a 4x8
        {"set", "out5.gain=1", "--port", "p", "--model", "Jexo"}, // nor on a 2x4
        {"set", "in1.eq9.gain=1", "--port", "p"},                 // inputs have eight bands
        {"set", "out1.eq7.gain=1", "--port", "p"},                // outputs six
        {"set", "out1.gate=off", "--port", "p"},                  // outputs have no gate
        {"set", "in1.hpf.freq=80", "--port", "p"}, // no editor sets an input's crossover
        {"set", "out1.gain", "--port", "p"},       // no value
        {"table", "--csv"},                        // neither file nor port
        {"curve", "x.dia24", "--model", "2x4", "--channel", "out5"},
    };
    for (const QStringList& arguments : cases) {
        const CliResult result = RunCli(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(result.ErrLines().size(), 1) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
}

TEST_F(CliFileTest, TableCsvShowsTheKnownCellsForEveryModel) {
    struct Case {
        int type;
        QString model;
        int rows;
        int inputs;
        int outputs;
    };
    for (const Case& c :
         {Case{1, "4x8", 73, 4, 8}, Case{2, "Wupa", 55, 3, 6}, Case{3, "2x4", 55, 2, 4}}) {
        SCOPED_TRACE(c.model.toStdString());
        QDir().mkpath(m_dir.path() + "/" + c.model);
        const QString written = clitest::WriteKnownProgram(m_dir.path() + "/" + c.model, c.type);
        const CliResult result = RunCli({"table", written, "--model", c.model, "--csv"});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        const CsvRows rows = ParseCsv(result.out);
        ASSERT_EQ(static_cast<int>(rows.size()), 1 + c.rows);

        QStringList headers{"Known"};
        for (int i = 0; i < c.inputs; ++i) {
            headers << QStringLiteral("Input %1").arg(QChar('A' + i));
        }
        for (int n = 1; n <= c.outputs; ++n) {
            headers << QStringLiteral("Out%1").arg(n);
        }
        EXPECT_EQ(rows.front(), headers);
        for (const QStringList& row : rows) {
            EXPECT_EQ(row.size(), headers.size());
        }

        EXPECT_EQ(Cell(rows, "Name", "Input A"), "Kick,L");
        EXPECT_EQ(Cell(rows, "Name", "Out1"), "Top\"L\"");
        EXPECT_EQ(Cell(rows, "Gain", "Input A"), "-3.0");
        EXPECT_EQ(Cell(rows, "Gain", "Out1"), "2.5");
        EXPECT_EQ(Cell(rows, "Gain", "Out2"), "0.0");
        EXPECT_EQ(Cell(rows, "Polarity", "Input A"), "-Invert");
        EXPECT_EQ(Cell(rows, "Polarity", "Out1"), "+Normal");
        EXPECT_EQ(Cell(rows, "NoiseGate", "Input A"), "-70.0");
        EXPECT_EQ(Cell(rows, "NoiseGate", "Input B"), "Disable");
        EXPECT_EQ(Cell(rows, "NoiseGate", "Out1"), "");
        EXPECT_EQ(Cell(rows, "Mute", "Input B"), "Mute");
        EXPECT_EQ(Cell(rows, "Mute", "Input A"), "On");
        EXPECT_EQ(Cell(rows, "Delay", "Out1"), c.type == 1 ? "0.0000ms" : "0.000ms");
        // A shelf shows no bandwidth or Q; a PEQ band shows both.
        EXPECT_EQ(Cell(rows, "EQ1 Type", "Input A"), "Lo_Shf 12dB");
        EXPECT_EQ(Cell(rows, "EQ1 Gain", "Input A"), "6.0");
        EXPECT_EQ(Cell(rows, "EQ1 Freq", "Input A"), "120");
        EXPECT_EQ(Cell(rows, "EQ1 BW", "Input A"), "");
        EXPECT_EQ(Cell(rows, "EQ1 Q", "Input A"), "");
        EXPECT_EQ(Cell(rows, "EQ2 Type", "Out1"), "PEQ");
        EXPECT_EQ(Cell(rows, "EQ2 Gain", "Out1"), "6.0");
        EXPECT_EQ(Cell(rows, "EQ2 Freq", "Out1"), "1000");
        EXPECT_EQ(Cell(rows, "EQ2 BW", "Out1"), "1.00");
        EXPECT_EQ(Cell(rows, "EQ2 Q", "Out1"), "1.414");
        EXPECT_EQ(Cell(rows, "Src CHA", "Out1"), "On");
        EXPECT_EQ(Cell(rows, "Src CHB", "Out1"), "On");
        EXPECT_EQ(Cell(rows, "Src CHB", "Out2"), "Off");
        EXPECT_EQ(Cell(rows, "Src CHA", "Input A"), "");
        EXPECT_EQ(Cell(rows, "XType_HPF", "Out1"), "L_R");
        EXPECT_EQ(Cell(rows, "XFreq_HPF", "Out1"), "100");
        EXPECT_EQ(Cell(rows, "XSLope_HPF", "Out1"), "24dB");
        EXPECT_EQ(Cell(rows, "XType_LPF", "Out1"), "BTWorth");
        EXPECT_EQ(Cell(rows, "XFreq_LPF", "Out1"), "16000");
        EXPECT_EQ(Cell(rows, "XSLope_LPF", "Out1"), "12dB");
        EXPECT_EQ(Cell(rows, "XFreq_HPF", "Input A"), "");
        EXPECT_EQ(Cell(rows, "Threshold", "Out1"), "5.0");
        EXPECT_EQ(Cell(rows, "Attack", "Out1"), "0.6");
        EXPECT_EQ(Cell(rows, "Release", "Out1"), "16X");
        EXPECT_EQ(Cell(rows, "Attack", "Out2"), "");
        EXPECT_EQ(Cell(rows, "Release", "Out2"), "");

        const QString last = rows.back().front();
        if (c.type == 1) {
            EXPECT_EQ(Cell(rows, "InPut Source", "Input C"), "Analog");
            EXPECT_EQ(Cell(rows, "InPut Source", "Out1"), "");
            EXPECT_EQ(Cell(rows, "EQ8 Type", "Input D"), "PEQ");
            EXPECT_EQ(Cell(rows, "EQ8 Type", "Out1"), ""); // outputs have six bands
            EXPECT_EQ(Cell(rows, "Ratio", "Out1"), "1:8");
            EXPECT_EQ(Cell(rows, "Clip Limit", "Out1"), "4.0");
            EXPECT_EQ(Cell(rows, "Compression Type", "Out1"), "Manual");
            EXPECT_EQ(Cell(rows, "Compression Type", "Out2"), "Auto");
            EXPECT_EQ(Cell(rows, "Compression Mode", "Out1"), "Compressor");
            EXPECT_EQ(last, "Compression Mode");
        } else {
            EXPECT_EQ(rows[1].front(), "Name");
            EXPECT_EQ(rows[2].front(), "NoiseGate"); // no input-source row
            EXPECT_EQ(Cell(rows, "EQ6 Type", "Input B"), "PEQ");
            EXPECT_EQ(last, "Release");
            // Row 44 (after "Src CHB"): "Src CHC" on the 3x6, empty on the 2x4.
            EXPECT_EQ(rows[1 + 44].front(), c.type == 2 ? "Src CHC" : "");
        }
    }
}

TEST_F(CliFileTest, AlignedTableLinesUpItsColumns) {
    const QString file = clitest::WriteKnownProgram(m_dir.path(), 1);
    const CliResult result = RunCli({"table", file});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList lines = result.out.split('\n');
    ASSERT_GE(lines.size(), 75); // header, rule, 73 rows
    const int out1 = static_cast<int>(lines[0].indexOf("Out1"));
    ASSERT_GT(out1, 0);
    EXPECT_TRUE(lines[1].startsWith("-----"));
    const QString gain = lines.filter(QRegularExpression("^Gain ")).value(0);
    EXPECT_EQ(gain.mid(out1, 3), "2.5") << gain.toStdString();
    EXPECT_EQ(gain.indexOf("-3.0"), lines[0].indexOf("Input A"));
}

TEST_F(CliFileTest, TableOfAMissingOrShortFileFails) {
    QFile cut(Path("cut.dia48"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(QByteArray(100, '\0'));
    cut.close();
    const std::vector<std::pair<QString, QString>> cases{
        {Path("missing.dia48"), "cannot be opened (No such file or directory)"},
        {Path("cut.dia48"), "ends before the program is complete"}};
    for (const auto& [file, reason] : cases) {
        const CliResult result = RunCli({"table", file});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err.trimmed(),
                  "sonvex-cli: File read Error: " + file + " (" + reason + ")");
        EXPECT_TRUE(result.out.isEmpty());
    }
}

TEST_F(CliFileTest, CurvePrintsTheSummedResponseOfTheChannel) {
    const QString file = clitest::WriteKnownProgram(m_dir.path(), 1);
    const QRegularExpression format("^(\\d+\\.\\d)\\t(-?\\d+\\.\\d{4})$");

    const auto curve = [&](const QString& channel) {
        const CliResult result = RunCli({"curve", file, "--channel", channel});
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QStringList lines = result.out.split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), PlotPointCount);
        std::vector<double> levels;
        for (int i = 0; i < lines.size(); ++i) {
            const auto match = format.match(lines[i]);
            EXPECT_TRUE(match.hasMatch()) << lines[i].toStdString();
            EXPECT_NEAR(match.captured(1).toDouble(), PlotFrequencies[static_cast<std::size_t>(i)],
                        1e-9);
            levels.push_back(match.captured(2).toDouble());
        }
        return levels;
    };
    const auto at = [](double hz) {
        int best = 0;
        for (int i = 0; i < PlotPointCount; ++i) {
            if (std::abs(PlotFrequencies[static_cast<std::size_t>(i)] - hz) <
                std::abs(PlotFrequencies[static_cast<std::size_t>(best)] - hz)) {
                best = i;
            }
        }
        return static_cast<std::size_t>(best);
    };

    // Out1: +6 dB peak at 1 kHz, 24 dB/oct high-pass at 100 Hz, low-pass at 16 kHz.
    const std::vector<double> out1 = curve("out1");
    ASSERT_EQ(out1.size(), static_cast<std::size_t>(PlotPointCount));
    EXPECT_NEAR(out1[at(1000)], 6.0, 0.3);
    EXPECT_LT(out1[at(10)], -60.0);
    EXPECT_NEAR(out1[at(100)], -6.0, 0.5); // L_R: -6 dB at the crossover frequency
    EXPECT_LT(out1[PlotPointCount - 1], -3.0);

    // In1: the +6 dB low shelf at 120 Hz; its 1 kHz high-pass is not part of the curve.
    const std::vector<double> in1 = curve("in1");
    ASSERT_EQ(in1.size(), static_cast<std::size_t>(PlotPointCount));
    EXPECT_NEAR(in1[0], 6.0, 0.2);
    EXPECT_NEAR(in1[PlotPointCount - 1], 0.0, 0.2);

    // An untouched output is flat.
    for (const double level : curve("out8")) {
        EXPECT_EQ(level, 0.0);
    }
}

} // namespace
