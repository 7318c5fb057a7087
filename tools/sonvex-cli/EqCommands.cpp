// import-eq and export-eq: a channel's EQ bands from and to the filter lists of room measurement
// and PC equaliser programs.

#include "CliOptions.h"
#include "Commands.h"
#include "DeviceSession.h"

#include "core/files/EqImport.h"
#include "core/files/EqText.h"
#include "core/files/ProgramFiles.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace Commands {

namespace {

// Filter lists are a few kilobytes; anything this large is some other file.
constexpr std::streamsize kMaxEqTextSize = 1 << 20;

struct ChannelChoice {
    bool output = false;
    int index = 0; // 0-based
    int bands = 0; // EQ bands of the channel on the model
    QString name;  // "in1", "out3"
};

bool ChooseChannel(const CliOptions& options, ChannelChoice& choice, int& status) {
    const Variant& variant = *options.variant;
    const QString name = options.channel.trimmed().toLower();
    bool ok = false;
    choice.output = name.startsWith(QLatin1String("out"));
    const int number = name.mid(choice.output ? 3 : 2).toInt(&ok);
    const int count = choice.output ? variant.outputCount : variant.inputCount;
    if (name.isEmpty() || (!choice.output && !name.startsWith(QLatin1String("in"))) || !ok ||
        number < 1 || number > count) {
        status = UsageError(options.command,
                            QStringLiteral("--channel: '%1' is not a channel of the %2 (in1..in%3, "
                                           "out1..out%4)")
                                .arg(options.channel, VariantName(variant))
                                .arg(variant.inputCount)
                                .arg(variant.outputCount));
        return false;
    }
    choice.index = number - 1;
    choice.bands = choice.output ? variant.outputEqBands : variant.inputEqBands;
    choice.name = name;
    return true;
}

CAudio_Channel& ChannelOf(CAudio_Data& program, const ChannelChoice& choice) {
    if (choice.output) {
        return *program.GetOutput(choice.index);
    }
    return *program.GetInput(choice.index);
}

const CAudio_Channel& ChannelOf(const CAudio_Data& program, const ChannelChoice& choice) {
    if (choice.output) {
        return *program.GetOutput(choice.index);
    }
    return *program.GetInput(choice.index);
}

bool ReadText(const QString& path, std::string& text) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    if (!in) {
        Failure(QStringLiteral("cannot read %1").arg(path));
        return false;
    }
    std::ostringstream read;
    read << in.rdbuf();
    text = read.str();
    if (static_cast<std::streamsize>(text.size()) > kMaxEqTextSize) {
        Failure(QStringLiteral("%1 is too large for a filter list").arg(path));
        return false;
    }
    return true;
}

// The report on stderr, one line each, then what became of the import.
void PrintReport(const EqImportPlan& plan, const ChannelChoice& choice, const QString& from) {
    for (const std::string& line : plan.report) {
        std::cerr << line << '\n';
    }
    std::cerr << "imported " << plan.taken << (plan.taken == 1 ? " filter" : " filters") << " from "
              << from.toStdString() << " onto " << choice.name.toStdString() << " (" << choice.bands
              << " bands)" << std::endl;
}

} // namespace

int ImportEq(const CliOptions& options) {
    const bool toDevice = options.given.contains(QStringLiteral("port"));
    if (toDevice ? !options.operands.isEmpty() : options.operands.size() != 1) {
        return UsageError(options.command,
                          QStringLiteral("give either one program file or --port"));
    }
    if (options.from.isEmpty()) {
        return UsageError(options.command, QStringLiteral("--from TEXT is missing"));
    }
    if (!toDevice && options.output.isEmpty()) {
        return UsageError(options.command, QStringLiteral("-o OUT is missing"));
    }
    for (const QString& name : {QStringLiteral("id"), QStringLiteral("verbose"),
                                QStringLiteral("tick"), QStringLiteral("fast")}) {
        if (!toDevice && options.given.contains(name)) {
            return UsageError(options.command, QStringLiteral("--%1 needs --port").arg(name));
        }
    }
    if (toDevice && !options.output.isEmpty()) {
        return UsageError(options.command, QStringLiteral("-o is for a program file, not --port"));
    }
    int status = kSuccess;
    ChannelChoice choice;
    if (!ChooseChannel(options, choice, status)) {
        return status;
    }
    std::string text;
    if (!ReadText(options.from, text)) {
        return kFailure;
    }
    const EqText filters = ReadEqText(text);
    const Variant& variant = *options.variant;
    const auto planFor = [&](const CAudio_Data& program) {
        return PlanEqImport(filters, ChannelOf(program, choice), !choice.output, variant.deviceType,
                            choice.bands, options.preamp);
    };
    if (!toDevice) {
        CZorvanDoc doc;
        if (!LoadProgramFile(doc, variant, options.operands.front())) {
            return kFailure;
        }
        const EqImportPlan plan = planFor(doc.GetProgram());
        PrintReport(plan, choice, options.from);
        if (plan.taken == 0) {
            return Failure(QStringLiteral("nothing in %1 could be imported").arg(options.from));
        }
        ApplyEqImport(plan, ChannelOf(doc.GetProgram(), choice));
        const FileResult stored =
            StoreProgramToPC(doc, variant.deviceType, options.output.toStdString());
        return stored ? kSuccess : Failure(FileFailure(stored));
    }
    // Nothing goes to the device when the file holds nothing to take.
    {
        CAudio_Data scratch;
        scratch.SetDeviceType(variant.deviceType);
        const EqImportPlan trial = planFor(scratch);
        if (trial.taken == 0) {
            PrintReport(trial, choice, options.from);
            return Failure(QStringLiteral("nothing in %1 could be imported").arg(options.from));
        }
    }
    DeviceSession session(options);
    if (!session.Open()) {
        return Failure(session.Error());
    }
    const EqImportPlan plan = planFor(session.Program());
    PrintReport(plan, choice, options.from);
    ApplyEqImport(plan, ChannelOf(session.Program(), choice));
    if (!session.Settle()) {
        return Failure(session.Error());
    }
    return kSuccess;
}

int ExportEq(const CliOptions& options) {
    if (options.operands.size() != 1) {
        return UsageError(options.command, QStringLiteral("give exactly one program file"));
    }
    int status = kSuccess;
    ChannelChoice choice;
    if (!ChooseChannel(options, choice, status)) {
        return status;
    }
    const Variant& variant = *options.variant;
    CZorvanDoc doc;
    if (!LoadProgramFile(doc, variant, options.operands.front())) {
        return kFailure;
    }
    const CAudio_Channel& channel = ChannelOf(doc.GetProgram(), choice);
    const std::string notes = "Sonvex " + std::string(variant.name) + " " +
                              choice.name.toStdString() + " \"" + channel.GetName() +
                              "\" of program \"" + doc.GetProgram().GetName() + "\"";
    const EqTextFormat format =
        options.format == QLatin1String("apo") ? EqTextFormat::Apo : EqTextFormat::Rew;
    std::cout << ExportEqText(channel, variant.deviceType, choice.bands, format, notes);
    std::cout.flush();
    return kSuccess;
}

} // namespace Commands
