// curve with the complex response: phase, group delay, the sum of outputs and measured drivers.

#include "CliOptions.h"
#include "Commands.h"

#include "core/files/DriverSideFile.h"
#include "core/files/MeasurementFile.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/ChannelResponse.h"
#include "core/model/LoudspeakerSum.h"
#include "core/model/MeasuredDrivers.h"
#include "core/model/NumberText.h"
#include "core/model/Variant.h"

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace Commands {

namespace {

struct CurveChannel {
    bool output = false;
    int index = 0; // 0-based
};

QString ChannelName(const CurveChannel& channel) {
    return QStringLiteral("%1%2")
        .arg(channel.output ? QStringLiteral("out") : QStringLiteral("in"))
        .arg(channel.index + 1);
}

// "in2" or "out5" of the variant; false when the text names no channel it has.
bool ParseChannel(const QString& text, const Variant& variant, CurveChannel& channel) {
    const QString name = text.trimmed().toLower();
    channel.output = name.startsWith(QLatin1String("out"));
    if (!channel.output && !name.startsWith(QLatin1String("in"))) {
        return false;
    }
    const QString digits = name.mid(channel.output ? 3 : 2);
    bool ok = false;
    const int number = digits.toInt(&ok);
    const int count = channel.output ? variant.outputCount : variant.inputCount;
    if (!ok || digits.startsWith(QLatin1Char('+')) || number < 1 || number > count) {
        return false;
    }
    channel.index = number - 1;
    return true;
}

QString ChannelsOf(const Variant& variant) {
    return QStringLiteral("in1..in%1, out1..out%2 of the %3")
        .arg(variant.inputCount)
        .arg(variant.outputCount)
        .arg(VariantName(variant));
}

// A number with a fixed number of decimals, whatever the locale; "nan" for an undefined one.
std::string Fixed(double value, int decimals) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (value == 0.0) {
        value = 0.0; // no "-0.00"
    }
    return FixedText(value, decimals);
}

std::string Degrees(double value) {
    const std::string text = Fixed(value, 2);
    return text == "-180.00" ? "180.00" : text; // the phase lies in (-180, 180]
}

struct CurveRequest {
    std::vector<CurveChannel> channels; // one for --channel, the outputs for --sum
    bool sum = false;
    std::vector<std::pair<int, QString>> measurements; // output index, file
};

// Checks --channel / --sum and --measurement; 0 when they are good, else the exit status after
// the message.
int ParseRequest(const CliOptions& options, CurveRequest& request) {
    const Variant& variant = *options.variant;
    const bool channelGiven = options.given.contains(QStringLiteral("channel"));
    const bool sumGiven = options.given.contains(QStringLiteral("sum"));
    if (channelGiven == sumGiven) {
        return UsageError(options.command, channelGiven
                                               ? QStringLiteral("give --channel or --sum, not both")
                                               : QStringLiteral("give --channel CH or --sum OUTS"));
    }
    request.sum = sumGiven;
    const QStringList names =
        sumGiven ? options.sum.split(QLatin1Char(',')) : QStringList{options.channel};
    for (const QString& name : names) {
        CurveChannel channel;
        if (!ParseChannel(name, variant, channel)) {
            return UsageError(options.command,
                              QStringLiteral("--%1: '%2' is not a channel (%3)")
                                  .arg(sumGiven ? QStringLiteral("sum") : QStringLiteral("channel"),
                                       name, ChannelsOf(variant)));
        }
        if (sumGiven && !channel.output) {
            return UsageError(
                options.command,
                QStringLiteral("--sum: '%1' is an input; the sum adds outputs").arg(name));
        }
        for (const CurveChannel& before : request.channels) {
            if (before.index == channel.index) {
                return UsageError(
                    options.command,
                    QStringLiteral("--sum: %1 is given twice").arg(ChannelName(channel)));
            }
        }
        request.channels.push_back(channel);
    }
    for (const QString& given : options.measurements) {
        const int equals = static_cast<int>(given.indexOf(QLatin1Char('=')));
        CurveChannel channel;
        if (equals < 0 || equals + 1 == given.size() ||
            !ParseChannel(given.left(equals), variant, channel) || !channel.output) {
            return UsageError(options.command,
                              QStringLiteral("--measurement: '%1' is not OUT=FILE with OUT one of "
                                             "out1..out%2")
                                  .arg(given)
                                  .arg(variant.outputCount));
        }
        bool inCurve = false;
        for (const CurveChannel& c : request.channels) {
            inCurve = inCurve || (c.output && c.index == channel.index);
        }
        if (!inCurve) {
            return UsageError(options.command,
                              QStringLiteral("--measurement: %1 is not part of the curve")
                                  .arg(ChannelName(channel)));
        }
        for (const auto& before : request.measurements) {
            if (before.first == channel.index) {
                return UsageError(options.command,
                                  QStringLiteral("--measurement: %1 has two measurements")
                                      .arg(ChannelName(channel)));
            }
        }
        request.measurements.emplace_back(channel.index, given.mid(equals + 1));
    }
    return kSuccess;
}

void Note(const QString& text) {
    std::cerr << "sonvex-cli: note: " << text.toStdString() << std::endl;
}

// Attaches the drivers of the program's side file, then the measurements given, which take the
// place of the side file's for their outputs; false after the message.
bool AttachMeasurements(const QString& programPath, const CurveRequest& request,
                        MeasuredDrivers& drivers) {
    const DriverSideResult side = LoadDriverSideFile(programPath.toStdString(), drivers);
    if (!side) {
        Failure(QStringLiteral("measured drivers %1: %2")
                    .arg(QString::fromStdString(side.path), QString::fromStdString(side.error)));
        return false;
    }
    for (const auto& [output, path] : request.measurements) {
        const MeasurementRead read = ReadMeasurementFile(path.toStdString());
        if (!read) {
            Failure(
                QStringLiteral("measurement %1: %2").arg(path, QString::fromStdString(read.error)));
            return false;
        }
        drivers.Attach(output, read.driver);
    }
    QStringList fromSide;
    for (const CurveChannel& channel : request.channels) {
        const MeasuredDriver* driver =
            channel.output ? drivers.Measurement(channel.index) : nullptr;
        if (driver == nullptr) {
            continue;
        }
        bool given = false;
        for (const auto& measurement : request.measurements) {
            given = given || measurement.first == channel.index;
        }
        if (!given) {
            fromSide += ChannelName(channel);
        }
        const DriverOnGrid& grid = *drivers.OnGrid(channel.index);
        if (grid.firstCovered > 0 || grid.lastCovered < PlotPointCount - 1) {
            Note(QStringLiteral("the measurement of %1 covers %2..%3 Hz; outside that its end "
                                "values are held")
                     .arg(ChannelName(channel),
                          QString::fromStdString(Fixed(driver->hz.front(), 1)),
                          QString::fromStdString(Fixed(driver->hz.back(), 1))));
        }
    }
    if (!fromSide.isEmpty()) {
        Note(QStringLiteral("measured drivers of %1 from %2")
                 .arg(fromSide.join(QStringLiteral(", ")), QString::fromStdString(side.path)));
    }
    return true;
}

} // namespace

