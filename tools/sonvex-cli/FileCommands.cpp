// The commands that only read program files.

#include "CliOptions.h"
#include "Commands.h"

#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/NumberText.h"
#include "core/model/Variant.h"

#include <cstdio>

namespace Commands {

int Curve(const CliOptions& options) {
    if (WantsComplexCurve(options)) {
        return ComplexCurve(options);
    }
    if (options.operands.size() != 1) {
        return UsageError(options.command, QStringLiteral("give exactly one program file"));
    }
    const Variant& variant = *options.variant;
    const QString name = options.channel.trimmed().toLower();
    bool ok = false;
    const bool output = name.startsWith(QLatin1String("out"));
    const int number = name.mid(output ? 3 : 2).toInt(&ok);
    const int count = output ? variant.outputCount : variant.inputCount;
    if (name.isEmpty() || (!output && !name.startsWith(QLatin1String("in"))) || !ok || number < 1 ||
        number > count) {
        return UsageError(options.command,
                          QStringLiteral("--channel: '%1' is not a channel of the %2 (in1..in%3, "
                                         "out1..out%4)")
                              .arg(options.channel, VariantName(variant))
                              .arg(variant.inputCount)
                              .arg(variant.outputCount));
    }
    CZorvanDoc doc;
    if (!LoadProgramFile(doc, variant, options.operands.front())) {
        return kFailure;
    }
    const CAudio_Data& program = doc.GetProgram();
    const CAudio_Channel& channel =
        output ? static_cast<const CAudio_Channel&>(*program.GetOutput(number - 1))
               : *program.GetInput(number - 1);
    for (int i = 0; i < PlotPointCount; ++i) {
        const double dB = channel.GetCurveResponse(i);
        const std::string line =
            FixedText(PlotFrequencies[static_cast<std::size_t>(i)], 1) + '\t' + FixedText(dB, 4);
        std::puts(line.c_str());
    }
    std::fflush(stdout);
    return kSuccess;
}

} // namespace Commands
