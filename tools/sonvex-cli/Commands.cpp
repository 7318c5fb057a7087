#include "Commands.h"

#include "CliOptions.h"
#include "TableFormat.h"

#include "files/CsvText.h"
#include "files/DataTable.h"
#include "files/ProgramFiles.h"
#include "files/ZorvanDoc.h"
#include "model/Variant.h"

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

bool LoadProgramFile(CZorvanDoc& doc, const Variant& variant, const QString& path) {
    doc.GetProgram().SetDeviceType(variant.deviceType);
    const FileResult result = RecallProgramFromPC(doc, variant.deviceType, path.toStdString());
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