bool WantsComplexCurve(const CliOptions& options) {
    for (const char* name : {"phase", "group-delay", "sum", "measurement"}) {
        if (options.given.contains(QLatin1String(name))) {
            return true;
        }
    }
    return false;
}

int ComplexCurve(const CliOptions& options) {
    if (options.operands.size() != 1) {
        return UsageError(options.command, QStringLiteral("give exactly one program file"));
    }
    CurveRequest request;
    if (const int status = ParseRequest(options, request); status != kSuccess) {
        return status;
    }
    MeasuredDrivers drivers;
    if (!AttachMeasurements(options.operands.front(), request, drivers)) {
        return kFailure;
    }
    CZorvanDoc doc;
    if (!LoadProgramFile(doc, *options.variant, options.operands.front())) {
        return kFailure;
    }
    const CAudio_Data& program = doc.GetProgram();

    ComplexResponse response;
    if (request.sum) {
        std::vector<int> outputs;
        for (const CurveChannel& channel : request.channels) {
            outputs.push_back(channel.index);
            if (program.GetOutput(channel.index)->GetOn() == 0) {
                Note(QStringLiteral("%1 is muted and adds nothing to the sum")
                         .arg(ChannelName(channel)));
            }
        }
        response = SumOfOutputs(program, outputs, &drivers);
    } else {
        const CurveChannel& channel = request.channels.front();
        if (channel.output) {
            response = OutputResponse(program, channel.index, &drivers);
        } else {
            response = ChannelResponse(*program.GetInput(channel.index));
        }
    }

    const ResponseTraces traces = TracesOf(response);
    std::string text;
    for (std::size_t i = 0; i < response.size(); ++i) {
        text += Fixed(PlotFrequencies[i], 1);
        text += '\t';
        text += Fixed(traces.levelDb[i], 4); // "-inf" for an exact null
        if (options.phase) {
            text += '\t';
            text += Degrees(traces.phaseDegrees[i]);
        }
        if (options.groupDelay) {
            text += '\t';
            text += Fixed(traces.groupDelayMs[i], 4);
        }
        text += '\n';
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return kSuccess;
}

} // namespace Commands
