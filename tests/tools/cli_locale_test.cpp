// sonvex-cli under a German locale prints and reads numbers exactly as under the C locale: the
// same bytes from table, table --csv and curve, and the same values reaching the device from a
// set with decimal values. A decimal comma is refused in both.

#include "tools/CliRunner.h"

#include "core/protocol/ProtocolCodes.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <langinfo.h>
#include <locale.h>

using clitest::CliResult;
using simtest::SimProcess;

namespace {

const QString kGerman = QStringLiteral("de_DE.UTF-8");
const QString kC = QStringLiteral("C");

bool LocaleInstalled(const QString& name) {
    const locale_t locale = newlocale(LC_ALL_MASK, name.toLatin1().constData(), nullptr);
    if (locale == nullptr) {
        return false;
    }
    freelocale(locale);
    return true;
}

// sonvex-cli with arguments, its locale set by LC_ALL.
CliResult RunIn(const QString& locale, const QStringList& arguments) {
    EnsureApplication();
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(SONVEX_BIN_DIR "/sonvex-cli"), arguments);
    CliResult result;
    if (!process.waitForStarted(5000) || !process.waitForFinished(120000)) {
        ADD_FAILURE() << "sonvex-cli " << arguments.join(' ').toStdString() << " did not run";
        process.kill();
        process.waitForFinished(3000);
        return result;
    }
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

// The same command under the C and the German locale gives the same bytes and exit status;
// the C locale's result.
CliResult SameInBothLocales(const QStringList& arguments) {
    const CliResult c = RunIn(kC, arguments);
    const CliResult german = RunIn(kGerman, arguments);
    const std::string command = arguments.join(' ').toStdString();
    EXPECT_EQ(german.exitCode, c.exitCode) << command;
    EXPECT_EQ(german.out.toStdString(), c.out.toStdString()) << command;
    EXPECT_EQ(german.err.toStdString(), c.err.toStdString()) << command;
    return c;
}

class CliLocaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!LocaleInstalled(kGerman)) {
            GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (./sonvex.sh test "
                            "generates it with Debian's locales package)";
        }
        // Under it the C library itself writes a decimal comma, so the comparison means
        // something.
        const locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr);
        ASSERT_STREQ(nl_langinfo_l(RADIXCHAR, german), ",");
        freelocale(german);
        ASSERT_TRUE(m_dir.isValid());
    }

    QTemporaryDir m_dir;
};

TEST_F(CliLocaleTest, FileCommandsPrintTheSameBytes) {
    struct Model {
        int deviceType;
        int delay;         // of input A
        const char* shown; // its table text
    };
    for (const Model& model :
         {Model{1, 961, "9.9944ms"}, Model{2, 238, "4.998ms"}, Model{3, 1000, "534.0ms"}}) {
        CZorvanDoc doc;
        doc.GetProgram().SetDeviceType(model.deviceType);
        clitest::EditKnownProgram(doc.GetProgram());
        doc.GetProgram().GetInput(0)->SetDelay(model.delay);
        const QString base = m_dir.filePath(QStringLiteral("model%1").arg(model.deviceType));
        const FileResult written = StoreProgramToPC(doc, model.deviceType, base.toStdString());
        ASSERT_TRUE(written.ok) << written.error;
        const QString file = QString::fromStdString(written.path);
        const QStringList modelOption{"--model", clitest::ModelName(model.deviceType)};

        const CliResult table = SameInBothLocales(QStringList{"table", file} + modelOption);
        EXPECT_EQ(table.exitCode, 0) << table.err.toStdString();
        EXPECT_TRUE(table.out.contains(QLatin1String(model.shown))) << table.out.toStdString();
        const CliResult csv = SameInBothLocales(QStringList{"table", file, "--csv"} + modelOption);
        EXPECT_TRUE(csv.out.contains(QLatin1String(",-3.0,"))) << csv.out.toStdString();
        const CliResult curve =
            SameInBothLocales(QStringList{"curve", file, "--channel", "out1"} + modelOption);
        EXPECT_TRUE(curve.out.startsWith(QLatin1String("10.0\t"))) << curve.out.toStdString();
    }
}

TEST_F(CliLocaleTest, SetTakesADecimalPointAndRefusesADecimalComma) {
    // One simulated device for each locale: the same command leaves both in the same state.
    SimProcess c({"--fast"});
    SimProcess german({"--fast"});
    ASSERT_TRUE(c.Started()) << c.Error().toStdString();
    ASSERT_TRUE(german.Started()) << german.Error().toStdString();
    const QStringList values{"out1.gain=-2.5", "out2.delay=3.4m", "out3.eq1.gain=4.5",
                             "out3.eq1.q=1.414", "out4.limiter.attack=0.6"};
    const auto run = [](const QString& locale, const SimProcess& sim, const QStringList& more) {
        return RunIn(locale,
                     QStringList{more.front(), "--port", sim.Link(), "--tick", "5"} + more.mid(1));
    };

    const CliResult setC = run(kC, c, QStringList{"set"} + values);
    const CliResult setGerman = run(kGerman, german, QStringList{"set"} + values);
    ASSERT_EQ(setC.exitCode, 0) << setC.err.toStdString();
    EXPECT_EQ(setGerman.exitCode, 0) << setGerman.err.toStdString();
    EXPECT_EQ(setGerman.out.toStdString(), setC.out.toStdString());
    EXPECT_EQ(setGerman.err.toStdString(), setC.err.toStdString());

    const CliResult tableC = run(kC, c, {"table", "--csv"});
    const CliResult tableGerman = run(kGerman, german, {"table", "--csv"});
    ASSERT_EQ(tableC.exitCode, 0) << tableC.err.toStdString();
    EXPECT_EQ(tableGerman.out.toStdString(), tableC.out.toStdString());
    EXPECT_TRUE(tableC.out.contains(QLatin1String(",-2.5,"))) << tableC.out.toStdString();
    EXPECT_TRUE(tableC.out.contains(QLatin1String(",1.414,"))) << tableC.out.toStdString();

    // "1,5" is no number in either locale: refused with the same message, nothing written.
    const std::size_t before = german.Frames().size();
    const CliResult commaGerman = run(kGerman, german, {"set", "out1.gain=-1,5"});
    const CliResult commaC = run(kC, c, {"set", "out1.gain=-1,5"});
    EXPECT_EQ(commaGerman.exitCode, 1);
    EXPECT_EQ(commaGerman.err.toStdString(), commaC.err.toStdString());
    EXPECT_TRUE(commaGerman.err.contains(QLatin1String("'-1,5' is not a number")))
        << commaGerman.err.toStdString();
    for (const simtest::LoggedFrame& frame : german.Received(before)) {
        EXPECT_NE(frame.Code(), Protocol::WriteRequest) << "a refused set wrote to the device";
    }
}

} // namespace
