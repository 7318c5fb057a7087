// sonvex-shot OUT.png [sonvex options]
//
// Starts the main window as sonvex does with the same options, waits until a connected panel
// has its program and a few level replies (the meters moving), then saves a picture of the
// whole window. Used for the README's screenshot and for looking at the screens.

#include "control/PanelLink.h"
#include "gui/app/MainFrame.h"
#include "gui/app/StartOptions.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kLevelRepliesBeforeShot = 6;
constexpr int kTimeoutMs = 30000;

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QStringList arguments = app.arguments();
    if (arguments.size() < 2 || arguments[1].startsWith(QLatin1Char('-'))) {
        std::fputs("usage: sonvex-shot OUT.png [--model 4x8|3x6|2x4 [--port P [--id N]]]\n",
                   stderr);
        return 2;
    }
    const QString out = arguments.takeAt(1);
    StartOptions options;
    QString message;
    if (ParseStartOptions(arguments, options, message) != StartOptions::Outcome::Run) {
        std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
        return 2;
    }

    CMainFrame frame;
    frame.show();
    ApplyStartOptions(frame, options);

    int levels = 0;
    bool programArrived = false;
    if (PanelView* panel = frame.CurrentPanel()) {
        QObject::connect(&panel->Session().Link(), &PanelLink::levelsReceived, [&] { ++levels; });
        QObject::connect(&panel->Session().Link(), &PanelLink::programReceived,
                         [&] { programArrived = true; });
    }
    const bool waitForDevice = !options.port.isEmpty();
    const QDeadlineTimer deadline(kTimeoutMs);
    int result = 1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const bool ready = !waitForDevice || (programArrived && levels >= kLevelRepliesBeforeShot);
        if (!ready && !deadline.hasExpired()) {
            return;
        }
        if (!ready) {
            std::fputs("sonvex-shot: the device did not answer in time\n", stderr);
        } else if (frame.grab().save(out)) {
            result = 0;
        } else {
            std::fprintf(stderr, "sonvex-shot: cannot write %s\n", qPrintable(out));
        }
        app.quit();
    });
    poll.start(50);
    app.exec();
    return result;
}
