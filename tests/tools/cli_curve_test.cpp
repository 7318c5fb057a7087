// sonvex-cli curve with the complex response: phase and group delay columns, the sum of
// outputs and measured drivers, run as the real program on files written here.

#include "tools/CliRunner.h"

#include "core/model/ValueTables.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <vector>

namespace {

using clitest::CliResult;
using clitest::RunCli;

std::size_t PointNear(double hz) {
    std::size_t best = 0;
    for (std::size_t i = 0; i < PlotFrequencies.size(); ++i) {
        if (std::abs(std::log(PlotFrequencies[i] / hz)) <
            std::abs(std::log(PlotFrequencies[best] / hz))) {
            best = i;
        }
    }
    return best;
}

class CliCurveTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    // A 4-in/8-out program file edited by edit.
    QString WriteProgram(const QString& name, const std::function<void(CAudio_Data&)>& edit) {
        CZorvanDoc doc;
        doc.GetProgram().SetDeviceType(1);
        edit(doc.GetProgram());
        const FileResult result = StoreProgramToPC(doc, 1, Path(name).toStdString());
        EXPECT_TRUE(result.ok) << result.error;
        return QString::fromStdString(result.path);
    }

    QString WriteText(const QString& name, const QByteArray& text) {
        QFile file(Path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    }

    // A two-way loudspeaker: out1 low-pass, out2 high-pass, L_R 24 dB at 1 kHz.
    QString WriteTwoWay() {
        return WriteProgram("twoway", [](CAudio_Data& program) {
            for (CFilter* f :
                 {program.GetOutput(0)->GetLowPass(), program.GetOutput(1)->GetHighPass()}) {
                f->SetFrequency(1000);
                f->SetCrossoverType(CFilter::LinkwitzRiley);
                f->SetSlope(2);
            }
        });
    }

    QTemporaryDir m_dir;
};

// The columns of each of the 241 lines, checked against the plot frequencies.
std::vector<QStringList> Columns(const CliResult& result, int count) {
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QStringList lines = result.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), PlotPointCount);
    std::vector<QStringList> rows;
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList columns = lines[i].split('\t');
        EXPECT_EQ(columns.size(), count) << lines[i].toStdString();
        EXPECT_EQ(columns.value(0).toDouble(), PlotFrequencies[static_cast<std::size_t>(i)]);
        rows.push_back(columns);
    }
    return rows;
}

TEST_F(CliCurveTest, PhaseAndGroupDelayOfAChannelCarryItsGainPolarityAndDelay) {
    const QString file = WriteProgram("channel", [](CAudio_Data& program) {
        CAudio_OutData& out = *program.GetOutput(2);
        out.GetHighPass()->SetFrequency(539);
        out.GetHighPass()->SetCrossoverType(CFilter::LinkwitzRiley);
        out.GetHighPass()->SetSlope(2);
        out.SetGain(425);   // +2.5 dB
        out.SetDelay(480);  // 4.992 ms
        out.SetPolarity(1); // -Invert
    });
    const CliResult plain = RunCli({"curve", file, "--channel", "out3"});
    const CliResult full = RunCli({"curve", file, "--channel", "out3", "--phase", "--group-delay"});
    const std::vector<QStringList> before = Columns(plain, 2);
    const std::vector<QStringList> rows = Columns(full, 4);
    ASSERT_EQ(rows.size(), before.size());
    const QRegularExpression format(
        "^\\d+\\.\\d\\t-?\\d+\\.\\d{4}\\t-?\\d+\\.\\d{2}\\t-?\\d+\\.\\d{4}$");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_TRUE(format.match(rows[i].join('\t')).hasMatch())
            << rows[i].join('\t').toStdString();
        EXPECT_NEAR(rows[i][1].toDouble(), before[i][1].toDouble() + 2.5, 0.00011);
        const double degrees = rows[i][2].toDouble();
        EXPECT_GT(degrees, -180.0);
        EXPECT_LE(degrees, 180.0);
        EXPECT_GT(rows[i][3].toDouble(), 4.992 - 0.0001);
    }
    // At the corner an L_R 24 high-pass turns +180 degrees, inverted 0, less the delay's
    // 360 * 539 * 0.004992 degrees.
    const double expected = std::remainder(-360.0 * 539.0 * 0.004992, 360.0);
    EXPECT_LT(std::abs(std::remainder(rows[120][2].toDouble() - expected, 360.0)), 0.02);
}

TEST_F(CliCurveTest, SumOfATwoWayLoudspeakerIsFlatAndAMeasuredDriverChangesIt) {
    const QString file = WriteTwoWay();
    const std::vector<QStringList> flat =
        Columns(RunCli({"curve", file, "--sum", "out1,out2", "--phase"}), 3);
    for (std::size_t i = 0; i < flat.size(); ++i) {
        if (PlotFrequencies[i] >= 20.0 && PlotFrequencies[i] <= 20000.0) {
            EXPECT_NEAR(flat[i][1].toDouble(), 0.0, 0.1) << PlotFrequencies[i];
        }
    }
    // Magnitude only, and the group delay without the phase.
    Columns(RunCli({"curve", file, "--sum", "out1,out2"}), 2);
    Columns(RunCli({"curve", file, "--sum", "OUT2,out1", "--group-delay"}), 3);

    // A tweeter 6 dB louder, measured from 100 Hz to 20 kHz with phase; REW-like header.
    const QString tweeter =
        WriteText("tweeter.txt", "* Freq(Hz) SPL(dB) Phase(degrees)\n100 6 0\n1000 6 0\n"
                                 "20000 6 0\n");
    const CliResult measured =
        RunCli({"curve", file, "--sum", "out1,out2", "--measurement", "out2=" + tweeter});
    const std::vector<QStringList> rows = Columns(measured, 2);
    EXPECT_NEAR(rows[PointNear(50)][1].toDouble(), 0.0, 0.05);
    EXPECT_NEAR(rows[PointNear(12000)][1].toDouble(), 6.0, 0.05);
    EXPECT_EQ(measured.err.trimmed(),
              "sonvex-cli: note: the measurement of out2 covers 100.0..20000.0 Hz; outside that "
              "its end values are held");
}

