// sonvex-cli: the command-line front end of Sonvex for installers: scripting, backups and
// work over SSH without a display. See "sonvex-cli --help".

#include "CliOptions.h"
#include "Commands.h"
#include "Completion.h"
#include "Usage.h"

#include "SonvexVersion.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (Completion::IsQuery(arguments)) {
        return Completion::Answer(arguments);
    }

    CliOptions options;
    QString error;
    if (!ParseCliOptions(arguments, options, error)) {
        const std::string help = Usage::IsCommand(options.command)
                                     ? "sonvex-cli " + options.command.toStdString() + " --help"
                                     : std::string("sonvex-cli --help");
        std::cerr << "sonvex-cli: " << error.toStdString() << " (see " << help << ")\n";
        return Commands::kUsage;
    }
    if (options.version) {
        std::cout << "sonvex-cli " << kSonvexVersion << '\n';
        return Commands::kSuccess;
    }
    if (options.help) {
        std::cout << (options.command.isEmpty() ? Usage::General()
                                                : Usage::OfCommand(options.command))
                         .toStdString();
        return Commands::kSuccess;
    }
    return Usage::Run(options);
}
