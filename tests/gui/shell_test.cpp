#include "control/PanelLink.h"
#include "gui/GuiTest.h"
#include "gui/app/AboutDialog.h"
#include "gui/app/MainFrame.h"
#include "gui/app/RecentFiles.h"
#include "gui/app/ScreenCommands.h"
#include "gui/app/SelectionView.h"
#include "gui/dialogs/ConnectDlg.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"

#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void mainWindowIsFixedWithTheSelectionScreen() {
        CMainFrame frame;
        frame.show();
        QCOMPARE(frame.windowTitle(), QString("Sonvex1.1"));
        QCOMPARE(frame.size(), QSize(1050, 720));
        QCOMPARE(frame.minimumSize(), frame.maximumSize());
        QVERIFY(!(frame.windowFlags() & Qt::WindowMaximizeButtonHint));
        auto* selection = qobject_cast<KeltraCaptionView*>(frame.CurrentScreen());
        QVERIFY(selection != nullptr);
        QCOMPARE(frame.CurrentVariant(), nullptr);

        const struct {
            int id;
            const char* caption;
            int command;
        } buttons[] = {{1001, "Fosk", ScreenCommand::kFourByEight},
                       {1086, "Wupa", ScreenCommand::kThreeBySix},
                       {1705, "Jexo", ScreenCommand::kTwoByFour}};
        QSignalSpy commands(selection, &KeltraCaptionView::commandRequested);
        for (const auto& expected : buttons) {
            auto* button = Control<QPushButton>(selection, expected.id);
            QVERIFY(button != nullptr);
            QCOMPARE(button->text(), QString(expected.caption));
            QVERIFY(button->geometry().bottom() < KeltraCaptionView::kLineY);
            button->click();
            QCOMPARE(commands.takeLast().at(0).toInt(), expected.command);
        }
    }

    // Nothing of a closed panel survives but the IDs its search found: the next panel's Connect
    // dialog offers them, whatever its model, and a second main window starts afresh.
    void foundIdsOutliveThePanelThatFoundThem() {
        CMainFrame frame;
        frame.OnCommand(ScreenCommand::kFourByEight);
        QVERIFY(frame.CurrentPanel() != nullptr);
        FoundIdTable& found = frame.CurrentPanel()->Session().Link().GetFoundIds();
        found.Clear(); // as a search that found devices 3 and 7
        found.MarkPresent(3);
        found.MarkPresent(7);
        frame.OnCommand(ScreenCommand::kSelection);
        frame.OnCommand(ScreenCommand::kThreeBySix);
        QVERIFY(frame.CurrentPanel() != nullptr);
        const auto offered = [](PanelLink& link) {
            ConnectDlg dialog(link);
            auto* ids = Control<QComboBox>(&dialog, ConnectDlg::kIdComboId);
            QStringList items;
            for (int i = 0; i < ids->count(); ++i) {
                items << ids->itemText(i);
            }
            return items;
        };
        QCOMPARE(offered(frame.CurrentPanel()->Session().Link()), QStringList({"3", "7"}));
        QCOMPARE(frame.FoundIds().Ids(), std::vector<int>({3, 7}));

        CMainFrame other;
        other.OnCommand(ScreenCommand::kFourByEight);
        QCOMPARE(offered(other.CurrentPanel()->Session().Link()).size(), 250);
    }

    void selectionScreenDrawsItsLineInTheLineColour() {
        KeltraCaptionView view;
        view.resize(1050, 690);
        const QImage image = view.grab().toImage();
        QCOMPARE(image.pixelColor(500, KeltraCaptionView::kLineY), QColor(0, 180, 225));
        QCOMPARE(image.pixelColor(5, KeltraCaptionView::kLineY), QColor(48, 54, 68));
        QCOMPARE(image.pixelColor(500, KeltraCaptionView::kLineY + 20), QColor(48, 54, 68));
    }

    void aboutBoxShowsTheVersion() {
        CAboutDlg about;
        QCOMPARE(about.windowTitle(), QString("About Sonvex1.1"));
        bool found = false;
        for (auto* label : about.findChildren<QLabel*>()) {
            found = found || label->text() == "Sonvex1.1 Version 1.1";
        }
        QVERIFY(found);
        QTimer::singleShot(0, &about, [&about] { Control<QPushButton>(&about, 1)->click(); });
        QCOMPARE(about.exec(), int(QDialog::Accepted));
    }

    void recentFilesKeepTheFourLatestWithoutRepeats() {
        RecentFiles recent;
        for (const char* name : {"/tmp/a.dia48", "/tmp/b.dia48", "/tmp/c.dia36", "/tmp/d.dia24",
                                 "/tmp/e.dia48", "/tmp/c.dia36"}) {
            recent.Add(name);
        }
        QCOMPARE(recent.Load(),
                 QStringList({"/tmp/c.dia36", "/tmp/e.dia48", "/tmp/d.dia24", "/tmp/b.dia48"}));
        CMainFrame frame;
        QCOMPARE(frame.RecentFileList().size(), 4);
        auto* first = frame.menuBar()->findChild<QAction*>("recentFile1");
        QVERIFY(first != nullptr && first->isVisible());
        QCOMPARE(first->data().toString(), QString("/tmp/c.dia36"));
        recent.Remove("/tmp/c.dia36");
        QCOMPARE(recent.Load().size(), 3);
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
