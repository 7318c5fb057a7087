#include "app/MainFrame.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Values are shown and typed with a decimal point whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    CMainFrame frame;
    frame.show();
    return app.exec();
}
