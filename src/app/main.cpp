#include "app/MainFrame.h"
#include "app/StartOptions.h"

#include <QApplication>

#include <clocale>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Values are shown and typed with a decimal point whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    StartOptions options;
    QString message;
    const StartOptions::Outcome outcome = ParseStartOptions(app.arguments(), options, message);
    if (outcome != StartOptions::Outcome::Run) {
        std::fputs(qPrintable(message + QLatin1Char('\n')),
                   outcome == StartOptions::Outcome::Help ? stdout : stderr);
        return outcome == StartOptions::Outcome::Help ? 0 : 2;
    }
    CMainFrame frame;
    frame.show();
    ApplyStartOptions(frame, options);
    return app.exec();
}
