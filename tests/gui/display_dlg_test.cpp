// The "transmitting Data" window over a real panel link and the simulated device.

#include "common/SimProcess.h"
#include "gui/dialogs/DisplayDlg.h"
#include "core/files/ZorvanDoc.h"
#include "gui/GuiTest.h"
#include "control/PanelLink.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

using simtest::SimProcess;

namespace {

// Ticks of the panel: slow enough that the connect's recall spans several blinks.
constexpr int kPanelTickMs = 20;
constexpr int kGuardMs = 30000;

struct Fixture {
    SimProcess sim{{"--fast"}};
    CZorvanDoc doc;
    PanelLink link{doc, Variant::FourByEight()};
    DisplayDlg dialog{link};

    QLabel* Text() { return Control<QLabel>(&dialog, DisplayDlg::kTextId); }
    QProgressBar* Bar() { return dialog.findChild<QProgressBar*>("transferProgress"); }

    // Runs the window; a window that never closes is ended after a long while with -1.
    int Exec() {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &dialog, [this] { dialog.done(-1); });
        guard.start(kGuardMs);
        return dialog.exec();
    }
};

} // namespace

class DisplayDlgTest : public QObject {
    Q_OBJECT

private slots:

    void blinksWhileTheRecallRunsAndClosesAfterIt() {
        Fixture f;
        QVERIFY2(f.sim.Started(), qPrintable(f.sim.Error()));
        QCOMPARE(f.Text()->text(), QString("transmitting Data"));
        QCOMPARE(f.Text()->alignment(), Qt::AlignCenter);
        QCOMPARE(f.Text()->font().pointSize(), 20);
        QCOMPARE(f.dialog.TextColor(), QColor(DisplayDlg::kDarkBlue));

        f.link.SetTickInterval(kPanelTickMs);
        QVERIFY(f.link.Connect(f.sim.Link(), 1));
        QVERIFY(f.link.IsBusy());
        // The 36 reads of the device's settings go out ahead of the program's 12 channels.
        const int total = f.link.GetTransferTotal();
        QCOMPARE(total, 48);

        // Watch the window as the operator would, several times per blink.
        QList<QColor> colours;
        QList<int> barValues;
        bool seenBusy = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!f.dialog.isVisible()) {
                return;
            }
            seenBusy = seenBusy || f.link.IsBusy();
            if (colours.isEmpty() || colours.last() != f.dialog.TextColor()) {
                colours << f.dialog.TextColor();
            }
            if (barValues.isEmpty() || barValues.last() != f.Bar()->value()) {
                barValues << f.Bar()->value();
            }
            if (colours.size() == 2 && barValues.size() < 3) {
                SaveGrab(&f.dialog, QStringLiteral("display_dialog_red.png"), 2);
            }
        });
        watch.start(15);
        QTimer::singleShot(50, &f.dialog,
                           [&] { SaveGrab(&f.dialog, QStringLiteral("display_dialog.png"), 2); });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(f.Exec(), int(QDialog::Accepted));
        watch.stop();

        QVERIFY(!f.link.IsBusy());
        QVERIFY(f.link.IsConnected());
        QVERIFY(seenBusy);
        QVERIFY2(clock.elapsed() >= 2 * DisplayDlg::kTickIntervalMs,
                 "the recall should span several blinks at this panel tick");
        // Dark blue first, then red and dark blue by turns.
        QVERIFY2(colours.size() >= 3, qPrintable(QString::number(colours.size())));
        for (int i = 0; i < colours.size(); ++i) {
            QCOMPARE(colours[i], QColor(i % 2 == 0 ? DisplayDlg::kDarkBlue : DisplayDlg::kRed));
        }
        // The bar follows the transfer up to its total.
        QCOMPARE(f.Bar()->maximum(), total);
        QCOMPARE(f.Bar()->value(), total);
        QVERIFY(barValues.size() >= 3);
        QVERIFY(std::is_sorted(barValues.begin(), barValues.end()));
        QVERIFY(barValues.first() < total / 2);
    }

    void theOperatorCannotCloseItWhileBusy() {
        Fixture f;
        QVERIFY2(f.sim.Started(), qPrintable(f.sim.Error()));
        f.link.SetTickInterval(kPanelTickMs);
        QVERIFY(f.link.Connect(f.sim.Link(), 1));

        QList<bool> stillOpen;
        bool busy = false;
        QTimer::singleShot(2 * kPanelTickMs, &f.dialog, [&] {
            busy = f.link.IsBusy();
            QTest::keyClick(&f.dialog, Qt::Key_Escape);
            stillOpen << f.dialog.isVisible();
            QTest::keyClick(&f.dialog, Qt::Key_Return);
            stillOpen << f.dialog.isVisible();
            f.dialog.close(); // the close box
            stillOpen << f.dialog.isVisible();
        });
        QCOMPARE(f.Exec(), int(QDialog::Accepted));
        QVERIFY(busy);
        QCOMPARE(stillOpen, QList<bool>({true, true, true}));
        QVERIFY(!f.link.IsBusy());
    }

    void aTransferDoneBeforeTheFirstTickClosesAtThatTick() {
        Fixture f;
        QVERIFY2(f.sim.Started(), qPrintable(f.sim.Error()));
        f.link.SetTickInterval(2);
        QVERIFY(f.link.Connect(f.sim.Link(), 1));
        QVERIFY(f.link.WaitForTransfer(kGuardMs));
        QVERIFY(f.link.WaitUntilSettled(kGuardMs));

        QVERIFY(f.link.RecallProgram(0));
        QVERIFY(f.link.WaitForTransfer(kGuardMs));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(f.Exec(), int(QDialog::Accepted));
        QVERIFY(clock.elapsed() >= DisplayDlg::kTickIntervalMs - 20);
        QVERIFY(clock.elapsed() < 3 * DisplayDlg::kTickIntervalMs);
        QCOMPARE(f.dialog.TextColor(), QColor(DisplayDlg::kDarkBlue)); // it never blinked
        QCOMPARE(f.Bar()->value(), f.Bar()->maximum());
    }
};

QTEST_MAIN(DisplayDlgTest)
#include "display_dlg_test.moc"
