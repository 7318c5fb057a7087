// The Interface dialog: the program's interface texts, backlight and temperature, the limits
// of each model, and what it sends.

#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/ConnectedPanel.h"
#include "gui/GuiTest.h"
#include "gui/dialogs/InterfaceDlg.h"
#include "gui/panel/PanelLayout.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/CharEdit.h"
#include "gui/widgets/MessageBox.h"

#include <QApplication>
#include <QComboBox>

#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <cstdlib>

Q_DECLARE_METATYPE(const Variant*)

namespace {

constexpr int kWaitMs = 20000;

void TypeLine(InterfaceDlg& dialog, int id, const QString& text) {
    auto* edit = Control<CharEdit>(&dialog, id);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Chooses entry index of a closed list with the arrow keys, one entry at a time.
void Choose(InterfaceDlg& dialog, int id, int index) {
    auto* combo = Control<QComboBox>(&dialog, id);
    combo->setFocus();
    const int steps = index - combo->currentIndex();
    for (int i = 0; i < std::abs(steps); ++i) {
        QTest::keyClick(combo, steps > 0 ? Qt::Key_Down : Qt::Key_Up);
    }
}

// The payloads of the writes of a system item the device received from frame from on.
QList<QByteArray> Writes(const simtest::SimProcess& sim, int item, std::size_t from) {
    QList<QByteArray> payloads;
    for (const simtest::LoggedFrame& frame : simtest::SystemWrites(sim, item, from)) {
        payloads.append(frame.Payload());
    }
    return payloads;
}

} // namespace

class InterfaceDlgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void showsTheProgramWithTheModelsLimits_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("timedBacklight");
        QTest::newRow("4x8") << &Variant::FourByEight() << 20 << "25s";
        QTest::newRow("3x6") << &Variant::ThreeBySix() << 16 << "10s";
        QTest::newRow("2x4") << &Variant::TwoByFour() << 16 << "10s";
    }

    // The dialog opens on the program's lines 5 and 6, backlight and temperature; a line takes
    // 20 characters on the 4-in/8-out model and 16 on the others. Disconnected, every change
    // goes into the program and nothing is queued.
    void showsTheProgramWithTheModelsLimits() {
        QFETCH(const Variant*, variant);
        QFETCH(int, limit);
        QFETCH(QString, timedBacklight);
        MessageRecorder messages;
        PanelSession session(*variant);
        PanelView panel(session);
        CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        program.SetInfoText(4, "Line four");
        program.SetInfoText(5, "Hall");
        program.SetInfoText(6, "Stage");
        program.SetBacklight(1);
        program.SetTemperature(31);

        InterfaceDlg dialog(panel.Session().Link(), &panel);
        QVERIFY(ShowActive(&dialog));
        QCOMPARE(dialog.windowTitle(), QString("Interface"));
        const struct {
            int id;
            const char* text;
        } labels[] = {{InterfaceDlg::kInformationLabelId, "Interface Information"},
                      {InterfaceDlg::kLine1LabelId, "Interface1 :"},
                      {InterfaceDlg::kLine2LabelId, "Interface2 :"},
                      {InterfaceDlg::kBacklightLabelId, "BackLight"},
                      {InterfaceDlg::kTemperatureLabelId, "Tmpterature"}};
        for (const auto& label : labels) {
            QCOMPARE(Control<QLabel>(&dialog, label.id)->text(), QString(label.text));
        }
        QCOMPARE(Control<QPushButton>(&dialog, InterfaceDlg::kOkId)->text(), QString("OK"));
        QCOMPARE(Control<CharEdit>(&dialog, InterfaceDlg::kLine1EditId)->text(), QString("Hall"));
        QCOMPARE(Control<CharEdit>(&dialog, InterfaceDlg::kLine2EditId)->text(), QString("Stage"));
        auto* backlight = Control<QComboBox>(&dialog, InterfaceDlg::kBacklightComboId);
        QCOMPARE(backlight->count(), 2);
        QCOMPARE(backlight->itemText(0), QString("Keep On"));
        QCOMPARE(backlight->itemText(1), timedBacklight);
        QCOMPARE(backlight->currentIndex(), 1);
        auto* temperature = Control<QComboBox>(&dialog, InterfaceDlg::kTemperatureComboId);
        QCOMPARE(temperature->count(), 51);
        QCOMPARE(temperature->itemText(0), QString("0C"));
        QCOMPARE(temperature->itemText(50), QString("50C"));
        QCOMPARE(temperature->currentIndex(), 31);

        const QString tooLong(25, QLatin1Char('x'));
        TypeLine(dialog, InterfaceDlg::kLine1EditId, tooLong);
        TypeLine(dialog, InterfaceDlg::kLine2EditId, "Foyer");
        QCOMPARE(Control<CharEdit>(&dialog, InterfaceDlg::kLine1EditId)->text(),
                 tooLong.left(limit));
        Control<QPushButton>(&dialog, InterfaceDlg::kOkId)->click();
        Choose(dialog, InterfaceDlg::kTemperatureComboId, 29);
        Choose(dialog, InterfaceDlg::kBacklightComboId, 0);
        QCOMPARE(program.GetInfoText(5), tooLong.left(limit).toStdString());
        QCOMPARE(program.GetInfoText(6), std::string("Foyer"));
        QCOMPARE(program.GetInfoText(4), std::string("Line four"));
        QCOMPARE(program.GetTemperature(), 29);
        QCOMPARE(program.GetBacklight(), 0);
        QCOMPARE(panel.Session().Link().GetEngine().Count(), 0);
        QVERIFY(messages.texts().isEmpty());
        // OK leaves the dialog open.
        QVERIFY(dialog.isVisible());

        const QString shots = qEnvironmentVariable("SONVEX_SHOT_DIR");
        if (!shots.isEmpty()) {
            SaveGrab(&dialog, shots + "/interface-" + variant->name + ".png");
        }
    }

    // Connected, each OK sends the interface text once (lines 4..7 as the program holds them),
    // each chosen temperature or backlight is sent at once.
    void connectedDialogSendsEachChange() {
        simtest::ConnectedPanel connected(Variant::ThreeBySix());
        QVERIFY(connected.Connect(kWaitMs));
        const simtest::SimProcess& sim = connected.sim;
        PanelView& panel = connected.panel;
        PanelLink& link = panel.Session().Link();
        MessageRecorder messages;
        link.GetProgram().SetInfoText(4, "Top");

        InterfaceDlg dialog(link, &panel);
        QVERIFY(ShowActive(&dialog));
        const std::size_t mark = sim.Frames().size();
        TypeLine(dialog, InterfaceDlg::kLine1EditId, "Main hall");
        TypeLine(dialog, InterfaceDlg::kLine2EditId, "Left");
        Control<QPushButton>(&dialog, InterfaceDlg::kOkId)->click();
        Control<QPushButton>(&dialog, InterfaceDlg::kOkId)->click();
        // One step in each list: one choice each.
        const int shownTemperature = link.GetProgram().GetTemperature();
        const int temperature = shownTemperature < 50 ? shownTemperature + 1 : 49;
        const int backlight = link.GetProgram().GetBacklight() == 0 ? 1 : 0;
        Choose(dialog, InterfaceDlg::kTemperatureComboId, temperature);
        Choose(dialog, InterfaceDlg::kBacklightComboId, backlight);
        QVERIFY(link.WaitUntilSettled(kWaitMs));

        const QList<QByteArray> texts = Writes(sim, Protocol::ItemInterfaceText, mark);
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts[0], texts[1]);
        QVERIFY(texts[0].contains("Top"));
        QVERIFY(texts[0].contains("Main hall"));
        QVERIFY(texts[0].indexOf("Main hall") < texts[0].indexOf("Left"));
        const QList<QByteArray> temperatures = Writes(sim, Protocol::ItemTemperature, mark);
        QCOMPARE(temperatures.size(), 1);
        QCOMPARE(static_cast<int>(temperatures[0].at(0)), temperature);
        const QList<QByteArray> backlights = Writes(sim, Protocol::ItemBacklight, mark);
        QCOMPARE(backlights.size(), 1);
        QCOMPARE(static_cast<int>(backlights[0].at(0)), backlight);
        QCOMPARE(link.GetProgram().GetTemperature(), temperature);
        QVERIFY(messages.texts().isEmpty());
    }

    void panelButtonOpensTheDialog_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::newRow("4x8") << &Variant::FourByEight();
        QTest::newRow("2x4") << &Variant::TwoByFour();
    }

    // The panel's "Interface" button runs the dialog modally, inactive itself meanwhile.
    void panelButtonOpensTheDialog() {
        QFETCH(const Variant*, variant);
        PanelSession session(*variant);
        PanelView panel(session);
        auto* button = Control<QPushButton>(&panel, panel.GetLayout().ids.interface);
        bool opened = false;
        bool buttonPressed = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<InterfaceDlg*>(QApplication::activeModalWidget());
            opened = dialog != nullptr;
            buttonPressed = button->isDown();
            if (dialog != nullptr) {
                dialog->close();
            }
        });
        button->click();
        QVERIFY(opened);
        QVERIFY(buttonPressed);
        QVERIFY(!button->isDown());
    }
};

QTEST_MAIN(InterfaceDlgTest)
#include "interface_dlg_test.moc"
