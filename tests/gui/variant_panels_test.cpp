// What tells the three panels apart beyond their strips: the type code a device must report,
// the level bytes the meters show, the link display and Connection button while connecting,
// and which channels an upload of the live program copies.

#include "common/FastLink.h"
#include "common/SimProcess.h"
#include "control/PanelLink.h"
#include "core/files/ZorvanDoc.h"
#include "core/model/AudioData.h"
#include "core/model/Variant.h"
#include "core/protocol/ProtocolCodes.h"
#include "gui/GuiTest.h"
#include "gui/dialogs/ConnectDlg.h"
#include "gui/panel/ChannelStrip.h"
#include "gui/panel/PanelLayout.h"
#include "gui/panel/PanelView.h"
#include "gui/session/PanelSession.h"
#include "gui/widgets/LevelMeter.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/NumEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>

Q_DECLARE_METATYPE(const Variant*)

namespace {

constexpr int kWaitMs = 20000;
constexpr int kFastTickMs = 5;

// "ID:TYPE" of a simulated device of the variant's model with ID 6.
QString DeviceOf(const Variant& variant) {
    return QStringLiteral("6:%1").arg(variant.deviceType);
}

} // namespace

class VariantPanelsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void typeCodeOfAnotherModelIsRefused_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<QString>("typeCode");
        QTest::newRow("3x6 told Loxu") << &Variant::ThreeBySix() << "Loxu";
        QTest::newRow("2x4 told Kefa") << &Variant::TwoByFour() << "Kefa";
        QTest::newRow("4x8 told Hoxa") << &Variant::FourByEight() << "Hoxa";
    }

    // A device of the panel's type that names another model's type code in its identification
    // is dropped with "DeviceType is error!" and nothing else.
    void typeCodeOfAnotherModelIsRefused() {
        QFETCH(const Variant*, variant);
        QFETCH(QString, typeCode);
        simtest::SimProcess sim({"--fast", "--send-identification", "--type-code", typeCode,
                                 "--device", DeviceOf(*variant)});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        PanelSession session(*variant);
        PanelView panel(session);
        simtest::UseFastTick(panel.Session().Link(), kFastTickMs);
        QVERIFY(panel.ConnectTo(sim.Link(), 6));
        QTRY_VERIFY_WITH_TIMEOUT(!panel.Session().Link().IsConnected(), kWaitMs);
        QTRY_COMPARE(messages.texts(), QStringList{"DeviceType is error!"});
        QCOMPARE(panel.Session().Link().GetEngine().GetTypeCodeText(), typeCode.toStdString());
        QCOMPARE(Control<QPushButton>(&panel, panel.GetLayout().ids.connection)->text(),
                 QString("Connection"));
    }

    void metersShowTheModelsLevelBytes_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::newRow("3x6") << &Variant::ThreeBySix();
        QTest::newRow("2x4") << &Variant::TwoByFour();
    }

    // Inputs show level bytes 0.., outputs bytes 4..; the bytes in between are not shown.
    void metersShowTheModelsLevelBytes() {
        QFETCH(const Variant*, variant);
        simtest::SimProcess sim({"--fast", "--device", DeviceOf(*variant)});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        PanelSession session(*variant);
        PanelView panel(session);
        PanelLink& link = panel.Session().Link();
        simtest::UseFastTick(link, kFastTickMs);
        QVERIFY(panel.ConnectTo(sim.Link(), 6));
        QVERIFY(link.WaitUntilSettled(kWaitMs));

        const PanelIds& ids = panel.GetLayout().ids;
        QList<bool> shownAsReported;
        bool outputsApartFromTheInputs = false;
        connect(&link, &PanelLink::levelsReceived, this, [&] {
            const Command& engine = link.GetEngine();
            bool same = true;
            for (int i = 0; i < variant->inputCount; ++i) {
                same = same && Control<LevelMeter>(&panel, ids.input.meter + i)->level() ==
                                   engine.GetMeterValue(i);
            }
            for (int n = 0; n < variant->outputCount; ++n) {
                same = same && Control<LevelMeter>(&panel, ids.output.meter + n)->level() ==
                                   engine.GetMeterValue(4 + n);
            }
            // Only then could outputs read from the byte after the last input be told apart.
            outputsApartFromTheInputs =
                outputsApartFromTheInputs ||
                engine.GetMeterValue(variant->inputCount) != engine.GetMeterValue(4);
            shownAsReported.append(same);
        });
        QTRY_VERIFY_WITH_TIMEOUT(shownAsReported.size() >= 5, kWaitMs);
        QVERIFY(!shownAsReported.contains(false));
        QVERIFY(outputsApartFromTheInputs);
        QVERIFY(messages.texts().isEmpty());
    }

    void linkDisplayAndConnectionButton_data() {
        QTest::addColumn<const Variant*>("variant");
        QTest::addColumn<bool>("inactiveWhileConnecting");
        QTest::addColumn<QString>("connectedText");
        QTest::addColumn<QString>("disconnectedText");
        QTest::newRow("4x8") << &Variant::FourByEight() << true << "Link"
                             << "Unlink";
        QTest::newRow("3x6") << &Variant::ThreeBySix() << false << "Link/Unlink"
                             << "Link/Unlink";
        QTest::newRow("2x4") << &Variant::TwoByFour() << false << "Link/Unlink"
                             << "Link/Unlink";
    }

    // Only the 4-in/8-out panel greys its Connection button while the Connect dialog is open
    // and writes the link state into its link display; the others keep "Link/Unlink".
    void linkDisplayAndConnectionButton() {
        QFETCH(const Variant*, variant);
        QFETCH(bool, inactiveWhileConnecting);
        QFETCH(QString, connectedText);
        QFETCH(QString, disconnectedText);
        simtest::SimProcess sim({"--fast", "--device", DeviceOf(*variant)});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        PanelSession session(*variant);
        PanelView panel(session);
        simtest::UseFastTick(panel.Session().Link(), kFastTickMs);
        const PanelIds& ids = panel.GetLayout().ids;
        auto* connection = Control<QPushButton>(&panel, ids.connection);
        auto* linkDisplay = Control<QLabel>(&panel, ids.linkDisplay);

        // As if a search had found the device (and no other).
        panel.Session().Link().GetFoundIds().Clear();
        panel.Session().Link().GetFoundIds().MarkPresent(6);
        bool enabledWhileOpen = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<ConnectDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            enabledWhileOpen = connection->isEnabled();
            auto* ports = Control<QComboBox>(dialog, ConnectDlg::kPortComboId);
            ports->lineEdit()->selectAll();
            QTest::keyClicks(ports->lineEdit(), sim.Link());
            auto* idCombo = Control<QComboBox>(dialog, ConnectDlg::kIdComboId);
            idCombo->setCurrentIndex(idCombo->findData(6));
            Control<QPushButton>(dialog, ConnectDlg::kOkId)->click();
        });
        connection->click();
        QCOMPARE(enabledWhileOpen, !inactiveWhileConnecting);
        QVERIFY(connection->isEnabled());
        QVERIFY(panel.Session().Link().IsConnected());
        QCOMPARE(connection->text(), QString("UnConnect"));
        QCOMPARE(linkDisplay->text(), connectedText);

        connection->click();
        QVERIFY(!panel.Session().Link().IsConnected());
        QCOMPARE(connection->text(), QString("Connection"));
        QVERIFY(connection->isEnabled());
        QCOMPARE(linkDisplay->text(), disconnectedText);
        QVERIFY(messages.texts().isEmpty());
    }

    // The live program of a 2-in/4-out device is read as twelve channels, but only inputs A, B
    // and outputs 1..4 are taken into the panel's program.
    void uploadCopiesOnlyTheModelsChannels() {
        const Variant& variant = Variant::TwoByFour();
        simtest::SimProcess sim({"--fast", "--device", DeviceOf(variant)});
        QVERIFY2(sim.Started(), qPrintable(sim.Error()));
        MessageRecorder messages;
        PanelSession session(variant);
        PanelView panel(session);
        PanelLink& link = panel.Session().Link();
        simtest::UseFastTick(link, kFastTickMs);
        CAudio_Data& program = panel.Session().GetDocument().GetProgram();
        // Marks on every channel; the device's own values differ from them.
        constexpr int kMark = 123;
        for (int i = 0; i < 4; ++i) {
            program.GetInput(i)->SetGain(kMark);
        }
        for (int n = 0; n < 8; ++n) {
            program.GetOutput(n)->SetGain(kMark);
        }
        QSignalSpy arrived(&link, &PanelLink::programReceived);
        QVERIFY(panel.ConnectTo(sim.Link(), 6));
        QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, kWaitMs);
        QVERIFY(link.WaitUntilSettled(kWaitMs));

        QList<int> inputsRead;
        QList<int> outputsRead;
        for (const simtest::LoggedFrame& frame : sim.Received()) {
            if (frame.Code() != Protocol::ReadRequest || frame.Program() != 0) {
                continue;
            }
            if (frame.Group() == Protocol::GroupInput) {
                inputsRead.append(frame.Channel());
            } else if (frame.Group() == Protocol::GroupOutput) {
                outputsRead.append(frame.Channel());
            }
        }
        QCOMPARE(inputsRead.size(), 4);
        QCOMPARE(outputsRead.size(), 8);

        const CAudio_Data& device = link.GetEngine().GetDeviceImage();
        for (int i = 0; i < 4; ++i) {
            const int deviceGain = device.GetInput(i)->GetGain();
            QVERIFY(deviceGain != kMark);
            QCOMPARE(program.GetInput(i)->GetGain(), i < variant.inputCount ? deviceGain : kMark);
        }
        for (int n = 0; n < 8; ++n) {
            const int deviceGain = device.GetOutput(n)->GetGain();
            QVERIFY(deviceGain != kMark);
            QCOMPARE(program.GetOutput(n)->GetGain(), n < variant.outputCount ? deviceGain : kMark);
        }
        for (int n = 0; n < variant.outputCount; ++n) {
            QCOMPARE(panel.OutputStrip(n)->GainEdit()->value(), device.GetOutput(n)->GetGain());
        }
        QVERIFY(messages.texts().isEmpty());
    }
};

QTEST_MAIN(VariantPanelsTest)
#include "variant_panels_test.moc"
