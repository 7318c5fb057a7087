// export and import: program and bank files as JSON text presets and back.

#include "CliOptions.h"
#include "Commands.h"

#include "core/files/FileReplace.h"
#include "core/files/PresetJson.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/Variant.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

namespace Commands {

namespace {

// A preset of thirty programs is about two megabytes; far larger is no preset.
constexpr std::size_t kMaxPresetSize = 64u << 20;

bool NeedsOneOperandAndOutput(const CliOptions& options, int& status) {
    if (options.operands.size() != 1) {
        status = UsageError(options.command, QStringLiteral("give exactly one file"));
        return false;
    }
    if (options.output.isEmpty()) {
        status = UsageError(options.command, QStringLiteral("-o OUT is missing"));
        return false;
    }
    return true;
}

} // namespace

int Export(const CliOptions& options) {
    int status = kSuccess;
    if (!NeedsOneOperandAndOutput(options, status)) {
        return status;
    }
    const Variant& variant = *options.variant;
    const QString path = options.operands.front();
    const ProgramFileKind kind = ProgramFileKindOf(path.toStdString());
    const std::string otherKind = OtherKind(variant, path, kind.bank);
    if (!otherKind.empty()) {
        return Failure(FileFailure({false, kFileReadError, path.toStdString(), otherKind}));
    }
    auto doc = std::make_unique<CZorvanDoc>();
    doc->GetProgram().SetDeviceType(variant.deviceType);
    std::string json;
    // A name without a model's extension is read as a program file first, then as a bank.
    FileResult read{};
    if (!kind.bank) {
        read = RecallProgramFromPC(*doc, variant.deviceType, path.toStdString());
        json = read ? ProgramToJson(doc->GetProgram(), variant) : std::string();
    }
    if (kind.bank || (!read && kind.variant == nullptr)) {
        const FileResult bank = RecallAllFromPC(*doc, path.toStdString());
        if (bank || kind.bank) {
            read = bank;
        }
        json = bank ? BankToJson(doc->GetStoredPrograms(), variant) : std::string();
    }
    if (!read) {
        return Failure(FileFailure(read));
    }
    if (!ReplaceFileContents(options.output.toStdString(),
                             std::vector<std::uint8_t>(json.begin(), json.end()))) {
        return Failure(
            QStringLiteral("%1: %2").arg(QString::fromLatin1(kFileWriteError), options.output));
    }
    return kSuccess;
}

int Import(const CliOptions& options) {
    int status = kSuccess;
    if (!NeedsOneOperandAndOutput(options, status)) {
        return status;
    }
    const QString path = options.operands.front();
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream read;
    if (!in || !(read << in.rdbuf())) {
        return Failure(QStringLiteral("cannot read %1").arg(path));
    }
    const std::string text = read.str();
    if (text.size() > kMaxPresetSize) {
        return Failure(QStringLiteral("%1 is too large for a preset").arg(path));
    }
    PresetHeader header;
    std::string error;
    if (!ReadPresetHeader(text, header, error)) {
        return Failure(QStringLiteral("%1: %2").arg(path, QString::fromStdString(error)));
    }
    // The preset names its model; --model, when given, must agree.
    const Variant* variant = VariantFromName(QString::fromStdString(header.model));
    if (options.given.contains(QStringLiteral("model")) && options.variant != variant) {
        return Failure(QStringLiteral("%1 is a preset for the %2; give --model %2")
                           .arg(path, QString::fromStdString(header.model)));
    }
    auto doc = std::make_unique<CZorvanDoc>();
    doc->GetProgram().SetDeviceType(variant->deviceType);
    FileResult stored;
    std::vector<std::string> ruleBreaks;
    if (header.kind == "program") {
        if (!ProgramFromJson(text, *variant, doc->GetProgram(), error, ruleBreaks)) {
            return Failure(QStringLiteral("%1: %2").arg(path, QString::fromStdString(error)));
        }
        stored = StoreProgramToPC(*doc, variant->deviceType, options.output.toStdString());
    } else {
        if (!BankFromJson(text, *variant, doc->GetStoredPrograms(), error, ruleBreaks)) {
            return Failure(QStringLiteral("%1: %2").arg(path, QString::fromStdString(error)));
        }
        stored = StoreAllToPC(*doc, options.output.toStdString());
    }
    // What no editor would make is kept as the file readers keep it, and named.
    for (const std::string& line : ruleBreaks) {
        std::cerr << "sonvex-cli: " << path.toStdString() << ": " << line
                  << " (kept as the preset has it)\n";
    }
    return stored ? kSuccess : Failure(FileFailure(stored));
}

} // namespace Commands
