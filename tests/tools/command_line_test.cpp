// The command lines of the three programs, run as built and without a display: --help answers
// (what the manual pages are made from), and an unknown option ends the program with status 2
// and one line on stderr that names it.

#include "common/TestApplication.h"

#include "SonvexVersion.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome RunProgram(const QString& program, const QStringList& arguments) {
    EnsureApplication();
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(SONVEX_BIN_DIR "/") + program, arguments);
    Outcome run;
    if (!process.waitForFinished(30000)) {
        ADD_FAILURE() << program.toStdString() << " did not finish";
        process.kill();
        process.waitForFinished(3000);
        return run;
    }
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

QString Describe(const QString& program, const QStringList& arguments) {
    return program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
}

} // namespace

TEST(CommandLineTest, EveryProgramAnswersHelpAndVersionWithoutADisplay) {
    for (const QString program : {"sonvex", "sonvex-cli", "sonvex-sim"}) {
        const Outcome help = RunProgram(program, {"--help"});
        EXPECT_EQ(help.exitCode, 0) << program.toStdString() << ": " << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith("Usage: ")) << help.out.toStdString();
        EXPECT_TRUE(help.out.contains("--version")) << program.toStdString();
        const Outcome version = RunProgram(program, {"--version"});
        EXPECT_EQ(version.exitCode, 0) << program.toStdString();
        EXPECT_EQ(version.out, program + " " + kSonvexVersion + "\n");
    }
    const Outcome sim = RunProgram("sonvex-sim", {"-h"});
    EXPECT_EQ(sim.exitCode, 0);
    EXPECT_TRUE(sim.out.contains("--device ID:TYPE")) << sim.out.toStdString();
}

TEST(CommandLineTest, AnUnknownOptionExitsWithTwoAndOneLineNamingIt) {
    struct Case {
        QString program;
        QStringList arguments;
        QString option; // as the message must name it
    };
    std::vector<Case> cases{
        {"sonvex", {"--colour"}, "--colour"},
        {"sonvex", {"--model", "3x6", "--colour=red"}, "--colour"},
        {"sonvex", {"-x"}, "-x"},
        {"sonvex-sim", {"--colour"}, "--colour"},
        {"sonvex-sim", {"--fast", "-x"}, "-x"},
        {"sonvex-cli", {"--colour"}, "--colour"},
        {"sonvex-cli", {"info", "-x", "--port", "p"}, "-x"},
    };
    // Every command of sonvex-cli, as its completion lists them.
    const Outcome commands = RunProgram("sonvex-cli", {"--complete", "commands"});
    const QStringList names = commands.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_GE(names.size(), 11) << commands.out.toStdString();
    for (const QString& command : names) {
        cases.push_back({"sonvex-cli", {command, "--colour", "--port", "p"}, "--colour"});
    }
    for (const Case& c : cases) {
        const std::string what = Describe(c.program, c.arguments).toStdString();
        const Outcome run = RunProgram(c.program, c.arguments);
        EXPECT_EQ(run.exitCode, 2) << what;
        EXPECT_TRUE(run.out.isEmpty()) << what;
        const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 1) << what << ": " << run.err.toStdString();
        const QString expected = c.program + ": unknown option " + c.option;
        EXPECT_TRUE(lines.front() == expected || lines.front().startsWith(expected + " ("))
            << what << ": " << lines.front().toStdString();
    }
}
