// sonvex-cli doctor: the checks of LinkDoctor on the port given, one line per finding.

#include "CliOptions.h"
#include "Commands.h"

#include "line/LinkDoctor.h"

#include <iostream>

namespace Commands {

int Doctor(const CliOptions& options) {
    if (const int status = NoOperands(options)) {
        return status;
    }
    if (options.port.isEmpty()) {
        return UsageError(options.command, QStringLiteral("no port given (--port NAME|PATH)"));
    }
    const std::vector<LinkDoctor::Finding> findings = LinkDoctor::Examine(options.port);
    if (findings.empty()) {
        std::cout << options.port.toStdString() << ": "
                  << (LinkDoctor::IsGateway(options.port) ? "the gateway answers; " : "")
                  << "nothing found that stands in the way" << std::endl;
        return kSuccess;
    }
    for (const LinkDoctor::Finding& finding : findings) {
        std::cout << finding.check.toStdString() << ": " << finding.text.toStdString() << '\n';
    }
    std::cout.flush();
    return kFailure;
}

} // namespace Commands
