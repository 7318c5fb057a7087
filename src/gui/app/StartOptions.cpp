#include "gui/app/StartOptions.h"

#include "core/model/Variant.h"
#include "gui/app/MainFrame.h"
#include "gui/app/ScreenCommands.h"
#include "gui/panel/PanelView.h"

#include "SonvexVersion.h"

#include <QCommandLineParser>
#include <QPointer>
#include <QTimer>

namespace {

const Variant* VariantNamed(const QString& name) {
    for (const Variant* variant : Variant::All()) {
        if (name == QLatin1String(variant->name)) {
            return variant;
        }
    }
    return nullptr;
}

} // namespace

StartOptions::Outcome ParseStartOptions(const QStringList& arguments, StartOptions& options,
                                        QString& message) {
    options = StartOptions{};
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Control panel for the Sonvex loudspeaker processors on a 9600-baud serial line: edits\n"
        "every channel parameter of the 4-in/8-out, 3-in/6-out and 2-in/4-out models, keeps the\n"
        "device in step with each edit, moves programs between files and the device, draws the\n"
        "EQ and crossover curves and prints the table of all parameters.\n\n"
        "Without options it opens the model selection; --model opens the panel of a model at\n"
        "once and --port also connects it, as the Connect dialog's OK does."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption model(
        QStringLiteral("model"),
        QStringLiteral("Open the panel of model 4x8 (Fosk), 3x6 (Wupa) or 2x4 (Jexo)."),
        QStringLiteral("4x8|3x6|2x4"));
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Connect the panel to this serial port: a name such as ttyUSB0, a path, "
                       "or tcp://HOST:PORT or rfc2217://HOST:PORT on the network."),
        QStringLiteral("NAME|PATH"));
    const QCommandLineOption id(QStringLiteral("id"),
                                QStringLiteral("Device ID 1..250 to talk to (default 1)."),
                                QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and quit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(model);
    parser.addOption(port);
    parser.addOption(id);
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("Accepted and left alone: the model selection opens (File > Open "
                       "opens program and bank files)."),
        QStringLiteral("[file]"));

    if (!parser.parse(arguments)) {
        // Short options come in clusters (-xy), so a name of one letter was typed with one dash.
        const QStringList unknown = parser.unknownOptionNames();
        message = unknown.isEmpty()
                      ? parser.errorText()
                      : QStringLiteral("unknown option %1%2")
                            .arg(QLatin1String(unknown.front().size() == 1 ? "-" : "--"),
                                 unknown.front());
        return StartOptions::Outcome::Error;
    }
    if (parser.isSet(help)) {
        message = parser.helpText() +
                  QStringLiteral(
                      "\nExamples:\n"
                      "  sonvex --model 3x6                         the 3-in/6-out panel\n"
                      "  sonvex --model 4x8 --port ttyUSB0 --id 3   connected to device 3\n"
                      "  sonvex --model 4x8 --port /tmp/sonvex-dsp  to the simulator's link\n");
        return StartOptions::Outcome::Help;
    }
    if (parser.isSet(version)) {
        message = QStringLiteral("sonvex %1").arg(QLatin1String(kSonvexVersion));
        return StartOptions::Outcome::Version;
    }
    if (parser.isSet(model)) {
        options.variant = VariantNamed(parser.value(model));
        if (options.variant == nullptr) {
            message =
                QStringLiteral("--model: '%1' is not 4x8, 3x6 or 2x4").arg(parser.value(model));
            return StartOptions::Outcome::Error;
        }
    }
    if (parser.isSet(port)) {
        if (options.variant == nullptr) {
            message = QStringLiteral("--port needs --model");
            return StartOptions::Outcome::Error;
        }
        options.port = parser.value(port);
        if (options.port.isEmpty()) {
            message = QStringLiteral("--port: no port given");
            return StartOptions::Outcome::Error;
        }
    }
    if (parser.isSet(id)) {
        bool ok = false;
        options.deviceId = parser.value(id).toInt(&ok);
        if (!ok || options.deviceId < 1 || options.deviceId > 250) {
            message = QStringLiteral("--id: '%1' is not a device ID 1..250").arg(parser.value(id));
            return StartOptions::Outcome::Error;
        }
        if (!parser.isSet(port)) {
            message = QStringLiteral("--id needs --port");
            return StartOptions::Outcome::Error;
        }
    }
    return StartOptions::Outcome::Run;
}

void ApplyStartOptions(CMainFrame& frame, const StartOptions& options) {
    if (options.variant == nullptr) {
        return;
    }
    frame.OnCommand(ScreenCommand::PanelOf(*options.variant));
    if (options.port.isEmpty()) {
        return;
    }
    QPointer<PanelView> panel = frame.CurrentPanel();
    const QString port = options.port;
    const int id = options.deviceId;
    QTimer::singleShot(0, panel, [panel, port, id] {
        if (panel != nullptr) {
            panel->ConnectTo(port, id);
        }
    });
}
