#include "Commands.h"

#include "CliOptions.h"
#include "TableFormat.h"

#include "core/files/CsvText.h"
#include "core/files/DataTable.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/Variant.h"

#include <iostream>

namespace Commands {

int Failure(const QString& message) {
    std::cerr << "sonvex-cli: " << message.toStdString() << std::endl;
    return kFailure;
}

int UsageError(const QString& command, const QString& message) {
    std::cerr << "sonvex-cli: " << message.toStdString() << " (see sonvex-cli "
              << command.toStdString() << " --help)" << std::endl;
    return kUsage;
}

int NoOperands(const CliOptions& options) {
    if (options.operands.isEmpty()) {
        return kSuccess;
    }
    return UsageError(options.command,
                      QStringLiteral("unexpected argument '%1'").arg(options.operands.front()));
}

QString FileFailure(const FileResult& result) {
    QString text = QStringLiteral("%1: %2").arg(QString::fromStdString(result.error),
                                                QString::fromStdString(result.path));
    if (!result.reason.empty()) {
        text += QStringLiteral(" (%1)").arg(QString::fromStdString(result.reason));
    }
    return text;
}

std::string OtherKind(const Variant& variant, const QString& path, bool bank) {
    const ProgramFileKind kind = ProgramFileKindOf(path.toStdString());
    if (kind.variant == nullptr) {
        return {}; // no model's extension: the contents decide
    }
    const std::string wanted = bank ? "bank file" : "program file";
    const std::string named = kind.bank ? "bank file" : "program file";
    if (kind.bank != bank) {
        return "is a " + named + ", not a " + wanted;
    }
    if (kind.variant != &variant) {
        return "is a " + std::string(kind.variant->name) + " " + named + "; give --model " +
               kind.variant->name;
    }
    return {};
}

bool LoadProgramFile(CZorvanDoc& doc, const Variant& variant, const QString& path) {
    doc.GetProgram().SetDeviceType(variant.deviceType);
    const std::string otherKind = OtherKind(variant, path, false);
    const FileResult result =
        otherKind.empty() ? RecallProgramFromPC(doc, variant.deviceType, path.toStdString())
                          : FileResult{false, kFileReadError, path.toStdString(), otherKind};
    if (!result) {
        Failure(FileFailure(result));
        return false;
    }
    return true;
}

void PrintTable(const CAudio_Data& program, const Variant& variant, bool csv) {
    const DataTable table(program, variant.deviceType);
    std::cout << (csv ? CsvText::Table(table.GetHeaders(), table.GetRows())
                      : TableFormat::Aligned(table.GetHeaders(), table.GetRows()));
    std::cout.flush();
}

} // namespace Commands
