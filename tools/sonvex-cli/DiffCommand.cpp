// diff: the parameters in which two program files, or a file and a device's live program,
// differ. Exit 0 when none do, 1 when some do, 2 on any trouble (a wrong command line, a file
// that cannot be read, a device that does not answer), so that a script can tell a difference
// from a failure.

#include "CliOptions.h"
#include "Commands.h"
#include "DeviceSession.h"
#include "Verification.h"

#include "core/files/ProgramCompare.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"

#include <iostream>

namespace Commands {

namespace {

constexpr int kDifferent = 1;
constexpr int kTrouble = 2;

int Trouble(const QString& message) {
    Failure(message);
    return kTrouble;
}

int Print(const Verification::Outcome& outcome) {
    for (const std::string& line : outcome.lines) {
        std::cout << line << '\n';
    }
    std::cout.flush();
    return outcome.lines.empty() ? kSuccess : kDifferent;
}

// Two bank files: the thirty stored programs slot by slot, "P12 " in front of each line.
int DiffBanks(const CliOptions& options) {
    const Variant& variant = *options.variant;
    CZorvanDoc banks[2];
    for (int i = 0; i < 2; ++i) {
        const QString& path = options.operands[i];
        const std::string otherKind = OtherKind(variant, path, true);
        const FileResult loaded =
            otherKind.empty() ? RecallAllFromPC(banks[i], path.toStdString())
                              : FileResult{false, kFileReadError, path.toStdString(), otherKind};
        if (!loaded) {
            return Trouble(FileFailure(loaded));
        }
    }
    Verification::Outcome outcome;
    outcome.lines = ProgramCompare::BankLines(banks[0].GetStoredPrograms(),
                                              banks[1].GetStoredPrograms(), variant.deviceType);
    return Print(outcome);
}

// A bank file by its extension: a model's (".dat48") or the plain ".dat" a backup writes.
bool IsBankFile(const QString& path) {
    const ProgramFileKind kind = ProgramFileKindOf(path.toStdString());
    return kind.variant != nullptr ? kind.bank
                                   : path.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive);
}

} // namespace

int Diff(const CliOptions& options) {
    const bool fromDevice = options.given.contains(QStringLiteral("port"));
    const qsizetype files = options.operands.size();
    if ((fromDevice && files != 1) || (!fromDevice && files != 2)) {
        return UsageError(options.command,
                          QStringLiteral("give two program files, or one and --port"));
    }
    if (!fromDevice) {
        for (const QString name : {"id", "verbose", "tick", "fast"}) {
            if (options.given.contains(name)) {
                return UsageError(options.command, QStringLiteral("--%1 needs --port").arg(name));
            }
        }
        if (IsBankFile(options.operands[0]) && IsBankFile(options.operands[1])) {
            return DiffBanks(options);
        }
    }
    const Variant& variant = *options.variant;
    CZorvanDoc first;
    if (!LoadProgramFile(first, variant, options.operands[0])) {
        return kTrouble;
    }
    Verification::Outcome outcome;
    if (!fromDevice) {
        CZorvanDoc second;
        if (!LoadProgramFile(second, variant, options.operands[1])) {
            return kTrouble;
        }
        outcome.Add(first.GetProgram(), second.GetProgram(), variant.deviceType, 0);
        return Print(outcome);
    }
    DeviceSession session(options);
    if (!session.Open()) {
        return Trouble(session.Error());
    }
    outcome.Add(first.GetProgram(), session.Program(), variant.deviceType, 0);
    return Print(outcome);
}

} // namespace Commands
