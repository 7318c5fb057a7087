#include "Verification.h"

#include "Commands.h"
#include "DeviceSession.h"

#include "core/files/ProgramCompare.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"

#include <iostream>

namespace Verification {

std::unique_ptr<CAudio_Data> ReadBack(DeviceSession& session, int program) {
    const QString what = QStringLiteral("reading back program %1").arg(program);
    if (program == 0) {
        // The live program arrives in the document's program, channel by channel of the model.
        if (!session.RunTransfer([&] { return session.Link().RecallProgram(0); }, what)) {
            return nullptr;
        }
        auto live = std::make_unique<CAudio_Data>();
        live->SetDeviceType(session.GetVariant().deviceType);
        live->CopyFrom(session.Program());
        return live;
    }
    if (!session.RunTransfer([&] { return session.Link().ReadStoredProgram(program); }, what)) {
        return nullptr;
    }
    return ProgramCompare::FromImage(
        session.Document().GetStoredPrograms()[static_cast<std::size_t>(program - 1)],
        session.GetVariant().deviceType);
}

void Outcome::Add(const CAudio_Data& written, const CAudio_Data& readBack, int deviceType,
                  int program) {
    const std::vector<std::string> added =
        ProgramCompare::Lines(written, readBack, deviceType, program);
    lines.insert(lines.end(), added.begin(), added.end());
}

int Report(const Outcome& outcome, const QString& what, const QString& file) {
    if (outcome.lines.empty()) {
        return Commands::kSuccess;
    }
    for (const std::string& line : outcome.lines) {
        std::cout << line << '\n';
    }
    std::cout.flush();
    return Commands::Failure(
        QStringLiteral("%1 read back from the device differs from %2 in %3 parameter(s)")
            .arg(what, file)
            .arg(outcome.lines.size()));
}

int CheckProgram(DeviceSession& session, const CAudio_Data& written, int program,
                 const QString& file) {
    const std::unique_ptr<CAudio_Data> readBack = ReadBack(session, program);
    if (!readBack) {
        return Commands::Failure(session.Error());
    }
    Outcome outcome;
    outcome.Add(written, *readBack, session.GetVariant().deviceType, program);
    return Report(outcome, QStringLiteral("program %1").arg(program), file);
}

int CheckBank(DeviceSession& session, const CZorvanDoc::StoredPrograms& written,
              const QString& file) {
    bool complete = false;
    QObject::connect(&session.Link(), &PanelLink::bankCompleted, [&] { complete = true; });
    if (!session.RunTransfer([&] { return session.Link().StoreAllToPC(); },
                             QStringLiteral("reading back programs 1..30"))) {
        return Commands::Failure(session.Error());
    }
    if (!complete) {
        return Commands::Failure(
            QStringLiteral("program 30 did not arrive; the programs were not compared"));
    }
    Outcome outcome;
    outcome.lines = ProgramCompare::BankLines(written, session.Document().GetStoredPrograms(),
                                              session.GetVariant().deviceType);
    return Report(outcome, QStringLiteral("programs 1..30"), file);
}

} // namespace Verification
