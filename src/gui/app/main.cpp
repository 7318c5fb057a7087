#include "gui/app/MainFrame.h"
#include "gui/app/StartOptions.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    StartOptions options;
    {
        // --help, --version and a wrong command line are answered without a display.
        const QCoreApplication console(argc, argv);
        QString message;
        const StartOptions::Outcome outcome =
            ParseStartOptions(QCoreApplication::arguments(), options, message);
        if (outcome != StartOptions::Outcome::Run) {
            const bool error = outcome == StartOptions::Outcome::Error;
            const QString text = error ? QStringLiteral("sonvex: ") + message : message;
            std::fputs(qPrintable(text + QLatin1Char('\n')), error ? stderr : stdout);
            return error ? 2 : 0;
        }
    }
    QApplication app(argc, argv);
    // Window managers match the windows to the menu entry org.sonvex.Sonvex.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.sonvex.Sonvex"));
    CMainFrame frame;
    frame.show();
    ApplyStartOptions(frame, options);
    return app.exec();
}