TEST_F(CliCurveTest, TheSideFileBesideTheProgramBringsItsMeasuredDrivers) {
    const QString file = WriteTwoWay();
    WriteText(QFileInfo(file).fileName() + ".drivers",
              "# measured drivers\n[out2]\n10 6 0\n30000 6 0\n");
    const CliResult side = RunCli({"curve", file, "--sum", "out1,out2"});
    EXPECT_NEAR(Columns(side, 2)[PointNear(12000)][1].toDouble(), 6.0, 0.05);
    EXPECT_EQ(side.err.trimmed(),
              "sonvex-cli: note: measured drivers of out2 from " + file + ".drivers");

    // A measurement given on the command line takes the side file's place.
    const QString flat = WriteText("flat.frd", "10 0\n30000 0\n");
    const CliResult given =
        RunCli({"curve", file, "--sum", "out1,out2", "--measurement", "out2=" + flat});
    EXPECT_NEAR(Columns(given, 2)[PointNear(12000)][1].toDouble(), 0.0, 0.05);
    EXPECT_TRUE(given.err.isEmpty()) << given.err.toStdString();
    // The plain curve stays the filters alone.
    EXPECT_TRUE(RunCli({"curve", file, "--channel", "out2"}).err.isEmpty());

    WriteText(QFileInfo(file).fileName() + ".drivers", "[out2]\n10 6 0\n5 6 0\n");
    const CliResult bad = RunCli({"curve", file, "--sum", "out1,out2"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err.trimmed(), "sonvex-cli: measured drivers " + file +
                                     ".drivers: line 3: the frequency '5' does not rise above the "
                                     "one before it (frequencies must rise)");
    EXPECT_TRUE(bad.out.isEmpty());
}

TEST_F(CliCurveTest, ATotalNullPrintsMinusInfinity) {
    const QString file = WriteProgram("null", [](CAudio_Data& program) {
        program.GetOutput(1)->SetPolarity(1);
        program.GetOutput(2)->SetOn(0);
    });
    const std::vector<QStringList> rows =
        Columns(RunCli({"curve", file, "--sum", "out1,out2", "--phase", "--group-delay"}), 4);
    for (const QStringList& row : rows) {
        EXPECT_EQ(row.mid(1), (QStringList{"-inf", "0.00", "nan"}));
    }
    const CliResult muted = RunCli({"curve", file, "--sum", "out1,out3"});
    EXPECT_EQ(Columns(muted, 2)[0][1], "0.0000");
    EXPECT_EQ(muted.err.trimmed(), "sonvex-cli: note: out3 is muted and adds nothing to the sum");
}

TEST_F(CliCurveTest, WrongRequestsAreRefused) {
    const QString file = WriteTwoWay();
    const QString good = WriteText("good.frd", "20 80\n20000 80\n");
    const QString falling = WriteText("falling.frd", "# woofer\n20 80\n200 81\n100 82\n");
    struct Case {
        QStringList arguments;
        int status;
        QString message;
    };
    const std::vector<Case> cases{
        {{"--phase"}, 2, "give --channel CH or --sum OUTS"},
        {{"--channel", "out1", "--sum", "out1,out2"}, 2, "give --channel or --sum, not both"},
        {{"--sum", "out1,in1"}, 2, "--sum: 'in1' is an input; the sum adds outputs"},
        {{"--sum", "out1,out9"},
         2,
         "--sum: 'out9' is not a channel (in1..in4, out1..out8 of the 4x8)"},
        {{"--sum", "out1,out1"}, 2, "--sum: out1 is given twice"},
        {{"--sum", "out1,out2", "--measurement", "out3=" + good},
         2,
         "--measurement: out3 is not part of the curve"},
        {{"--channel", "in1", "--measurement", "in1=" + good},
         2,
         "--measurement: 'in1=" + good + "' is not OUT=FILE with OUT one of out1..out8"},
        {{"--sum", "out1,out2", "--measurement", "out2"},
         2,
         "--measurement: 'out2' is not OUT=FILE with OUT one of out1..out8"},
        {{"--sum", "out1,out2", "--measurement", "out2=" + good, "--measurement", "out2=" + good},
         2,
         "--measurement: out2 has two measurements"},
        {{"--sum", "out1,out2", "--measurement", "out2=" + falling},
         1,
         "measurement " + falling +
             ": line 4: the frequency '100' does not rise above the one before it (frequencies "
             "must rise)"},
        {{"--sum", "out1,out2", "--measurement", "out1=" + Path("none.frd")},
         1,
         "measurement " + Path("none.frd") + ": cannot be opened (No such file or directory)"},
    };
    for (const Case& c : cases) {
        const CliResult result = RunCli(QStringList{"curve", file} + c.arguments);
        EXPECT_EQ(result.exitCode, c.status) << c.arguments.join(' ').toStdString();
        const QString expected =
            "sonvex-cli: " + c.message +
            (c.status == 2 ? QStringLiteral(" (see sonvex-cli curve --help)") : QString());
        EXPECT_EQ(result.err.trimmed(), expected);
        EXPECT_TRUE(result.out.isEmpty());
    }
}

} // namespace
