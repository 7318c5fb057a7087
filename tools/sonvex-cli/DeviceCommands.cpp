// The commands that talk to a device: every device operation goes through the panel's
// device control (DeviceSession / PanelLink), none builds frames of its own.

#include "CliOptions.h"
#include "Commands.h"
#include "DeviceSession.h"
#include "ParamAssignment.h"
#include "TableFormat.h"
#include "Verification.h"

#include "core/files/ProgramFiles.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "line/PortList.h"

#include <iostream>
#include <vector>

namespace Commands {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A command that reads from the device into a file takes no operands and needs -o (kSuccess
// when both hold).
int NoOperandsButOutput(const CliOptions& options) {
    if (const int status = NoOperands(options)) {
        return status;
    }
    if (options.output.isEmpty()) {
        return UsageError(options.command, QStringLiteral("no output file given (-o FILE)"));
    }
    return kSuccess;
}

// The path of a file written, or why it was not.
int Written(const FileResult& saved) {
    if (!saved) {
        return Failure(FileFailure(saved));
    }
    std::cout << saved.path << std::endl;
    return kSuccess;
}

} // namespace

int Ports(const CliOptions& options) {
    if (const int status = NoOperands(options)) {
        return status;
    }
    std::vector<TableFormat::Row> rows;
    for (const PortEntry& port : PortList::EnumSerialPorts()) {
        rows.push_back({port.displayName.toStdString(), port.description.toStdString(),
                        port.usb ? "usb" : "-",
                        port.stableName.isEmpty() ? "-" : port.stableName.toStdString()});
    }
    if (rows.empty()) {
        std::cerr << "sonvex-cli: no serial ports found (a pseudo-terminal can be given to "
                     "--port by its path)"
                  << std::endl;
        return kSuccess;
    }
    std::cout << TableFormat::Aligned({"PORT", "DESCRIPTION", "USB", "STABLE NAME"}, rows);
    return kSuccess;
}

int Search(const CliOptions& options) {
    if (const int status = NoOperands(options)) {
        return status;
    }
    DeviceSession session(options);
    QVector<int> found;
    if (!session.Search(found)) {
        return Failure(session.Error());
    }
    if (found.isEmpty()) {
        // A collision was already reported on its own line.
        return Failure(QStringLiteral("no %1 device answered on %2")
                           .arg(VariantName(*options.variant), options.port));
    }
    for (const int id : found) {
        std::cout << id << '\n';
    }
    std::cout.flush();
    return kSuccess;
}

int Info(const CliOptions& options) {
    if (options.all) {
        return InfoAll(options);
    }
    if (const int status = NoOperands(options)) {
        return status;
    }
    DeviceSession session(options);
    if (!session.Open()) {
        return Failure(session.Error());
    }
    const CAudio_Data& program = session.Program();
    const Variant& variant = session.GetVariant();
    const auto line = [](const QString& key, const QString& value) {
        std::cout << key.toStdString() << ": " << value.toStdString() << '\n';
    };
    line(QStringLiteral("port"), options.port);
    line(QStringLiteral("id"), QString::number(session.Link().GetDeviceId()));
    line(QStringLiteral("model"),
         QStringLiteral("%1 (%2)").arg(VariantName(variant), variant.modelCode));
    line(QStringLiteral("input source"), Text(program.GetInputSourceText()));
    line(QStringLiteral("backlight"), Text(program.GetBacklightText()));
    line(QStringLiteral("temperature"), Text(program.GetTemperatureText()));
    for (int i = 0; i < CAudio_Data::kInfoLines; ++i) {
        line(QStringLiteral("text %1").arg(i + 1), Text(program.GetInfoText(i)).trimmed());
    }
    for (int k = 0; k < PanelLink::kProgramNameCount; ++k) {
        line(QStringLiteral("program %1").arg(k), session.Link().GetProgramName(k).trimmed());
    }
    std::cout.flush();
    return kSuccess;
}

int Pull(const CliOptions& options) {
    if (const int status = NoOperandsButOutput(options)) {
        return status;
    }
    DeviceSession session(options);
    if (!session.Open()) {
        return Failure(session.Error());
    }
    CAudio_Data& program = session.Program();
    // The live program came with the connect. A stored one is read as the backup reads it, so
    // that the device goes on playing what it played; the image carries every field of the
    // replies, the gate settings included.
    if (options.slot != 0) {
        if (!session.RunTransfer([&] { return session.Link().ReadStoredProgram(options.slot); },
                                 QStringLiteral("reading program %1").arg(options.slot))) {
            return Failure(session.Error());
        }
        program.LoadFromImage(
            session.Document().GetStoredPrograms()[static_cast<std::size_t>(options.slot - 1)]);
    }
    program.SetName(session.Link().GetProgramName(options.slot).trimmed().toStdString());
    return Written(StoreProgramToPC(session.Document(), session.GetVariant().deviceType,
                                    options.output.toStdString()));
}

int Push(const CliOptions& options) {
    if (options.operands.size() != 1) {
        return UsageError(options.command, QStringLiteral("give exactly one program file"));
    }
    // Read the file before talking to the device, so that a bad file changes nothing there.
    CZorvanDoc file;
    if (!LoadProgramFile(file, *options.variant, options.operands.front())) {
        return kFailure;
    }
    DeviceSession session(options);
    if (!session.Open()) {
        return Failure(session.Error());
    }
    CAudio_Data& program = session.Program();
    program.CopyFrom(file.GetProgram());
    // The whole program is written by the transfer; nothing else is pending.
    program.ClearChanged();
    if (!session.RunTransfer([&] { return session.Link().StoreProgram(options.slot); },
                             QStringLiteral("writing program %1").arg(options.slot)) ||
        !session.Settle()) {
        return Failure(session.Error());
    }
    if (options.verify) {
        return Verification::CheckProgram(session, file.GetProgram(), options.slot,
                                          options.operands.front());
    }
    return kSuccess;
}

int Backup(const CliOptions& options) {
    if (options.all) {
        return BackupAll(options);
    }
    if (const int status = NoOperandsButOutput(options)) {
        return status;
    }
    DeviceSession session(options);
    if (!session.Open()) {
        return Failure(session.Error());
    }
    bool complete = false;
    QObject::connect(&session.Link(), &PanelLink::bankCompleted, [&] { complete = true; });
    if (!session.RunTransfer([&] { return session.Link().StoreAllToPC(); },
                             QStringLiteral("reading programs 1..30"))) {
        return Failure(session.Error());
    }
    if (!complete) {
        return Failure(QStringLiteral("program 30 did not arrive; no bank file written"));
    }
    return Written(StoreAllToPC(session.Document(), options.output.toStdString()));
}

int Restore(const CliOptions& options) {
    if (options.all) {
        return RestoreAll(options);
    }
    if (options.operands.size() != 1) {
        return UsageError(options.command, QStringLiteral("give exactly one bank file"));
    }
    DeviceSession session(options);
    const QString path = options.operands.front();
    const std::string otherKind = OtherKind(*options.variant, path, true);
    const FileResult loaded =
        otherKind.empty() ? RecallAllFromPC(session.Document(), path.toStdString())
                          : FileResult{false, kFileReadError, path.toStdString(), otherKind};
    if (!loaded) {
        return Failure(FileFailure(loaded));
    }
    if (!session.Open()) {
        return Failure(session.Error());
    }
    const CZorvanDoc::StoredPrograms written = session.Document().GetStoredPrograms();
    if (!session.RunTransfer([&] { return session.Link().RecallAllFromPC(); },
                             QStringLiteral("writing programs 1..30"))) {
        return Failure(session.Error());
    }
    if (options.verify) {
        return Verification::CheckBank(session, written, path);
    }
    return kSuccess;
}

int SetId(const CliOptions& options) {
    if (const int status = NoOperands(options)) {
        return status;
    }
    if (options.newId == 0) {
        return UsageError(options.command, QStringLiteral("no new ID given (--new-id K)"));
    }
    if (options.newId == options.deviceId) {
        return Failure(QStringLiteral("device %1 already has that ID").arg(options.deviceId));
    }
    DeviceSession session(options);
    if (!session.Open()) {
        return Failure(session.Error());
    }
    if (!session.Link().ChangeDeviceId(options.newId) || !session.Settle()) {
        return Failure(session.Error().isEmpty() ? QStringLiteral("the ID was not changed")
                                                 : session.Error());
    }
    std::cout << options.deviceId << " -> " << options.newId << std::endl;
    return kSuccess;
}

int Set(const CliOptions& options) {
    if (options.operands.isEmpty()) {
        return UsageError(options.command, QStringLiteral("no PARAM=VALUE given"));
    }
    const int type = options.variant->deviceType;
    std::vector<ParamAssignment> assignments;
    std::string error;
    for (const QString& operand : options.operands) {
        ParamAssignment assignment;
        if (!ParseAssignment(operand.toStdString(), type, assignment, error)) {
            return UsageError(options.command, Text(error));
        }
        assignments.push_back(assignment);
    }
    // Every value is checked before anything goes to the device: first on a scratch program at
    // the warmest temperature (which allows the longest distances) before connecting, then,
    // together with the editing rules, against the device's own program and temperature.
    {
        CAudio_Data scratch;
        scratch.SetDeviceType(type);
        scratch.SetTemperature(TemperatureRange.max);
        for (const ParamAssignment& assignment : assignments) {
            if (!ApplyAssignment(assignment, scratch, error)) {
                return Failure(Text(error));
            }
        }
    }
    DeviceSession session(options);
    if (!session.Open()) {
        return Failure(session.Error());
    }
    if (!ApplyAssignments(assignments, session.Program(), error)) {
        return Failure(Text(error));
    }
    if (!session.Settle()) {
        return Failure(session.Error());
    }
    return kSuccess;
}

int Table(const CliOptions& options) {
    const bool fromDevice = options.given.contains(QStringLiteral("port"));
    if (fromDevice == (options.operands.size() == 1) || options.operands.size() > 1) {
        return UsageError(options.command,
                          QStringLiteral("give either one program file or --port"));
    }
    if (!fromDevice) {
        const QStringList deviceOnly{"id", "verbose", "tick", "fast"};
        for (const QString& name : deviceOnly) {
            if (options.given.contains(name)) {
                return UsageError(options.command, QStringLiteral("--%1 needs --port").arg(name));
            }
        }
        CZorvanDoc doc;
        if (!LoadProgramFile(doc, *options.variant, options.operands.front())) {
            return kFailure;
        }
        PrintTable(doc.GetProgram(), *options.variant, options.csv);
        return kSuccess;
    }
    DeviceSession session(options);
    if (!session.Open()) {
        return Failure(session.Error());
    }
    PrintTable(session.Program(), session.GetVariant(), options.csv);
    return kSuccess;
}

} // namespace Commands
