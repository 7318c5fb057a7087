// The Connect dialog on a real panel link, against the simulated line.

#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "gui/GuiTest.h"
#include "gui/dialogs/ConnectDlg.h"
#include "gui/dialogs/DialogLook.h"
#include "gui/dialogs/PortChoice.h"
#include "gui/widgets/AppSettings.h"
#include "gui/widgets/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>

using simtest::SimProcess;

namespace {

constexpr int kSearchTickMs = 2;
constexpr int kWaitMs = 30000;

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

PortEntry Port(const QString& name, bool usb = false) {
    PortEntry entry;
    entry.portName = name;
    entry.displayName = name;
    entry.usb = usb;
    return entry;
}

// What the panel view does with the messages of its link.
void ShowLinkMessages(PanelLink& link) {
    QObject::connect(&link, &PanelLink::messageShown,
                     [](const QString& text) { ShowMessage(nullptr, text); });
}

// A panel link, a Connect dialog on it, shown, with a fast search tick.
struct Fixture {
    CZorvanDoc doc;
    PanelLink link{doc, Variant::FourByEight()};
    ConnectDlg dialog{link};

    Fixture() { dialog.Search().SetTickInterval(kSearchTickMs); }

    QComboBox* Ports() { return Control<QComboBox>(&dialog, ConnectDlg::kPortComboId); }
    QComboBox* Ids() { return Control<QComboBox>(&dialog, ConnectDlg::kIdComboId); }
    QPushButton* SearchButton() {
        return Control<QPushButton>(&dialog, ConnectDlg::kSearchButtonId);
    }
    QProgressBar* Bar() { return Control<QProgressBar>(&dialog, ConnectDlg::kProgressId); }
    QPushButton* Ok() { return Control<QPushButton>(&dialog, ConnectDlg::kOkId); }

    // Types path into the port box as the operator would.
    void TypePort(const QString& path) {
        QLineEdit* edit = Ports()->lineEdit();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, path);
    }

    // Nothing of the search is left: no record, no port, no search window, no tick.
    bool SearchLeftNothing() {
        const Command& engine = link.GetEngine();
        return !dialog.Search().IsRunning() && engine.Count() == 0 && !engine.IsOpen() &&
               engine.GetSearchWindow() == nullptr;
    }
};

} // namespace

class ConnectDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() { AppSettings()->remove(QLatin1String(ConnectDlg::kSettingsGroup)); }

    void portChoice_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("usbIndex"); // -1: no USB port
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("found");
        QTest::addColumn<int>("fallback");
        const QStringList ports = {"ttyS0", "ttyUSB10", "ttyUSB1", "ttyACM0"};
        QTest::newRow("exact name before a longer one") << ports << 1 << "ttyUSB1" << 2 << 1;
        QTest::newRow("prefix, any case") << ports << 1 << "TTYusb" << 1 << 1;
        QTest::newRow("gone: the first USB port") << ports << 3 << "COM7" << -1 << 3;
        QTest::newRow("no USB port: the first")
            << QStringList{"ttyS1", "ttyS0"} << -1 << "ttyS3" << -1 << 0;
        QTest::newRow("no previous port") << ports << 2 << "" << -1 << 2;
        QTest::newRow("no port at all") << QStringList{} << -1 << "ttyS0" << -1 << -1;
    }

    void portChoice() {
        QFETCH(QStringList, names);
        QFETCH(int, usbIndex);
        QFETCH(QString, current);
        QList<PortEntry> entries;
        for (int i = 0; i < names.size(); ++i) {
            entries << Port(names[i], i == usbIndex);
        }
        QTEST(PortChoice::Find(entries, current), "found");
        QTEST(PortChoice::Default(entries), "fallback");
    }

    void opensWithEveryIdAndNoSearchShowing() {
        Fixture f;
        QVERIFY(ShowActive(&f.dialog));
        QCOMPARE(f.dialog.windowTitle(), QString("Connect"));
        const struct {
            int id;
            const char* text;
        } captions[] = {{ConnectDlg::kPortLabelId, "Com Select:"},
                        {ConnectDlg::kIdLabelId, "Device ID:"}};
        for (const auto& caption : captions) {
            QLabel* label = Control<QLabel>(&f.dialog, caption.id);
            QVERIFY(label != nullptr);
            QCOMPARE(label->text(), QString(caption.text));
        }
        QCOMPARE(f.SearchButton()->text(), QString("Search ID"));
        QCOMPARE(f.Ok()->text(), QString("OK"));

        QStringList all;
        for (int id = 1; id <= 250; ++id) {
            all << QString::number(id);
        }
        QCOMPARE(Items(f.Ids()), all);
        QCOMPARE(f.dialog.DeviceId(), 1);
        QVERIFY(f.Ports()->isEditable());
        QVERIFY(f.Ports()->count() > 0); // the system's ports, or "NULL"
        QCOMPARE(f.dialog.PortName(), f.Ports()->currentText());
        QVERIFY(!f.Bar()->isVisible());
        QCOMPARE(f.Bar()->minimum(), 1);
        QCOMPARE(f.Bar()->maximum(), 250);

        const QImage image = f.dialog.grab().toImage();
        QCOMPARE(image.pixelColor(4, 4), QColor(DialogLook::kBackground));
        const QPoint okCentre = f.Ok()->geometry().center();
        QCOMPARE(image.pixelColor(okCentre.x() - f.Ok()->width() / 3, okCentre.y()),
                 QColor(DialogLook::kButtonFace));
        QVERIFY(SaveGrab(&f.dialog, QStringLiteral("connect_dialog.png"), 2));
    }

    void searchListsTheDevicesOfThePanelsType() {
        SimProcess sim({"--fast", "--device", "3:1", "--device", "7:1", "--device", "9:2"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        Fixture f;
        QVERIFY(ShowActive(&f.dialog));
        f.TypePort(sim.Link());
        QCOMPARE(f.dialog.PortName(), sim.Link());

        QTest::mouseClick(f.SearchButton(), Qt::LeftButton);
        QVERIFY(f.dialog.Search().IsRunning());
        QVERIFY(f.Bar()->isVisible());
        QVERIFY(!f.SearchButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(f.Bar()->value() >= 100, kWaitMs);
        QVERIFY(SaveGrab(&f.dialog, QStringLiteral("connect_dialog_searching.png"), 2));

        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog.Search().IsRunning(), kWaitMs);
        QCOMPARE(Items(f.Ids()), QStringList({"3", "7"}));
        QCOMPARE(f.Ids()->currentText(), QString("3"));
        QCOMPARE(f.dialog.DeviceId(), 3);
        QVERIFY(!f.Bar()->isVisible());
        QVERIFY(f.SearchButton()->isEnabled());
        QVERIFY(f.SearchLeftNothing());
        QVERIFY(SaveGrab(&f.dialog, QStringLiteral("connect_dialog_found.png"), 2));

        // The panel connects to what was chosen.
        QTest::mouseClick(f.Ok(), Qt::LeftButton);
        QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
        QVERIFY(f.link.Connect(f.dialog.PortName(), f.dialog.DeviceId()));
        QVERIFY(f.link.IsConnected());
        QCOMPARE(f.link.GetDeviceId(), 3);
    }

    // A search that finds no device of the panel's type leaves nothing to connect to: the list
    // says so and neither OK nor Enter closes the dialog.
    void anEmptyIdListCannotBeConfirmed() {
        SimProcess sim({"--fast", "--device", "9:2"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        Fixture f;
        QVERIFY(ShowActive(&f.dialog));
        QVERIFY(f.Ok()->isEnabled());
        f.TypePort(sim.Link());
        QTest::mouseClick(f.SearchButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!f.dialog.Search().IsRunning(), kWaitMs);
        QCOMPARE(f.Ids()->count(), 0);
        QCOMPARE(f.dialog.DeviceId(), 0);
        QCOMPARE(f.Ids()->placeholderText(), QString("No device was found: search again"));
        QVERIFY(!f.Ok()->isEnabled());
        QTest::mouseClick(f.Ok(), Qt::LeftButton);
        QTest::keyClick(&f.dialog, Qt::Key_Return);
        QVERIFY(f.dialog.isVisible());
        QCOMPARE(f.dialog.result(), 0);
        QVERIFY(SaveGrab(&f.dialog, QStringLiteral("connect_dialog_nothing_found.png"), 2));
    }

    void closingMidSearchLeavesNothingRunning_data() {
        QTest::addColumn<int>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("close box") << 0 << int(QDialog::Rejected);
        QTest::newRow("Esc") << 1 << int(QDialog::Rejected);
        QTest::newRow("OK") << 2 << int(QDialog::Accepted);
    }

    void closingMidSearchLeavesNothingRunning() {
        QFETCH(int, how);
        SimProcess sim({"--fast", "--silent"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        Fixture f;
        QVERIFY(ShowActive(&f.dialog));
        f.TypePort(sim.Link());
        QTest::mouseClick(f.SearchButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(f.dialog.Search().GetPosition() >= 5, kWaitMs);

        switch (how) {
        case 0:
            f.dialog.close();
            break;
        case 1:
            QTest::keyClick(&f.dialog, Qt::Key_Escape);
            break;
        default:
            QTest::mouseClick(f.Ok(), Qt::LeftButton);
        }
        QVERIFY(!f.dialog.isVisible());
        QTEST(f.dialog.result(), "result");
        QVERIFY(f.SearchLeftNothing());

        // Nothing more goes out: the tick is gone.
        const int position = f.dialog.Search().GetPosition();
        QTRY_COMPARE(sim.Received().size(), std::size_t(position));
        QTest::qWait(100); // dozens of ticks at the search's pace
        QCOMPARE(sim.Received().size(), std::size_t(position));
        QCOMPARE(f.dialog.Search().GetPosition(), position);

        if (how == 2) {
            // Nothing answered so far, so there is no ID to connect to.
            QCOMPARE(f.dialog.PortName(), sim.Link());
            QCOMPARE(f.Ids()->count(), 0);
            QCOMPARE(f.dialog.DeviceId(), 0);
        }
        // The port is free for the panel.
        f.link.SetPortName(sim.Link());
        QVERIFY(f.link.OpenLink());
    }

    void lastPortAndIdArePreselectedNextTime() {
        SimProcess sim({"--fast"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        {
            Fixture f;
            QVERIFY(ShowActive(&f.dialog));
            f.TypePort(sim.Link());
            f.Ids()->setCurrentIndex(f.Ids()->findText("17"));
            QTest::mouseClick(f.Ok(), Qt::LeftButton);
            QCOMPARE(f.dialog.result(), int(QDialog::Accepted));
            QCOMPARE(f.dialog.PortName(), sim.Link());
            QCOMPARE(f.dialog.DeviceId(), 17);
        }
        {
            Fixture f;
            QCOMPARE(f.Ports()->currentText(), sim.Link());
            QCOMPARE(f.dialog.PortName(), sim.Link());
            QCOMPARE(f.Ids()->currentText(), QString("17"));
            QCOMPARE(f.dialog.DeviceId(), 17);
            // Closing without OK keeps what was remembered.
            f.Ids()->setCurrentIndex(0);
            f.dialog.reject();
        }
        {
            Fixture f;
            QCOMPARE(f.dialog.DeviceId(), 17);
        }
        // A typed path that is gone is not offered again.
        sim.Stop();
        QVERIFY(!QFileInfo::exists(sim.Link()));
        {
            Fixture f;
            QVERIFY(f.dialog.PortName() != sim.Link());
            QVERIFY(!f.dialog.PortName().isEmpty());
        }
    }

    void fastTransfersAreRememberedAndPreselected() {
        // Two devices share ID 5: their answers collide, and the dialog says so.
        SimProcess sim(
            {"--fast", "--device", "3:1", "--device", "5:1", "--device", "5:1", "--device", "7:1"});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        {
            Fixture f;
            auto* fast = f.dialog.findChild<QCheckBox*>(QStringLiteral("fastTransfers"));
            QVERIFY(fast != nullptr);
            QCOMPARE(fast->text(), QString("Fast transfers"));
            QVERIFY(!f.dialog.FastTransfers());
            QVERIFY(ShowActive(&f.dialog));
            QVERIFY(SaveGrab(&f.dialog, QStringLiteral("connect_dialog_fast.png"), 2));
            // On the box itself, at the left end of the control.
            QTest::mouseClick(fast, Qt::LeftButton, {},
                              QPoint(fast->height() / 2, fast->height() / 2));
            QVERIFY(f.dialog.FastTransfers());
            QVERIFY2(!ConnectDlg::RememberedFastTransfers(), "remembered before OK");

            // The search takes the choice too and finds the same devices.
            f.TypePort(sim.Link());
            QTest::mouseClick(f.SearchButton(), Qt::LeftButton);
            QVERIFY(f.dialog.Search().IsFastTransfers());
            QVERIFY(!fast->isEnabled());
            QTRY_VERIFY_WITH_TIMEOUT(!f.dialog.Search().IsRunning(), kWaitMs);
            QCOMPARE(Items(f.Ids()), QStringList({"3", "7"}));
            auto* note = f.dialog.findChild<QLabel*>(QStringLiteral("searchNote"));
            QVERIFY(note != nullptr && note->isVisible());
            QCOMPARE(note->text(), QString("ID 5: more than one device answers?"));
            QVERIFY(fast->isEnabled());
            QTest::mouseClick(f.Ok(), Qt::LeftButton);
        }
        QVERIFY(ConnectDlg::RememberedFastTransfers());
        {
            Fixture f;
            QVERIFY(f.dialog.FastTransfers());
            // Closing without OK keeps what was remembered.
            f.dialog.findChild<QCheckBox*>(QStringLiteral("fastTransfers"))->setChecked(false);
            f.dialog.reject();
        }
        QVERIFY(ConnectDlg::RememberedFastTransfers());
        {
            Fixture f;
            QVERIFY(f.dialog.FastTransfers());
            f.dialog.findChild<QCheckBox*>(QStringLiteral("fastTransfers"))->setChecked(false);
            f.dialog.accept();
        }
        QVERIFY(!ConnectDlg::RememberedFastTransfers());
        {
            Fixture f;
            QVERIFY(!f.dialog.FastTransfers());
        }
    }

    void aPortThatDoesNotOpenIsReportedOnce() {
        Fixture f;
        ShowLinkMessages(f.link);
        MessageRecorder messages;
        QVERIFY(ShowActive(&f.dialog));
        const QString missing = QStringLiteral("/nonexistent/sonvex-line");
        f.TypePort(missing);
        QTest::mouseClick(f.SearchButton(), Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList({"Unable to open COM-port"}));
        QVERIFY(!f.Bar()->isVisible());
        QVERIFY(f.SearchButton()->isEnabled());
        QVERIFY(f.SearchLeftNothing());
        QCOMPARE(f.Ids()->count(), 250); // the list of a search that never ran stays

        // OK hands the path to the panel, whose connect fails the same way, once.
        QTest::mouseClick(f.Ok(), Qt::LeftButton);
        QCOMPARE(f.dialog.PortName(), missing);
        messages.clear();
        QVERIFY(!f.link.Connect(f.dialog.PortName(), f.dialog.DeviceId()));
        QCOMPARE(messages.texts(), QStringList({"Unable to open COM-port"}));
        QVERIFY(!f.link.IsConnected());
    }
};

QTEST_MAIN(ConnectDlgTest)
#include "connect_dlg_test.moc"
