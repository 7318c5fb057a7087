// bench-panel-startup [runs]
//
// Times what `sonvex --model 4x8` does before the operator sees the panel: the main frame is
// created, the 4-in/8-out panel opened in it and shown, and the panel's first paint done. The
// first run also pays for the fonts and styles loaded once per process; it is shown apart.
// Goal: under 0.5 s. Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include "gui/app/MainFrame.h"
#include "gui/app/StartOptions.h"
#include "core/model/Variant.h"
#include "gui/panel/PanelView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Notes the first paint of the widget it watches.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

double ShowPanelOnce() {
    QElapsedTimer timer;
    timer.start();
    CMainFrame frame;
    StartOptions options;
    options.variant = &Variant::FourByEight();
    ApplyStartOptions(frame, options);
    PaintWatch watch;
    frame.CurrentPanel()->installEventFilter(&watch);
    frame.show();
    // processEvents returns once the paint it delivered has been handled.
    while (!watch.painted) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QElapsedTimer process;
    process.start();
    QApplication app(argc, argv);
    const double applicationMs = static_cast<double>(process.nsecsElapsed()) / 1e6;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    const double firstMs = ShowPanelOnce();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        times.push_back(ShowPanelOnce());
    }
    std::sort(times.begin(), times.end());
    std::printf("application object              %8.1f ms\n", applicationMs);
    std::printf("first panel shown and painted   %8.1f ms   (goal < 500 ms with the line above)\n",
                firstMs);
    std::printf("later panels, median of %-3d     %8.1f ms   (min %.1f, max %.1f)\n", runs,
                times[times.size() / 2], times.front(), times.back());
    return applicationMs + firstMs < 500.0 ? 0 : 1;
}
