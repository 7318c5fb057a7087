#pragma once

// Runs the real sonvex-cli as a child process and collects what it printed and its exit status,
// and writes the program files the tests feed it.

#include "common/SimProcess.h"
#include "common/TestApplication.h"

#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

#include <gtest/gtest.h>

namespace clitest {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;

    QStringList OutLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    QStringList ErrLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

// The sonvex-cli of this build.
inline QString CliProgram() {
    return QStringLiteral(SONVEX_BIN_DIR "/sonvex-cli");
}

// inChild, when given, runs in the child before sonvex-cli starts (e.g. to change the user);
// program, when given, is the sonvex-cli to run (a copy of the build's).
inline CliResult RunCli(const QStringList& arguments, int timeoutMs = 120000,
                        const std::function<void()>& inChild = {},
                        const QString& program = QString()) {
    EnsureApplication();
    QProcess process;
    process.setProgram(program.isEmpty() ? CliProgram() : program);
    process.setArguments(arguments);
    if (inChild) {
        process.setChildProcessModifier(inChild);
    }
    process.start();
    CliResult result;
    if (!process.waitForStarted(5000)) {
        ADD_FAILURE() << "sonvex-cli did not start";
        return result;
    }
    if (!process.waitForFinished(timeoutMs)) {
        ADD_FAILURE() << "sonvex-cli " << arguments.join(' ').toStdString() << " did not finish";
        process.kill();
        process.waitForFinished(3000);
        return result;
    }
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

// The model option of a device type.
inline QString ModelName(int deviceType) {
    return deviceType == 2 ? QStringLiteral("3x6")
                           : (deviceType == 3 ? QStringLiteral("2x4") : QStringLiteral("4x8"));
}

// A program of deviceType with parameters away from their defaults in every group the table
// shows; the expected texts are listed next to the edits in the tests that use it.
inline void EditKnownProgram(CAudio_Data& program) {
    program.SetName("Known");
    const bool large = program.GetDeviceType() == 1;
    const int zero = large ? 400 : 360;

    CAudio_InData& a = *program.GetInput(0);
    a.SetName("Kick,L");  // a comma: the CSV field is quoted
    a.SetGain(zero - 30); // -3.0
    a.SetPolarity(1);
    a.SetGateThreshold(50); // -70.0
    CFilter& shelf = *a.GetFilter(0);
    shelf.SetType(CFilter::LowShelf);
    shelf.SetSlope(1);
    shelf.SetFrequency(120);
    shelf.SetGainIndex(360);             // +6.0
    a.GetHighPass()->SetFrequency(1000); // sent but not drawn

    CAudio_InData& b = *program.GetInput(1);
    b.SetOn(0);
    b.SetGateOff(1);

    CAudio_OutData& out1 = *program.GetOutput(0);
    out1.SetName("Top\"L\"");
    out1.SetSourceMask(0x3); // A and B
    out1.SetGain(zero + 25); // +2.5
    CFilter& peq = *out1.GetFilter(1);
    peq.SetFrequency(1000);
    peq.SetGainIndex(360);                  // +6.0
    peq.SetBandwidthIndex(large ? 95 : 19); // 1.00 octave, Q 1.414
    out1.GetHighPass()->SetFrequency(100);
    out1.GetHighPass()->SetCrossoverType(CFilter::LinkwitzRiley);
    out1.GetHighPass()->SetSlope(2);
    out1.GetLowPass()->SetFrequency(16000);
    out1.SetLimitThreshold(350); // +5.0
    out1.SetAttack(3);           // 0.6
    out1.SetRelease(4);          // 16X
    out1.SetRatio(3);            // 1:8
    out1.SetCompressorMode(1);
    out1.SetAutoTiming(0);
    CAudio_OutData& out2 = *program.GetOutput(1);
    out2.SetCompressorMode(1);
    out2.SetAutoTiming(1); // automatic: no attack or release shown
    program.ClearChanged();
}

// Writes the known program of deviceType as a one-program file; the path written.
inline QString WriteKnownProgram(const QString& directory, int deviceType) {
    CZorvanDoc doc;
    doc.GetProgram().SetDeviceType(deviceType);
    EditKnownProgram(doc.GetProgram());
    const FileResult result =
        StoreProgramToPC(doc, deviceType, (directory + QStringLiteral("/known")).toStdString());
    EXPECT_TRUE(result.ok) << result.error;
    return QString::fromStdString(result.path);
}

} // namespace clitest
