#include "Completion.h"

#include "CliOptions.h"
#include "Commands.h"
#include "ParamAssignment.h"
#include "Usage.h"

#include "line/PortList.h"
#include "core/model/Variant.h"

#include <iostream>

namespace {

const QString kQuery = QStringLiteral("--complete");

// The model named by the optional argument; the parser's default when none or no model.
const Variant& ModelOf(const QStringList& arguments) {
    const Variant* variant = arguments.size() > 2 ? VariantFromName(arguments[2]) : nullptr;
    return variant != nullptr ? *variant : Variant::FourByEight();
}

QStringList Options(const QStringList& arguments) {
    if (arguments.size() < 3 || !Usage::IsCommand(arguments[2])) {
        return {QStringLiteral("--help"), QStringLiteral("--version")};
    }
    QStringList options;
    for (const QString& name : Usage::OptionsOf(arguments[2])) {
        options += QStringLiteral("--") + name;
    }
    options += QStringLiteral("--help");
    return options;
}

QStringList Channels(const Variant& variant) {
    QStringList channels;
    for (int i = 1; i <= variant.inputCount; ++i) {
        channels += QStringLiteral("in%1").arg(i);
    }
    for (int i = 1; i <= variant.outputCount; ++i) {
        channels += QStringLiteral("out%1").arg(i);
    }
    return channels;
}

} // namespace

namespace Completion {

bool IsQuery(const QStringList& arguments) {
    return !arguments.isEmpty() && arguments.front() == kQuery;
}

int Answer(const QStringList& arguments) {
    const QString what = arguments.value(1);
    QStringList words;
    if (what == QLatin1String("commands")) {
        words = Usage::Commands();
    } else if (what == QLatin1String("options")) {
        words = Options(arguments);
    } else if (what == QLatin1String("params")) {
        for (const std::string& name : ParameterNames(ModelOf(arguments).deviceType)) {
            words += QString::fromStdString(name);
        }
    } else if (what == QLatin1String("channels")) {
        words = Channels(ModelOf(arguments));
    } else if (what == QLatin1String("models")) {
        for (const Variant* variant : Variant::All()) {
            words += VariantName(*variant);
        }
    } else if (what == QLatin1String("ports")) {
        for (const PortEntry& port : PortList::EnumSerialPorts()) {
            words += port.displayName;
        }
    } else {
        std::cerr << "sonvex-cli: " << kQuery.toStdString() << ": '" << what.toStdString()
                  << "' is not commands, options, params, channels, models or ports\n";
        return Commands::kUsage;
    }
    for (const QString& word : words) {
        std::cout << word.toStdString() << '\n';
    }
    return Commands::kSuccess;
}

} // namespace Completion
