#include "CliOptions.h"

#include "Usage.h"

#include "core/model/Variant.h"

#include <QCommandLineParser>

namespace {

bool ParseNumber(const QString& text, int low, int high, int& out) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}

// An option the parser calls name as it was typed ("-x", "--colour"), without its value.
QString AsGiven(const QString& name, const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--")) {
            break;
        }
        const QString option = argument.section(QLatin1Char('='), 0, 0);
        if (option.startsWith(QLatin1Char('-')) &&
            QStringView(option).mid(option.startsWith(QLatin1String("--")) ? 2 : 1) == name) {
            return option;
        }
    }
    return QStringLiteral("--") + name;
}

} // namespace

const Variant* VariantFromName(const QString& name) {
    const QString key = name.trimmed().toLower();
    for (const Variant* variant : Variant::All()) {
        if (key == VariantName(*variant) ||
            key == QString::fromLatin1(variant->modelCode).toLower()) {
            return variant;
        }
    }
    return nullptr;
}

QString VariantName(const Variant& variant) {
    return QString::fromLatin1(variant.name);
}

bool ParseCliOptions(const QStringList& arguments, CliOptions& options, QString& error) {
    options = CliOptions{};
    options.variant = &Variant::FourByEight();

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption port("port", "serial port", "NAME|PATH");
    const QCommandLineOption id("id", "device ID", "N");
    const QCommandLineOption model("model", "model", "M");
    const QCommandLineOption slot("slot", "program", "K");
    const QCommandLineOption output({"o", "output"}, "output file", "FILE");
    const QCommandLineOption newId("new-id", "new device ID", "K");
    const QCommandLineOption csv("csv", "CSV output");
    const QCommandLineOption channel("channel", "channel", "CH");
    const QCommandLineOption phase("phase", "phase column");
    const QCommandLineOption groupDelay("group-delay", "group delay column");
    const QCommandLineOption sum("sum", "outputs to sum", "OUTS");
    const QCommandLineOption measurement("measurement", "measured driver", "CH=FILE");
    const QCommandLineOption from("from", "filter list file", "TEXT");
    const QCommandLineOption preamp("preamp", "apply the preamp");
    const QCommandLineOption format("format", "text format", "rew|apo");
    const QCommandLineOption verbose({"v", "verbose"}, "trace frames");
    const QCommandLineOption tick("tick", "tick period", "MS");
    const QCommandLineOption fast("fast", "fast transfers");
    const QCommandLineOption verify("verify", "read back and compare");
    const QCommandLineOption all("all", "every device on the line");
    const QCommandLineOption help({"h", "help"}, "help");
    const QCommandLineOption version("version", "version");
    parser.addOptions({port, id, model, slot, output, newId, csv, channel, phase, groupDelay, sum,
                       measurement, verbose, tick, fast, verify, help, version});
    parser.addOptions({from, preamp, format, all});
    parser.addPositionalArgument("command", "command");

    // QCommandLineParser expects the program name first.
    if (!parser.parse(QStringList{QStringLiteral("sonvex-cli")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        error = unknown.isEmpty()
                    ? parser.errorText()
                    : QStringLiteral("unknown option %1").arg(AsGiven(unknown.front(), arguments));
        return false;
    }
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    if (options.version) {
        return true; // whatever else is given
    }
    QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty()) {
        options.command = positional.takeFirst();
        options.operands = positional;
    }
    if (options.command.isEmpty()) {
        if (!options.help) {
            error = QStringLiteral("no command given");
            return false;
        }
        return true;
    }
    if (!Usage::IsCommand(options.command)) {
        error = QStringLiteral("unknown command '%1'").arg(options.command);
        return false;
    }
    if (options.help) {
        return true;
    }

    const QStringList allowed = Usage::OptionsOf(options.command);
    for (const QCommandLineOption* option :
         {&port,    &id,      &model,      &slot, &output,      &newId, &csv,
          &channel, &phase,   &groupDelay, &sum,  &measurement, &from,  &preamp,
          &format,  &verbose, &tick,       &fast, &verify,      &all}) {
        const QString name = option->names().last();
        if (!parser.isSet(*option)) {
            continue;
        }
        if (!allowed.contains(name)) {
            error = QStringLiteral("%1 does not take --%2").arg(options.command, name);
            return false;
        }
        options.given += name;
    }

    options.port = parser.value(port);
    options.output = parser.value(output);
    options.channel = parser.value(channel);
    options.phase = parser.isSet(phase);
    options.groupDelay = parser.isSet(groupDelay);
    options.sum = parser.value(sum);
    options.measurements = parser.values(measurement);
    options.from = parser.value(from);
    options.preamp = parser.isSet(preamp);
    options.format = parser.value(format);
    if (parser.isSet(format) && options.format != QLatin1String("rew") &&
        options.format != QLatin1String("apo")) {
        error = QStringLiteral("--format: '%1' is not rew or apo").arg(options.format);
        return false;
    }
    options.csv = parser.isSet(csv);
    options.verbose = parser.isSet(verbose);
    options.fast = parser.isSet(fast);
    options.verify = parser.isSet(verify);
    options.all = parser.isSet(all);
    if (parser.isSet(model)) {
        options.variant = VariantFromName(parser.value(model));
        if (options.variant == nullptr) {
            error = QStringLiteral("--model: '%1' is not 4x8, 3x6, 2x4, Fosk, Wupa or Jexo")
                        .arg(parser.value(model));
            return false;
        }
    }
    if (parser.isSet(id) && !ParseNumber(parser.value(id), 1, 250, options.deviceId)) {
        error = QStringLiteral("--id: '%1' is not a device ID 1..250").arg(parser.value(id));
        return false;
    }
    if (parser.isSet(newId) && !ParseNumber(parser.value(newId), 1, 250, options.newId)) {
        error = QStringLiteral("--new-id: '%1' is not a device ID 1..250").arg(parser.value(newId));
        return false;
    }
    if (parser.isSet(slot) && !ParseNumber(parser.value(slot), 0, 30, options.slot)) {
        error = QStringLiteral("--slot: '%1' is not a program 0..30").arg(parser.value(slot));
        return false;
    }
    if (parser.isSet(tick) && !ParseNumber(parser.value(tick), 1, 1000, options.tickMs)) {
        error =
            QStringLiteral("--tick: '%1' is not a period of 1..1000 ms").arg(parser.value(tick));
        return false;
    }
    return true;
}
